// Benchmark driver for the audio converter window: the WAV files of a folder are handed to
// the window as marked rows, as the main window's launch hands them, its Convert button is
// pressed, and the time runs from the hand-over until the job has ended (the last row's
// "Done."), with the real conversion component under it. MP3 at 128 kbit/s, quality 5,
// joint stereo: the settings `lame -b 128 -q 5 -m j` uses.
#include "bench/BenchToolWindow.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tools/converters/frmConverter.h"

#include <QComboBox>
#include <QDir>

namespace {

// convert SOURCE_FOLDER OUTDIR
int convert(const QString& sourceFolder, const QString& outDir, const QElapsedTimer& sinceStart)
{
    const BenchProgram program;
    UseLameMp3Settings(1);  // joint stereo

    const QStringList files = QDir(sourceFolder).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
    frmConverter* w = g_frmConverter();
    // The program is up and the window loaded, as the launch loads it.
    const double startup = sinceStart.elapsed() / 1000.0;
    QElapsedTimer timer;
    timer.start();
    // The hand-over of the launch: one row per marked item, with its length and range shown.
    HandOverFileRows(w, sourceFolder, files);
    for (qint32 row = 1; row <= files.size(); ++row) {
        SetRowText(w->cGrid1, row, QStringLiteral("Time"), QStringLiteral("00:01:00"));
        SetRowText(w->cGrid1, row, QStringLiteral("Range"), QStringLiteral("All"));
    }
    w->g_ltmrItemSecsTotal = 60 * qint32(files.size());
    w->txtToPath->setEditText(QDir(outDir).absolutePath() + u'/');
    SelectListText(w->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
    w->cboFileName->setCurrentIndex(0);  // "[file_name].[dest_extension]"
    w->chkOverWrite->SetValue(1);

    const WindowJob job = RunWindowJob(w, timer);
    const int done = job.count(QStringLiteral(":Done.\n"));
    const bool failed = !job.done || done != files.size();
    return EndWindowRun(job, failed, startup, QString::asprintf("%d files in %.3f s", done, job.seconds));
}

}  // namespace

int main(int argc, char** argv)
{
    return WindowBenchMain(argc, argv, QStringLiteral("convert"), 4,
                           "usage: velmaro_bench_converter convert SOURCE_FOLDER OUTDIR",
                           [](const QStringList& a, const QElapsedTimer& sinceStart) {
                               return convert(a[2], a[3], sinceStart);
                           });
}
