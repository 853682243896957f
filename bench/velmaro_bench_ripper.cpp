// Benchmark driver for the CD ripper window: a BIN/CUE image is listed as a drive, its
// tracks are handed to the window as the main window's launch hands a drive's list (every
// track marked), its Rip button is pressed, and the time runs from the hand-over until the
// job has ended (the last track's "Done."), with the real ripper component under it. MP3 at
// 128 kbit/s, quality 5, joint stereo: the settings `lame -b 128 -q 5 -m j` uses.
#include "bench/BenchToolWindow.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "lists/mdlCDTracks.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tools/disc/frmCDRipper.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

namespace {

// rip CUE OUTDIR wav|mp3
int rip(const QString& cue, const QString& outDir, const QString& format, const QElapsedTimer& sinceStart)
{
    qputenv("VELMARO_CD_IMAGES", QFile::encodeName(QFileInfo(cue).absoluteFilePath()));
    const BenchProgram program;
    UseCdWavSettings();
    UseLameMp3Settings(1);  // joint stereo

    frmCDRipper* w = g_frmCDRipper();
    // The program is up and the window loaded, as the launch loads it.
    const double startup = sinceStart.elapsed() / 1000.0;
    QElapsedTimer timer;
    timer.start();
    // The hand-over: the image's drive chosen, its tracks as the drive's list gives them.
    const QString name = QFileInfo(cue).fileName();
    for (int i = 0; i < w->cboDevices->count(); ++i)
        if (w->cboDevices->itemText(i).endsWith(u' ' + name))
            w->cboDevices->setCurrentIndex(i);
    w->cboDevices_Click();
    const QString drive = w->cboDevices->currentText().left(2);
    const qint32 tracks = WriteCDTrackRows(w->cGrid1, w->cAudioCDRipper1, drive);
    w->g_ltmrItemSecsTotal = qint32(TotalSeconds(w->cGrid1, true));
    w->txtToPath->setEditText(QDir(outDir).absolutePath() + u'/');
    SelectListText(w->cboTargetFormat, format == QLatin1String("mp3")
                                           ? QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)")
                                           : QStringLiteral("WAV - Waveform Audio Format (*.wav)"));
    w->chkOverWrite->SetValue(1);
    w->chkOpenCDdrive->SetValue(0);

    const WindowJob job = RunWindowJob(w, timer);
    const int done = job.count(QStringLiteral(":Done.\n"));
    const bool failed = tracks < 1 || !job.done || done != tracks;
    return EndWindowRun(job, failed, startup, QString::asprintf("%d tracks in %.3f s", done, job.seconds));
}

}  // namespace

int main(int argc, char** argv)
{
    return WindowBenchMain(argc, argv, QStringLiteral("rip"), 5, "usage: velmaro_bench_ripper rip CUE OUTDIR wav|mp3",
                           [](const QStringList& a, const QElapsedTimer& sinceStart) {
                               return rip(a[2], a[3], a[4], sinceStart);
                           });
}
