#include "settings/frmOptions.h"

#include "common/mdlModes.h"
#include "common/MainHost.h"
#include "common/mdlCommDialog.h"
#include "common/mdlDestination.h"
#include "common/mdlFunctions.h"
#include "common/mdlRunOnStart.h"
#include "common/mdlSupportedDestination.h"
#include "common/mdlWindowHelpers.h"
#include "components/cImageList/cImageList.h"
#include "components/cTreeView/cTreeView.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/IconResources.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "platform/ShellService.h"
#include "platform/SoundService.h"
#include "settings/frmAudioProp.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlFileNameFormats.h"
#include "settings/mdlStoredValues.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>

#include <cmath>

namespace {

QLabel* heading(QWidget* parent, const QString& text)
{
    QLabel* h = MakeLabel(parent, text, 120, 0, 5655, 285);
    QFont f = h->font();
    f.setBold(true);
    h->setFont(f);
    return h;
}

} // namespace

QString DefaultListsFolder()
{
    return AppPath() + QStringLiteral("/Main/");
}

QString DefaultPlayAtEnd()
{
    return AppPath() + QStringLiteral("/sound/notify.wav");
}

QString NormaliseListsFolder(const QString& text)
{
    if (text.isEmpty())
        return DefaultListsFolder();
    return text.endsWith(u'/') ? text : text + u'/';
}

