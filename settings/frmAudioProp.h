// The output-format properties window: one tab per offered output format with that
// format's encoder settings. Loaded hidden at start-up; its loading fills the format globals.
#pragma once

#include "common/RegistryRoutines.h"
#include "platform/Forms.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class CheckBox;
class LinkLabel;
class cAudioConverter;
class cTabControl;

class frmAudioProp : public VForm
{
    Q_OBJECT
public:
    frmAudioProp();
    ~frmAudioProp() override;

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

    // Reads every stored value of the six format sub-keys into its control and derives
    // the format globals from the controls.
    void GetOptions();

    // Shows the page of the selected tab; the argument is not used.
    void cTabControl1_TabClick(qint32 Index);
    void cmdOk_Click();
    void cmdExit_Click();
    void cboTags_Click();
    void cboWMACodecs_Click();
    void chkBestAccordToSource_Click();
    void lblMP3Advanced_Click();
    void sldOGG_Scroll();
    void cAudioConverter1_ACMTagFound(const QString& TagName);
    void cAudioConverter1_ACMFormatFound(const QString& FormatName);

    cAudioConverter* cAudioConverter1 = nullptr;
    cTabControl* cTabControl1 = nullptr;

    // Title strip and buttons.
    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblFormatDesc = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdExit = nullptr;

    // WAV.
    QFrame* froToWAV = nullptr;
    QComboBox* cboSamplesWAV = nullptr;
    QComboBox* cboBitrateWAV = nullptr;
    QComboBox* cboChannelsWAV = nullptr;

    // ACM.
    QFrame* froToACM = nullptr;
    CheckBox* chkBestAccordToSource = nullptr;
    QComboBox* cboTags = nullptr;
    QComboBox* cboFormats = nullptr;

    // MP3.
    QFrame* froToMP3 = nullptr;
    QComboBox* cboMP3Bitrate = nullptr;
    QComboBox* cboMP3Mode = nullptr;
    QComboBox* cboMP3Samplerate = nullptr;
    QComboBox* cboMP3Quality = nullptr;
    LinkLabel* lblMP3Advanced = nullptr;
    QFrame* picMP3Advanced = nullptr;
    CheckBox* chkMP3Original = nullptr;
    CheckBox* chkMP3Copyright = nullptr;
    CheckBox* chkMP3ErrorProtect = nullptr;
    CheckBox* chkMP3VBR = nullptr;
    CheckBox* chkMP3StrictISO = nullptr;
    CheckBox* chkMP3VBRTag = nullptr;
    CheckBox* chkMP3VBRForceMinBitrate = nullptr;
    CheckBox* chkMP3ABR = nullptr;
    QComboBox* cboMP3ABRBitrate = nullptr;
    QComboBox* cboMP3VBRQuality = nullptr;
    QComboBox* cboMP3MinBitrate = nullptr;
    QComboBox* cboMP3MaxBitrate = nullptr;

    // WMA.
    QFrame* froToWMA = nullptr;
    QComboBox* cboWMACodecs = nullptr;
    QComboBox* cboWMAFormat = nullptr;

    // OGG.
    QFrame* froToOGG = nullptr;
    QRadioButton* ptnQualityOGG = nullptr;
    QSlider* sldOGG = nullptr;
    QLabel* lblSensitivityVal = nullptr;
    QRadioButton* optOggBit = nullptr;
    QComboBox* cboOggBitNom = nullptr;

    // APE.
    QFrame* froToAPE = nullptr;
    QComboBox* cboAPELevel = nullptr;

private:
    friend bool ShowAudioPropOnFormat(const QString& key, QWidget* owner);

    void buildPages();
    void HideFormatPages();
    void PlaceFormatDesc();
    void FillWMACodecs();
    void SelectFirstACM();
    QList<QFrame*> pages() const;

    RegistryRoutines m_cRegistry;
    bool m_bAccepted = false;  // the last showing ended with OK
};

inline frmAudioProp* g_frmAudioProp()
{
    return Forms::Get<frmAudioProp>();
}

// Opens the window modally on the tab of a format ("WAV", "MP3", ...: the first three
// letters of a target-format text); true when it was left with OK.
bool ShowAudioPropOnFormat(const QString& key, QWidget* owner = nullptr);
