// The main window's five button bars: what each holds, and what a press does. The
// buttons run commands by key through the dispatcher or pop up a submenu of the menu
// tree under themselves; the player bar drives the preview.
#include "mainwindow/frmMain.h"

#include "common/mdlModes.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cReBar/cReBar.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cToolbarHost/cToolbarHost.h"

namespace {

const QStringList& toolKeys()
{
    static const QStringList keys{
        QStringLiteral("Audio Converter"), QStringLiteral("ACM Converter"),  QStringLiteral("Audio Joiner"),
        QStringLiteral("Audio Splitter"),  QStringLiteral("Audio Analyser"), QStringLiteral("Audio Recorder"),
        QStringLiteral("Audio CD Maker"),  QStringLiteral("Audio CD Ripper"), QStringLiteral("Audio CD Duplicator"),
        QStringLiteral("MP3 CD Maker"),    QStringLiteral("WMA CD Maker"),   QStringLiteral("Text To Speech"),
    };
    return keys;
}

// The top-bar buttons that pop up a submenu, and the item that names it.
QString submenuItemOf(const QString& key)
{
    static const QHash<QString, QString> items{
        {QStringLiteral("Items List"), QStringLiteral("Save As")},
        {QStringLiteral("Tools"), QStringLiteral("Notes")},
        {QStringLiteral("Options"), QStringLiteral("ID3 Tags")},
        {QStringLiteral("Mode"), QStringLiteral("Transparent")},
        {QStringLiteral("Help"), QStringLiteral("About")},
    };
    return items.value(key);
}

// The featured tool's button of the top bar, by the profile key that names it.
struct FeaturedTool {
    const char* profileKey;
    const char* key;
    const char* caption;
    qint32 image;
};

const FeaturedTool kFeaturedTools[] = {
    {"lAppIncConverter", "Audio Converter", "Convert", 7},
    {"lAppIncJoin", "Audio Joiner", "Join", 64},
    {"lAppIncSplit", "Audio Splitter", "Splitter", 63},
    {"lAppIncEditor", "Audio Analyser", "Editor", 62},
    {"lAppIncMicRec", "Audio Recorder", "Recorder", 70},
    {"lAppIncAudioBurner", "Audio CD Maker", "Burn", 73},
    {"lAppIncCDRipper", "Audio CD Ripper", "CD Ripper", 25},
    {"lAppIncACMConverter", "ACM Converter", "Converter", 61},
    {"lAppIncMP3Burner", "MP3 CD Maker", "Burn MP3", 72},
    {"lAppIncWMABurner", "WMA CD Maker", "Burn WMA", 72},
    {"lAppIncTTS", "Text To Speech", "TTS", 82},
};

// A row of the tools bar: added when either flag is 1; the host grows by its amount
// (twips) whether or not the button could be added.
struct ToolsRow {
    const char* key;  // nullptr: a separator
    const char* caption;
    qint32 image;
    const qint32* flagA;
    const qint32* flagB;
    qint32 grow;
};

} // namespace

void frmMain::BuildTopToolbar()
{
    tlbrTop->SetUpSmallBar(imgMenu);
    if (lAppIncItemsLists == 1) {
        tlbrTop->AddButton(QStringLiteral("Add Files(s) to The Items List"), 2, {}, 0, QStringLiteral("  Add File(s)  "),
                           cToolbar::tbrDefault, QStringLiteral("Add"));
        tlbrTop->AddSeparator();
    }
    tlbrTop->AddButton(QStringLiteral("Items List"), 39, {}, 0, QStringLiteral("Items List"), cToolbar::tbrDropDown,
                       QStringLiteral("Items List"));
    tlbrTop->AddSeparator();
    for (const FeaturedTool& tool : kFeaturedTools) {
        if (g_sFeaturedTool == QLatin1String(tool.profileKey)) {
            tlbrTop->AddButton(QLatin1String(tool.key), tool.image, {}, 0, QLatin1String(tool.caption),
                               cToolbar::tbrDefault, QLatin1String(tool.key));
            break;
        }
    }
    tlbrTop->AddButton(QStringLiteral("Tools"), 19, {}, 0, QStringLiteral("Tools"), cToolbar::tbrDropDown,
                       QStringLiteral("Tools"));
    tlbrTop->AddSeparator();
    tlbrTop->AddButton(QStringLiteral("Options"), 9, {}, 0, QStringLiteral("Options"), cToolbar::tbrDropDown,
                       QStringLiteral("Options"));
    tlbrTop->AddSeparator();
    tlbrTop->AddButton(QStringLiteral("Modes"), 45, {}, 0, QStringLiteral("Mode"), cToolbar::tbrDropDown,
                       QStringLiteral("Mode"));
    tlbrTop->AddButton(QStringLiteral("Help"), 12, {}, 0, QStringLiteral("Help"), cToolbar::tbrDropDown,
                       QStringLiteral("Help"));
    tlbrTop->SetButtonOption5(0, true);
    cToolbarHost1->AttachToolbar(tlbrTop);
    cToolbarHost1->SetHeight(740);
}

