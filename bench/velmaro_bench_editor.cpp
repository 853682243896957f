// Benchmark driver for the audio editor control: opens a WAV file in a shown editor of a
// usual size and prints the time from OpenFile to the waveform drawn, and the process's
// peak resident memory.
#include "components/cAudioEditor/cAudioEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPixmap>

#include <cstdio>

namespace {

// Peak resident memory of this process, in kilobytes.
long peakKilobytes()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 2) {
        fprintf(stderr, "usage: velmaro_bench_editor FILE.wav\n");
        return 2;
    }
    cAudioEditor editor;
    editor.resize(1000, 300);
    editor.show();
    app.processEvents();
    int failed = 0;
    QObject::connect(&editor, &cAudioEditor::Error, &app, [&](qint32 code, const QString& d) {
        fprintf(stderr, "error %d %s\n", code, qPrintable(d));
        failed = 1;
        app.quit();
    });
    QElapsedTimer timer;
    qint64 loadedMs = 0, drawnMs = 0;
    QObject::connect(&editor, &cAudioEditor::FileLoaded, &app, [&] {
        loadedMs = timer.elapsed();
        const QImage drawn = editor.grab().toImage();  // paints the whole waveform now
        drawnMs = timer.elapsed();
        if (drawn.isNull())
            failed = 1;
        app.quit();
    });
    timer.start();
    editor.OpenFile(a[1]);
    QApplication::exec();
    if (failed)
        return 1;
    printf("peaks read in %.3f s, waveform drawn in %.3f s, peak memory %ld KB\n", loadedMs / 1000.0, drawnMs / 1000.0,
           peakKilobytes());
    return 0;
}
