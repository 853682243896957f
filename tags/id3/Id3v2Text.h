// The texts inside ID3v2 frames: each string in the encoding the frame's first byte names
// (0 ISO-8859-1, 1 UTF-16 with a byte-order mark, 2 UTF-16 big-endian, 3 UTF-8), ended by
// a terminator (one zero byte, two for UTF-16) or by the end of the frame.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace Id3v2Text {

enum Encoding : quint8 { Latin1 = 0, Utf16 = 1, Utf16BigEndian = 2, Utf8 = 3 };

// The string that starts at *pos, read up to its terminator, which is passed over; *pos
// ends after it (or at the end of the data). An unknown encoding reads as ISO-8859-1;
// UTF-16 without a byte-order mark reads as little-endian.
QString ReadString(quint8 encoding, QByteArrayView data, qsizetype* pos);

// Every string from pos to the end of the data; a terminator at the very end adds no
// empty string.
QStringList ReadStrings(quint8 encoding, QByteArrayView data, qsizetype pos);

// ISO-8859-1 (0) when every character of the texts has a code below 256, else UTF-16 (1).
quint8 EncodingFor(const QStringList& texts);

// The text's bytes in the encoding (UTF-16 with its byte-order mark), without terminator.
// NUL characters are left out: inside a frame they would end the string.
QByteArray Encode(quint8 encoding, const QString& text);
QByteArray Terminator(quint8 encoding);

// An ISO-8859-1 string (a MIME type, an address) up to its zero byte or the end.
QByteArray ReadLatin1(QByteArrayView data, qsizetype* pos);

} // namespace Id3v2Text
