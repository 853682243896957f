// Benchmark driver for the audio joiner window: the WAV files of a folder are handed to
// the window as marked rows, as the main window's launch hands them, its Join button is
// pressed, and the time runs from the hand-over until the join has ended ("Done."), with
// the real join component under it. WAV at the sources' format (44.1 kHz, 16 bits,
// stereo), or MP3 at 128 kbit/s, quality 5, joint stereo: the settings
// `lame -b 128 -q 5 -m j` uses.
#include "common/mdlModes.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tools/converters/frmJoiner.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// join SOURCE_FOLDER OUTDIR wav|mp3: writes OUTDIR/joined.wav or OUTDIR/joined.mp3
int join(const QString& sourceFolder, const QString& outDir, const QString& format, const QElapsedTimer& sinceStart)
{
    // A program folder of its own: the window writes its path history there.
    QTemporaryDir home;
    qputenv("VELMARO_HOME", QFile::encodeName(home.path()));
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_lSamplesWAV = 44100;
    g_lChannelsWAV = 1;  // stereo
    g_lBitrateWAV = 16;
    g_lMP3Bitrate = 128;
    g_lMP3Samplerate = 44100;
    g_lMP3Quality = 5;
    g_lMP3Mode = 1;
    g_bMP3ABR = g_bMP3VBRTag = false;

    const QStringList files = QDir(sourceFolder).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name);
    frmJoiner* w = g_frmJoiner();
    const double startup = sinceStart.elapsed() / 1000.0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < files.size(); ++i) {
        const qint32 row = i + 1;
        SetRowText(w->cGrid1, row, QStringLiteral("COL_FILE"), QDir(sourceFolder).absoluteFilePath(files[i]));
        SetRowText(w->cGrid1, row, QStringLiteral("Item Name"), files[i]);
        SetRowText(w->cGrid1, row, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("1"));
    }
    w->txtToPath->setEditText(QDir(outDir).absolutePath() + u'/');
    SelectListText(w->cboTargetFormat, format == QLatin1String("mp3") ? QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)")
                                                                      : QStringLiteral("WAV - Waveform Audio Format (*.wav)"));
    w->txtJoinedFileName->setText(QStringLiteral("joined.[dest_extension]"));

    w->cmdConvert_Click();
    while (w->IsBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = timer.elapsed() / 1000.0;
    const bool failed = w->lblCurrentTrack->text() != QLatin1String("Done.");
    if (failed)
        fprintf(stderr, "%s", qPrintable(w->txtLog->toPlainText()));
    printf("start-up %.3f s\n", startup);
    printf("%d files joined in %.3f s\n", int(files.size()), seconds);
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
    if (a.size() == 5 && a[1] == QLatin1String("join"))
        return join(a[2], a[3], a[4], startup);
    fprintf(stderr, "usage: velmaro_bench_joiner join SOURCE_FOLDER OUTDIR wav|mp3\n");
    return 2;
}
