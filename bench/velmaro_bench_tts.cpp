// Benchmark driver for the speech component: speaks a text file into a WAV file in the
// engine's own format (22 kHz, 16 bit, mono) at the normal rate and loudness, with the
// named voice, and prints the time from SpeakToFile to the file's completion inside the
// process.
//   velmaro_bench_tts TEXT_FILE OUT.wav VOICE_NAME
//   prints "spoken in <seconds> s, <bytes> bytes"
#include "components/cOrvelle/cOrvelle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s TEXT_FILE OUT.wav VOICE_NAME\n", argv[0]);
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString text = QString::fromUtf8(in.readAll());
    QString out = QString::fromLocal8Bit(argv[2]);
    const QString voice = QString::fromLocal8Bit(argv[3]);

    std::unique_ptr<cOrvelle> speech(CreateOrvelle(nullptr));
    qint32 chosen = -1;
    for (qint32 i = 1; i <= speech->GetVoiceCount(); ++i)
        if (speech->GetVoiceName(i) == voice)
            chosen = i - 1;
    if (chosen < 0) {
        std::fprintf(stderr, "no voice named %s\n", argv[3]);
        return 1;
    }
    speech->SetVoiceIndex(chosen);
    speech->SetRate(0);
    speech->SetVolume(100);
    speech->SetFormatId(22);  // SAFT22kHz16BitMono, the engine's own format
    // The file is written on the component's thread; its end arrives as an event.
    QEventLoop wait;
    bool done = false;
    QObject::connect(speech.get(), &cOrvelle::FileDone, &wait, [&] {
        done = true;
        wait.quit();
    });
    QObject::connect(speech.get(), &cOrvelle::FileError, &wait, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    speech->SpeakToFile(text, out);
    wait.exec();
    const qint64 ns = timer.nsecsElapsed();
    if (!done) {
        std::fprintf(stderr, "%s\n", qPrintable(speech->LastErrorText()));
        return 1;
    }
    std::printf("spoken in %.6f s, %lld bytes\n", double(ns) / 1e9, static_cast<long long>(QFileInfo(out).size()));
    speech->CloseSpeech();
    return 0;
}
