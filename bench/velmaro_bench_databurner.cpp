// Writes files to an image target as a data disc through one of the two data burner
// components, with nothing around the component's own calls: the files added, then one
// burn until its terminal event. Prints the start-up and the time from the first AddFile
// to the terminal event (Finished for the CD-only component, BurnEnd for the CD/DVD one).
// Usage: velmaro_bench_databurner cd|dvd TARGET FILE...   (TARGET is the image target P:
// the disc is written into P.iso, which must not exist yet)
#include "components/cAudioDataBurner/cAudioDataBurner.h"
#include "components/cBurner/cBurner.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The CD-only component: AddFile for each file, Burn(letter, fastest) until Finished or Error.
bool burnCdOnly(const QStringList& files, QElapsedTimer& timer, QString& error)
{
    std::unique_ptr<cAudioDataBurner> b(CreateAudioDataBurner(nullptr));
    const QString letter = b->GetDriveName(b->GetDriveCount()).left(1);
    bool finished = false;
    QObject::connect(b.get(), &cAudioDataBurner::Finished, [&] { finished = true; });
    QObject::connect(b.get(), &cAudioDataBurner::Error, [&](qint32, const QString& d) { error = d; });
    b->SetVolumeName(QStringLiteral("BENCH"));
    timer.start();
    for (QString f : files)
        if (!b->AddFile(f)) {
            error = QStringLiteral("cannot add ") + f;
            return false;
        }
    b->Burn(letter, 65535);
    return finished;
}

// The CD/DVD component: a new compilation with ISO 9660 and Joliet, AddFile for each file,
// Burn(index) until BurnEnd or Message.
bool burnCdDvd(const QStringList& files, QElapsedTimer& timer, QString& error)
{
    std::unique_ptr<cBurner> b(CreateBurner(nullptr));
    const qint32 last = b->DriveCount() - 1;
    bool ended = false;
    QObject::connect(b.get(), &cBurner::BurnEnd, [&] { ended = true; });
    QObject::connect(b.get(), &cBurner::Message, [&](const QString& d, const QString& t) { error = t + " (" + d + ")"; });
    b->NewCompilation();
    b->SetFileSystemISO(true);
    b->SetFileSystemJoliet(true);
    b->SetVolumeName(QStringLiteral("BENCH"));
    timer.start();
    for (QString f : files)
        b->AddFile(f);
    b->Burn(last);
    return ended;
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer startUp;
    startUp.start();
    QCoreApplication app(argc, argv);
    const bool cdOnly = argc >= 4 && std::strcmp(argv[1], "cd") == 0;
    if (argc < 4 || (!cdOnly && std::strcmp(argv[1], "dvd") != 0)) {
        std::fprintf(stderr, "usage: velmaro_bench_databurner cd|dvd TARGET FILE...\n");
        return 2;
    }
    qputenv("VELMARO_CD_WRITERS", QByteArray(argv[2]));
    QStringList files;
    for (int i = 3; i < argc; ++i)
        files << QString::fromLocal8Bit(argv[i]);

    // The component is created and the writers listed before the timer starts.
    QElapsedTimer t;
    QString error;
    const bool ok = cdOnly ? burnCdOnly(files, t, error) : burnCdDvd(files, t, error);
    const qint64 ns = t.nsecsElapsed();
    std::printf("start-up %.3f s\n", (startUp.nsecsElapsed() - ns) / 1e9);
    if (!ok) {
        std::fprintf(stderr, "burn failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d files burned in %.3f s\n", int(files.size()), ns / 1e9);
    return 0;
}
