// The recorder window: its controls, its loading (colours, pictures, the format lists, the
// meter, the devices) and the recording half of its handlers. Playback, file details,
// adding and closing are in frmMicRecorder_Play.cpp.
#include "tools/recording/frmMicRecorder.h"

#include "common/mdlCommDialog.h"
#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "components/cProgressBar/cProgressBar.h"
#include "components/cSlider/cSlider.h"
#include "components/cStatusBar/cStatusBar.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/IconResources.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"
#include "tools/frame/ToolWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <cmath>

namespace {

// Window size in twips.
constexpr int kWidth = 7200;
constexpr int kHeight = 8340;

// The seconds after which the clock ends a recording nobody stopped.
constexpr qint32 kRecordLimitSeconds = 30;

QLabel* boldLabel(QWidget* parent, const QString& text, int left, int top, int width)
{
    QLabel* label = MakeLabel(parent, text, left, top, width);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// A button that shows a picture of the program's icons, with a tool tip.
QPushButton* pictureButton(QWidget* parent, const char* icon, const QString& tip, int left, int top)
{
    QPushButton* b = MakeButton(parent, QString(), left, top, 540, 420);
    b->setIcon(LoadIconResource(QLatin1String(icon)));
    b->setIconSize(QSize(22, 22));
    b->setToolTip(tip);
    return b;
}

} // namespace

frmMicRecorder::frmMicRecorder()
{
    setWindowTitle(QStringLiteral("Audio Recorder"));
    // A fixed frame with a close box only.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    setFont(QFont(QStringLiteral("Tahoma")));

    lblTitle = MakeTitleStrip(this, kWidth, QStringLiteral("Audio Recorder"), picTitle);

    const int listLeft = 2100;
    lblDevices = MakeLabel(this, QStringLiteral("Devices:"), 120, 660, 1900);
    cboDevices = MakeList(this, {}, listLeft, 615, kWidth - listLeft - 120);
    Label1 = MakeLabel(this, QStringLiteral("Bits per sample:"), 120, 1080, 1900);
    cboBitPerSample = MakeList(this, {}, listLeft, 1035, 1500);
    Label2 = MakeLabel(this, QStringLiteral("Samples per second:"), 120, 1500, 1900);
    cboSamplesPerSec = MakeList(this, {}, listLeft, 1455, 1500);
    Label3 = MakeLabel(this, QStringLiteral("Channels:"), 120, 1920, 1900);
    cboChannels = MakeList(this, {}, listLeft, 1875, 1500);
    // Laid out but never shown: the meter is always on, the pre-screen and the silence
    // cut always off.
    const int boxLeft = 3840, boxWidth = 3240;
    chkMeterIn = MakeCheck(this, QStringLiteral("Display meter"), boxLeft, 1080, boxWidth);
    chkPreScreen = MakeCheck(
        this, QStringLiteral("Play the recorded audio buffers to a diferent sound device (for pre-screen)"), boxLeft,
        1500, boxWidth);
    chkCutSilence = MakeCheck(this, QStringLiteral("Cut the silence section from the end of recorded audio file"),
                              boxLeft, 1920, boxWidth);
    for (CheckBox* hidden : {chkMeterIn, chkPreScreen, chkCutSilence})
        hidden->setVisible(false);

    lblWaveFile = MakeLabel(this, QStringLiteral("Destination Wave File:"), 120, 2370, 3000);
    txtAudioFile = MakeTextBox(this, 120, 2640, kWidth - 960);
    cmdPath = MakeButton(this, QStringLiteral("..."), kWidth - 780, 2625, 660, 345);

    Label4 = boldLabel(this, QStringLiteral("Recorder:"), 120, 3150, 3000);
    cmdRecord = pictureButton(this, "tango/media-record", QStringLiteral("Record"), 120, 3420);
    cmdStopRec = pictureButton(this, "tango/media-playback-stop", QStringLiteral("Stop"), 720, 3420);
    cmdPauseIn = MakeButton(this, QStringLiteral("Pause Record"), 1380, 3420, 1560, 420);
    cmdUnPauseIn = MakeButton(this, QStringLiteral("Unpause Record"), 3000, 3420, 1680, 420);
    lblRecTime = MakeLabel(this, QStringLiteral("0:00:00"), 4920, 3510, 960);
    Label6 = MakeLabel(this, QStringLiteral("0:00:30"), 6000, 3510, 960);
    lblMeterIn = new QLabel(this);
    lblMeterIn->setFrameStyle(QFrame::Box | QFrame::Plain);
    PlaceTwips(lblMeterIn, 120, 3960, kWidth - 240, 300);
    prgMeter = new cProgressBar(lblMeterIn);
    PlaceTwips(prgMeter, 15, 15, kWidth - 270, 270);
    prgMeter->SetMax(120);
    prgMeter->SetBackgroundColour(QStringLiteral("16777215"));

    Label5 = boldLabel(this, QStringLiteral("Player:"), 120, 4500, 3000);
    cmdPlay = pictureButton(this, "tango/media-playback-start", QStringLiteral("Play"), 120, 4770);
    cmdStop = pictureButton(this, "tango/media-playback-stop", QStringLiteral("Stop"), 720, 4770);
    cmdPauseOut = MakeButton(this, QStringLiteral("Pause Play"), 1380, 4770, 1560, 420);
    cmdUnPauseOut = MakeButton(this, QStringLiteral("Unpause Play"), 3000, 4770, 1680, 420);
    lblCurrentPositionSec = MakeLabel(this, QStringLiteral("0:00:00"), 4920, 4860, 960);
    lbTotalLengthSec = MakeLabel(this, QStringLiteral("0:00:00"), 6000, 4860, 960);
    cSlider1 = new cSlider(this);
    cSlider1->setRange(0, 100);
    PlaceTwips(cSlider1, 120, 5310, kWidth - 240, 360);

    txtResults = new QPlainTextEdit(this);
    txtResults->setReadOnly(true);
    txtResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PlaceTwips(txtResults, 120, 5790, kWidth - 240, 1560);

    cmdFileDetails = MakeButton(this, QStringLiteral("File Details"), 120, 7500, 1320, 375);
    cmdFileDetails->setVisible(false);  // laid out but never shown
    cmdAdd = MakeButton(this, QStringLiteral("Add"), kWidth - 2880, 7500, 1320, 375);
    cmdExit = MakeButton(this, QStringLiteral("Exit"), kWidth - 1440, 7500, 1320, 375);
    cStatusBar1 = new cStatusBar(this);
    PlaceTwips(cStatusBar1, 0, kHeight - 330, kWidth, 330);

    tmrRec.setInterval(1000);
    tmSlider.setInterval(100);

    cWave1 = CreateWave(this);

    connect(cmdPath, &QPushButton::clicked, this, &frmMicRecorder::cmdPath_Click);
    connect(cmdRecord, &QPushButton::clicked, this, &frmMicRecorder::cmdRecord_Click);
    connect(cmdStopRec, &QPushButton::clicked, this, &frmMicRecorder::cmdStopRec_Click);
    connect(cmdPauseIn, &QPushButton::clicked, this, &frmMicRecorder::cmdPauseIn_Click);
    connect(cmdUnPauseIn, &QPushButton::clicked, this, &frmMicRecorder::cmdUnPauseIn_Click);
    connect(chkMeterIn, &CheckBox::Click, this, &frmMicRecorder::chkMeterIn_Click);
    connect(chkPreScreen, &CheckBox::Click, this, &frmMicRecorder::chkPreScreen_Click);
    connect(cmdPlay, &QPushButton::clicked, this, &frmMicRecorder::cmdPlay_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmMicRecorder::cmdStop_Click);
    connect(cmdPauseOut, &QPushButton::clicked, this, &frmMicRecorder::cmdPauseOut_Click);
    connect(cmdUnPauseOut, &QPushButton::clicked, this, &frmMicRecorder::cmdUnPauseOut_Click);
    connect(cmdFileDetails, &QPushButton::clicked, this, &frmMicRecorder::cmdFileDetails_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmMicRecorder::cmdAdd_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMicRecorder::cmdExit_Click);
    connect(txtResults, &QPlainTextEdit::textChanged, this, &frmMicRecorder::txtResults_Change);
    connect(&tmrRec, &QTimer::timeout, this, &frmMicRecorder::tmrRec_Timer);
    connect(&tmSlider, &QTimer::timeout, this, &frmMicRecorder::tmSlider_Timer);
    connect(cWave1, &cWave::DoneRecord, this, &frmMicRecorder::cWave1_DoneRecord);
    connect(cWave1, &cWave::RecordFailed, this, &frmMicRecorder::cWave1_RecordFailed);
    connect(cWave1, &cWave::MeterLevel, this, &frmMicRecorder::cWave1_MeterLevel);
    connect(cWave1, &cWave::DonePlay, this, &frmMicRecorder::cWave1_DonePlay);
}

frmMicRecorder::~frmMicRecorder() = default;

void frmMicRecorder::Form_Load()
{
    SetFormIcon(this, QStringLiteral("microphone2"), true);

    // Colours: the title strip the application's, the window, the slider and the meter's
    // back the product's view colour when it has one; the meter's bar the application's.
    PaintTitleStrip(picTitle, lblTitle);
    prgMeter->SetBarOption6(g_lAppColor);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok) {
        SetBackColor(this, back);
        cSlider1->SetBackgroundColour(back);
        prgMeter->SetBackgroundColour(g_sViewBackColor);
    }
    // The background picture is also the meter's bar.
    if (LoadViewPicture(this, g_sViewBackPicture))
        prgMeter->SetBarPicture(QPixmap(AppPath() + QStringLiteral("/View/") + g_sViewBackPicture));

