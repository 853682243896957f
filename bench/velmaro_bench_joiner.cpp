// Benchmark driver for the audio joiner window: the WAV files of a folder are handed to
// the window as marked rows, as the main window's launch hands them, its Join button is
// pressed, and the time runs from the hand-over until the join has ended ("Done."), with
// the real join component under it. WAV at the sources' format (44.1 kHz, 16 bits,
// stereo), or MP3 at 128 kbit/s, quality 5, joint stereo: the settings
// `lame -b 128 -q 5 -m j` uses.
#include "bench/BenchToolWindow.h"
#include "platform/Controls.h"
#include "tools/converters/frmJoiner.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

namespace {

// join SOURCE_FOLDER OUTDIR wav|mp3: writes OUTDIR/joined.wav or OUTDIR/joined.mp3
int join(const QString& sourceFolder, const QString& outDir, const QString& format, const QElapsedTimer& sinceStart)
{
    const BenchProgram program;
    UseCdWavSettings();
    UseLameMp3Settings(1);  // joint stereo

    const QStringList files = QDir(sourceFolder).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
    frmJoiner* w = g_frmJoiner();
    const double startup = sinceStart.elapsed() / 1000.0;
    QElapsedTimer timer;
    timer.start();
    HandOverFileRows(w, sourceFolder, files);
    w->txtToPath->setEditText(QDir(outDir).absolutePath() + u'/');
    SelectListText(w->cboTargetFormat, format == QLatin1String("mp3") ? QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)")
                                                                      : QStringLiteral("WAV - Waveform Audio Format (*.wav)"));
    w->txtJoinedFileName->setText(QStringLiteral("joined.[dest_extension]"));

    const WindowJob job = RunWindowJob(w, timer);
    return EndWindowRun(job, !job.done, startup, QString::asprintf("%d files joined in %.3f s", int(files.size()), job.seconds));
}

}  // namespace

int main(int argc, char** argv)
{
    return WindowBenchMain(argc, argv, QStringLiteral("join"), 5,
                           "usage: velmaro_bench_joiner join SOURCE_FOLDER OUTDIR wav|mp3",
                           [](const QStringList& a, const QElapsedTimer& sinceStart) {
                               return join(a[2], a[3], a[4], sinceStart);
                           });
}