frmOptions::frmOptions()
{
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(TwipsToPixels(8760), TwipsToPixels(5850));
    setFont(QFont(QStringLiteral("Tahoma")));

    picTitle = new QWidget(this);
    picTitle->setAutoFillBackground(true);
    PlaceTwips(picTitle, 0, 0, 8775, 495);
    lblTitle = new QLabel(QStringLiteral("General"), picTitle);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    SetForeColor(lblTitle, 0xFFFFFF);
    PlaceTwips(lblTitle, 240, 120, 8000, 285);

    imgMenu = new cImageList;
    cTreeView1 = new cTreeView(this);
    PlaceTwips(cTreeView1, 120, 600, 2175, 4455);

    froGeneral = new QFrame(this);
    PlaceTwips(froGeneral, 2520, 600, 5895, 4455);
    froEvents = new QFrame(this);
    froView = new QFrame(this);
    froTags = new QFrame(this);
    froAdvanced = new QFrame(this);

    cmdOk = MakeButton(this, QStringLiteral("OK"), 7080, 5280, 1455, 375);
    cmdOk->setDefault(true);
    cmdCancel = MakeButton(this, QStringLiteral("Cancel"), 5400, 5280, 1455, 375);
    chkDontSaveSilenceFile =
        MakeCheck(this, QStringLiteral("Do not save a file that contains a silence only ('empty file')"), 120, 5280, 5000);
    chkDontSaveSilenceFile->hide();
    lblAudioDevice = MakeLabel(this, QStringLiteral("Record From:"), 120, 5280, 1200);
    lblAudioDevice->hide();
    cboDevices = new QComboBox(this);
    PlaceTwips(cboDevices, 1320, 5280, 3000, 315);
    cboDevices->hide();

    buildPages();

    connect(cTreeView1, &cTreeView::NodeClick, this, &frmOptions::cTreeView1_NodeClick);
    connect(cTreeView1, &cTreeView::SelectionNotify, this,
            [this] { cTreeView1_NodeClick(cTreeView1->SelectedItem()); });
    connect(cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(chkPlaySound, &CheckBox::Click, this, &frmOptions::chkPlaySound_Click);
    connect(chkNoticeApp, &CheckBox::Click, this, &frmOptions::chkNoticeApp_Click);
    connect(chkCopyID3FromSource, &CheckBox::Click, this, &frmOptions::chkCopyID3FromSource_Click);
    connect(cmdAddSound, &QPushButton::clicked, this, &frmOptions::cmdAddSound_Click);
    connect(cmdTestSound, &QPushButton::clicked, this, &frmOptions::cmdTestSound_Click);
    connect(cmdTestApp, &QPushButton::clicked, this, &frmOptions::cmdTestApp_Click);
    connect(cmdSelectPath, &QPushButton::clicked, this, &frmOptions::cmdSelectPath_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::Click, this,
            &frmOptions::lblOpenDestinationDestinationFolder_Click);
    connect(picColor, &PictureBox::Click, this, &frmOptions::picColor_Click);
    connect(picTextColor, &PictureBox::Click, this, &frmOptions::picTextColor_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &frmOptions::cmdEditTargetFormat_Click);
    connect(lblNoticParameters, &LinkLabel::Click, this, &frmOptions::lblNoticParameters_Click);
    connect(lblID3TagParameters, &LinkLabel::Click, this, &frmOptions::lblID3TagParameters_Click);
    connect(lblParameters, &LinkLabel::Click, this, &frmOptions::lblParameters_Click);
    connect(lblMoreAdvancedOptions, &LinkLabel::Click, this, &frmOptions::lblMoreAdvancedOptions_Click);
}

frmOptions::~frmOptions()
{
    delete imgMenu;
}

void frmOptions::buildPages()
{
    // General.
    heading(froGeneral, QStringLiteral("General Properties:"));
    MakeLabel(froGeneral, QStringLiteral("Default File Name Format:"), 120, 360, 3000);
    lblParameters = MakeLink(froGeneral, QStringLiteral("Parameters"), 4680, 360, 1095);
    cboFileName = new QComboBox(froGeneral);
    PlaceTwips(cboFileName, 120, 600, 5655, 315);
    FillBuiltInFileNameFormats(cboFileName);
    MakeLabel(froGeneral, QStringLiteral("Default Audio Format:"), 120, 1040, 3000);
    cboTargetFormat = new QComboBox(froGeneral);
    PlaceTwips(cboTargetFormat, 120, 1280, 4815, 315);
    cboTargetFormat->addItems(DestinationFormatTexts());
    cboTargetFormat->setCurrentIndex(-1);
    cmdEditTargetFormat = MakeButton(froGeneral, QStringLiteral("Edit"), 5040, 1260, 735, 345);
    cmdEditTargetFormat->setToolTip(QStringLiteral("Edit Target Audio Formats"));
    chkGoToNextItem = MakeCheck(froGeneral, QStringLiteral("Go to next item when done playing an item"), 120, 1800, 5655);
    chkClearOnExit = MakeCheck(froGeneral, QStringLiteral("Clear the 'Items List' on exit"), 120, 2160, 5655);
    chkSelectTheLastItem = MakeCheck(froGeneral, QStringLiteral("Auto select the last Item"), 120, 2520, 5655);
    chkAutoFreeDB = MakeCheck(froGeneral, QStringLiteral("Open the FreeDB service automatically"), 120, 2880, 5655);
    chkAutoFreeDB->hide();
    lblMoreAdvancedOptions = MakeLink(froGeneral, QStringLiteral("More advanced options..."), 120, 4080, 3000);

    // Events.
    heading(froEvents, QStringLiteral("Default Events When Done:"));
    chkPlaySound = MakeCheck(froEvents, QStringLiteral("Play sound"), 120, 360, 5655);
    txtPlayAtEnd = MakeTextBox(froEvents, 360, 690, 3855);
    txtPlayAtEnd->setReadOnly(true);
    cmdAddSound = MakeButton(froEvents, QStringLiteral("Add"), 4320, 675, 735, 315);
    cmdTestSound = MakeButton(froEvents, QStringLiteral("Test"), 5100, 675, 675, 315);
    chkNoticeApp = MakeCheck(froEvents, QStringLiteral("Execute external application"), 120, 1140, 5655);
    txtAppNotice = new QPlainTextEdit(froEvents);
    txtAppNotice->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PlaceTwips(txtAppNotice, 360, 1470, 5415, 1095);
    lblNoticParameters = MakeLink(froEvents, QStringLiteral("Parameters"), 360, 2640, 1500);
    cmdTestApp = MakeButton(froEvents, QStringLiteral("Test"), 5100, 2610, 675, 315);
    chkOpenDestFolder = MakeCheck(froEvents, QStringLiteral("Open the destination folder"), 120, 3120, 5655);
    chkTurnOffComputer = MakeCheck(froEvents, QStringLiteral("Turn off computer"), 120, 3480, 5655);

    // View.
    heading(froView, QStringLiteral("Program View:"));
    chkDisplayTitle = MakeCheck(froView, QStringLiteral("Display Title"), 120, 360, 2800);
    chkDisplayGridHotTrack = MakeCheck(froView, QStringLiteral("Display grid hot track"), 3000, 360, 2800);
    chkDisplayPlayer = MakeCheck(froView, QStringLiteral("Display player"), 120, 720, 2800);
    chkDisplayGridLine = MakeCheck(froView, QStringLiteral("Display grid lines"), 3000, 720, 2800);
    chkDisplayAudioGraph = MakeCheck(froView, QStringLiteral("Display the 'Audio Graph'"), 120, 1080, 2800);
    chkMenuXPStyle = MakeCheck(froView, QStringLiteral("Advanced menus style"), 3000, 1080, 2800);
    MakeLabel(froView, QStringLiteral("Application Color"), 120, 1600, 3000);
    picColor = new PictureBox(froView);
    picColor->SetBackColor(0);
    PlaceTwips(picColor, 120, 1860, 5295, 255);
    MakeLabel(froView, QStringLiteral("Text Color"), 120, 2300, 3000);
    picTextColor = new PictureBox(froView);
    picTextColor->SetBackColor(0);
    PlaceTwips(picTextColor, 120, 2560, 5295, 255);

    // Default ID3 tags.
    heading(froTags, QStringLiteral("Default ID3 Tags:"));
    chkCopyID3FromSource = MakeCheck(froTags, QStringLiteral("Copy the ID3 tags from source file"), 120, 360, 5655);
    lblTagArtist = MakeLabel(froTags, QStringLiteral("Artist:"), 120, 760, 2000);
    lblID3TagParameters = MakeLink(froTags, QStringLiteral("Parameters"), 4680, 760, 1095);
    txtTagArtist = MakeTextBox(froTags, 120, 1000, 5655);
    lblTagSong = MakeLabel(froTags, QStringLiteral("Song:"), 120, 1400, 2000);
    lblTagAlbum = MakeLabel(froTags, QStringLiteral("Album:"), 3000, 1400, 2000);
    txtTagSong = MakeTextBox(froTags, 120, 1640, 2775);
    txtTagAlbum = MakeTextBox(froTags, 3000, 1640, 2775);
    lblTagGenre = MakeLabel(froTags, QStringLiteral("Genre:"), 120, 2040, 2000);
    lblTagTrack = MakeLabel(froTags, QStringLiteral("Track:"), 3000, 2040, 2000);
    txtTagGenre = MakeTextBox(froTags, 120, 2280, 2775);
    txtTagTrack = MakeTextBox(froTags, 3000, 2280, 2775);
    lblTagYear = MakeLabel(froTags, QStringLiteral("Year:"), 120, 2680, 2000);
    txtTagYear = MakeTextBox(froTags, 120, 2920, 2775);
    lblTagComment = MakeLabel(froTags, QStringLiteral("Comment:"), 120, 3320, 2000);
    txtTagComment = new QPlainTextEdit(froTags);
    txtTagComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PlaceTwips(txtTagComment, 120, 3560, 5655, 855);
    for (QWidget* box : std::initializer_list<QWidget*>{txtTagArtist, txtTagSong, txtTagAlbum, txtTagGenre, txtTagTrack,
                                                       txtTagYear, txtTagComment})
        SetBackColor(box, 0xFFFFFF);

    // Advanced.
    heading(froAdvanced, QStringLiteral("Advanced Properties:"));
    MakeLabel(froAdvanced, QStringLiteral("Items List Main Directory:"), 120, 360, 3000);
    lblOpenDestinationDestinationFolder = MakeLink(froAdvanced, QStringLiteral("Open destination folder"), 3480, 360, 2295);
    txtToPath = MakeDestinationBox(froAdvanced);
    PlaceTwips(txtToPath, 120, 600, 5175, 315);
    cmdSelectPath = MakeButton(froAdvanced, QStringLiteral("..."), 5340, 585, 435, 345);
    cmdSelectPath->setToolTip(QStringLiteral("Select a new directory"));
    chkDisplayMSGWhenErase =
        MakeCheck(froAdvanced, QStringLiteral("Display a confirmation message when erasing an item"), 120, 1140, 5655);
    chkDisplayMSGWhenExit =
        MakeCheck(froAdvanced, QStringLiteral("Display a confirmation message when exiting the program"), 120, 1500, 5655);
    chkSaveLogWhenExit =
        MakeCheck(froAdvanced, QStringLiteral("Save the 'Log' to a text file when exiting the program"), 120, 1860, 5655);
    chkRunWhenWinStarts = MakeCheck(froAdvanced, QStringLiteral("Run this program when windows is started"), 120, 2220, 5655);
    chkAutoUpdate = MakeCheck(froAdvanced, QStringLiteral("Auto check for new updates"), 120, 2580, 5655);
    chkAutoUpdate->hide();
    chkDisplayLiveUpdateWindow = MakeCheck(froAdvanced, QStringLiteral("Display the Live Update window"), 120, 2940, 5655);
    chkDisplayLiveUpdateWindow->hide();
}

void frmOptions::Form_Load()
{
    // Colours and pictures of the product profile.
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok) {
        for (QWidget* w : std::initializer_list<QWidget*>{this, froGeneral, froEvents, froView, froTags, froAdvanced})
            SetBackColor(w, back);
        for (CheckBox* c : findChildren<CheckBox*>())
            if (c != chkAutoFreeDB)
                SetBackColor(c, back);
    }
    if (lAppIncCDRipper == 1) {
        chkAutoFreeDB->show();
        if (ok)
            SetBackColor(chkAutoFreeDB, back);
    }
    if (LoadViewPicture(this, g_sViewBackPicture))
        for (QWidget* w : std::initializer_list<QWidget*>{froGeneral, froAdvanced, froTags, froEvents, froView})
            LoadViewPicture(w, g_sViewBackPicture);
    LoadViewPicture(picTitle, g_sViewTitlePicture);

    // Icon and settings key.
    SetFormIcon(this, QStringLiteral("gears"), true);
    m_cRegistry.setHkey(HKEY_LOCAL_MACHINE);
    m_cRegistry.setKeyRoot(ProductKeyRoot());

    // The pages tree shows each page's whole name (the window has room on the right for
    // the few pixels another font may need); every page stands where the first one does.
    SetupPagesTree();
    if (const int need = cTreeView1->WidthNeeded(); need > cTreeView1->width())
        cTreeView1->resize(need, cTreeView1->height());
    const QRect tree = cTreeView1->geometry();
    froGeneral->move(tree.x() + tree.width() + TwipsToPixels(200), froGeneral->y());
    for (QFrame* page : {froEvents, froView, froTags, froAdvanced})
        page->setGeometry(froGeneral->x(), froGeneral->y(), froGeneral->width(), tree.height());

    // The lists the pages offer, then the stored options over them; the first page shows.
    LoadFileNameFormats();
    LoadPathHistory(txtToPath);
    if (txtToPath->currentText().isEmpty())
        txtToPath->setEditText(DefaultListsFolder());
    FillDestinationFormats(cboTargetFormat);
    GetOptions();
    cTreeView1_NodeClick(cTreeView1->Nodes().Item(1));
    UpdatePlaySoundControls();
    UpdateAppNoticeControls();
    UpdateTagControls();
}

