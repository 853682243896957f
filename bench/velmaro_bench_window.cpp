// Benchmark driver for the split through the splitter window: the window is loaded and
// handed its file as the main window's launch does, its Split button is pressed, and the
// time runs from the hand-over until its job has ended (the last part's "Done."), with
// the real conversion component under it.
#include "bench/BenchToolWindow.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/mdlFormats.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// The target-format text and the format globals for a format name, with the encoder
// settings the component benchmark uses and the peers run with (MP3: 128 kbit/s constant,
// quality 5, plain stereo, as `lame -q 5 -b 128 -m s`).
QString useFormat(const QString& name)
{
    UseCdWavSettings();
    UseLameMp3Settings(0);  // plain stereo
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
    const BenchProgram program;
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

    const WindowJob job = RunWindowJob(w, timer);
    const int parts = job.count(QStringLiteral(":Start to split: "));
    const bool failed = !job.done || job.count(QStringLiteral(":Error: ")) > 0;
    return EndWindowRun(job, failed, -1, QString::asprintf("%d parts in %.3f s", parts, job.seconds));
}

}  // namespace

int main(int argc, char** argv)
{
    return WindowBenchMain(argc, argv, QStringLiteral("split"), 6,
                           "usage: velmaro_bench_window split SOURCE OUTDIR wav|mp3|ogg|ima|wma PART_SECONDS",
                           [](const QStringList& a, const QElapsedTimer&) {
                               return split(a[2], a[3], a[4], a[5].toInt());
                           });
}
