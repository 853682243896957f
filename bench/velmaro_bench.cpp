// Benchmark driver for the conversion component: makes long noise WAV files and splits a
// source into parts exactly as the split job asks for them (one range per part, each next
// part started from the Done handler), printing the elapsed time.
#include "components/cAudioConverter/cAudioConverter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <cmath>
#include <cstdio>

namespace {

int makeWav(const QString& path, int seconds)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    const qint64 frames = qint64(seconds) * 44100;
    const quint32 bytes = quint32(frames * 4);
    QByteArray h("RIFF");
    auto u32 = [&](quint32 v) { h.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)).append(char(v >> 16 & 0xFF)).append(char(v >> 24)); };
    auto u16 = [&](quint16 v) { h.append(char(v & 0xFF)).append(char(v >> 8)); };
    u32(36 + bytes);
    h.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    h.append("data");
    u32(bytes);
    f.write(h);
    // Music-like test signal: a few drifting tones over quiet noise.
    std::vector<qint16> block(44100 * 2);
    quint32 s = 12345;
    double lp = 0;
    for (qint64 done = 0; done < frames;) {
        const qint64 n = std::min<qint64>(44100, frames - done);
        for (qint64 i = 0; i < n; ++i) {
            const double t = double(done + i) / 44100;
            s = s * 1664525u + 1013904223u;
            lp = 0.7 * lp + 0.3 * ((double(s >> 8) / double(1 << 24)) * 2 - 1);
            const double tone = 0.25 * std::sin(2 * M_PI * (220 + 30 * std::sin(t * 0.1)) * t) +
                                0.15 * std::sin(2 * M_PI * 660.5 * t) + 0.1 * std::sin(2 * M_PI * 1760 * t * (1 + 0.01 * std::sin(t)));
            block[size_t(i) * 2] = qint16(std::lround((tone + 0.1 * lp) * 30000));
            block[size_t(i) * 2 + 1] = qint16(std::lround((tone * 0.8 - 0.1 * lp) * 30000));
        }
        f.write(reinterpret_cast<const char*>(block.data()), n * 4);
        done += n;
    }
    return 0;
}

EncoderSettings settingsFor(const QString& name)
{
    EncoderSettings s;
    if (name == QLatin1String("wav")) {
        s.OutputFormat = kOutputWAV;
        s.WAV = WAVSettings{44100, 2, 16};
    } else if (name == QLatin1String("mp3")) {
        s.OutputFormat = kOutputMP3;
        s.MP3.Bitrate = 128;
        s.MP3.SampleRate = 44100;
        s.MP3.Quality = 5;  // the program's default; the peer runs at the same quality
    } else if (name == QLatin1String("ogg")) {
        s.OutputFormat = kOutputOGG;
        s.OGG = OGGSettings{0, 0, 50};
    } else if (name == QLatin1String("ima")) {
        s.OutputFormat = kOutputACM;
        s.ACMTag = QStringLiteral("IMA ADPCM");
        s.ACMFormat = QStringLiteral("44100 Hz, 4 Bit, Stereo");
    } else if (name == QLatin1String("wma")) {
        s.OutputFormat = kOutputWMA;
        s.WMA = WMASettings{0, 0};
    }
    return s;
}

QString extension(const QString& name)
{
    if (name == QLatin1String("mp3") || name == QLatin1String("ogg") || name == QLatin1String("wma"))
        return name;
    return QStringLiteral("wav");
}

// split SOURCE OUTDIR FORMAT PART_SECONDS
int split(const QString& source, const QString& outDir, const QString& format, int partSeconds)
{
    cAudioConverter* c = CreateAudioConverter(nullptr);
    if (c->ReadFileInfo(source) != 0) {
        fprintf(stderr, "cannot read %s\n", qPrintable(source));
        return 1;
    }
    const double total = c->Duration() / 1000.0;
    const EncoderSettings s = settingsFor(format);
    c->SetOutputFormat(s.OutputFormat);
    WAVSettings w = s.WAV;
    c->SetWAVSettings(w);
    QString tag = s.ACMTag, fmt = s.ACMFormat;
    c->SetACMSettings(tag, fmt);
    MP3Settings m = s.MP3;
    c->SetMP3Settings(m);
    WMASettings wm = s.WMA;
    c->SetWMASettings(wm);
    OGGSettings o = s.OGG;
    c->SetOGGSettings(o);
    int part = 0, failed = 0;
    QElapsedTimer timer;
    auto next = [&] {
        const int start = part * partSeconds;
        if (start >= total) {
            QCoreApplication::quit();
            return;
        }
        c->SetSourceFile(source);
        c->SetRangeStart(start);
        c->SetRangeLength(partSeconds);
        c->SetOutputFile(QDir(outDir).filePath(QStringLiteral("Part_%1.%2").arg(part + 1).arg(extension(format))));
        ++part;
        c->StartConvert();
    };
    QObject::connect(c, &cAudioConverter::Done, c, next);
    QObject::connect(c, &cAudioConverter::Error, c, [&](qint32 code, const QString& d) {
        fprintf(stderr, "part %d: error %d %s\n", part, code, qPrintable(d));
        ++failed;
        next();
    });
    timer.start();
    QMetaObject::invokeMethod(c, next, Qt::QueuedConnection);
    QCoreApplication::exec();
    printf("%d parts in %.3f s\n", part, timer.elapsed() / 1000.0);
    delete c;
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 4 && a[1] == QLatin1String("make-wav"))
        return makeWav(a[2], a[3].toInt());
    if (a.size() == 6 && a[1] == QLatin1String("split"))
        return split(a[2], a[3], a[4], a[5].toInt());
    if (a.size() == 2 && a[1] == QLatin1String("start-up")) {
        // What a split pays before its first part: the program's libraries loaded and the
        // component created, nothing converted.
        delete CreateAudioConverter(nullptr);
        return 0;
    }
    fprintf(stderr, "usage: velmaro_bench make-wav FILE SECONDS\n"
                    "       velmaro_bench split SOURCE OUTDIR wav|mp3|ogg|ima|wma PART_SECONDS\n"
                    "       velmaro_bench start-up\n");
    return 2;
}
