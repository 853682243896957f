// The text-to-speech window ("Text To Speech"): speaks the typed text through the speech
// component with a chosen voice, output, format, rate and volume, selecting each word as
// it is heard; and turns the speech into an audio file of the chosen target format,
// saved under a name the user picks or added to the main window's current items list.
#pragma once

#include "common/mdlFileIdentity.h"
#include "platform/Forms.h"

class LinkLabel;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class XP_ProgressBar;
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
    // Starts speaking the text into the WAV file at rate 0 and volume 100 on the
    // component's thread; the window stays usable, shows how far it has come, and Stop
    // ends it. The component's file events carry the job on.
    void SpeakToWaveFile(const QString& sFile);
    void cmdSaveAs_Click();
    void cmdAdd_Click();
    void cmdEditTargetFormat_Click();
    void cOrvelle1_FileProgress(qint32 Percent);
    // The speech file is complete: it is converted, and for Add the new file is listed.
    void cOrvelle1_FileDone();
    void cOrvelle1_FileAborted();
    void cOrvelle1_FileError(qint32 Code, const QString& Description);

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
    // How far the speech file has come; shown only while one is written.
    XP_ProgressBar* prgSpeech = nullptr;

    cOrvelle* cOrvelle1 = nullptr;

private:
    // What the speech file being written is for.
    enum class SpeechUse { None, SaveAs, Add };

    // The six settings of a speech; files always take rate 0 and volume 100.
    void PutSpeechSettings(qint32 rate, qint32 volume);
    // Speaks into the temporary speech file for `use`, the target format taken as it is now.
    void StartSpeechFile(SpeechUse use);
    // The controls that start a job or change its settings are off while a speech file is
    // written, and the progress bar shows.
    void ShowWritingSpeech(bool writing);
    // Converts the temporary speech file into the job's target format under the conversion
    // window, shown modally; `replaceable` is the file the user agreed to replace.
    void ConvertSpeech(const QString& sDest, const FileIdentity& replaceable = {});
    void AddSpeech();
    QString TargetExt() const;

    SpeechUse m_speechUse = SpeechUse::None;
    QString m_sSpeechTarget;      // the target format's text when the job began
    QString m_sSpeechDest;        // Save As: the file chosen; Add: the new item's name
    FileIdentity m_replaceable;   // Save As: the file the save dialog's Yes agreed to replace
};

inline frmOrvelle* g_frmOrvelle()
{
    return Forms::Get<frmOrvelle>();
}

// The temporary speech file beside the program.
QString SpeechTempFile();
