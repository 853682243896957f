// The main window's menus: one tree of popup items whose keys name the commands. The
// tools offered by the product decide which items exist at all.
#include "mainwindow/frmMain.h"

#include "common/mdlModes.h"
#include "components/cIconMenu/cIconMenu.h"
#include "settings/mdlOptions.h"

#include <QFont>

namespace {

// One item of a submenu. It is added when it names no tool flag, or when either flag it
// names is 1. A caption of "-" makes a separator.
struct MenuRow {
    const char* caption;
    const char* key;
    qint32 icon;
    const qint32* flagA = nullptr;
    const qint32* flagB = nullptr;
};

// A top-level item: the container of the submenu that follows it.
struct MenuTop {
    const char* caption;
    const char* key;
    QList<MenuRow> rows;
    bool hidden;  // made invisible once its items are in; its items still pop up
};

bool offered(const MenuRow& row)
{
    if (!row.flagA && !row.flagB)
        return true;
    return (row.flagA && *row.flagA == 1) || (row.flagB && *row.flagB == 1);
}

QList<MenuTop> menuTree()
{
    const QList<MenuRow> file{
        {"Remove", "Remove", 4},
        {"-", "mnuFile(4)", -1},
        {"Exit", "Exit", -1},
    };
    const QList<MenuRow> tools{
        {"-", "mnuFile(4)", -1, &lAppIncConverter, &lAppIncACMConverter},
        {"Audio Converter", "Audio Converter", 60, &lAppIncConverter},
        {"ACM Converter", "ACM Converter", 61, &lAppIncACMConverter},
        {"-", "mnuFile(4)", -1, &lAppIncJoin, &lAppIncSplit},
        {"Audio Joiner", "Audio Joiner", 64, &lAppIncJoin},
        {"Audio Splitter", "Audio Splitter", 63, &lAppIncSplit},
        {"-", "mnuFile(4)", -1, &lAppIncEditor, &lAppIncMicRec},
        {"Audio Analyser", "Audio Analyser", 62, &lAppIncEditor},
        {"Audio Recorder", "Audio Recorder", 70, &lAppIncMicRec},
        {"-", "mnuFile(4)", -1, &lAppIncAudioBurner, &lAppIncCDRipper},
        {"Audio CD Duplicator", "Audio CD Duplicator", 83, &lAppIncCDDuplicator},
        {"Audio CD Maker", "Audio CD Maker", 73, &lAppIncAudioBurner},
        {"Audio CD Ripper", "Audio CD Ripper", 25, &lAppIncCDRipper},
        {"-", "mnuFile(4)", -1, &lAppIncMP3Burner, &lAppIncWMABurner},
        {"MP3 CD Maker", "MP3 CD Maker", 72, &lAppIncMP3Burner},
        {"WMA CD Maker", "WMA CD Maker", 72, &lAppIncWMABurner},
        {"-", "mnuFile(4)", -1},
        {"MP3 Tags Editor", "MP3 Tags Editor", 6, &lAppIncMP3TagsEditor},
        {"-", "mnuFile(4)", -1},
        {"Text To Speech", "Text To Speech", 82, &lAppIncTTS},
        {"-", "mnuFile(4)", -1, &lAppIncTTS},
        {"Master Volume", "Master Volume", 79},
        {"-", "mnuFile(4)", -1},
        {"Notes", "Notes", 8},
    };
    const QList<MenuRow> mode{
        {"Transparent", "Transparent", 11},
        {"On Top", "On Top", 53},
        {"-", "mnuFile(4)", -1},
        {"Minimize", "Minimize", 76},
        {"Go to SysTray", "GoSysTray", 77},
        {"-", "mnuFile(4)", -1},
        {"Exit", "Exit", 78},
    };
    const QList<MenuRow> options{
        {"General                     ", "General", 9},
        {"-", "Options Line1", -1},
        {"Events", "Events", 10},
        {"View", "View", 11},
        {"-", "Options Line2", -1},
        {"ID3 Tags", "ID3 Tags", 18},
        {"-", "Options Line2", -1},
        {"Advanced", "Advanced", 59},
    };
    const QList<MenuRow> help{
        {"Help Topics     ", "HelpTopic", 12},
        {"Support", "Support", 85},
        {"-", "mnuFile(4)", -1},
        {"About", "About", 22},
    };
    const QList<MenuRow> tray{
        {"Exit                      ", "RC Exit", 27},
        {"-", "st1", -1},
        {"Hide", "RC Open", -1},
    };
    const QList<MenuRow> player{
        {"System Player", "Open Default Player", 38},
    };
    const QList<MenuRow> projects{
        {"New Items List", "New Items List", 48},
        {"Rename Items List", "Rename Items List", 49},
        {"Remove Items List", "Remove Items List", 50},
        {"-", "st4", -1},
        {"Items List Properties", "Items List Properties", 51},
        {"Open Destination Folder", "Open Destination Folder", 4},
    };
    const QList<MenuRow> list{
        {"Mark/Unmark All", "MarkUnmark All", 74},
        {"-", "st1", -1},
        {"Move Up", "Move Up", 0},
        {"Move Down", "Move Down", 1},
        {"-", "st1", -1},
        {"Move To First", "Move To First", 80},
        {"Move To Last", "Move To Last", 81},
        {"-", "st1", -1},
        {"Edit", "Rename Item", 32},
        {"Save As...", "Save As", 5},
        {"-", "st1", -1},
        {"Audio Analyser", "Audio Analyser", 62, &lAppIncEditor},
        {"-", "st1", -1, &lAppIncEditor},
        {"Remove Item", "Remove Item", 3},
        {"-", "ClearLine", -1},
        {"Remove All", "Clear the List", 27},
        {"-", "st1", -1, &lAppIncCDRipper},
        {"FreeDB", "FreeDB", 22, &lAppIncCDRipper},
    };
    const QList<MenuRow> add{
        {"Add Files", "Add Files", 39},
        {"-", "st1", -1},
        {"Add Directories", "Add Directories", 4},
    };
    return {
        {"File", "mnuFileTop", file, false},
        {"Edit", "mnuEditTop", {}, false},
        {"Tools", "Tools", tools, false},
        {"Options", "mnuOptionsTop", {}, false},
        {"Mode", "Mode", mode, false},
        {"Options", "Options", options, true},
        {"Help", "Help", help, true},
        {"mnuSysTry", "mnuSysTry", tray, true},
        {"Player", "Player", player, true},
        {"mnuProjects", "mnuProjects", projects, true},
        {"mnuFilesList", "mnuFilesList", list, true},
        {"mnuAdd", "mnuAdd", add, true},
    };
}

} // namespace

void frmMain::BuildMenus()
{
    QFont font;
    font.setFamily(QStringLiteral("Tahoma"));
    m_cMenu->SetOwnerHwnd(this);
    m_cMenu->SetAdvancedStyle(false);
    m_cMenu->SetMenuFont(font);
    m_cMenu->SetAdvancedStyle(g_bMenuXPStyle);
    m_cMenu->SetImageList(imgMenu);

    // Each top-level item is the parent of the rows that follow it; a row is looked at
    // against the tool flags as it is added, and one that is not offered is not created.
    for (const MenuTop& top : menuTree()) {
        const qint32 parent = m_cMenu->AddItem(QString::fromUtf8(top.caption), QString(), 0, 0, -1, 0, -1,
                                               QString::fromUtf8(top.key));
        for (const MenuRow& row : top.rows)
            if (offered(row))
                m_cMenu->AddItem(QString::fromUtf8(row.caption), QString(), 0, parent, row.icon, 0, -1,
                                 QString::fromUtf8(row.key));
        if (top.hidden)
            m_cMenu->SetItemVisible(m_cMenu->IndexForKey(QString::fromUtf8(top.key)), false);
    }
    m_cMenu->SetMenuOption71(true);
}
