// The audio editor window: its controls, its loading (colours, pictures, the bar and its
// band, the default file name) and the labels' time format. Its handlers are in
// frmAudioEditor_Events.cpp.
#include "tools/splitter/frmAudioEditor.h"

#include "common/MainHost.h"
#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioEditor/cAudioEditor.h"
#include "components/cReBar/cReBar.h"
#include "components/cToolbar/cToolbar.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"
#include "tools/frame/ToolWindow.h"

#include <QDate>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTime>

#include <cmath>

namespace {

// Window size in twips.
constexpr int kWidth = 9900;
constexpr int kHeight = 7560;

// A frame of five captions with their value labels.
QGroupBox* valueFrame(QWidget* parent, const QString& title, int left, const QStringList& captions,
                      const QList<QLabel**>& values)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setAutoFillBackground(true);
    PlaceTwips(frame, left, 4200, 4740, 1800);
    for (int i = 0; i < captions.size(); ++i) {
        MakeLabel(frame, captions[i], 120, 300 + i * 285, 1560);
        *values[i] = MakeLabel(frame, QString(), 1740, 300 + i * 285, 2880);
    }
    return frame;
}

} // namespace

frmAudioEditor::frmAudioEditor()
{
    setWindowTitle(QStringLiteral("Audio Analyzer"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    setFont(QFont(QStringLiteral("Tahoma")));

    lblTitle = MakeTitleStrip(this, kWidth, QStringLiteral("Audio Analyzer"), picTitle);
    picList = new QWidget(this);
    picList->setAutoFillBackground(true);
    PlaceTwips(picList, 0, 495, kWidth, 540);
    (new QHBoxLayout(picList))->setContentsMargins(0, 0, 0, 0);  // the band container fills the strip
    rbrList = new cReBar(picList);
    tlbrList = new cToolbar(rbrList);

    cAudioEditor1 = new cAudioEditor(this);
    PlaceTwips(cAudioEditor1, 120, 1095, kWidth - 240, 3000);

    fraInfo = valueFrame(this, QStringLiteral("File Information"), 120,
                         {QStringLiteral("Info Samples"), QStringLiteral("Info Bits"), QStringLiteral("Info Channels"),
                          QStringLiteral("Time Length"), QStringLiteral("Total Samples")},
                         {&lblInfoSamples, &lblInfoBits, &lblInfoChannels, &lblLength, &lblNumOfSamples});
    fraPosition = valueFrame(this, QStringLiteral("Selection Position"), 5040,
                             {QStringLiteral("Samples Start"), QStringLiteral("Samples End"), QStringLiteral("Time Start"),
                              QStringLiteral("Time End"), QStringLiteral("Selected Time")},
                             {&lblSamplesStart, &lblSamplesEnd, &lblTimeStart, &lblTimeEnd, &lblSelectedTime});

    txtWavFile = MakeTextBox(this, 120, 6120, kWidth - 1080);
    cmdSelectPath = MakeButton(this, QStringLiteral("..."), kWidth - 840, 6100, 720, 315);
    prgCurrnet = new XP_ProgressBar(this);
    PlaceTwips(prgCurrnet, 120, 6540, kWidth - 240, 255);
    cmdAddSelection = MakeButton(this, QStringLiteral("Add Selection"), kWidth - 4485, 6960, 1455, 375);
    cmdAbort = MakeButton(this, QStringLiteral("Abort"), kWidth - 3000, 6960, 1335, 375);
    cmdExit = MakeButton(this, QStringLiteral("Exit"), kWidth - 1575, 6960, 1335, 375);

    connect(tlbrList, &cToolbar::ButtonClick, this, &frmAudioEditor::tlbrList_ButtonClick);
    connect(cmdSelectPath, &QPushButton::clicked, this, &frmAudioEditor::cmdSelectPath_Click);
    connect(cmdAddSelection, &QPushButton::clicked, this, &frmAudioEditor::cmdAddSelection_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &frmAudioEditor::cmdAbort_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAudioEditor::cmdExit_Click);
    connect(cAudioEditor1, &cAudioEditor::FileLoaded, this, &frmAudioEditor::cAudioEditor1_FileLoaded);
    connect(cAudioEditor1, &cAudioEditor::SelectionChanged, this, &frmAudioEditor::cAudioEditor1_SelectionChanged);
    connect(cAudioEditor1, &cAudioEditor::Progress, this, &frmAudioEditor::cAudioEditor1_Progress);
    connect(cAudioEditor1, &cAudioEditor::SaveDone, this, &frmAudioEditor::cAudioEditor1_SaveDone);
    connect(cAudioEditor1, &cAudioEditor::Aborted, this, &frmAudioEditor::cAudioEditor1_Aborted);
    connect(cAudioEditor1, &cAudioEditor::Error, this, &frmAudioEditor::cAudioEditor1_Error);
    connect(cAudioEditor1, &cAudioEditor::PlayDone, this, &frmAudioEditor::cAudioEditor1_PlayDone);
}

frmAudioEditor::~frmAudioEditor() = default;

void frmAudioEditor::Form_Load()
{
    SetFormIcon(this, QStringLiteral("document_pulse"), true);

    // Colours: the title strip the application's, the window, frames and bar strip the
    // product's view colour when it has one; the control and the progress bar follow.
    PaintTitleStrip(picTitle, lblTitle);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok)
        for (QWidget* w : std::initializer_list<QWidget*>{this, fraInfo, fraPosition, picList})
            SetBackColor(w, back);
    cAudioEditor1->SetDisplayColor3(g_lTextColor);
    cAudioEditor1->SetDisplayColor2(g_lAppColor);
    cAudioEditor1->SetDisplayColor1(g_lAppColor);
    prgCurrnet->SetBarColour(g_lAppColor);
    LoadViewPicture(this, g_sViewBackPicture);

    BuildToolbar();

    // A time-stamped name beside the program; the launch puts the file to edit here.
    QString date = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    txtWavFile->setText(AppPath() + QStringLiteral("/Selection_") +
                        QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).replace(u':', u'-') + u'_' +
                        date.replace(u'/', u'-') + QStringLiteral(".wav"));
}

void frmAudioEditor::BuildToolbar()
{
    MainHost* host = g_MainHost();
    tlbrList->SetUpSmallBar(host ? host->MenuImageList() : nullptr);
    struct Button {
        const char* key;
        const char* caption;
        const char* tooltip;
        qint32 image;
    };
    static const Button buttons[] = {
        {"Play", "Play", "Play", 55},
        {"Pause", "Pause", "Pause", 67},
        {"Stop", "Stop", "Stop", 40},
        {nullptr, nullptr, nullptr, -1},
        {"Zoom", "Zoom", "Zoom", 68},
        {"Restore", "Restore", "Restore", 62},
        {nullptr, nullptr, nullptr, -1},
        {"Save Selection", "Save As", "Save Selection As...", 5},
        {nullptr, nullptr, nullptr, -1},
        {"Abort", "Abort", "Abort Operation", 27},
    };
    for (const Button& b : buttons) {
        if (b.key)
            tlbrList->AddButton(QLatin1String(b.tooltip), b.image, {}, 0, QLatin1String(b.caption), cToolbar::tbrDefault,
                                QLatin1String(b.key));
        else
            tlbrList->AddSeparator();
    }
    rbrList->HoldBar(tlbrList, picList);
}

QString frmAudioEditor::TimeLabelText(qint64 Milliseconds)
{
    const auto seconds = qint32(std::nearbyint(double(Milliseconds) / 1000.0));
    return QString::number(Milliseconds) + QStringLiteral(" ms [") + SecondsToTime(seconds) + QStringLiteral("]");
}
