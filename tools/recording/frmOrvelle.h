// The text-to-speech window ("Text To Speech"): speaks the typed text through the speech
// component with a chosen voice, output, format, rate and volume, selecting each word as
// it is heard; and turns the speech into an audio file of the chosen target format,
// saved under a name the user picks or added to the main window's current items list.
#pragma once

#include "platform/Forms.h"

class LinkLabel;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class cOrvelle;
class cSlider;

class frmOrvelle : public VForm
{
    Q_OBJECT
public:
    frmOrvelle();
    ~frmOrvelle() override;

    void Form_Load() override;
    // The speech ends and the component is released, then the chosen format and voice are
    // stored for the next opening.
    void Form_Unload(int& Cancel) override;

    // Speaking.
    void FillVoices();
    void FillAudioOutputs();
    void cmdSay_Click();
    void cmdStop_Click();
    void PauseSpeech();
    void ResumeSpeech();
    void ApplyRate();
    void ApplyVolume();
    void sldRate_Change();
    void sldVolume_Change();
    void txtSpeak_Change();
    void lblClearText_Click();
    void lblID3Tags_Click();
    void cOrvelle1_Done();
    void cOrvelle1_WordPosition(qint32 Start, qint32 Length);
    void cOrvelle1_FormatFound(const QString& Name, qint32 Id);

    // Speech files.
    // Speaks the text into the WAV file at rate 0 and volume 100; false, after telling the
    // user why, when no complete file came of it.
    bool SpeakToWaveFile(const QString& sFile);
    void cmdSaveAs_Click();
    void cmdAdd_Click();
    void cmdEditTargetFormat_Click();

    // The selection of the text box, in UTF-16 code units.
    qint32 SelStart() const;
    qint32 SelLength() const;

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblText = nullptr;
    QPlainTextEdit* txtSpeak = nullptr;
    QLabel* lblVoices = nullptr;
    QComboBox* cboVoices = nullptr;
    QLabel* lblOutputs = nullptr;
    QComboBox* cboAudioOutputs = nullptr;
    QLabel* lblFormats = nullptr;
    QComboBox* cboFormats = nullptr;
    QLabel* lblRate = nullptr;
    cSlider* sldRate = nullptr;
    QLabel* lblRateVal = nullptr;
    QLabel* lblVolume = nullptr;
    cSlider* sldVolume = nullptr;
    QLabel* lblValumeVal = nullptr;
    QPushButton* cmdSay = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdSaveAs = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdToolsIcon[4] = {};
    QLabel* lblAudioFormat = nullptr;
    QComboBox* cboTargetFormat = nullptr;
    QPushButton* cmdEditTargetFormat = nullptr;
    LinkLabel* lblID3Tags = nullptr;
    LinkLabel* lblClearText = nullptr;

    cOrvelle* cOrvelle1 = nullptr;

private:
    // The six settings of a speech; files always take rate 0 and volume 100.
    void PutSpeechSettings(qint32 rate, qint32 volume);
    // Converts the temporary speech file into the target format under the conversion
    // window, shown modally.
    void ConvertSpeech(const QString& sDest);
    QString TargetExt() const;
};

inline frmOrvelle* g_frmOrvelle()
{
    return Forms::Get<frmOrvelle>();
}

// The temporary speech file beside the program.
QString SpeechTempFile();
