// The ID3v1 tag of one MP3 file: the 128-byte block at the file's end ("TAG", title,
// artist, album, year, comment, a zero byte, track, genre), always in the layout with a
// 28-character comment and a track byte. Setting MP3File reads the block into the
// properties; Update writes the properties back into the same file. Texts are ISO-8859-1,
// one byte per character; a character outside it is written as "?".
//
// Failures raise Id3Error with the source "<program>.cMP3ID3v1": an open that fails (its
// own number and description), a file that is not an MP3 file (NotValidMp3) and a
// write that fails (a block that was being appended is taken back off the file).
#pragma once

#include <QString>

class cMP3ID3v1
{
public:
    QString MP3File() const { return m_path; }
    // Stores the path, then reads the file's block. When the file cannot be read the path
    // stays stored, the properties hold their reset values and the error is raised.
    void SetMP3File(const QString& path);
    // Writes the properties into the stored file: over the existing block, or as a new
    // block appended after the last byte. A file without MP3 frames (a WAV, a FLAC, text,
    // zeros, a file of a block or less) raises NotValidMp3 and is not touched.
    void Update();

    bool HasID3v1Tag() const { return m_hasTag; }

    QString Title() const { return m_title; }
    void SetTitle(const QString& v) { m_title = v; }
    QString Artist() const { return m_artist; }
    void SetArtist(const QString& v) { m_artist = v; }
    QString Album() const { return m_album; }
    void SetAlbum(const QString& v) { m_album = v; }
    QString Year() const { return m_year; }
    void SetYear(const QString& v) { m_year = v; }
    quint8 Track() const { return m_track; }
    void SetTrack(quint8 v) { m_track = v; }
    QString Comment() const { return m_comment; }
    void SetComment(const QString& v) { m_comment = v; }
    // 255 stands for no genre.
    quint8 Genre() const { return m_genre; }
    void SetGenre(quint8 v) { m_genre = v; }

    // The genre table's name of a code, "" for a code without one.
    static QString GenreName(quint8 genre);

private:
    void ReadId3v1Block();
    void WriteId3v1Block();

    QString m_path;
    bool m_hasTag = false;
    QString m_title;
    QString m_artist;
    QString m_album;
    QString m_year;
    QString m_comment;
    quint8 m_genre = 0;
    quint8 m_track = 0;
};
