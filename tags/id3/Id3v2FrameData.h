// The data of single ID3v2 frames: the texts the known frames carry, the frames the
// properties write, and the conversion of a frame read from a tag of version 2.2, 2.3 or
// 2.4 into the version 2.3 form the writer puts back.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// One value of a frame, as the frame store keeps it.
struct Id3v2Frame
{
    QByteArray data;        // the frame's data in version 2.3 form (written back unchanged)
    quint16 flags = 0;      // its version 2.3 frame flags
    bool writable = true;   // false: it has no version 2.3 form and is left out when written
};

// A frame with its id, as a tag holds it.
struct Id3v2IdFrame
{
    QString id;
    Id3v2Frame frame;
};

namespace Id3v2FrameData {

// Version 2.3 frame flags that change how the data is read.
inline constexpr quint16 kCompressed = 0x0080;
inline constexpr quint16 kEncrypted = 0x0040;
inline constexpr quint16 kGrouped = 0x0020;

// A text frame ("T" ids but "TXXX") or a URL frame ("W" ids but "WXXX").
bool IsTextFrame(const QString& id);
bool IsUrlFrame(const QString& id);

// The text a frame says: a text frame's strings joined by "/", a URL frame's address, the
// play counter as a decimal number; "" for any other frame and for compressed or
// encrypted data.
QString TextValue(const QString& id, const Id3v2Frame& frame);

// The parts of a comment or lyrics frame ("COMM", "USLT") and of a user link ("WXXX",
// whose language stays empty and whose text is the address).
struct Described
{
    bool ok = false;
    QByteArray language;
    QString description;
    QString text;
};
Described ReadDescribed(const QString& id, const Id3v2Frame& frame);

// Frames as the properties write them, in ISO-8859-1 when every character fits and in
// UTF-16 otherwise.
Id3v2Frame TextFrame(const QString& text);
Id3v2Frame UrlFrame(const QString& url);
Id3v2Frame UserUrlFrame(const QString& description, const QString& url);
Id3v2Frame DescribedFrame(const QByteArray& language, const QString& description, const QString& text);
// The play counter: a decimal number as a big-endian counter of at least four bytes; any
// other text counts 0.
Id3v2Frame CounterFrame(const QString& decimal);
// The frame of an id's kind that says the text: a comment or lyrics frame in English
// with no description, a user link without description, a URL, a counter, otherwise a
// text frame.
Id3v2Frame FrameFromText(const QString& id, const QString& text);

// A language code fit to write: three ASCII letters; anything else gives "eng".
QByteArray WritableLanguage(const QByteArray& language);

// The version 2.3 id of a version 2.2 id; "" when it has none.
QString MapV22FrameId(const QString& id);

// A frame as read from a tag of the given major version (data after the frame header,
// the header's flags, whether the tag header declares unsynchronisation), turned into
// its version 2.3 form: one frame, or the frames it becomes, or one marked not writable.
QVector<Id3v2IdFrame> ToVersion23(int version, const QString& id, const QByteArray& data, quint16 flags,
                                  bool tagUnsynchronised);

// A frame of an id that version 2.4 brought in, in its version 2.3 form: a date as the
// year (with day, month and time of the recording), the people and the musicians as the
// involved people; a frame that version 2.3 has no counterpart for marked not writable.
// Any other frame comes back as it is.
QVector<Id3v2IdFrame> Version24To23(const QString& id, const Id3v2Frame& frame);

// The frames of a whole version 2.4 tag, each already in its version 2.3 form, made fit
// for one version 2.3 tag: a release date stands for the year when the tag has no
// recording date or year, and the involved people's lists become one.
void Version24TagTo23(QVector<Id3v2IdFrame>& frames);

// The bytes with every 0xFF 0x00 pair turned back into 0xFF.
QByteArray RemoveUnsynchronisation(const QByteArray& bytes);

} // namespace Id3v2FrameData
