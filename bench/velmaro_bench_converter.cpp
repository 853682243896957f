// Benchmark driver for the audio converter window: the WAV files of a folder are handed to
// the window as marked rows, as the main window's launch hands them, its Convert button is
// pressed, and the time runs from the hand-over until the job has ended (the last row's
// "Done."), with the real conversion component under it. MP3 at 128 kbit/s, quality 5,
// joint stereo: the settings `lame -b 128 -q 5 -m j` uses.
#include "common/mdlModes.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tools/converters/frmConverter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// convert SOURCE_FOLDER OUTDIR
int convert(const QString& sourceFolder, const QString& outDir, const QElapsedTimer& sinceStart)
{
    // A program folder of its own: the window writes its path history there.
    QTemporaryDir home;
    qputenv("VELMARO_HOME", QFile::encodeName(home.path()));
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_lMP3Bitrate = 128;
    g_lMP3Samplerate = 44100;
    g_lMP3Quality = 5;
    g_lMP3Mode = 1;
    g_bMP3ABR = g_bMP3VBRTag = false;

    const QStringList files = QDir(sourceFolder).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
    frmConverter* w = g_frmConverter();
    // The program is up and the window loaded, as the launch loads it.
    const double startup = sinceStart.elapsed() / 1000.0;
    QElapsedTimer timer;
    timer.start();
    // The hand-over of the launch: one row per marked item.
    for (int i = 0; i < files.size(); ++i) {
        const qint32 row = i + 1;
        SetRowText(w->cGrid1, row, QStringLiteral("COL_FILE"), QDir(sourceFolder).absoluteFilePath(files[i]));
        SetRowText(w->cGrid1, row, QStringLiteral("Item Name"), files[i]);
        SetRowText(w->cGrid1, row, QStringLiteral("Time"), QStringLiteral("00:01:00"));
        SetRowText(w->cGrid1, row, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("1"));
        SetRowText(w->cGrid1, row, QStringLiteral("Range"), QStringLiteral("All"));
    }
    w->g_ltmrItemSecsTotal = 60 * qint32(files.size());
    w->txtToPath->setEditText(QDir(outDir).absolutePath() + u'/');
    SelectListText(w->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
    w->cboFileName->setCurrentIndex(0);  // "[file_name].[dest_extension]"
    w->chkOverWrite->SetValue(1);

    w->cmdConvert_Click();
    while (w->IsBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = timer.elapsed() / 1000.0;
    const QString log = w->txtLog->toPlainText();
    const int done = int(log.count(QStringLiteral(":Done.\n")));
    const bool failed = w->lblCurrentTrack->text() != QLatin1String("Done.") || done != files.size();
    if (failed)
        fprintf(stderr, "%s", qPrintable(log));
    printf("start-up %.3f s\n", startup);
    printf("%d files in %.3f s\n", done, seconds);
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
    if (a.size() == 4 && a[1] == QLatin1String("convert"))
        return convert(a[2], a[3], startup);
    fprintf(stderr, "usage: velmaro_bench_converter convert SOURCE_FOLDER OUTDIR\n");
    return 2;
}