void frmMain::BuildProjectsToolbar()
{
    tlbrProjects->SetUpSmallBar(imgMenu);
    const auto add = [this](const char* key, qint32 image) {
        tlbrProjects->AddButton(QLatin1String(key), image, {}, 0, QString(), cToolbar::tbrDefault, QLatin1String(key));
    };
    add("New Items List", 48);
    add("Rename Items List", 49);
    add("Remove Items List", 50);
    tlbrProjects->AddSeparator();
    add("Items List Properties", 51);
    tlbrProjects->SetButtonOption5(0, true);
    tlbrProjectsHost->AttachToolbar(tlbrProjects);
}

void frmMain::BuildListToolbar()
{
    tlbrList->SetUpSmallBar(imgMenu);
    const auto add = [this](const char* key, const char* tooltip, qint32 image) {
        tlbrList->AddButton(QLatin1String(tooltip), image, {}, 0, QString(), cToolbar::tbrDefault, QLatin1String(key));
    };
    if (lAppIncItemsLists == 1) {
        add("Add Files", "Add File(s)", 2);
        tlbrList->AddSeparator();
    }
    add("MarkUnmark All", "Mark/Unmark All", 74);
    tlbrList->AddSeparator();
    add("Move Up", "Move Item Up", 0);
    add("Move Down", "Move Item Down", 1);
    tlbrList->AddSeparator();
    add("Move To First", "Move Item To First", 80);
    add("Move To Last", "Move Item To Last", 81);
    tlbrList->AddSeparator();
    add("Rename Item", "Edit Item", 32);
    tlbrList->AddSeparator();
    add("Save As", "Save Item As", 5);
    tlbrList->AddSeparator();
    add("Remove Item", "Remove Item", 3);
    add("Clear the List", "Remove All", 27);
    if (lAppIncCDRipper == 1) {
        tlbrList->AddSeparator();
        add("FreeDB", "Get FreeDB Information About CD", 22);
    }
    rbrList->HoldBar(tlbrList, picList);
}

void frmMain::BuildPlayerToolbar()
{
    tlbrPlayButtons->SetToolbarOptionB(2);
    tlbrPlayButtons->SetToolbarOption2F(0);
    tlbrPlayButtons->SetImageList(imgPlayer);
    tlbrPlayButtons->CreateToolbar(24, false, false, true);
    tlbrPlayButtons->AddButton(QStringLiteral("Play"), 0, {}, 0, QString(), cToolbar::tbrDefault, QStringLiteral("Play"));
    tlbrPlayButtons->AddButton(QStringLiteral("Pause"), 1, {}, 0, QString(), cToolbar::tbrCheck, QStringLiteral("Pause"));
    tlbrPlayButtons->AddButton(QStringLiteral("Stop"), 2, {}, 0, QString(), cToolbar::tbrDefault, QStringLiteral("Stop"));
    cToolbarHostPlayer->AttachToolbar(tlbrPlayButtons);
    cToolbarHostPlayer->SetHeight(500);
}