    cboBitPerSample->addItems({QStringLiteral("8"), QStringLiteral("16")});
    SelectListText(cboBitPerSample, QStringLiteral("16"));
    cboSamplesPerSec->addItems({QStringLiteral("8000"), QStringLiteral("11025"), QStringLiteral("22050"),
                                QStringLiteral("44100")});
    SelectListText(cboSamplesPerSec, QStringLiteral("44100"));
    cboChannels->addItems({QStringLiteral("Mono"), QStringLiteral("Stereo")});
    SelectListText(cboChannels, QStringLiteral("Stereo"));

    chkMeterIn->SetValue(1);  // switches the meter on and logs it
    m_WaveFormat = ListsWaveFormat();

    // The input devices as "index - name - channels".
    const qint32 count = cWave1->GetDeviceCount(kWaveInputDevices);
    for (qint32 i = 0; i < count; ++i) {
        WaveDeviceInfo info;
        qint32 index = i;
        cWave1->GetDeviceInfo(index, info, kWaveInputDevices);
        cboDevices->addItem(QString::number(i) + QStringLiteral(" - ") + info.Name + QStringLiteral(" - ") +
                            QString::number(info.Channels));
    }
    cboDevices->setCurrentIndex(cboDevices->count() > 0 ? 0 : -1);

