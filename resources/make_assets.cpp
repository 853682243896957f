// Build-time helper: writes the files the program folder needs that are not kept as
// sources - the end-of-job sound and the tray icon.
//   make_assets <program folder> <icon svg>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageWriter>
#include <QPixmap>

#include <cmath>
#include <cstdio>

namespace {

void put16(QByteArray& b, quint16 v)
{
    b += char(v & 0xFF);
    b += char(v >> 8);
}

void put32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b += char((v >> (8 * i)) & 0xFF);
}

// A short two-note chime: 16-bit mono PCM at 22050 Hz.
QByteArray chime()
{
    const int rate = 22050;
    const double notes[] = {880.0, 1318.5};
    const double noteLength = 0.22;
    QByteArray pcm;
    for (int n = 0; n < 2; ++n) {
        const int count = int(rate * (n == 0 ? noteLength : noteLength * 2));
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / rate;
            const double attack = std::min(1.0, t / 0.005);
            const double env = attack * std::exp(-t * (n == 0 ? 9.0 : 6.0));
            const double s = 0.6 * env
                * (std::sin(2 * M_PI * notes[n] * t) + 0.3 * std::sin(2 * M_PI * 2 * notes[n] * t)) / 1.3;
            put16(pcm, quint16(qint16(std::lround(s * 32767))));
        }
    }
    QByteArray wav = "RIFF";
    put32(wav, quint32(36 + pcm.size()));
    wav += "WAVEfmt ";
    put32(wav, 16);
    put16(wav, 1);
    put16(wav, 1);
    put32(wav, rate);
    put32(wav, rate * 2);
    put16(wav, 2);
    put16(wav, 16);
    wav += "data";
    put32(wav, quint32(pcm.size()));
    return wav + pcm;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_assets <program folder> <icon svg>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir + QStringLiteral("/sound"));
    QDir().mkpath(dir + QStringLiteral("/SysIcon"));

    QFile wav(dir + QStringLiteral("/sound/notify.wav"));
    if (!wav.open(QIODevice::WriteOnly) || wav.write(chime()) < 0) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(wav.fileName()));
        return 1;
    }
    wav.close();

    const QIcon icon(QString::fromLocal8Bit(argv[2]));
    const QImage image = icon.pixmap(32, 32).toImage();
    QImageWriter writer(dir + QStringLiteral("/SysIcon/systrayicon.ico"), "ico");
    if (image.isNull() || !writer.write(image)) {
        std::fprintf(stderr, "make_assets: cannot write the tray icon: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