void frmOptions::LoadFileNameFormats()
{
    ::LoadFileNameFormats(cboFileName);
    cboFileName->setCurrentIndex(-1);
}

void frmOptions::SetupPagesTree()
{
    // Small icons of the pages, at the numbers the tree asks for.
    static const struct {
        int index;
        const char* icon;
    } pictures[] = {{6, "document_music"},
                    {9, "tango/preferences-system"},
                    {10, "replace2"},
                    {11, "colors"},
                    {59, "tango/applications-system"}};
    imgMenu->Clear();
    for (int i = 0; i <= 59; ++i) {
        QIcon icon;
        for (const auto& p : pictures)
            if (p.index == i)
                icon = LoadIconResource(QLatin1String(p.icon));
        imgMenu->Add(icon);
    }
    cTreeView1->SetImageList(imgMenu);
    cTreeItems nodes = cTreeView1->Nodes();
    nodes.Add(nullptr, 0, QStringLiteral("General"), QStringLiteral("General"), 9, -1);
    nodes.Add(nullptr, 2, QStringLiteral("Events"), QStringLiteral("Events"), 10, -1);
    nodes.Add(nullptr, 2, QStringLiteral("View"), QStringLiteral("View"), 11, -1);
    nodes.Add(nullptr, 2, QStringLiteral("ID3 Tags"), QStringLiteral("Default ID3 Tags"), 6, -1);
    nodes.Add(nullptr, 2, QStringLiteral("Advanced"), QStringLiteral("Advanced"), 59, -1);
}