    // The recording goes into the user's home folder unless another file is chosen.
    txtAudioFile->setText(QDir::homePath() + QStringLiteral("/wave_file.wav"));

    // Centred on the screen.
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

WaveFormat frmMicRecorder::ListsWaveFormat() const
{
    WaveFormat f;
    f.wFormatTag = 1;
    f.nChannels = cboChannels->currentText() == QLatin1String("Stereo") ? 2 : 1;
    f.wBitsPerSample = quint16(cboBitPerSample->currentText().toUShort());
    f.nSamplesPerSec = cboSamplesPerSec->currentText().toUInt();
    f.nBlockAlign = quint16(std::nearbyint(f.wBitsPerSample / 8.0 * f.nChannels));
    f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
    f.cbSize = 0;
    return f;
}

void frmMicRecorder::AddResult(const QString& message)
{
    AppendResults(LogTimeText() + message + u'\n');
}

void frmMicRecorder::AppendResults(const QString& text)
{
    QTextCursor cursor = txtResults->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

void frmMicRecorder::txtResults_Change()
{
    QTextCursor cursor = txtResults->textCursor();
    cursor.movePosition(QTextCursor::End);
    txtResults->setTextCursor(cursor);
    txtResults->ensureCursorVisible();
}

void frmMicRecorder::cmdPath_Click()
{
    g_OFN.lpstrFilter = QStringLiteral("Audio Wav File (*.wav)") + QChar(0) + QStringLiteral("*.wav");
    g_OFN.lpstrTitle = QStringLiteral("Save as WAV file");
    g_OFN.lpstrDefExt = QStringLiteral("wav");
    const FileDialogResult r = ShowSave(this, QString(), true);
    if (r.Cancelled)
        return;
    const QString f = r.FileNames.value(1);
    // The save dialog asked before an existing file was chosen: its Yes is the agreement
    // to replace that file, and it is not asked twice.
    m_agreedPath = f;
    m_agreedFile = ReadFileIdentity(f);
    txtAudioFile->setText(f);
}

QString frmMicRecorder::AbsoluteAudioFile()
{
    const QString path = txtAudioFile->text();
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    txtAudioFile->setText(absolute);
    return absolute;
}

bool frmMicRecorder::MayRecordInto(const QString& path)
{
    // Only a regular file is replaced; anything else there is the component's to refuse.
    FileIdentity there = ReadFileIdentity(path);
    if (!QFileInfo(path).isFile())
        return true;
    if (path == m_agreedPath && m_agreedFile.exists && there == m_agreedFile) {
        m_agreedPath.clear();
        m_agreedFile = FileIdentity();
        return true;
    }
    // A Yes holds for the file that was there when it was asked: one that took its place
    // meanwhile is asked about again.
    for (;;) {
        if (MsgBox(QStringLiteral("The file ") + path + QStringLiteral(" is already exists, overwrite it?"),
                   vbInformation + vbYesNo) != vbYes)
            return false;
        const FileIdentity now = ReadFileIdentity(path);
        if (now == there || !QFileInfo(path).isFile())
            return true;
        there = now;
    }
}

void frmMicRecorder::cmdRecord_Click()
{
    // A file already there is replaced only when the user agrees; No records nothing.
    const QString path = AbsoluteAudioFile();
    if (!MayRecordInto(path))
        return;
    if (chkCutSilence->Value() == 1) {
        cWave1->SetCutSilence(true);
        cWave1->SetCutSilenceVal(20);
        AddResult(QStringLiteral(": CutSilence=True, Val=20."));
    }
    if (chkMeterIn->Value() == 1) {
        cWave1->SetMeterIn(true);
        AddResult(QStringLiteral(": MeterIn=True."));
    }
    // The format is what the lists show now, whatever they showed when the window opened.
    m_WaveFormat = ListsWaveFormat();
    if (chkPreScreen->Value() == 1) {
        cWave1->PreScreenOpen(m_WaveFormat, 0);
        AddResult(QStringLiteral(": PreScreenOpen."));
    } else {
        cWave1->PreScreenClose();
        AddResult(QStringLiteral(": PreScreenClose."));
    }
    qint32 device = cboDevices->currentIndex();
    qint32 result = cWave1->RecordStart(device, path, m_WaveFormat, 1600);
    if (result != 0) {
        AddResult(QStringLiteral(": Error RecordStart .") + cWave1->GetErrorText(result));
        return;
    }
    m_lRecSeconds = 0;
    tmrRec.start();
    cmdRecord->setEnabled(false);
    AddResult(QStringLiteral(": RecordStart Success."));
    cmdFileDetails->setEnabled(false);
    chkCutSilence->setEnabled(false);
}

void frmMicRecorder::cmdStopRec_Click()
{
    cWave1->RecordStop();
    AddResult(QStringLiteral(": RecordStop Success."));
}

void frmMicRecorder::cmdPauseIn_Click()
{
    cWave1->RecordPause();
    AddResult(QStringLiteral(": RecordPause."));
}

void frmMicRecorder::cmdUnPauseIn_Click()
{
    if (!cWave1->IsRecordPaused())
        return;
    cWave1->RecordUnPause();
    AddResult(QStringLiteral(": RecordUnPause."));
}

void frmMicRecorder::chkMeterIn_Click()
{
    const bool on = chkMeterIn->Value() == 1;
    cWave1->SetMeterIn(on);
    AddResult(on ? QStringLiteral(": MeterIn=True.") : QStringLiteral(": MeterIn=False."));
}

void frmMicRecorder::chkPreScreen_Click()
{
    if (chkPreScreen->Value() == 1) {
        m_WaveFormat = ListsWaveFormat();
        cWave1->PreScreenOpen(m_WaveFormat, 0);
        AddResult(QStringLiteral(": PreScreenOpen."));
    } else {
        cWave1->PreScreenClose();
        AddResult(QStringLiteral(": PreScreenClose."));
    }
}

void frmMicRecorder::tmrRec_Timer()
{
    cmdRecord->setEnabled(false);
    ++m_lRecSeconds;
    lblRecTime->setText(cWave1->SecondsToTimeText(m_lRecSeconds));
    // Paused time counts: every recording ends at the limit.
    if (m_lRecSeconds >= kRecordLimitSeconds) {
        cmdStopRec_Click();
        m_lRecSeconds = 0;
        tmrRec.stop();
        cmdRecord->setEnabled(true);
    }
}

void frmMicRecorder::cWave1_DoneRecord()
{
    AddResult(QStringLiteral(": DoneRecord Event."));
    cmdRecord->setEnabled(true);
    chkCutSilence->setEnabled(true);
    cmdFileDetails->setEnabled(true);
    tmrRec.stop();
}

void frmMicRecorder::cWave1_RecordFailed(qint32 Code)
{
    AddResult(QStringLiteral(": Error Record .") + cWave1->GetErrorText(Code));
}

void frmMicRecorder::cWave1_MeterLevel(qint16 Level)
{
    prgMeter->SetValue(Level);
}
