// The speech component of the text-to-speech window: lists the voices, the audio outputs
// and the audio formats it speaks in, speaks a text on an output (reporting each word as
// it is heard) and speaks a text into a WAV file on its own thread (reporting how far it
// has come and how it ended).
#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Why SpeakToFile failed (its result); LastErrorText says it in words.
enum OrvelleErrorCode : qint32 {
    kOrvelleErrEngine = 1,  // the speech engine cannot start or could not speak the text
    kOrvelleErrVoice = 2,   // the chosen voice cannot be loaded
    kOrvelleErrFormat = 3,  // no audio format of that id
    kOrvelleErrWrite = 4,   // the file cannot be written
    kOrvelleErrDevice = 5,  // the audio output cannot be opened
};

// One audio format the component offers: its name, as FormatFound reports it, and what
// its samples are.
struct OrvelleFormat {
    QString name;
    qint32 id = 0;
    int rate = 0;
    int bits = 0;
    int channels = 0;
};

class cOrvelle : public QObject
{
    Q_OBJECT
public:
    explicit cOrvelle(QObject* parent = nullptr) : QObject(parent) {}

    // Voices and outputs are named from 1 and chosen from 0, in the same order.
    virtual qint32 GetVoiceCount() = 0;
    virtual QString GetVoiceName(qint32& Index) = 0;
    virtual qint32 GetOutputCount() = 0;
    virtual QString GetOutputName(qint32& Index) = 0;
    // Raises FormatFound for every format offered, all before it returns.
    virtual void EnumFormats() = 0;

    // True while speech started by Speak is under way (until Done or StopSpeech); a
    // speech file being written does not count.
    virtual bool BusyState() = 0;
    // The settings of the next Speak or SpeakToFile. An index of -1 (or past the end)
    // takes the default output or the first voice.
    virtual void SetOutputIndex(qint32 Index) = 0;
    virtual void SetVoiceIndex(qint32 Index) = 0;
    // -10 (slowest) to 10 (fastest); 0 is the engine's normal rate.
    virtual void SetRate(qint32 Rate) = 0;
    // 0 (silent) to 100 (the engine's normal loudness).
    virtual void SetVolume(qint32 Volume) = 0;
    virtual void SetSpeakFlags(qint32 Flags) = 0;
    virtual void SetFormatId(qint32 Id) = 0;

    // Ends any speech under way, then starts speaking and returns at once: WordPosition
    // follows as each word is heard, and one Done when all of it has played.
    virtual void Speak(const QString& Text) = 0;
    // Ends the speech at once; no Done follows. A speech file being written ends too, with
    // FileAborted.
    virtual void StopSpeech() = 0;
    virtual void Pause(bool State) = 0;
    // Ends any speech under way (a speech file too), then starts writing the speech of Text
    // as a WAV file in the chosen format and returns 0 at once. FileProgress follows as
    // the text is spoken, then exactly one of FileDone (the file is complete under its
    // name), FileAborted or FileError; the files' events come in the order they were
    // asked for. Until it is complete the file is written under a temporary name, and
    // one that does not end well leaves the name as it was.
    virtual qint32 SpeakToFile(const QString& Text, QString& FileName) = 0;
    // Why the last speech file failed.
    virtual QString LastErrorText() = 0;
    // Ends the speech (a speech file too) and releases the output and the engine's
    // thread; no event follows.
    virtual void CloseSpeech() = 0;

    // The formats every speech component offers, in their order.
    static const QList<OrvelleFormat>& Formats();
    static const OrvelleFormat* FindFormat(qint32 Id);

signals:
    void Notify(qint32 Value1, qint32 Value2);
    void Done();
    // The word now heard: its start (from 0) and length in the text's UTF-16 code units.
    void WordPosition(qint32 Start, qint32 Length);
    void FormatFound(const QString& Name, qint32 Id);
    // How far into its text the speech file has come, 0 to 100.
    void FileProgress(qint32 Percent);
    void FileDone();
    void FileAborted();
    // Code is one of OrvelleErrorCode; LastErrorText is Description.
    void FileError(qint32 Code, const QString& Description);
};

// The windows create their speech component here; tests may replace the factory.
using OrvelleFactory = std::function<cOrvelle*(QObject* parent)>;
cOrvelle* CreateOrvelle(QObject* parent);
void SetOrvelleFactory(OrvelleFactory factory);  // an empty factory restores the real one