void frmOptions::HideOptionPages()
{
    for (QFrame* page : {froGeneral, froEvents, froView, froTags, froAdvanced})
        page->hide();
}

void frmOptions::cTreeView1_NodeClick(cTreeItem* Node)
{
    HideOptionPages();
    if (!Node)
        return;
    const QString key = Node->Key();
    if (key == QLatin1String("General"))
        froGeneral->show();
    else if (key == QLatin1String("Events"))
        froEvents->show();
    else if (key == QLatin1String("View"))
        froView->show();
    else if (key == QLatin1String("ID3 Tags"))
        froTags->show();
    else if (key == QLatin1String("Advanced"))
        froAdvanced->show();
    Node->SetItemFlag67(true);
    lblTitle->setText(Node->Text());
}

void frmOptions::UpdatePlaySoundControls()
{
    const bool on = chkPlaySound->Value() == 1;
    txtPlayAtEnd->setEnabled(on);
    cmdAddSound->setEnabled(on);
    cmdTestSound->setEnabled(on);
}

void frmOptions::UpdateAppNoticeControls()
{
    const bool on = chkNoticeApp->Value() == 1;
    txtAppNotice->setEnabled(on);
    cmdTestApp->setEnabled(on);
}

void frmOptions::UpdateTagControls()
{
    const bool on = chkCopyID3FromSource->Value() != 1;
    for (QWidget* w : std::initializer_list<QWidget*>{lblTagArtist, lblTagSong, lblTagAlbum, lblTagTrack, lblTagGenre,
                                                     lblTagYear, lblTagComment, txtTagArtist, txtTagSong, txtTagAlbum,
                                                     txtTagTrack, txtTagGenre, txtTagYear, txtTagComment})
        w->setEnabled(on);
}

