// The conversion component the windows drive: probes a source, reads its tags, and
// converts a file or a time range of it into one output format on its own worker thread.
#pragma once

#include "components/audio/AudioSettings.h"

#include <QObject>
#include <QString>

#include <functional>

class cAudioConverter : public QObject
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

    // "HH:MM:SS" for a length in seconds.
    static QString SecondsToTimeText(qint32 Seconds);

    // Tags: read by ReadTags, written into the following outputs.
    QString TagTitle() const { return m_tags.Title; }
    QString TagArtist() const { return m_tags.Artist; }
    QString TagAlbum() const { return m_tags.Album; }
    QString TagYear() const { return m_tags.Year; }
    QString TagComment() const { return m_tags.Comment; }
    QString TagGenre() const { return m_tags.Genre; }
    QString TagTrack() const { return m_tags.Track; }
    void SetTagTitle(const QString& v) { m_tags.Title = v; }
    void SetTagArtist(const QString& v) { m_tags.Artist = v; }
    void SetTagAlbum(const QString& v) { m_tags.Album = v; }
    void SetTagYear(const QString& v) { m_tags.Year = v; }
    void SetTagComment(const QString& v) { m_tags.Comment = v; }
    void SetTagGenre(const QString& v) { m_tags.Genre = v; }
    void SetTagTrack(const QString& v) { m_tags.Track = v; }
    const AudioTags& Tags() const { return m_tags; }

    // The next conversion. A newly set source is converted whole until a range is set.
    void SetSourceFile(const QString& path);
    QString SourceFile() const { return m_sourceFile; }
    void SetOutputFile(const QString& path) { m_outputFile = path; }
    QString OutputFile() const { return m_outputFile; }
    void SetOutputFormat(qint32 format) { m_settings.OutputFormat = format; }
    qint32 OutputFormat() const { return m_settings.OutputFormat; }
    void SetRangeStart(qint32 seconds);
    void SetRangeLength(qint32 seconds);
    qint32 RangeStart() const { return m_rangeStart; }
    qint32 RangeLength() const { return m_rangeLength; }
    bool HasRange() const { return m_hasRange; }

    void SetWAVSettings(WAVSettings& settings) { m_settings.WAV = settings; }
    void SetACMSettings(QString& TagName, QString& FormatName);
    void SetMP3Settings(MP3Settings& settings) { m_settings.MP3 = settings; }
    void SetWMASettings(WMASettings& settings) { m_settings.WMA = settings; }
    void SetOGGSettings(OGGSettings& settings) { m_settings.OGG = settings; }
    void SetAPESettings(qint32& Level) { m_settings.APELevel = Level; }
    const EncoderSettings& Settings() const { return m_settings; }

    // Starts converting and returns at once; exactly one of Done, Aborted or Error follows.
    virtual void StartConvert() = 0;
    virtual void Abort() = 0;
    virtual bool IsConverting() const = 0;

    // Codec catalogues. The enumeration events arrive before these calls return.
    virtual void EnumACMTags(qint32 FormatTag, qint32 SamplesPerSec, qint32 Channels, qint32 BitsPerSample,
                             qint32 Flags) = 0;
    virtual void EnumACMFormats(const QString& TagName) = 0;
    virtual qint32 GetWMACodecCount() = 0;
    virtual QString GetWMACodecName(qint32& CodecIndex) = 0;
    virtual qint32 GetWMAFormatCount(qint32 CodecIndex) = 0;
    virtual QString GetWMAFormatName(qint32 CodecIndex, qint32& FormatIndex) = 0;

signals:
    void Progress(qint32 Percent);
    void Done();
    void Aborted();
    void Error(qint32 Code, QString Description);
    void ACMTagFound(QString TagName);
    void ACMFormatFound(QString FormatName);

protected:
    AudioTags m_tags;
    EncoderSettings m_settings;
    QString m_sourceFile;
    QString m_outputFile;
    qint32 m_rangeStart = 0;
    qint32 m_rangeLength = 0;
    bool m_hasRange = false;
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
};

// The windows create their converter here; tests may replace the factory.
using AudioConverterFactory = std::function<cAudioConverter*(QObject* parent)>;
cAudioConverter* CreateAudioConverter(QObject* parent);
void SetAudioConverterFactory(AudioConverterFactory factory);  // an empty factory restores the real one
