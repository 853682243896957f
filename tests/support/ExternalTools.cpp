// Fixture making with the command-line audio tools.
#include "tests/support/ExternalTools.h"

#include "tests/support/AudioFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

namespace ExternalTools {

namespace {

// Runs the program and waits up to a minute; false with why when it is missing or fails.
// With `merged`, what it says on both channels is read as one.
bool runProgram(QProcess& p, const QString& program, const QStringList& arguments, bool merged, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (QStandardPaths::findExecutable(program).isEmpty())
        return fail(program + QStringLiteral(" is not installed"));
    if (merged)
        p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return fail(program + QStringLiteral(" did not finish"));
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return fail(program + QStringLiteral(" failed: ") +
                    QString::fromLocal8Bit(merged ? p.readAll() : p.readAllStandardError()));
    return true;
}

}  // namespace

bool Run(const QString& program, const QStringList& arguments, const QString& output, QString* error)
{
    QProcess p;
    if (!runProgram(p, program, arguments, true, error))
        return false;
    if (QFileInfo(output).size() <= 0) {
        if (error)
            *error = program + QStringLiteral(" wrote nothing to ") + output;
        return false;
    }
    return true;
}

bool SoxSynth(const QString& output, int rate, int channels, int bits, const QString& seconds, const QString& sounds,
              QString* error)
{
    const QStringList arguments = QStringList{QStringLiteral("-n"), QStringLiteral("-r"), QString::number(rate),
                                              QStringLiteral("-c"), QString::number(channels), QStringLiteral("-b"),
                                              QString::number(bits), output, QStringLiteral("synth"), seconds}
        + sounds.split(u' ', Qt::SkipEmptyParts) + QStringList{QStringLiteral("vol"), QStringLiteral("0.5")};
    return Run(QStringLiteral("sox"), arguments, output, error);
}

bool Lame128(const QString& wav, const QString& mp3, QString* error)
{
    return Run(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), wav, mp3},
               mp3, error);
}

QString Output(const QString& program, const QStringList& arguments, QString* error)
{
    QProcess p;
    if (!runProgram(p, program, arguments, false, error))
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

namespace {

constexpr int kRate = 44100;

// 2 s of noise and 8 s of digital silence, in that order or the reverse.
bool noiseAndSilenceWav(const QString& path, bool noiseFirst)
{
    const QVector<qint16> noise = AudioFixtures::noise(2 * kRate, 2, 27, 0.5);
    const QVector<qint16> silence(8 * kRate * 2, 0);
    return AudioFixtures::writeWav(path, kRate, 2, 16, noiseFirst ? noise + silence : silence + noise);
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char(v >> (8 * i));
    return b;
}

// An APEv2 tag with a header and a footer, holding a title.
QByteArray apeTag()
{
    const QByteArray value = "A title long enough to span a few bytes";
    const QByteArray item = le32(quint32(value.size())) + le32(0) + "Title" + '\0' + value;
    auto frame = [&](quint32 flags) {
        return "APETAGEX" + le32(2000) + le32(quint32(item.size() + 32)) + le32(1) + le32(flags) + QByteArray(8, '\0');
    };
    return frame(0xA0000000u) + item + frame(0x80000000u);
}

QByteArray id3v1Tag()
{
    QByteArray t = "TAG";
    t += QByteArray("Title").leftJustified(30, '\0') + QByteArray("Artist").leftJustified(30, '\0') +
         QByteArray("Album").leftJustified(30, '\0') + "2024" + QByteArray("Comment").leftJustified(30, '\0');
    t += char(12);
    return t;
}

bool appendBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::Append) && f.write(bytes) == bytes.size();
}

}  // namespace

QStringList NoLengthKinds()
{
    return {QStringLiteral("vbr, noise first"),
            QStringLiteral("vbr, silence first"),
            QStringLiteral("vbr, ID3v2 before and ID3v1 after"),
            QStringLiteral("vbr, APE and ID3v1 tags after"),
            QStringLiteral("cbr without header"),
            QStringLiteral("cbr, garbage between frames"),
            QStringLiteral("mpeg-2 vbr mono"),
            QStringLiteral("adts aac"),
            QStringLiteral("mp2"),
            QStringLiteral("ac3")};
}