void frmMain::BuildToolsToolbar()
{
    const ToolsRow rows[] = {
        {"Audio Converter", "Convert", 19, &lAppIncConverter, nullptr, 1000},
        {"ACM Converter", "Convert", 21, &lAppIncACMConverter, nullptr, 1000},
        {nullptr, nullptr, -1, &lAppIncJoin, &lAppIncSplit, 1000},
        {"Audio Joiner", "Join", 23, &lAppIncJoin, nullptr, 1000},
        {"Audio Splitter", "Splitter", 22, &lAppIncSplit, nullptr, 1000},
        {nullptr, nullptr, -1, &lAppIncMicRec, &lAppIncEditor, 100},
        {"Audio Analyser", "Analyser", 20, &lAppIncEditor, nullptr, 1000},
        {"Audio Recorder", "Recorder", 24, &lAppIncMicRec, nullptr, 1000},
        {nullptr, nullptr, -1, &lAppIncCDRipper, &lAppIncAudioBurner, 1000},
        {"Audio CD Ripper", "CD Ripper", 25, &lAppIncCDRipper, nullptr, 1000},
        {"Audio CD Maker", "CD Burner", 27, &lAppIncAudioBurner, nullptr, 1000},
        {"Audio CD Duplicator", "CD Duplicator", 29, &lAppIncCDDuplicator, nullptr, 1000},
        {nullptr, nullptr, -1, &lAppIncMP3Burner, &lAppIncWMABurner, 100},
        {"MP3 CD Maker", "Burn MP3", 26, &lAppIncMP3Burner, nullptr, 1000},
        {"WMA CD Maker", "Burn WMA", 26, &lAppIncWMABurner, nullptr, 1000},
        {"Text To Speech", "TTS", 28, &lAppIncTTS, nullptr, 1000},
    };
    tlbrRecorder->SetToolbarOptionB(2);
    tlbrRecorder->SetImageList(imgGeneral);
    tlbrRecorder->CreateToolbar(26, false, true, true);
    for (const ToolsRow& row : rows) {
        if (*row.flagA != 1 && !(row.flagB && *row.flagB == 1))
            continue;
        if (row.key)
            tlbrRecorder->AddButton(QLatin1String(row.key), row.image, {}, 0, QLatin1String(row.caption),
                                    cToolbar::tbrDefault, QLatin1String(row.key));
        else
            tlbrRecorder->AddSeparator();
        cToolbarHostRecorder->SetWidth(cToolbarHostRecorder->Width() + row.grow);
    }
}

// ---- what a press does ----

void frmMain::ShowSubmenuUnder(qint32 Index)
{
    const QString item = submenuItemOf(tlbrTop->ButtonKey(Index));
    if (item.isEmpty())
        return;
    qint32 x = 0, y = 0;
    tlbrTop->GetButtonPosition(Index, x, y);
    m_cMenu->ShowPopupMenu(x, y, 0, 0, 0, 0, -1, m_cMenu->IndexForKey(item));
}

void frmMain::tlbrTop_ButtonClick(qint32 Index)
{
    const QString key = tlbrTop->ButtonKey(Index);
    if (toolKeys().contains(key))
        RunCommand(key);
    else if (key == QLatin1String("Add"))
        RunCommand(QStringLiteral("Add Files"));
    else
        ShowSubmenuUnder(Index);  // a body click on a drop-down button does what its arrow does
}

void frmMain::tlbrTop_ButtonDropDown(qint32 Index)
{
    ShowSubmenuUnder(Index);
}

void frmMain::tlbrProjects_ButtonClick(qint32 Index)
{
    SetOnTop(false);
    RunCommand(tlbrProjects->ButtonKey(Index));
}

void frmMain::tlbrList_ButtonClick(qint32 Index)
{
    SetOnTop(false);
    RunCommand(tlbrList->ButtonKey(Index));
}

void frmMain::tlbrRecorder_ButtonClick(qint32 Index)
{
    const QString key = tlbrRecorder->ButtonKey(Index);
    if (toolKeys().contains(key))
        RunCommand(key);
    else if (key == QLatin1String("Play"))
        StartPlay();
    else if (key == QLatin1String("Stop"))
        StopPreviewPlayer();
}
