// The conversion component the windows drive: probes a source, reads its tags, and
// converts a file or a time range of it into one output format on its own worker thread.
#pragma once

#include "components/audio/AudioJobComponent.h"

#include <QObject>
#include <QString>

#include <functional>

class cAudioConverter : public AudioJobComponent
{
    Q_OBJECT
public:
    explicit cAudioConverter(QObject* parent = nullptr);
    ~cAudioConverter() override;

    // Probing. ReadFileInfo returns 0 when the file is readable; afterwards Duration
    // (milliseconds), SampleRate, Channels and BitsPerSample describe it (0 otherwise).
    virtual qint32 ReadFileInfo(const QString& FileName) = 0;
    virtual qint32 Duration() const = 0;
    virtual qint32 SampleRate() const = 0;
    virtual qint16 Channels() const = 0;
    virtual qint32 BitsPerSample() const = 0;
    virtual void ReadTags(const QString& FileName) = 0;
    virtual void CloseFile() = 0;
    // Why the last ReadFileInfo could not read its file, in the engine's words; "" when it could.
    virtual QString FileInfoError() const = 0;

    // "HH:MM:SS" for a length in seconds.
    static QString SecondsToTimeText(qint32 Seconds);

    // The next conversion (ReadTags fills the tags it writes). A newly set source is
    // converted whole until a range is set.
    void SetSourceFile(const QString& path);
    QString SourceFile() const { return m_sourceFile; }

    // Starts converting and returns at once; exactly one of Done, Aborted or Error follows.
    virtual void StartConvert() = 0;
    virtual bool IsConverting() const = 0;
    // Once the conversion has ended well: how much of the source reached its output, in
    // milliseconds; -1 before then, or when it is not known.
    qint64 WrittenMs() const { return m_writtenMs; }
    // When the window that hosts the component closes: aborts a running conversion (its
    // Aborted event follows while the component lives) and releases the source.
    virtual void CloseConverter() = 0;

    // Codec catalogues. The enumeration events arrive before these calls return.
    virtual void EnumACMTags(qint32 FormatTag, qint32 SamplesPerSec, qint32 Channels, qint32 BitsPerSample,
                             qint32 Flags) = 0;
    virtual void EnumACMFormats(const QString& TagName) = 0;
    virtual qint32 GetWMACodecCount() = 0;
    virtual QString GetWMACodecName(qint32& CodecIndex) = 0;
    virtual qint32 GetWMAFormatCount(qint32 CodecIndex) = 0;
    virtual QString GetWMAFormatName(qint32 CodecIndex, qint32& FormatIndex) = 0;

signals:
    void ACMTagFound(QString TagName);
    void ACMFormatFound(QString FormatName);

protected:
    QString m_sourceFile;
    qint64 m_writtenMs = -1;
};

// Error codes of the Error event (shared by the converter and the CD ripper).
enum AudioErrorCode : qint32 {
    kErrSourceMissing = 1,
    kErrSourceUnreadable = 2,
    kErrSourceDamaged = 3,
    kErrOutputSameAsSource = 4,
    kErrOutputUnwritable = 5,
    kErrWriteFailed = 6,
    kErrFormatUnsupported = 7,
    kErrCodecUnavailable = 8,
    kErrBadRange = 9,
    kErrBusy = 10,
    kErrDecodeFailed = 11,
    kErrEncodeFailed = 12,
    kErrDevice = 13,
    kErrSourceChanged = 14,  // the source is no longer the file a job of several parts began on
};

// The windows create their converter here; tests may replace the factory.
using AudioConverterFactory = std::function<cAudioConverter*(QObject* parent)>;
cAudioConverter* CreateAudioConverter(QObject* parent);
void SetAudioConverterFactory(AudioConverterFactory factory);  // an empty factory restores the real one
