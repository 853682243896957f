// What other programs make of an MP3 file: running them, the tags FFmpeg reads, a checksum
// of the audio packets FFmpeg delivers, and the bytes between the two tags.
#pragma once

#include <QByteArray>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace Id3Tools {

// Runs a program (no shell) and returns its standard output; "<failed>" when it fails.
inline QByteArray Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning().noquote() << program << args.join(u' ') << p.readAllStandardError();
        return QByteArray("<failed>");
    }
    return p.readAllStandardOutput();
}

// The tags FFmpeg's metadata reader finds in the file.
inline QJsonObject ProbeTags(const QString& path)
{
    const QByteArray json =
        Run(QStringLiteral("ffprobe"), {"-v", "error", "-show_entries", "format_tags", "-of", "json", path});
    return QJsonDocument::fromJson(json).object().value("format").toObject().value("tags").toObject();
}

// An MD5 of the audio packets as FFmpeg's demuxer delivers them.
inline QByteArray AudioPacketsMd5(const QString& path)
{
    return Run(QStringLiteral("ffmpeg"), {"-v", "error", "-i", path, "-map", "0:a", "-c", "copy", "-f", "md5", "-"});
}

// The bytes between the ID3v2 tag at the start (if any) and the ID3v1 block (if any).
inline QByteArray AudioBytes(const QByteArray& file)
{
    qsizetype begin = 0;
    if (file.startsWith("ID3") && file.size() >= 10)
        begin = 10 + ((file[6] << 21) | (file[7] << 14) | (file[8] << 7) | file[9]) + ((file[5] & 0x10) ? 10 : 0);
    qsizetype end = file.size();
    if (end - begin > 128 && file.mid(end - 128, 3) == "TAG")
        end -= 128;
    return file.mid(begin, end - begin);
}

} // namespace Id3Tools
