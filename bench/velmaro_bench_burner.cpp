// Burns audio files of any format to an image target through the audio CD burner
// component, as the burner window does: each file decoded into the track list, then one
// burn into a BIN/CUE image. Prints the time from the first file to the written image.
// Usage: velmaro_bench_burner TARGET FILE...   (TARGET is the image target P: P.bin + P.cue)
#include "components/cAudioBurner/AudioBurnerImpl.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QElapsedTimer startUp;
    startUp.start();
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: velmaro_bench_burner TARGET FILE...\n");
        return 2;
    }
    qputenv("VELMARO_CD_WRITERS", QByteArray(argv[1]));
    AudioBurnerImpl burner;
    const qint32 writers = burner.GetWriterCount();
    const QString letter = burner.GetWriterName(writers).left(1);
    std::printf("start-up %.3f s\n", startUp.nsecsElapsed() / 1e9);

    QElapsedTimer t;
    t.start();
    for (int i = 2; i < argc; ++i)
        if (!burner.AddTrack(QString::fromLocal8Bit(argv[i]))) {
            std::fprintf(stderr, "cannot add %s\n", argv[i]);
            return 1;
        }
    QString error;
    QObject::connect(&burner, &cAudioBurner::Error, [&](qint32, const QString& d) { error = d; });
    if (burner.Burn(letter, 65535) != 0) {
        std::fprintf(stderr, "burn failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d files burned in %.3f s\n", argc - 2, t.nsecsElapsed() / 1e9);
    return 0;
}
