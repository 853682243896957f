// The text-to-speech window: its controls, its loading (pictures, colours, the component's
// voices, outputs and formats, the stored choices) and the speaking half of its handlers.
// Speech files are in frmOrvelle_Files.cpp.
#include "tools/recording/frmOrvelle.h"

#include "common/MainHost.h"
#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "common/mdlSupportedDestination.h"
#include "common/mdlUserSettings.h"
#include "common/mdlViewColors.h"
#include "common/mdlWindowHelpers.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cImageList/cImageList.h"
#include "components/cOrvelle/cOrvelle.h"
#include "components/cSlider/cSlider.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/frmOptions.h"
#include "tools/frame/ToolWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

// Window size in twips.
constexpr int kWidth = 7680;
constexpr int kHeight = 7260;

const QString kSection = QStringLiteral("TTS");
const QString kDefaultFormat = QStringLiteral("SAFT22kHz16BitMono");
const QString kSampleText = QStringLiteral("This sample shows you how to use the 'Text To Speech'.");

// A small button beside a command button, showing one of the main window's menu pictures.
QPushButton* iconButton(QWidget* parent, const QString& tip, int left, int top)
{
    QPushButton* b = MakeButton(parent, QString(), left, top, 420, 375);
    b->setToolTip(tip);
    b->setFlat(true);
    return b;
}

QPushButton* commandButton(QWidget* parent, const QString& caption, const QString& tip, int left, int top)
{
    QPushButton* b = MakeButton(parent, caption, left, top, 1860, 375);
    b->setToolTip(tip);
    return b;
}

} // namespace

