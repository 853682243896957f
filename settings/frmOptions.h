// The options window: a tree of five pages whose controls show the option globals.
// Loaded hidden at start-up (its loading fills the option globals); OK writes the
// controls to the settings store and reloads everything from there.
#pragma once

#include "common/RegistryRoutines.h"
#include "platform/Forms.h"

class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class CheckBox;
class LinkLabel;
class PictureBox;
class TextBox;
class cImageList;
class cTreeItem;
class cTreeView;

class frmOptions : public VForm
{
    Q_OBJECT
public:
    frmOptions();
    ~frmOptions() override;

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_Resize() override;

    // Reads every value of the store into its control and sets every option global.
    void GetOptions();

    void cTreeView1_NodeClick(cTreeItem* Node);
    void cmdOk_Click();
    void cmdCancel_Click();
    void chkPlaySound_Click();
    void chkNoticeApp_Click();
    void chkCopyID3FromSource_Click();
    void cmdAddSound_Click();
    void cmdTestSound_Click();
    void cmdTestApp_Click();
    void cmdSelectPath_Click();
    void lblOpenDestinationDestinationFolder_Click();
    void picColor_Click();
    void picTextColor_Click();
    void cmdEditTargetFormat_Click();
    void lblNoticParameters_Click();
    void lblID3TagParameters_Click();
    void lblParameters_Click();
    void lblMoreAdvancedOptions_Click();

    // Controls outside the pages.
    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    cTreeView* cTreeView1 = nullptr;
    cImageList* imgMenu = nullptr;
    QFrame* froGeneral = nullptr;
    QFrame* froEvents = nullptr;
    QFrame* froView = nullptr;
    QFrame* froTags = nullptr;
    QFrame* froAdvanced = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    CheckBox* chkDontSaveSilenceFile = nullptr;
    QLabel* lblAudioDevice = nullptr;
    QComboBox* cboDevices = nullptr;

    // General.
    LinkLabel* lblParameters = nullptr;
    QComboBox* cboFileName = nullptr;
    QComboBox* cboTargetFormat = nullptr;
    QPushButton* cmdEditTargetFormat = nullptr;
    CheckBox* chkGoToNextItem = nullptr;
    CheckBox* chkClearOnExit = nullptr;
    CheckBox* chkSelectTheLastItem = nullptr;
    CheckBox* chkAutoFreeDB = nullptr;
    LinkLabel* lblMoreAdvancedOptions = nullptr;

    // Events.
    CheckBox* chkPlaySound = nullptr;
    TextBox* txtPlayAtEnd = nullptr;
    QPushButton* cmdAddSound = nullptr;
    QPushButton* cmdTestSound = nullptr;
    CheckBox* chkNoticeApp = nullptr;
    QPlainTextEdit* txtAppNotice = nullptr;
    LinkLabel* lblNoticParameters = nullptr;
    QPushButton* cmdTestApp = nullptr;
    CheckBox* chkOpenDestFolder = nullptr;
    CheckBox* chkTurnOffComputer = nullptr;

    // View.
    CheckBox* chkDisplayTitle = nullptr;
    CheckBox* chkDisplayGridHotTrack = nullptr;
    CheckBox* chkDisplayPlayer = nullptr;
    CheckBox* chkDisplayGridLine = nullptr;
    CheckBox* chkDisplayAudioGraph = nullptr;
    CheckBox* chkMenuXPStyle = nullptr;
    PictureBox* picColor = nullptr;
    PictureBox* picTextColor = nullptr;

    // Default ID3 tags.
    CheckBox* chkCopyID3FromSource = nullptr;
    LinkLabel* lblID3TagParameters = nullptr;
    QLabel* lblTagArtist = nullptr;
    QLabel* lblTagSong = nullptr;
    QLabel* lblTagAlbum = nullptr;
    QLabel* lblTagGenre = nullptr;
    QLabel* lblTagTrack = nullptr;
    QLabel* lblTagYear = nullptr;
    QLabel* lblTagComment = nullptr;
    TextBox* txtTagArtist = nullptr;
    TextBox* txtTagSong = nullptr;
    TextBox* txtTagAlbum = nullptr;
    TextBox* txtTagGenre = nullptr;
    TextBox* txtTagTrack = nullptr;
    TextBox* txtTagYear = nullptr;
    QPlainTextEdit* txtTagComment = nullptr;

    // Advanced.
    LinkLabel* lblOpenDestinationDestinationFolder = nullptr;
    QComboBox* txtToPath = nullptr;
    QPushButton* cmdSelectPath = nullptr;
    CheckBox* chkDisplayMSGWhenErase = nullptr;
    CheckBox* chkDisplayMSGWhenExit = nullptr;
    CheckBox* chkSaveLogWhenExit = nullptr;
    CheckBox* chkRunWhenWinStarts = nullptr;
    CheckBox* chkAutoUpdate = nullptr;
    CheckBox* chkDisplayLiveUpdateWindow = nullptr;

private:
    void SetupPagesTree();
    void HideOptionPages();
    void UpdatePlaySoundControls();
    void UpdateAppNoticeControls();
    void UpdateTagControls();
    void LoadFileNameFormats();
    void buildPages();

    RegistryRoutines m_cRegistry;
};

// The lists folder a text names: an empty text is the default folder "Main" beside the
// program, and the folder always ends in "/".
QString NormaliseListsFolder(const QString& text);
QString DefaultListsFolder();
QString DefaultPlayAtEnd();

// Opens the options window modally on a page ("General", "Events", "View", "ID3 Tags",
// "Advanced"); afterwards the option globals hold what OK stored.
void ShowOptionsPage(const QString& key, QWidget* owner = nullptr);

// "Set as default" of the tool windows: the store, the options window's list and the
// option global take the text at once.
void SetDefaultTargetFormat(const QString& text);
void SetDefaultFileNameFormat(const QString& text);