void frmOptions::chkPlaySound_Click() { UpdatePlaySoundControls(); }
void frmOptions::chkNoticeApp_Click() { UpdateAppNoticeControls(); }
void frmOptions::chkCopyID3FromSource_Click() { UpdateTagControls(); }

void frmOptions::GetOptions()
{
    auto value = [this](const char* name) { return m_cRegistry.GetRegistryValue(QLatin1String(name)); };
    auto text = [&](const char* name) { return value(name).toString(); };
    // A check box takes the stored number; a text that is no number leaves the box as it is.
    auto setCheck = [&](CheckBox* box, bool& global, const char* name) {
        const auto n = StoredNumber(value(name));
        if (n && *n >= 0 && *n <= 2)
            box->SetValue(int(*n));
        global = box->Value() != 0;
    };
    auto setColour = [&](PictureBox* box, qint32& global, const char* name) {
        const auto n = StoredNumber(value(name));
        if (n && *n >= -2147483648.0 && *n <= 2147483647.0)
            box->SetBackColor(qint32(*n));
        global = box->BackColor();
    };

    m_cRegistry.setSubkey(QStringLiteral("General"));
    if (const auto n = StoredNumber(value("cboDevices")); n && *n >= -1 && *n < cboDevices->count())
        cboDevices->setCurrentIndex(int(*n));
    g_lDeviceIndex = cboDevices->currentIndex();

    const QString target = text("cboTargetFormat");
    if (!target.isEmpty()) {
        SelectListText(cboTargetFormat, target);
        g_sTargetFormat = cboTargetFormat->currentText();
    }

    // The lists folder as every reader of it takes it: ending in "/". Read as stored, it
    // would differ from what OK stores and rebuild the tree on an OK without edits.
    const QString storedLists = text("txtToPath");
    txtToPath->setEditText(storedLists.isEmpty() ? storedLists : NormaliseListsFolder(storedLists));
    setCheck(chkSelectTheLastItem, g_bSelectTheLastItem, "chkSelectTheLastItem");
    setCheck(chkAutoFreeDB, g_bAutoFreeDB, "chkAutoFreeDB");
    if (txtToPath->currentText().isEmpty()) {
        txtToPath->setEditText(DefaultListsFolder());
        if (!IsFolder(txtToPath->currentText()))
            MakePath(txtToPath->currentText());
        SavePathHistory(txtToPath);
        LoadPathHistory(txtToPath);
    }
    g_sToPath = txtToPath->currentText();

    SelectListText(cboFileName, text("cboFileName"));
    g_sFileNameFormat = cboFileName->currentText();

    setCheck(chkSaveLogWhenExit, g_bSaveLogWhenExit, "chkSaveLogWhenExit");
    setCheck(chkDisplayMSGWhenExit, g_bDisplayMSGWhenExit, "chkDisplayMSGWhenExit");
    setCheck(chkDisplayMSGWhenErase, g_bDisplayMSGWhenErase, "chkDisplayMSGWhenErase");
    setCheck(chkGoToNextItem, g_bGoToNextItem, "chkGoToNextItem");
    setCheck(chkDisplayPlayer, g_bDisplayPlayer, "chkDisplayPlayer");
    setCheck(chkClearOnExit, g_bClearOnExit, "chkClearOnExit");
    setCheck(chkDisplayAudioGraph, g_bDisplayAudioGraph, "chkDisplayAudioGraph");
    setCheck(chkMenuXPStyle, g_bMenuXPStyle, "chkMenuXPStyle");
    setCheck(chkDisplayGridHotTrack, g_bDisplayGridHotTrack, "chkDisplayGridHotTrack");
    setCheck(chkDisplayTitle, g_bDisplayTitle, "chkDisplayTitle");
    setCheck(chkDisplayGridLine, g_bDisplayGridLine, "chkDisplayGridLine");

    setColour(picColor, g_lAppColor, "picColor");
    setColour(picTextColor, g_lTextColor, "picTextColor");
    SetBackColor(picTitle, picColor->BackColor());
    SetForeColor(lblTitle, g_lTextColor);

    chkRunWhenWinStarts->SetValue(IsRunOnStart() ? 1 : 0);
    setCheck(chkDisplayLiveUpdateWindow, g_bDisplayLiveUpdateWindow, "chkDisplayLiveUpdateWindow");
    setCheck(chkAutoUpdate, g_bAutoUpdate, "chkAutoUpdate");

    m_cRegistry.setSubkey(QStringLiteral("Events"));
    setCheck(chkOpenDestFolder, g_bOpenDestFolder, "chkOpenDestFolder");
    setCheck(chkTurnOffComputer, g_bTurnOffComputer, "chkTurnOffComputer");
    setCheck(chkPlaySound, g_bPlaySound, "chkPlaySound");
    txtPlayAtEnd->Tag = text("txtPlayAtEnd");
    txtPlayAtEnd->setText(GetFileName(txtPlayAtEnd->Tag));
    txtPlayAtEnd->setToolTip(txtPlayAtEnd->Tag);
    if (txtPlayAtEnd->text().isEmpty()) {
        txtPlayAtEnd->Tag = DefaultPlayAtEnd();
        txtPlayAtEnd->setText(GetFileName(txtPlayAtEnd->Tag));
        txtPlayAtEnd->setToolTip(txtPlayAtEnd->Tag);
    }
    g_sPlayAtEnd = txtPlayAtEnd->Tag;
    setCheck(chkNoticeApp, g_bNoticeApp, "chkNoticeApp");
    txtAppNotice->setPlainText(text("txtAppNotice"));
    g_sAppNotice = txtAppNotice->toPlainText();

    m_cRegistry.setSubkey(QStringLiteral("ID3 Tags"));
    // Copying the tags from the source is on unless the store says otherwise.
    if (text("chkCopyID3FromSource").isEmpty()) {
        chkCopyID3FromSource->SetValue(1);
        g_bCopyID3FromSource = true;
    } else {
        setCheck(chkCopyID3FromSource, g_bCopyID3FromSource, "chkCopyID3FromSource");
    }
    const struct {
        TextBox* box;
        QString* global;
        const char* name;
    } tags[] = {{txtTagArtist, &g_sTagArtist, "txtTagArtist"}, {txtTagSong, &g_sTagSong, "txtTagSong"},
                {txtTagAlbum, &g_sTagAlbum, "txtTagAlbum"},    {txtTagTrack, &g_sTagTrack, "txtTagTrack"},
                {txtTagGenre, &g_sTagGenre, "txtTagGenre"},    {txtTagYear, &g_sTagYear, "txtTagYear"}};
    for (const auto& t : tags) {
        t.box->setText(text(t.name));
        *t.global = t.box->text();
    }
    txtTagComment->setPlainText(text("txtTagComment"));
    g_sTagComment = txtTagComment->toPlainText();
}