frmOrvelle::frmOrvelle()
{
    setWindowTitle(QStringLiteral("Text To Speech"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    setFont(QFont(QStringLiteral("Tahoma")));

    lblTitle = MakeTitleStrip(this, kWidth, QStringLiteral("Text To Speech"), picTitle);

    lblText = MakeLabel(this, QStringLiteral("Text:"), 120, 600, 2000);
    txtSpeak = new QPlainTextEdit(this);
    txtSpeak->setPlainText(kSampleText + u'\n');
    PlaceTwips(txtSpeak, 120, 870, kWidth - 240, 1800);

    const int labelWidth = 1500, listLeft = 1680, listWidth = 3600;
    lblVoices = MakeLabel(this, QStringLiteral("Voices:"), 120, 2880, labelWidth);
    cboVoices = MakeList(this, {}, listLeft, 2835, listWidth);
    lblOutputs = MakeLabel(this, QStringLiteral("Audio Outputs:"), 120, 3300, labelWidth);
    cboAudioOutputs = MakeList(this, {}, listLeft, 3255, listWidth);
    lblFormats = MakeLabel(this, QStringLiteral("Formats:"), 120, 3720, labelWidth);
    cboFormats = MakeList(this, {}, listLeft, 3675, listWidth);

    lblRate = MakeLabel(this, QStringLiteral("Rate:"), 120, 4170, labelWidth);
    sldRate = new cSlider(this);
    sldRate->setRange(-10, 10);
    PlaceTwips(sldRate, listLeft, 4110, listWidth - 600, 360);
    lblRateVal = MakeLabel(this, QStringLiteral("0"), listLeft + listWidth - 540, 4170, 420);
    lblVolume = MakeLabel(this, QStringLiteral("Volume:"), 120, 4590, labelWidth);
    sldVolume = new cSlider(this);
    sldVolume->setRange(0, 100);
    PlaceTwips(sldVolume, listLeft, 4530, listWidth - 600, 360);
    lblValumeVal = MakeLabel(this, QStringLiteral("50"), listLeft + listWidth - 540, 4590, 420);

    // The command buttons down the right, each with its picture beside it.
    const int buttonLeft = kWidth - 1980, iconLeft = buttonLeft - 480;
    cmdSay = commandButton(this, QStringLiteral("Say It"), QStringLiteral("Say it"), buttonLeft, 2835);
    cmdStop = commandButton(this, QStringLiteral("Stop"), QStringLiteral("Stop"), buttonLeft, 3255);
    cmdSaveAs = commandButton(this, QStringLiteral("Save As..."), QStringLiteral("Save 'Text To Speech' as..."),
                              buttonLeft, 3675);
    cmdAdd = commandButton(this, QStringLiteral("Add to Items List"), QStringLiteral("Add to items list."), buttonLeft,
                           4095);
    const QString iconTips[4] = {QStringLiteral("Say it"), QStringLiteral("Stop"),
                                 QStringLiteral("Save 'Text To Speech' as a wav file."),
                                 QStringLiteral("Add to items list.")};
    for (int i = 0; i < 4; ++i)
        cmdToolsIcon[i] = iconButton(this, iconTips[i], iconLeft, 2835 + 420 * i);
    // Laid out from the right edge, the icons overlap the lists' ends otherwise.
    cboVoices->setFixedWidth(TwipsToPixels(iconLeft - listLeft - 120));
    cboAudioOutputs->setFixedWidth(cboVoices->width());
    cboFormats->setFixedWidth(cboVoices->width());

    lblAudioFormat = MakeLabel(this, QStringLiteral("Destination Format:"), 120, 5220, 3000);
    cboTargetFormat = MakeList(this, {}, 120, 5490, kWidth - 1560);
    cboTargetFormat->setObjectName(QStringLiteral("cboTargetFormat"));  // the main window reads it by name
    cmdEditTargetFormat = MakeButton(this, QStringLiteral("Edit"), kWidth - 1320, 5475, 1200, 375);
    cmdEditTargetFormat->setToolTip(QStringLiteral("Edit Target Audio Formats"));

    lblID3Tags = MakeLink(this, QStringLiteral("ID3Tags"), 120, 6060, 1500);
    lblID3Tags->setToolTip(QStringLiteral("Set the ID3 tags"));
    lblClearText = MakeLink(this, QStringLiteral("Clear Text"), 1800, 6060, 1500);
    lblClearText->setToolTip(QStringLiteral("Clear Text"));
    prgSpeech = new XP_ProgressBar(this);
    PlaceTwips(prgSpeech, 3480, 6060, kWidth - 3600, 255);
    prgSpeech->hide();

    cOrvelle1 = CreateOrvelle(this);

    connect(cmdSay, &QPushButton::clicked, this, &frmOrvelle::cmdSay_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmOrvelle::cmdStop_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &frmOrvelle::cmdSaveAs_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmOrvelle::cmdAdd_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &frmOrvelle::cmdEditTargetFormat_Click);
    connect(sldRate, &cSlider::Change, this, &frmOrvelle::sldRate_Change);
    connect(sldVolume, &cSlider::Change, this, &frmOrvelle::sldVolume_Change);
    connect(txtSpeak, &QPlainTextEdit::textChanged, this, &frmOrvelle::txtSpeak_Change);
    connect(lblClearText, &LinkLabel::Click, this, &frmOrvelle::lblClearText_Click);
    connect(lblID3Tags, &LinkLabel::Click, this, &frmOrvelle::lblID3Tags_Click);
    connect(cOrvelle1, &cOrvelle::Done, this, &frmOrvelle::cOrvelle1_Done);
    connect(cOrvelle1, &cOrvelle::WordPosition, this, &frmOrvelle::cOrvelle1_WordPosition);
    connect(cOrvelle1, &cOrvelle::FormatFound, this, &frmOrvelle::cOrvelle1_FormatFound);
    connect(cOrvelle1, &cOrvelle::FileProgress, this, &frmOrvelle::cOrvelle1_FileProgress);
    connect(cOrvelle1, &cOrvelle::FileDone, this, &frmOrvelle::cOrvelle1_FileDone);
    connect(cOrvelle1, &cOrvelle::FileAborted, this, &frmOrvelle::cOrvelle1_FileAborted);
    connect(cOrvelle1, &cOrvelle::FileError, this, &frmOrvelle::cOrvelle1_FileError);
}

frmOrvelle::~frmOrvelle() = default;

void frmOrvelle::Form_Load()
{
    // The pictures beside Say It, Stop, Save As and Add.
    if (MainHost* host = g_MainHost())
        if (cImageList* images = host->MenuImageList()) {
            const int pictures[4] = {84, 41, 47, 3};
            for (int i = 0; i < 4; ++i)
                cmdToolsIcon[i]->setIcon(images->ItemPicture(pictures[i]));
        }

    PaintTitleStrip(picTitle, lblTitle);
    prgSpeech->SetBarColour(g_lAppColor);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok) {
        SetBackColor(this, back);
        sldRate->SetBackgroundColour(back);
        sldVolume->SetBackgroundColour(back);
    }
    LoadViewPicture(this, g_sViewBackPicture);

    FillVoices();
    FillAudioOutputs();
    cOrvelle1->EnumFormats();
    cboFormats->setCurrentIndex(cboFormats->findText(GetSetting(g_sAppName, kSection, QStringLiteral("Format"),
                                                                kDefaultFormat),
                                                     Qt::MatchExactly | Qt::MatchCaseSensitive));
    // A voice no longer offered leaves the first one chosen.
    SelectListText(cboVoices, GetSetting(g_sAppName, kSection, QStringLiteral("Voice")));
    sldVolume->SetValue(50);
    sldRate->SetValue(0);
    sldVolume_Change();
    sldRate_Change();
    txtSpeak->setPlainText(kSampleText);

    FillDestinationFormats(cboTargetFormat);
    cboTargetFormat->setCurrentIndex(Forms::Get<frmOptions>()->cboTargetFormat->currentIndex());

    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void frmOrvelle::Form_Unload(int&)
{
    cOrvelle1->CloseSpeech();
    SaveSetting(g_sAppName, kSection, QStringLiteral("Format"), cboFormats->currentText());
    SaveSetting(g_sAppName, kSection, QStringLiteral("Voice"), cboVoices->currentText());
}

void frmOrvelle::FillVoices()
{
    cboVoices->clear();
    for (qint32 i = 1, n = cOrvelle1->GetVoiceCount(); i <= n; ++i)
        cboVoices->addItem(cOrvelle1->GetVoiceName(i));
    if (cboVoices->count() > 0)
        cboVoices->setCurrentIndex(0);
}

void frmOrvelle::FillAudioOutputs()
{
    cboAudioOutputs->clear();
    for (qint32 i = 1, n = cOrvelle1->GetOutputCount(); i <= n; ++i)
        cboAudioOutputs->addItem(cOrvelle1->GetOutputName(i));
    if (cboAudioOutputs->count() > 0)
        cboAudioOutputs->setCurrentIndex(0);
}

void frmOrvelle::cOrvelle1_FormatFound(const QString& Name, qint32 Id)
{
    cboFormats->addItem(Name, Id);
}

void frmOrvelle::PutSpeechSettings(qint32 rate, qint32 volume)
{
    cOrvelle1->SetOutputIndex(cboAudioOutputs->currentIndex());
    cOrvelle1->SetVoiceIndex(cboVoices->currentIndex());
    cOrvelle1->SetRate(rate);
    cOrvelle1->SetVolume(volume);
    cOrvelle1->SetSpeakFlags(11);
    // Without a chosen format the component keeps the one it has.
    if (cboFormats->currentIndex() >= 0)
        cOrvelle1->SetFormatId(cboFormats->currentData().toInt());
}

void frmOrvelle::cmdSay_Click()
{
    // While speech is under way the next one takes the same settings.
    if (!cOrvelle1->BusyState())
        PutSpeechSettings(sldRate->Value(), sldVolume->Value());
    cOrvelle1->Speak(txtSpeak->toPlainText());
}

void frmOrvelle::cmdStop_Click()
{
    // A speech file being written ends as well.
    cOrvelle1->StopSpeech();
}

void frmOrvelle::PauseSpeech()
{
    cOrvelle1->Pause(true);
}

void frmOrvelle::ResumeSpeech()
{
    cOrvelle1->Pause(false);
}

void frmOrvelle::ApplyRate()
{
    cOrvelle1->SetRate(sldRate->Value());
}

void frmOrvelle::ApplyVolume()
{
    cOrvelle1->SetVolume(sldVolume->Value());
}

void frmOrvelle::sldRate_Change()
{
    lblRateVal->setText(QString::number(sldRate->Value()));
}

void frmOrvelle::sldVolume_Change()
{
    lblValumeVal->setText(QString::number(sldVolume->Value()));
}

void frmOrvelle::txtSpeak_Change()
{
    lblClearText->setEnabled(!txtSpeak->toPlainText().isEmpty());
}

void frmOrvelle::lblClearText_Click()
{
    if (MsgBox(QStringLiteral("This action will clear the Text-Box, continue?"), vbInformation + vbYesNo) == vbYes)
        txtSpeak->clear();
}

void frmOrvelle::lblID3Tags_Click()
{
    // The default tags set there are the ones converted speech files receive.
    ShowOptionsPage(QStringLiteral("ID3 Tags"), this);
}

void frmOrvelle::cOrvelle1_Done()
{
    QTextCursor c = txtSpeak->textCursor();
    c.setPosition(0);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    txtSpeak->setTextCursor(c);
}

void frmOrvelle::cOrvelle1_WordPosition(qint32 Start, qint32 Length)
{
    QTextCursor c = txtSpeak->textCursor();
    const int end = c.document()->characterCount() - 1;
    c.setPosition(std::clamp(Start, 0, end));
    c.setPosition(std::clamp(Start + Length, 0, end), QTextCursor::KeepAnchor);
    txtSpeak->setTextCursor(c);
}

qint32 frmOrvelle::SelStart() const
{
    return txtSpeak->textCursor().selectionStart();
}

qint32 frmOrvelle::SelLength() const
{
    const QTextCursor c = txtSpeak->textCursor();
    return c.selectionEnd() - c.selectionStart();
}
