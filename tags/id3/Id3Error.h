// The error the ID3 tag classes raise. It carries a number, a description and a source
// naming the class ("<program file name>.cMP3ID3v1" or ".cMP3ID3v2"); the caller catches it
// and shows the description followed by the number in brackets. It never leaves a Qt event
// handler: whoever calls the tag classes from a window catches it there.
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

class Id3Error : public std::exception
{
public:
    Id3Error(qint32 number, const QString& description, const QString& source);

    qint32 Number() const { return m_number; }
    const QString& Description() const { return m_description; }
    const QString& Source() const { return m_source; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    qint32 m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

// The numbers the tag classes raise: the runtime numbers of the failed operation, and the
// class's own number for a file that cannot hold an ID3v1 tag.
namespace Id3ErrorNumber {
inline constexpr qint32 InvalidArgument = 5;        // no such frame or value, a bad frame id
inline constexpr qint32 Overflow = 6;               // a tag larger than its size field can say
inline constexpr qint32 SubscriptOutOfRange = 9;    // a frame position outside the list
inline constexpr qint32 FileNotFound = 53;
inline constexpr qint32 DeviceIoError = 57;
inline constexpr qint32 DiskFull = 61;
inline constexpr qint32 TooManyFiles = 67;
inline constexpr qint32 PermissionDenied = 70;
inline constexpr qint32 PathFileAccessError = 75;
inline constexpr qint32 NotValidMp3 = -2147217407;  // 0x80041001
}

// The source text of the class's errors: the program's file name without its extension,
// a dot and the class name.
QString Id3ErrorSource(const char* className);

// The error number that stands for a system error code (errno).
qint32 Id3ErrorNumberForErrno(int code);

// The error of a file that is no MP3 file (NotValidMp3): "<path> is not a valid MP3 file.".
Id3Error NotValidMp3Error(const QString& path, const QString& source);

// An error for a failed file operation: `what` says the operation ("Cannot open"), the
// description names the file and the system's reason.
Id3Error Id3FileError(int code, const QString& what, const QString& path, const QString& source);
