// The one-file conversion window: the conversion is started from a short timer once the
// modal window runs, and the component's events move the bar and end the window.
#include "tools/splitter/frmAudioEditorProc.h"

#include "common/MainHost.h"
#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "platform/Controls.h"
#include "settings/mdlFormats.h"
#include "settings/mdlOptions.h"
#include "tools/frame/ToolWindow.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kWidth = 5400;
constexpr int kHeight = 1800;

} // namespace

frmAudioEditorProc::frmAudioEditorProc()
{
    setWindowTitle(QStringLiteral("Preparing Audio Analyzer"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    setFont(QFont(QStringLiteral("Tahoma")));

    // Two lines: an error's description names the file.
    lblCurrentTrack = MakeLabel(this, QStringLiteral("Preparing..."), 120, 120, kWidth - 240, 495);
    lblCurrentTrack->setWordWrap(true);
    lblCurrentTrack->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    prgCurrnet = new XP_ProgressBar(this);
    PlaceTwips(prgCurrnet, 120, 720, kWidth - 240, 255);
    cmdAbort = MakeButton(this, QStringLiteral("Abort"), kWidth - 1455, 1140, 1335, 375);
    Timer1.setInterval(10);
    cAudioConverter1 = CreateAudioConverter(this);

    connect(&Timer1, &QTimer::timeout, this, &frmAudioEditorProc::Timer1_Timer);
    connect(cmdAbort, &QPushButton::clicked, this, &frmAudioEditorProc::cmdAbort_Click);
    connect(cAudioConverter1, &cAudioConverter::Progress, this, &frmAudioEditorProc::cAudioConverter1_Progress);
    connect(cAudioConverter1, &cAudioConverter::Done, this, &frmAudioEditorProc::cAudioConverter1_Done);
    connect(cAudioConverter1, &cAudioConverter::Aborted, this, &frmAudioEditorProc::cAudioConverter1_Aborted);
    connect(cAudioConverter1, &cAudioConverter::Error, this, &frmAudioEditorProc::cAudioConverter1_Error);
}

frmAudioEditorProc::~frmAudioEditorProc() = default;

void frmAudioEditorProc::Form_Load()
{
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok)
        SetBackColor(this, back);
    prgCurrnet->SetBarColour(g_lAppColor);
    LoadViewPicture(this, g_sViewBackPicture);
    SetFormIcon(this, QStringLiteral("document_pulse"), true);
}

void frmAudioEditorProc::Form_Unload(int&)
{
    // The window may always close; a conversion still running ends with it, and a caller
    // waiting for the file learns that there is none.
    Timer1.stop();
    cAudioConverter1->CloseConverter();
    // The next conversion, whoever asks for it, starts from plain WAV again: a window
    // closed before its start must not hand its target format to the audio analyser.
    g_bConvertTo = false;
    if (!m_bDone)
        ReportNotDone();
}

void frmAudioEditorProc::ReportNotDone()
{
    if (MainHost* host = g_MainHost())
        host->g_bAbortedAudioEditor = true;
}

void frmAudioEditorProc::ConvertFile(const QString& sSource, const QString& sDest, const FileIdentity& replaceable)
{
    m_sSource = sSource;
    m_sDest = sDest;
    m_replaceable = replaceable;
    Timer1.start();
}

void frmAudioEditorProc::Timer1_Timer()
{
    ConvertX();
}

void frmAudioEditorProc::ConvertX()
{
    Timer1.stop();
    if (g_bConvertTo) {
        SetDestination();
        SetID3Tags();
    } else {
        cAudioConverter1->SetOutputFormat(kOutputWAV);
        WAVSettings wav = BuildWAVSettings();
        cAudioConverter1->SetWAVSettings(wav);
    }
    cAudioConverter1->SetSourceFile(m_sSource);
    cAudioConverter1->SetOutputFile(m_sDest);
    // Only the file the user was asked about may be replaced: the converter replaces it
    // only while it is still the one under that name, unchanged.
    cAudioConverter1->SetOverwriteAgreed(m_replaceable);
    cAudioConverter1->StartConvert();
}

void frmAudioEditorProc::SetDestination()
{
    // A text that names none of the formats sets nothing: the component keeps its format.
    static const QStringList codes{QStringLiteral("WAV"), QStringLiteral("ACM"), QStringLiteral("MP3"),
                                   QStringLiteral("WMA"), QStringLiteral("OGG"), QStringLiteral("APE")};
    HandTargetFormat(cAudioConverter1, qint32(codes.indexOf(g_sConvertToTarget.left(3).toUpper())));
}

void frmAudioEditorProc::SetID3Tags()
{
    cAudioConverter1->SetTagAlbum(CreateID3TagsString(g_sTagAlbum));
    cAudioConverter1->SetTagArtist(CreateID3TagsString(g_sTagArtist));
    cAudioConverter1->SetTagComment(CreateID3TagsString(g_sTagComment));
    cAudioConverter1->SetTagGenre(CreateID3TagsString(g_sTagGenre));
    cAudioConverter1->SetTagTitle(CreateID3TagsString(g_sTagSong));
    cAudioConverter1->SetTagTrack(CreateID3TagsString(g_sTagTrack));
    cAudioConverter1->SetTagYear(CreateID3TagsString(g_sTagYear));
}

QString frmAudioEditorProc::CreateID3TagsString(const QString& Text)
{
    // One file is converted: it is track 1.
    return ExpandTagPlaceholders(Text, 1);
}

void frmAudioEditorProc::cmdAbort_Click()
{
    cAudioConverter1->Abort();
}

void frmAudioEditorProc::cAudioConverter1_Progress(qint32 Percent)
{
    if (Percent > 0)
        prgCurrnet->SetValue(Percent);
}

void frmAudioEditorProc::cAudioConverter1_Done()
{
    lblCurrentTrack->setText(QStringLiteral("Done."));
    Timer1.stop();
    g_bConvertTo = false;
    m_bDone = true;
    Forms::Unload(this);
}

void frmAudioEditorProc::cAudioConverter1_Aborted()
{
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
    Timer1.stop();
    ReportNotDone();
    g_bConvertTo = false;
    Forms::Unload(this);
}

void frmAudioEditorProc::cAudioConverter1_Error(qint32 Code, const QString& Description)
{
    // The window stays with the error until the user closes it.
    lblCurrentTrack->setText(Description + QStringLiteral("(") + QString::number(Code) + QStringLiteral(")"));
    g_bConvertTo = false;
    Timer1.stop();
}