void frmOptions::cmdOk_Click()
{
    SettingsWriteCheck check;
    auto put = [this, &check](const char* name, const QString& v) {
        check.Note(m_cRegistry.SetRegistryValue(QLatin1String(name), v, 1), m_cRegistry, QLatin1String(name));
    };
    auto putCheck = [&](const char* name, CheckBox* box) { put(name, QString::number(box->Value())); };

    m_cRegistry.setSubkey(QStringLiteral("General"));
    putCheck("chkClearOnExit", chkClearOnExit);
    putCheck("chkDisplayAudioGraph", chkDisplayAudioGraph);
    putCheck("chkMenuXPStyle", chkMenuXPStyle);
    putCheck("chkSelectTheLastItem", chkSelectTheLastItem);
    putCheck("chkAutoFreeDB", chkAutoFreeDB);
    putCheck("chkDisplayPlayer", chkDisplayPlayer);
    putCheck("chkDisplayGridHotTrack", chkDisplayGridHotTrack);
    putCheck("chkDisplayTitle", chkDisplayTitle);
    putCheck("chkDisplayGridLine", chkDisplayGridLine);
    put("picColor", QString::number(picColor->BackColor()));
    put("picTextColor", QString::number(picTextColor->BackColor()));
    put("cboDevices", QString::number(cboDevices->currentIndex()));
    put("cboTargetFormat", cboTargetFormat->currentText());

    // The lists folder always ends in "/" (new lists go inside it); an empty text is the
    // default folder.
    txtToPath->setEditText(NormaliseListsFolder(txtToPath->currentText()));
    const bool folderChanged = txtToPath->currentText() != g_sToPath;
    g_sToPath = txtToPath->currentText();
    if (folderChanged) {
        if (MainHost* host = g_MainHost())
            host->ReloadListsTree();
    }
    put("txtToPath", txtToPath->currentText());
    put("cboFileName", cboFileName->currentText());
    SetRunOnStart(chkRunWhenWinStarts->Value() == 1);
    putCheck("chkSaveLogWhenExit", chkSaveLogWhenExit);
    putCheck("chkDisplayMSGWhenExit", chkDisplayMSGWhenExit);
    putCheck("chkDisplayMSGWhenErase", chkDisplayMSGWhenErase);
    putCheck("chkGoToNextItem", chkGoToNextItem);
    putCheck("chkDisplayLiveUpdateWindow", chkDisplayLiveUpdateWindow);
    putCheck("chkAutoUpdate", chkAutoUpdate);

    m_cRegistry.setSubkey(QStringLiteral("Events"));
    putCheck("chkOpenDestFolder", chkOpenDestFolder);
    putCheck("chkTurnOffComputer", chkTurnOffComputer);
    putCheck("chkPlaySound", chkPlaySound);
    put("txtPlayAtEnd", txtPlayAtEnd->Tag);
    putCheck("chkNoticeApp", chkNoticeApp);
    put("txtAppNotice", txtAppNotice->toPlainText());

    m_cRegistry.setSubkey(QStringLiteral("ID3 Tags"));
    putCheck("chkCopyID3FromSource", chkCopyID3FromSource);
    put("txtTagArtist", txtTagArtist->text());
    put("txtTagSong", txtTagSong->text());
    put("txtTagAlbum", txtTagAlbum->text());
    put("txtTagGenre", txtTagGenre->text());
    put("txtTagTrack", txtTagTrack->text());
    put("txtTagYear", txtTagYear->text());
    put("txtTagComment", txtTagComment->toPlainText());
    check.Tell(QStringLiteral("The options"));

    GetOptions();
    g_sToPath = txtToPath->currentText();

    if (MainHost* host = g_MainHost()) {
        host->MainForm()->Form_Resize();
        host->ApplyGridOptions(g_bDisplayGridHotTrack, g_bDisplayGridLine);
    }
    Forms::Unload(this);
}

