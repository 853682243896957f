// The join component the joiner window drives: a list of files, each whole or a range of
// whole seconds, joined in list order into one output file in one output format, with
// the tags of the output; the work runs on its own thread and reports through events.
#pragma once

#include "components/audio/AudioJobComponent.h"

#include <QList>
#include <QString>

#include <functional>

// One entry of the list: a file, whole (Start = Length = -1) or a range in whole seconds
// (a Length of 0 or less runs to the file's end).
struct JoinEntry {
    QString FileName;
    qint32 Start = -1;
    qint32 Length = -1;
    bool whole() const { return Start == -1 && Length == -1; }
};

class cAudioJoin : public AudioJobComponent
{
    Q_OBJECT
public:
    explicit cAudioJoin(QObject* parent = nullptr);
    ~cAudioJoin() override;

    // The list, numbered from 1 in the order added.
    virtual void AddFile(const QString& FileName, qint32& Start, qint32& Length);
    qint32 GetFileCount() const;
    // Removes entry Index; the later entries move up. Nothing happens for a number that
    // names no entry.
    virtual void RemoveFile(qint32 Index);
    // The path of entry Index ("" when there is none); Start and Length are not written.
    QString GetFile(qint32 Index, qint32& Start, qint32& Length) const;
    const QList<JoinEntry>& Entries() const { return m_entries; }

    // Joins the entries into OutputFile and returns at once; exactly one of Done, Aborted or
    // Error follows. An existing output is replaced only once the join has succeeded.
    virtual void StartJoin() = 0;
    virtual bool IsJoining() const = 0;
    // After Abort: the component is ready for the next join.
    virtual void Reset() = 0;
    // When the hosting window closes: stops a running join and empties the list.
    virtual void Close() = 0;

signals:
    // FileIndex the entry being joined (from 1), Percent 0 to 100 of it.
    void Progress(qint32 FileIndex, qint32 Percent);

protected:
    QList<JoinEntry> m_entries;
};

// The windows create their join component here; tests may replace the factory.
using AudioJoinFactory = std::function<cAudioJoin*(QObject* parent)>;
cAudioJoin* CreateAudioJoin(QObject* parent);
void SetAudioJoinFactory(AudioJoinFactory factory);  // an empty factory restores the real one
