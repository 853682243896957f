// The CD ripper component: the CD drives (real ones and BIN/CUE image drives), the disc's
// tracks, the tray, and ripping one track or a range of it through the converter's encoders.
#pragma once

#include "components/audio/AudioSettings.h"

#include <QObject>
#include <QString>

#include <functional>

class cAudioCDRipper : public QObject
{
    Q_OBJECT
public:
    explicit cAudioCDRipper(QObject* parent = nullptr);
    ~cAudioCDRipper() override;

    // Devices count from 0; a device's name begins with its drive ("D:").
    virtual qint32 GetDeviceCount() = 0;
    virtual QString GetDeviceName(qint32 Index) = 0;
    virtual bool SelectDevice(qint32 Index) = 0;

    // The disc in the current device; tracks count from 1.
    virtual bool IsAudioCD() = 0;
    virtual qint32 GetTrackCount() = 0;
    virtual qint32 GetTrackLength(qint32& Track) = 0;  // whole seconds
    virtual qint32 GetTrackType(qint32& Track) = 0;    // 1 audio, 0 data
    virtual void OpenTray() = 0;
    virtual void CloseTray() = 0;
    virtual void CloseDevice() = 0;

    // The next rip. A newly set track is ripped whole until a range is set.
    void SetDeviceIndex(qint32 index) { m_deviceIndex = index; }
    qint32 DeviceIndex() const { return m_deviceIndex; }
    void SetTrackNumber(qint32 track);
    qint32 TrackNumber() const { return m_trackNumber; }
    void SetOutputFormat(qint32 format) { m_settings.OutputFormat = format; }
    qint32 OutputFormat() const { return m_settings.OutputFormat; }
    void SetOutputFile(const QString& path) { m_outputFile = path; }
    QString OutputFile() const { return m_outputFile; }
    void SetRangeStart(qint32 seconds);
    void SetRangeLength(qint32 seconds);
    qint32 RangeStart() const { return m_rangeStart; }
    qint32 RangeLength() const { return m_rangeLength; }
    bool HasRange() const { return m_hasRange; }

    void SetTagTitle(const QString& v) { m_tags.Title = v; }
    void SetTagArtist(const QString& v) { m_tags.Artist = v; }
    void SetTagAlbum(const QString& v) { m_tags.Album = v; }
    void SetTagYear(const QString& v) { m_tags.Year = v; }
    void SetTagComment(const QString& v) { m_tags.Comment = v; }
    void SetTagGenre(const QString& v) { m_tags.Genre = v; }
    void SetTagTrack(const QString& v) { m_tags.Track = v; }
    const AudioTags& Tags() const { return m_tags; }

    void SetWAVSettings(WAVSettings& settings) { m_settings.WAV = settings; }
    void SetACMSettings(QString& TagName, QString& FormatName);
    void SetMP3Settings(MP3Settings& settings) { m_settings.MP3 = settings; }
    void SetWMASettings(WMASettings& settings) { m_settings.WMA = settings; }
    void SetOGGSettings(OGGSettings& settings) { m_settings.OGG = settings; }
    void SetAPESettings(qint32& Level) { m_settings.APELevel = Level; }
    const EncoderSettings& Settings() const { return m_settings; }

    // Starts ripping and returns at once; exactly one of Done, Aborted or Error follows.
    virtual void StartRip() = 0;
    virtual void Abort() = 0;
    virtual bool IsRipping() const = 0;

signals:
    void Progress(qint32 Percent);
    void Done();
    void Aborted();
    void Error(qint32 Code, QString Description);

protected:
    AudioTags m_tags;
    EncoderSettings m_settings;
    QString m_outputFile;
    qint32 m_deviceIndex = 0;
    qint32 m_trackNumber = 1;
    qint32 m_rangeStart = 0;
    qint32 m_rangeLength = 0;
    bool m_hasRange = false;
};

using CDRipperFactory = std::function<cAudioCDRipper*(QObject* parent)>;
cAudioCDRipper* CreateAudioCDRipper(QObject* parent);
void SetAudioCDRipperFactory(CDRipperFactory factory);  // an empty factory restores the real one