void frmOptions::cmdCancel_Click()
{
    GetOptions();
    Forms::Unload(this);
}

void frmOptions::Form_Unload(int& Cancel)
{
    if (!g_bExitApp) {
        Cancel = 1;
        Hide();
    }
    Services::sound().stop();
}

void frmOptions::Form_Resize()
{
    if (isVisible())
        cmdOk->setFocus();
}

void frmOptions::cmdAddSound_Click()
{
    g_OFN.lpstrFilter = QStringLiteral("media files (*.wav; *.mp3)") + QChar(u'\0') + QStringLiteral("*.wav; *.mp3")
        + QChar(u'\0') + QStringLiteral("mp3 (*.mp3)") + QChar(u'\0') + QStringLiteral("*.mp3") + QChar(u'\0')
        + QStringLiteral("wav (*.wav)") + QChar(u'\0') + QStringLiteral("*.wav") + QChar(u'\0');
    g_OFN.lpstrTitle = QStringLiteral("Select files");
    const FileDialogResult result = ShowOpen(this, true);
    if (result.Cancelled || result.FileCount < 1)
        return;
    QString folder = result.FolderName;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const QString path = folder + result.FileNames.value(1);
    txtPlayAtEnd->Tag = path;
    txtPlayAtEnd->setText(GetFileName(path));
    txtPlayAtEnd->setToolTip(txtPlayAtEnd->Tag);
}

