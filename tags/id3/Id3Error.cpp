#include "tags/id3/Id3Error.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

Id3Error::Id3Error(qint32 number, const QString& description, const QString& source)
    : m_number(number), m_description(description), m_source(source),
      m_what((source + QStringLiteral(": ") + description + QStringLiteral(" (")
              + QString::number(number) + u')').toUtf8())
{
}

QString Id3ErrorSource(const char* className)
{
    QString program = QStringLiteral("velmaro");
    if (QCoreApplication::instance())
        program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return program + u'.' + QLatin1String(className);
}

qint32 Id3ErrorNumberForErrno(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return Id3ErrorNumber::FileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return Id3ErrorNumber::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
        return Id3ErrorNumber::DiskFull;
    case EIO:
        return Id3ErrorNumber::DeviceIoError;
    case EMFILE:
    case ENFILE:
        return Id3ErrorNumber::TooManyFiles;
    default:
        return Id3ErrorNumber::PathFileAccessError;
    }
}

Id3Error Id3FileError(int code, const QString& what, const QString& path, const QString& source)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(code));
    return Id3Error(Id3ErrorNumberForErrno(code),
                    what + QStringLiteral(" '") + path + QStringLiteral("': ") + reason + u'.', source);
}

Id3Error NotValidMp3Error(const QString& path, const QString& source)
{
    return Id3Error(Id3ErrorNumber::NotValidMp3, path + QStringLiteral(" is not a valid MP3 file."), source);
}