QString NoLengthSource(const QString& folder, const QString& kind, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    if (!NoLengthKinds().contains(kind))
        return fail(QStringLiteral("no such kind of source: ") + kind);
    const QDir dir(folder);
    const bool silenceFirst = kind == QLatin1String("vbr, silence first");
    const QString wav = dir.filePath(silenceFirst ? QStringLiteral("silence-noise.wav") : QStringLiteral("noise-silence.wav"));
    if (!QFileInfo::exists(wav) && !noiseAndSilenceWav(wav, !silenceFirst))
        return fail(QStringLiteral("cannot write ") + wav);
    QString stem = kind;
    for (QChar& c : stem)
        if (!c.isLetterOrNumber())
            c = u'-';
    const QString ext = kind == QLatin1String("adts aac") ? QStringLiteral("aac")
                        : kind == QLatin1String("mp2")    ? QStringLiteral("mp2")
                        : kind == QLatin1String("ac3")    ? QStringLiteral("ac3")
                                                          : QStringLiteral("mp3");
    const QString out = dir.filePath(stem + u'.' + ext);
    QFile::remove(out);
    QString why;
    auto lame = [&](const QStringList& args, const QString& target) {
        return Run(QStringLiteral("lame"), QStringList{QStringLiteral("--quiet"), QStringLiteral("-t")} + args + QStringList{wav, target},
                   target, &why);
    };
    auto ffmpeg = [&](const QStringList& args) {
        return Run(QStringLiteral("ffmpeg"),
                   QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), wav} + args + QStringList{out},
                   out, &why);
    };
    const QStringList vbr{QStringLiteral("-V"), QStringLiteral("0")};
    const QStringList cbr{QStringLiteral("-b"), QStringLiteral("128")};
    bool made = false;
    if (kind == QLatin1String("vbr, noise first") || silenceFirst) {
        made = lame(vbr, out);
    } else if (kind == QLatin1String("vbr, ID3v2 before and ID3v1 after")) {
        made = lame(vbr + QStringList{QStringLiteral("--add-id3v2"), QStringLiteral("--pad-id3v2-size"), QStringLiteral("3000"),
                                      QStringLiteral("--tt"), QStringLiteral("Title"), QStringLiteral("--ta"), QStringLiteral("Artist")},
                    out);
    } else if (kind == QLatin1String("vbr, APE and ID3v1 tags after")) {
        made = lame(vbr, out) && appendBytes(out, apeTag() + id3v1Tag());
    } else if (kind == QLatin1String("cbr without header")) {
        made = lame(cbr, out);
    } else if (kind == QLatin1String("cbr, garbage between frames")) {
        // The garbage stands where a cutter joined two streams: between two whole frames.
        const QString half = dir.filePath(QStringLiteral("half.mp3"));
        made = lame(cbr, half);
        QFile f(half);
        if (made && f.open(QIODevice::ReadOnly)) {
            const QByteArray frames = f.readAll();
            QByteArray garbage(3000, '\0');
            QRandomGenerator random(27);
            for (char& b : garbage)
                b = char(random.bounded(256));
            QFile o(out);
            made = o.open(QIODevice::WriteOnly) && o.write(frames + garbage + frames) > 0;
        }
        QFile::remove(half);
    } else if (kind == QLatin1String("mpeg-2 vbr mono")) {
        made = lame({QStringLiteral("-V"), QStringLiteral("2"), QStringLiteral("--resample"), QStringLiteral("22.05"),
                     QStringLiteral("-m"), QStringLiteral("m")},
                    out);
    } else if (kind == QLatin1String("adts aac")) {
        made = ffmpeg({QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("128k"), QStringLiteral("-f"),
                       QStringLiteral("adts")});
    } else if (kind == QLatin1String("mp2")) {
        made = ffmpeg({QStringLiteral("-c:a"), QStringLiteral("mp2"), QStringLiteral("-b:a"), QStringLiteral("192k")});
    } else if (kind == QLatin1String("ac3")) {
        made = ffmpeg({QStringLiteral("-c:a"), QStringLiteral("ac3"), QStringLiteral("-b:a"), QStringLiteral("192k")});
    }
    if (!made)
        return fail(why.isEmpty() ? QStringLiteral("cannot make ") + out : why);
    return out;
}

}  // namespace ExternalTools
