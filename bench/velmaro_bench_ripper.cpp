// Benchmark driver for the CD ripper window: a BIN/CUE image is listed as a drive, its
// tracks are handed to the window as the main window's launch hands a drive's list (every
// track marked), its Rip button is pressed, and the time runs from the hand-over until the
// job has ended (the last track's "Done."), with the real ripper component under it. MP3 at
// 128 kbit/s, quality 5, joint stereo: the settings `lame -b 128 -q 5 -m j` uses.
#include "common/mdlModes.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "lists/mdlCDTracks.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tools/disc/frmCDRipper.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// rip CUE OUTDIR wav|mp3
int rip(const QString& cue, const QString& outDir, const QString& format, const QElapsedTimer& sinceStart)
{
    // A program folder of its own: the window writes its path history there.
    QTemporaryDir home;
    qputenv("VELMARO_HOME", QFile::encodeName(home.path()));
    qputenv("VELMARO_CD_IMAGES", QFile::encodeName(QFileInfo(cue).absoluteFilePath()));
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_lSamplesWAV = 44100;
    g_lChannelsWAV = 1;
    g_lBitrateWAV = 16;
    g_lMP3Bitrate = 128;
    g_lMP3Samplerate = 44100;
    g_lMP3Quality = 5;
    g_lMP3Mode = 1;
    g_bMP3ABR = g_bMP3VBRTag = false;

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

    w->cmdConvert_Click();
    while (w->IsBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = timer.elapsed() / 1000.0;
    const QString log = w->txtLog->toPlainText();
    const int done = int(log.count(QStringLiteral(":Done.\n")));
    const bool failed = tracks < 1 || w->lblCurrentTrack->text() != QLatin1String("Done.") || done != tracks;
    if (failed)
        fprintf(stderr, "%s", qPrintable(log));
    printf("start-up %.3f s\n", startup);
    printf("%d tracks in %.3f s\n", done, seconds);
    Forms::DestroyAll();
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QElapsedTimer startup;
    startup.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 5 && a[1] == QLatin1String("rip"))
        return rip(a[2], a[3], a[4], startup);
    fprintf(stderr, "usage: velmaro_bench_ripper rip CUE OUTDIR wav|mp3\n");
    return 2;
}