void frmOptions::cmdTestSound_Click()
{
    Services::sound().play(txtPlayAtEnd->Tag);
}

void frmOptions::cmdTestApp_Click()
{
    // The command line runs as typed, placeholders and all, without a shell.
    const QStringList parts = QProcess::splitCommand(txtAppNotice->toPlainText());
    if (parts.isEmpty())
        return;
    Services::shell().start(parts.first(), parts.mid(1), AppPath());
}

void frmOptions::cmdSelectPath_Click()
{
    BrowseForDestination(txtToPath, this);
}

void frmOptions::lblOpenDestinationDestinationFolder_Click()
{
    OpenDestinationFolder(txtToPath, QString(), this);
}

void frmOptions::picColor_Click()
{
    const ColorDialogResult result = ShowColor(this, false);
    if (result.Cancelled || result.Color == -1)
        return;
    const qint32 c = result.Color;
    picColor->SetBackColor(c);
    SetBackColor(picTitle, picColor->BackColor());
    m_cRegistry.setSubkey(QStringLiteral("Display"));
    SaveSettingOrSay(m_cRegistry, QStringLiteral("picColor"), QString::number(picColor->BackColor()),
                     QStringLiteral("The colour"));
    SetBackColor(picTitle, picColor->BackColor());
    if (MainHost* host = g_MainHost())
        host->ApplyAppColour(c);
}

void frmOptions::picTextColor_Click()
{
    const ColorDialogResult result = ShowColor(this, false);
    if (result.Cancelled || result.Color == -1)
        return;
    const qint32 c = result.Color;
    m_cRegistry.setSubkey(QStringLiteral("Display"));
    SaveSettingOrSay(m_cRegistry, QStringLiteral("picTextColor"), QString::number(picTextColor->BackColor()),
                     QStringLiteral("The text colour"));
    picTextColor->SetBackColor(c);
    SetForeColor(lblTitle, picTextColor->BackColor());
    if (MainHost* host = g_MainHost())
        host->ApplyTextColour(c);
}

void frmOptions::cmdEditTargetFormat_Click()
{
    ShowAudioPropOnFormat(cboTargetFormat->currentText().left(3), this);
}

void frmOptions::lblNoticParameters_Click() { ShowProgParameters(0, this); }
void frmOptions::lblID3TagParameters_Click() { ShowProgParameters(1, this); }
void frmOptions::lblParameters_Click() { ShowProgParameters(2, this); }

void frmOptions::lblMoreAdvancedOptions_Click()
{
    cTreeView1_NodeClick(cTreeView1->Nodes().Item(QStringLiteral("Advanced")));
}

void ShowOptionsPage(const QString& key, QWidget* owner)
{
    frmOptions* f = Forms::Get<frmOptions>();
    cTreeItem* node = f->cTreeView1->Nodes().Item(key);
    if (node)
        node->SetItemFlag67(true);
    f->cTreeView1_NodeClick(node);
    f->Show(vbModal, owner);
}

namespace {

void setDefault(const char* valueName, const QString& text, QComboBox* frmOptions::*list, QString& global,
                const QString& what)
{
    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(ProductKeyRoot());
    reg.setSubkey(QStringLiteral("General"));
    SaveSettingOrSay(reg, QLatin1String(valueName), text, what);
    SelectListText(Forms::Get<frmOptions>()->*list, text);
    global = text;
}

} // namespace

void SetDefaultTargetFormat(const QString& text)
{
    setDefault("cboTargetFormat", text, &frmOptions::cboTargetFormat, g_sTargetFormat,
               QStringLiteral("The default target format"));
}

void SetDefaultFileNameFormat(const QString& text)
{
    setDefault("cboFileName", text, &frmOptions::cboFileName, g_sFileNameFormat,
               QStringLiteral("The default file name template"));
}
