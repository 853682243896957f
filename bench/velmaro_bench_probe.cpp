// Benchmark driver for the probe: reads a file's format and length through the conversion
// component, as the items lists do when a file is added, and prints the length with the
// time the probe took inside the process (so that the whole process and the probe alone
// can be set against a peer).
//   velmaro_bench_probe FILE     prints "length <seconds> s, probed in <seconds> s"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    std::unique_ptr<cAudioConverter> converter(CreateAudioConverter(nullptr));
    QElapsedTimer timer;
    timer.start();
    const qint32 code = converter->ReadFileInfo(file);
    const qint64 ns = timer.nsecsElapsed();
    if (code != 0) {
        std::fprintf(stderr, "cannot probe %s (%d)\n", argv[1], code);
        return 1;
    }
    std::printf("length %.3f s, probed in %.6f s\n", converter->Duration() / 1000.0, double(ns) / 1e9);
    return 0;
}
