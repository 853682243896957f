// What other programs make of an MP3 file: running them, the tags FFmpeg reads, a checksum
// of the audio packets FFmpeg delivers, its picture, and the bytes between the two tags.
#pragma once

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
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

// The name of the first of the programs these tests run that is not installed; "" when
// all are.
inline QString MissingTool()
{
    for (const char* tool : {"ffmpeg", "ffprobe", "lame", "eyeD3"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QString::fromLatin1(tool);
    return QString();
}

// The sources the tests tag in the folder: base.wav (0.3 s of a tone), base.mp3 (LAME's
// encoding of it, without tags) and cover.png (a small picture); false when one is missing.
inline bool MakeSources(const QString& folder)
{
    Run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=0.3", "-ar",
                                   "44100", "-ac", "1", folder + QStringLiteral("/base.wav")});
    Run(QStringLiteral("lame"),
        {"--quiet", "-b", "64", folder + QStringLiteral("/base.wav"), folder + QStringLiteral("/base.mp3")});
    Run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i", "color=c=red:s=16x16:d=1", "-frames:v",
                                   "1", folder + QStringLiteral("/cover.png")});
    return QFile::exists(folder + QStringLiteral("/base.mp3")) && QFile::exists(folder + QStringLiteral("/cover.png"));
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

// The attached picture FFmpeg finds in the file, written beside it as "<file>.png"; the
// path of that picture (missing when there is none).
inline QString Picture(const QString& mp3)
{
    const QString out = mp3 + QStringLiteral(".png");
    QFile::remove(out);
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", mp3, "-map", "0:v", "-c", "copy", "-f", "image2", out});
    p.waitForFinished(60000);
    return out;
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
