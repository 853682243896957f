// Reading text files that other programs wrote: UTF-8 when the bytes are valid UTF-8,
// otherwise Windows-1252 (the code page older copies of the program and most Windows
// editors wrote).
#pragma once

#include <QByteArray>
#include <QString>

// True when bytes are valid UTF-8 (an empty array is).
bool IsValidUtf8(const QByteArray& bytes);

// Bytes that are not valid UTF-8 decoded as Windows-1252; the five bytes that code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, so every byte reads as one character and nothing is replaced by U+FFFD.
QString DecodeWindows1252(const QByteArray& bytes);

// The text of bytes: UTF-8 when valid (a leading byte-order mark is dropped), else
// Windows-1252. *wasUtf8 tells which reading was taken.
QString DecodeText(const QByteArray& bytes, bool* wasUtf8 = nullptr);
