// The ID3v2 tag of one MP3 file. Setting MP3File reads the tag (version 2.2, 2.3 or 2.4)
// into a frame store and into named properties; Update writes the store back as a version
// 2.3 tag at the start of the file.
//
// The store keeps every frame's bytes: a frame that no property setter replaced is written
// back as it was read (pictures, private and binary frames included). Frames of versions
// 2.2 and 2.4 are turned into their version 2.3 form when read (ids, encodings, dates);
// the few that have none are listed by FrameCount/Frame but left out when written.
//
// Texts are read in the encoding each frame names and written in ISO-8859-1 when every
// character fits, else in UTF-16. The comment is the comment frames without description
// (frames with one, which other programs use for their own data, are kept apart and
// untouched); the link is the user link without description likewise.
//
// Failures raise Id3Error with the source "<program>.cMP3ID3v2".
#pragma once

#include "tags/id3/Id3v2FrameStore.h"

#include <QString>

class Id3File;

class cMP3ID3v2
{
public:
    // True when the last read found a tag header.
    bool HasID3v2Tag() const { return m_tagPosition > 0; }
    quint8 ID3v2TagVersion() const { return m_tagVersion; }
    quint8 TagVersion() const { return m_tagVersion; }

    // The frame store: ids in list order, each with its values.
    qint32 FrameCount() const { return qint32(m_store.FrameCount()); }
    // The id at a 1-based position; raises SubscriptOutOfRange outside 1 to FrameCount.
    QString Frame(qint32 Index) const;
    // Removes a frame with all its values, by id or by 1-based position; raises when the
    // store holds no such frame.
    void RemoveFrame(const QString& Index);
    void RemoveFrame(qint32 Index);
    // The number of values of a frame, 0 when the store has none.
    qint32 TagsInFrame(const QString& Frame) const { return qint32(m_store.Count(Frame)); }
    // Adds a value saying sTag to the frame sFrame (a comment or lyrics frame in English
    // without description, a link, a counter or a text frame, by the id's kind). An id
    // that only version 2.4 has is stored as a version 2.4 tag's frame is when read: in
    // its version 2.3 form (a date "TDRC" as "TYER" and so on), or, without one, kept but
    // left out when written. Raises InvalidArgument for an id that is not four letters or
    // digits.
    void AddTag(const QString& sFrame, const QString& sTag);
    // Removes value tagIndex (1-based) of frame sFrame; the later values move down. Raises
    // InvalidArgument when there is no such value.
    void RemoveTag(const QString& sFrame, qint32 tagIndex);

    // The properties. Each setter stores the value and replaces its frame's value in the
    // store, so the frame then holds the new value alone and stands last in the list
    // (Comment and LinkTo replace only their frames without description).
    QString ArtistURL() const { return m_artistUrl; }
    void SetArtistURL(const QString& v);
    QString BuyURL() const { return m_buyUrl; }
    void SetBuyURL(const QString& v);
    QString AudioURL() const { return m_audioUrl; }
    void SetAudioURL(const QString& v);
    QString Copyright() const { return m_copyright; }
    void SetCopyright(const QString& v);
    QString Composer() const { return m_composer; }
    void SetComposer(const QString& v);
    QString OriginalArtist() const { return m_originalArtist; }
    void SetOriginalArtist(const QString& v);
    QString LinkTo() const { return m_linkTo; }
    void SetLinkTo(const QString& v);
    // The play counter as a decimal number.
    QString PlayCounter() const { return m_playCounter; }
    void SetPlayCounter(const QString& v);
    QString EncodedBy() const { return m_encodedBy; }
    void SetEncodedBy(const QString& v);
    QString Title() const { return m_title; }
    void SetTitle(const QString& v);
    QString Artist() const { return m_artist; }
    void SetArtist(const QString& v);
    QString Album() const { return m_album; }
    void SetAlbum(const QString& v);
    QString Year() const { return m_year; }
    void SetYear(const QString& v);
    // Several comment frames read join with a line break.
    QString Comment() const { return m_comment; }
    void SetComment(const QString& v);
    QString Lyrics() const { return m_lyrics; }
    void SetLyrics(const QString& v);
    // The genre code (255: none) and the genre's text; both setters write one content-type
    // frame "(code)text" (only the text when the code is 255).
    quint8 Genre() const { return m_genre; }
    void SetGenre(quint8 v);
    QString OtherGenreName() const { return m_otherGenreName; }
    void SetOtherGenreName(const QString& v);
    QString Track() const { return m_track; }
    void SetTrack(const QString& v);

    // The genre table's name of a code, "" for a code without one.
    static QString GenreName(quint8 Genre);

    QString MP3File() const { return m_path; }
    // Stores the path and reads the file's tag; everything of an earlier file is reset
    // first. When the file cannot be read the error is raised and the object holds what
    // was read up to the failure.
    void SetMP3File(const QString& path);

    // Writes the store into the file as a version 2.3 tag: over the old tag when the new
    // one is shorter, otherwise in a file grown in place to make room for the tag (padded
    // to a multiple of 2048 bytes), so hard links stay. Only a valid tag at the file's
    // start counts as the old tag, and of it only its frames and zero padding: every other
    // byte (audio that a wrong tag size reaches into) is kept after the new tag. A disk
    // without room for the growth raises with the file unchanged; a missing file raises
    // the open error and is not created; a file without MP3 frames after its tag (a WAV, a
    // FLAC, text, zeros) raises NotValidMp3 and is not touched. The object does not change.
    void Update();

private:
    void Reset();
    void ReadId3v2Tag();
    static qint64 FindId3v2Header(const Id3File& file);
    void StoreId3v2Frame(const QString& id, const Id3v2Frame& frame);
    void StoreGenre(const QString& text);
    void WriteId3v2Tag();

    void ReplaceText(QString& property, const QString& id, const QString& value);
    void ReplaceFrame(const QString& id, const Id3v2Frame& frame);
    void StoreGenreFrame();

    QString m_path;
    qint64 m_tagPosition = 0;
    quint8 m_tagVersion = 0;
    Id3v2FrameStore m_store;

    QString m_artistUrl;
    QString m_buyUrl;
    QString m_audioUrl;
    QString m_copyright;
    QString m_composer;
    QString m_originalArtist;
    QString m_linkTo;
    QString m_playCounter;
    QString m_encodedBy;
    QString m_title;
    QString m_artist;
    QString m_album;
    QString m_year;
    QString m_comment;
    QString m_lyrics;
    quint8 m_genre = 0;
    QString m_otherGenreName;
    QString m_track;
};
