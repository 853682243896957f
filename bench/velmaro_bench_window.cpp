// Benchmark driver for the split through the splitter window: the window is loaded and
// handed its file as the main window's launch does, its Split button is pressed, and the
// time runs from the hand-over until its job has ended (the last part's "Done."), with
// the real conversion component under it.
#include "common/mdlModes.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tools/splitter/frmSplitter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The target-format text and the format globals for a format name, with the encoder
// settings the component benchmark uses and the peers run with (MP3: 128 kbit/s constant,
// quality 5, plain stereo, as `lame -q 5 -b 128 -m s`).
QString useFormat(const QString& name)
{
    g_lSamplesWAV = 44100;
    g_lChannelsWAV = 1;
    g_lBitrateWAV = 16;
    g_lMP3Bitrate = 128;
    g_lMP3Samplerate = 44100;
    g_lMP3Quality = 5;
    g_lMP3Mode = 0;  // plain stereo
    g_bMP3ABR = g_bMP3VBRTag = false;
    g_bOggBit = false;
    g_lOGGQuality = 50;
    g_sACMTag = QStringLiteral("IMA ADPCM");
    g_sACMFormat = QStringLiteral("44100 Hz, 4 Bit, Stereo");
    g_lWMACodecs = 0;
    g_lWMAFormat = 0;
    if (name == QLatin1String("mp3"))
        return QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    if (name == QLatin1String("ogg"))
        return QStringLiteral("OGG - Ogg Media Format (*.ogg)");
    if (name == QLatin1String("ima"))
        return QStringLiteral("ACM - Waveform ACM Codecs (*.wav)");
    if (name == QLatin1String("wma"))
        return QStringLiteral("WMA - Windows Media Audio files (*.wma)");
    return QStringLiteral("WAV - Waveform Audio Format (*.wav)");
}

// split SOURCE OUTDIR FORMAT PART_SECONDS
int split(const QString& source, const QString& outDir, const QString& format, int partSeconds)
{
    // A program folder of its own: the window writes its path history there.
    QTemporaryDir home;
    qputenv("VELMARO_HOME", QFile::encodeName(home.path()));
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    const QString formatText = useFormat(format);

    // Loaded as the launch loads it; the time runs from the hand-over on.
    frmSplitter* w = g_frmSplitter();
    QElapsedTimer timer;
    timer.start();
    w->g_sFileToSplit = source;
    SetRowText(w->cGrid1, 1, QStringLiteral("COL_FILE"), source);
    w->txtToPath->setEditText(QDir(outDir).absolutePath() + u'/');
    if (!SelectListText(w->cboTargetFormat, formatText)) {
        w->cboTargetFormat->addItem(formatText);  // a format this build does not offer
        SelectListText(w->cboTargetFormat, formatText);
    }
    w->ptnSplitBySecs->click();
    w->txtSplitSecs->setText(QString::number(partSeconds));
    w->chkOverWrite->SetValue(1);

    w->cmdConvert_Click();
    while (w->IsBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = timer.elapsed() / 1000.0;
    const QString log = w->txtLog->toPlainText();
    const int parts = int(log.count(QStringLiteral(":Start to split: ")));
    const bool failed = w->lblCurrentTrack->text() != QLatin1String("Done.") || log.contains(QStringLiteral(":Error: "));
    if (failed)
        fprintf(stderr, "%s", qPrintable(log));
    printf("%d parts in %.3f s\n", parts, seconds);
    Forms::DestroyAll();
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 6 && a[1] == QLatin1String("split"))
        return split(a[2], a[3], a[4], a[5].toInt());
    fprintf(stderr, "usage: velmaro_bench_window split SOURCE OUTDIR wav|mp3|ogg|ima|wma PART_SECONDS\n");
    return 2;
}
