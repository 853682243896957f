// What the conversion and CD ripper components share: the output of the next job (file,
// format and encoder settings, range, tags) and the job's events.
#pragma once

#include "components/audio/AudioSettings.h"
#include "platform/FileIdentity.h"

#include <QObject>
#include <QString>

#include <utility>

class AudioJobComponent : public QObject
{
    Q_OBJECT
public:
    explicit AudioJobComponent(QObject* parent = nullptr) : QObject(parent) {}

    void SetOutputFile(const QString& path) { m_outputFile = path; }
    QString OutputFile() const { return m_outputFile; }
    // The file the next job may replace under its output's name: the window sets it just
    // before the start to the file that had the name when the user agreed to replace it
    // (answered Yes, or ticked the overwrite box), as it was then; a file of no identity
    // (none was there) agrees to nothing. The start takes it, and the job after agrees to
    // nothing again. Another file that has the name when the job ends (another job's
    // output) is left as it is and the job fails.
    void SetOverwriteAgreed(const FileIdentity& file) { m_overwriteAgreed = file; }
    bool OverwriteAgreed() const { return m_overwriteAgreed.exists; }
    void SetOutputFormat(qint32 format) { m_settings.OutputFormat = format; }
    qint32 OutputFormat() const { return m_settings.OutputFormat; }
    // Part of the source to work on, in whole seconds; unset, the whole source.
    void SetRangeStart(qint32 seconds);
    void SetRangeLength(qint32 seconds);
    qint32 RangeStart() const { return m_rangeStart; }
    qint32 RangeLength() const { return m_rangeLength; }
    bool HasRange() const { return m_hasRange; }

    // Tags written into the following outputs.
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

    void SetWAVSettings(WAVSettings& settings) { m_settings.WAV = settings; }
    void SetACMSettings(QString& TagName, QString& FormatName);
    void SetMP3Settings(MP3Settings& settings) { m_settings.MP3 = settings; }
    void SetWMASettings(WMASettings& settings) { m_settings.WMA = settings; }
    void SetOGGSettings(OGGSettings& settings) { m_settings.OGG = settings; }
    void SetAPESettings(qint32& Level) { m_settings.APELevel = Level; }
    const EncoderSettings& Settings() const { return m_settings; }

    virtual void Abort() = 0;

signals:
    void Progress(qint32 Percent);
    void Done();
    void Aborted();
    void Error(qint32 Code, QString Description);

protected:
    // A new source (file or track) is worked on whole until a range is set again.
    void clearRange();
    // What a starting job takes as its agreement to replace; the next agrees to nothing.
    FileIdentity takeOverwriteAgreed() { return std::exchange(m_overwriteAgreed, FileIdentity()); }

    AudioTags m_tags;
    EncoderSettings m_settings;
    QString m_outputFile;
    qint32 m_rangeStart = 0;
    qint32 m_rangeLength = 0;
    bool m_hasRange = false;
    FileIdentity m_overwriteAgreed;
};
