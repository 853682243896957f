// The main window's menu tree as each product profile builds it, and what each item and
// button does for the user: the window it opens, the message it shows, what it asks the
// desktop to open, or the change it makes to the window and the list.
#include "tests/lists/ListsFixture.h"
#include "tests/mainwindow/MainWindowFixture.h"

#include "components/cReBar/cReBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cToolbarHost/cToolbarHost.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/frmOptions.h"
#include "tools/splitter/frmAudioEditor.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <optional>

using namespace ListsTest;
using namespace MainWindowTest;

Q_DECLARE_METATYPE(MainWindowTest::Profile)

namespace {

const QStringList kFile{"Remove|Remove|4", "-|mnuFile(4)|-1", "Exit|Exit|-1"};
const QStringList kMode{"Transparent|Transparent|11", "On Top|On Top|53", "-|mnuFile(4)|-1",
                        "Minimize|Minimize|76",       "Go to SysTray|GoSysTray|77", "-|mnuFile(4)|-1",
                        "Exit|Exit|78"};
const QStringList kOptions{"General                     |General|9", "-|Options Line1|-1", "Events|Events|10",
                           "View|View|11", "-|Options Line2|-1", "ID3 Tags|ID3 Tags|18", "-|Options Line2|-1",
                           "Advanced|Advanced|59"};
const QStringList kHelp{"Help Topics     |HelpTopic|12", "Support|Support|85", "-|mnuFile(4)|-1", "About|About|22"};
const QStringList kTray{"Exit                      |RC Exit|27", "-|st1|-1", "Hide|RC Open|-1"};
const QStringList kPlayer{"System Player|Open Default Player|38"};
const QStringList kProjects{"New Items List|New Items List|48",
                            "Rename Items List|Rename Items List|49",
                            "Remove Items List|Remove Items List|50",
                            "-|st4|-1",
                            "Items List Properties|Items List Properties|51",
                            "Open Destination Folder|Open Destination Folder|4"};
const QStringList kAdd{"Add Files|Add Files|39", "-|st1|-1", "Add Directories|Add Directories|4"};

QStringList listMenu(bool editor, bool ripper)
{
    QStringList items{"Mark/Unmark All|MarkUnmark All|74", "-|st1|-1", "Move Up|Move Up|0", "Move Down|Move Down|1",
                      "-|st1|-1", "Move To First|Move To First|80", "Move To Last|Move To Last|81", "-|st1|-1",
                      "Edit|Rename Item|32", "Save As...|Save As|5", "-|st1|-1"};
    if (editor)
        items << "Audio Analyser|Audio Analyser|62" << "-|st1|-1";
    items << "Remove Item|Remove Item|3" << "-|ClearLine|-1" << "Remove All|Clear the List|27";
    if (ripper)
        items << "-|st1|-1" << "FreeDB|FreeDB|22";
    return items;
}

frmMain* startUnder(Fixture& f, Profile profile)
{
    applyProfile(profile);
    f.addList("Songs", {"a.wav*", "b.wav"});
    return f.start();
}

// The main window shown over two lists: "Songs" of five items, the first two marked and
// the third current, and "Zother" after it. Whatever a command asks is answered No,
// dialogs are cancelled, and the volume control is a program in the program folder.
frmMain* startForCommands(Fixture& f, Profile profile)
{
    applyProfile(profile);
    f.addList("Songs", {"a.wav*", "b.wav*", "c.wav", "d.wav", "e.wav"});
    f.addList("Zother", {"z.wav"});
    const QString mixer = f.platform.path("mixer");
    TestFiles::WriteBytes(mixer, "#!/bin/sh\n");
    QFile::setPermissions(mixer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    generalSettings().SetRegistryValue(QStringLiteral("VolumeControl"), mixer, 1);
    frmMain* m = f.start();
    m->Show();
    m->cGrid1->SetCurrentRow(3);
    g_bDisplayMSGWhenExit = true;
    f.platform.messages().answerAll = vbNo;
    f.platform.modal().allowAny = true;
    return m;
}

// What one command changed that a user sees, as lines in this order:
//   "modal <class>: <caption>"  each window shown modally (the test closes it at once);
//                               the options window adds " / <page title>"
//   "window <class>: <caption>" each window left open beside the main window
//   "message <text>"            each message box (answered No)
//   "open dialog: <title>", "save dialog: <title>"  each file dialog (cancelled)
//   "open <path>", "start <program>"  what the desktop was asked to open or run
//   "main window closed|hidden|minimised|on top|transparent"
//   "list: <items>"             the items of the list "Songs" in order, "*" after a marked one
//   "new list file: <name>"     a list file that appeared in the lists folder
// The program folder shows as "~". A removal the command left to its timer is run first,
// as it runs 50 ms later.
class Watch
{
public:
    Watch(Fixture& f, frmMain* m) : m_f(f), m_main(m)
    {
        m_before = mainState();
        m_windows = openWindows();
        m_items = fileItems(songs());
        m_listFiles = QDir(m_f.platform.path("Main")).entryList({"*.flst"}, QDir::Files);
        m_messages = m_f.platform.messages().shown.size();
        m_openDialogs = m_f.platform.dialogs().openRequests.size();
        m_saveDialogs = m_f.platform.dialogs().saveRequests.size();
        m_opened = m_f.platform.shell().opened.size();
        m_started = m_f.platform.shell().started.size();
        for (int i = 0; i < 4; ++i)
            m_f.platform.modal().handlers.enqueue([this](VForm* w) {
                QString line = "modal " + QString::fromLatin1(w->metaObject()->className()) + ": " + w->Caption();
                if (auto* options = qobject_cast<frmOptions*>(w))
                    line += " / " + options->lblTitle->text();
                m_modal << line;
            });
    }

    QStringList changes()
    {
        if (m_main && m_main->tmrRemove.isActive())
            m_main->tmrRemove_Timer();
        m_f.platform.modal().handlers.clear();
        QStringList seen = m_modal;
        for (const QString& w : openWindows())
            if (!m_windows.contains(w))
                seen << "window " + w;
        for (const auto& box : m_f.platform.messages().shown.mid(m_messages))
            seen << "message " + box.prompt;
        for (const FileRequest& r : m_f.platform.dialogs().openRequests.mid(m_openDialogs))
            seen << "open dialog: " + r.title;
        for (const FileRequest& r : m_f.platform.dialogs().saveRequests.mid(m_saveDialogs))
            seen << "save dialog: " + r.title;
        for (const QString& opened : m_f.platform.shell().opened.mid(m_opened))
            seen << "open " + opened;
        for (const FakeShellService::Start& started : m_f.platform.shell().started.mid(m_started))
            seen << (QStringList{"start " + started.program} + started.arguments).join(u' ');
        const QStringList after = mainState();
        for (const QString& state : after)
            if (!m_before.contains(state))
                seen << "main window " + state;
        if (const QString items = fileItems(songs()); items != m_items)
            seen << "list: " + items;
        for (const QString& file : QDir(m_f.platform.path("Main")).entryList({"*.flst"}, QDir::Files))
            if (!m_listFiles.contains(file))
                seen << "new list file: " + file;
        seen.replaceInStrings(m_f.platform.home(), QStringLiteral("~"));
        return seen;
    }

private:
    QString songs() const { return m_f.platform.path("Main/Songs.flst"); }

    QStringList mainState() const
    {
        if (!Forms::IsLoaded<frmMain>() || !m_main)
            return {"closed"};
        QStringList state;
        if (!m_main->isVisible())
            state << "hidden";
        if (m_main->WindowState() == vbMinimized)
            state << "minimised";
        if (m_main->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            state << "on top";
        if (m_main->windowOpacity() < 1)
            state << "transparent";
        return state;
    }

    // The program's windows on screen other than the main window, as "<class>: <caption>".
    static QStringList openWindows()
    {
        QStringList windows;
        for (VForm* form : Forms::LoadedForms())
            if (!qobject_cast<frmMain*>(form) && form->isVisible())
                windows << QString::fromLatin1(form->metaObject()->className()) + ": " + form->Caption();
        return windows;
    }

    Fixture& m_f;
    QPointer<frmMain> m_main;
    QStringList m_before;
    QStringList m_windows;
    QString m_items;
    QStringList m_listFiles;
    qsizetype m_messages = 0, m_openDialogs = 0, m_saveDialogs = 0, m_opened = 0, m_started = 0;
    QStringList m_modal;
};

const QString kExitQuestion = QStringLiteral("message Are you sure you want to exit 'Velmaro 1.2' ?");

// What each command key does over the lists of startForCommands, in the menus' order.
const QList<QPair<QString, QStringList>>& effects()
{
    static const QList<QPair<QString, QStringList>> table{
        {"Remove", {}},  // the File menu's "Remove" runs no command
        {"Exit", {kExitQuestion}},
        {"Audio Converter", {"modal frmConverter: Audio Converter"}},
        {"ACM Converter", {"modal frmACMConverter: ACM Converter"}},
        {"Audio Joiner", {"modal frmJoiner: Audio Joiner"}},
        {"Audio Splitter", {"modal frmSplitter: Audio Splitter"}},
        {"Audio Analyser", {"modal frmAudioEditor: c.wav"}},
        {"Audio Recorder", {"modal frmMicRecorder: Audio Recorder"}},
        {"Audio CD Duplicator", {"modal frmAudioCDDuplicator: Audio CD Duplicator"}},
        {"Audio CD Maker", {"modal frmCDBurner: Audio CD Burner"}},
        // Over an items list the ripper asks for a CD drive first.
        {"Audio CD Ripper", {"message Select the the Audio CD device to rip from." + QString(40, u' ')}},
        {"MP3 CD Maker", {"modal frmDataBurner3: MP3 CD Maker"}},
        {"WMA CD Maker", {"modal frmDataBurner3: WMA CD Maker"}},
        {"MP3 Tags Editor", {"window frmMP3TagsEditor: MP3 Tags Editor"}},
        {"Text To Speech", {"modal frmOrvelle: Text To Speech"}},
        {"Master Volume", {"start ~/mixer"}},
        {"Notes", {"window frmNotes: Notes"}},
        {"Transparent", {"main window transparent"}},
        {"On Top", {"main window on top"}},
        {"Minimize", {"main window minimised"}},
        {"GoSysTray", {"main window hidden", "main window minimised"}},
        {"General", {"modal frmOptions: Options / General"}},
        {"Events", {"modal frmOptions: Options / Events"}},
        {"View", {"modal frmOptions: Options / View"}},
        {"ID3 Tags", {"modal frmOptions: Options / Default ID3 Tags"}},
        {"Advanced", {"modal frmOptions: Options / Advanced"}},
        {"HelpTopic", {"open ~/Help.chm"}},
        {"Support", {"open https://www.velmaro.example/support.html"}},
        {"About", {"modal frmAbout: About"}},
        {"RC Exit", {kExitQuestion}},
        {"RC Open", {"main window hidden", "main window minimised"}},
        {"Open Default Player", {"open ~/audio/c.wav"}},
        {"New Items List", {"new list file: New Items List 1.flst"}},
        {"Rename Items List", {"window frmDirProperties: Items List Properties"}},
        {"Remove Items List",
         {"message This operation will erase all the items under the 'Songs.flst', are you sure?"}},
        {"Items List Properties", {"window frmDirProperties: Items List Properties"}},
        {"Open Destination Folder", {"open ~/Main/"}},
        {"MarkUnmark All", {"list: a.wav b.wav c.wav d.wav e.wav"}},
        {"Move Up", {"list: a.wav* c.wav b.wav* d.wav e.wav"}},
        {"Move Down", {"list: a.wav* b.wav* d.wav c.wav e.wav"}},
        {"Move To First", {"list: c.wav a.wav* b.wav* d.wav e.wav"}},
        {"Move To Last", {"list: a.wav* b.wav* d.wav e.wav c.wav"}},
        {"Rename Item", {"modal frmItem: Item Properties"}},
        {"Save As", {"save dialog: Save As"}},
        {"Remove Item", {"list: a.wav* b.wav* d.wav e.wav"}},
        {"Clear the List",
         {"message This operation will erase all the items under the 'Songs' list.\r\n\r\nAre you sure?"}},
        {"FreeDB", {"message Select the CD drive to get the information about.                  "}},
        {"Add Files", {"open dialog: Add audio files"}},
        {"Add Directories", {}},
    };
    return table;
}

// The row of a key in the table above; none for a key the table lacks.
std::optional<QStringList> effectOf(const QString& key)
{
    for (const auto& row : effects())
        if (row.first == key)
            return row.second;
    return std::nullopt;
}

// The buttons of the four command bars with the command key each runs ("" for none).
struct ButtonRow {
    Profile profile;
    const char* bar;
    const char* button;
    const char* command;
};

const QList<ButtonRow>& buttonRows()
{
    static const QList<ButtonRow> rows{
        {Profile::AllTools, "tlbrTop", "Add", "Add Files"},
        {Profile::AllTools, "tlbrTop", "Audio Splitter", "Audio Splitter"},
        // The featured tool's button stays when the tool is not offered, and runs nothing.
        {Profile::NoTools, "tlbrTop", "Audio Splitter", ""},
        {Profile::AllTools, "tlbrProjects", "New Items List", "New Items List"},
        {Profile::AllTools, "tlbrProjects", "Rename Items List", "Rename Items List"},
        {Profile::AllTools, "tlbrProjects", "Remove Items List", "Remove Items List"},
        {Profile::AllTools, "tlbrProjects", "Items List Properties", "Items List Properties"},
        {Profile::AllTools, "tlbrList", "Add Files", "Add Files"},
        {Profile::AllTools, "tlbrList", "MarkUnmark All", "MarkUnmark All"},
        {Profile::AllTools, "tlbrList", "Move Up", "Move Up"},
        {Profile::AllTools, "tlbrList", "Move Down", "Move Down"},
        {Profile::AllTools, "tlbrList", "Move To First", "Move To First"},
        {Profile::AllTools, "tlbrList", "Move To Last", "Move To Last"},
        {Profile::AllTools, "tlbrList", "Rename Item", "Rename Item"},
        {Profile::AllTools, "tlbrList", "Save As", "Save As"},
        {Profile::AllTools, "tlbrList", "Remove Item", "Remove Item"},
        {Profile::AllTools, "tlbrList", "Clear the List", "Clear the List"},
        {Profile::AllTools, "tlbrList", "FreeDB", "FreeDB"},
        {Profile::AllTools, "tlbrRecorder", "Audio Converter", "Audio Converter"},
        {Profile::AllTools, "tlbrRecorder", "ACM Converter", "ACM Converter"},
        {Profile::AllTools, "tlbrRecorder", "Audio Joiner", "Audio Joiner"},
        {Profile::AllTools, "tlbrRecorder", "Audio Splitter", "Audio Splitter"},
        {Profile::AllTools, "tlbrRecorder", "Audio Analyser", "Audio Analyser"},
        {Profile::AllTools, "tlbrRecorder", "Audio Recorder", "Audio Recorder"},
        {Profile::AllTools, "tlbrRecorder", "Audio CD Ripper", "Audio CD Ripper"},
        {Profile::AllTools, "tlbrRecorder", "Audio CD Maker", "Audio CD Maker"},
        {Profile::AllTools, "tlbrRecorder", "Audio CD Duplicator", "Audio CD Duplicator"},
        {Profile::AllTools, "tlbrRecorder", "MP3 CD Maker", "MP3 CD Maker"},
        {Profile::AllTools, "tlbrRecorder", "WMA CD Maker", "WMA CD Maker"},
        {Profile::AllTools, "tlbrRecorder", "Text To Speech", "Text To Speech"},
    };
    return rows;
}

// The numbers of the command items (not containers, not separators) bearing a key.
QList<qint32> itemsBearing(cIconMenu* menu, const QString& key)
{
    QList<qint32> items;
    for (qint32 n = 1; n <= menu->Count(); ++n)
        if (menu->ItemParent(n) != 0 && menu->ItemKey(n) == key && menu->ItemCaption(n) != QLatin1String("-"))
            items << n;
    return items;
}

// Picks an item as the user does: in the popup of its container.
bool pick(cIconMenu* menu, qint32 item)
{
    QMenu* popup = menu->BuildPopup(item);
    for (QAction* a : popup->actions()) {
        if (!a->isSeparator() && a->text() == menu->ItemCaption(item)) {
            a->trigger();
            return true;
        }
    }
    return false;
}

// A desktop with a tray, as the user's: "Go to SysTray" and the tray's "Hide" put the
// main window into it.
struct DesktopWithTray {
    DesktopWithTray() { cSysTray::OverrideAvailable(true); }
    ~DesktopWithTray() { cSysTray::OverrideAvailable(std::nullopt); }
};

} // namespace

class tst_MenuTree : public QObject
{
    Q_OBJECT
private slots:
    void tree_data();
    void tree();
    void everyItemAndButtonHasARow_data() { tree_data(); }
    void everyItemAndButtonHasARow();
    void everyItemDoesItsCommand_data();
    void everyItemDoesItsCommand();
    void bars_data();
    void bars();
    void everyButtonDoesItsCommand_data();
    void everyButtonDoesItsCommand();
    void topBarDropDowns();
    void hiddenContainersStillPopUp();
};

void tst_MenuTree::tree_data()
{
    QTest::addColumn<Profile>("profile");
    QTest::newRow("this product") << Profile::Product;
    QTest::newRow("every tool") << Profile::AllTools;
    QTest::newRow("no tool") << Profile::NoTools;
}

void tst_MenuTree::tree()
{
    QFETCH(Profile, profile);
    Fixture f;
    frmMain* m = startUnder(f, profile);
    cIconMenu* menu = m->m_cMenu;

    // Twelve top-level items; the last seven are hidden once their items are in.
    QStringList tops;
    for (qint32 n = 1; n <= menu->Count(); ++n)
        if (menu->ItemParent(n) == 0)
            tops << menu->ItemCaption(n) + u'|' + menu->ItemKey(n) + (menu->ItemVisible(n) ? "|shown" : "|hidden");
    QCOMPARE(tops, (QStringList{"File|mnuFileTop|shown", "Edit|mnuEditTop|shown", "Tools|Tools|shown",
                                "Options|mnuOptionsTop|shown", "Mode|Mode|shown", "Options|Options|hidden",
                                "Help|Help|hidden", "mnuSysTry|mnuSysTry|hidden", "Player|Player|hidden",
                                "mnuProjects|mnuProjects|hidden", "mnuFilesList|mnuFilesList|hidden",
                                "mnuAdd|mnuAdd|hidden"}));

    QStringList tools;
    switch (profile) {
    case Profile::Product:
        tools = {"-|mnuFile(4)|-1", "Audio Converter|Audio Converter|60", "ACM Converter|ACM Converter|61",
                 "-|mnuFile(4)|-1", "Audio Splitter|Audio Splitter|63", "-|mnuFile(4)|-1",
                 "Audio Analyser|Audio Analyser|62", "Audio Recorder|Audio Recorder|70", "-|mnuFile(4)|-1",
                 "-|mnuFile(4)|-1", "Master Volume|Master Volume|79", "-|mnuFile(4)|-1", "Notes|Notes|8"};
        break;
    case Profile::AllTools:
        tools = {"-|mnuFile(4)|-1", "Audio Converter|Audio Converter|60", "ACM Converter|ACM Converter|61",
                 "-|mnuFile(4)|-1", "Audio Joiner|Audio Joiner|64", "Audio Splitter|Audio Splitter|63",
                 "-|mnuFile(4)|-1", "Audio Analyser|Audio Analyser|62", "Audio Recorder|Audio Recorder|70",
                 "-|mnuFile(4)|-1", "Audio CD Duplicator|Audio CD Duplicator|83", "Audio CD Maker|Audio CD Maker|73",
                 "Audio CD Ripper|Audio CD Ripper|25", "-|mnuFile(4)|-1", "MP3 CD Maker|MP3 CD Maker|72",
                 "WMA CD Maker|WMA CD Maker|72", "-|mnuFile(4)|-1", "MP3 Tags Editor|MP3 Tags Editor|6",
                 "-|mnuFile(4)|-1", "Text To Speech|Text To Speech|82", "-|mnuFile(4)|-1",
                 "Master Volume|Master Volume|79", "-|mnuFile(4)|-1", "Notes|Notes|8"};
        break;
    case Profile::NoTools:
        tools = {"-|mnuFile(4)|-1", "-|mnuFile(4)|-1", "Master Volume|Master Volume|79", "-|mnuFile(4)|-1",
                 "Notes|Notes|8"};
        break;
    }
    QCOMPARE(menuItems(menu, "mnuFileTop"), kFile);
    QVERIFY(menuItems(menu, "mnuEditTop").isEmpty());
    QCOMPARE(menuItems(menu, "Tools"), tools);
    QVERIFY(menuItems(menu, "mnuOptionsTop").isEmpty());
    QCOMPARE(menuItems(menu, "Mode"), kMode);
    QCOMPARE(menuItems(menu, "Options"), kOptions);
    QCOMPARE(menuItems(menu, "Help"), kHelp);
    QCOMPARE(menuItems(menu, "mnuSysTry"), kTray);
    QCOMPARE(menuItems(menu, "Player"), kPlayer);
    QCOMPARE(menuItems(menu, "mnuProjects"), kProjects);
    QCOMPARE(menuItems(menu, "mnuFilesList"),
             listMenu(profile != Profile::NoTools, profile == Profile::AllTools));
    QCOMPARE(menuItems(menu, "mnuAdd"), kAdd);

    // Only the two modes carry check marks, and they start cleared.
    for (qint32 n = 1; n <= menu->Count(); ++n)
        QVERIFY2(!menu->ItemChecked(n), qPrintable(menu->ItemKey(n)));
}

void tst_MenuTree::everyItemAndButtonHasARow()
{
    // Each command item and each plain button of every profile has a row in the tables of
    // effects and buttons, so an item or button added later cannot go untested.
    QFETCH(Profile, profile);
    Fixture f;
    frmMain* m = startUnder(f, profile);
    for (qint32 n = 1; n <= m->m_cMenu->Count(); ++n)
        if (m->m_cMenu->ItemParent(n) != 0 && m->m_cMenu->ItemCaption(n) != QLatin1String("-"))
            QVERIFY2(effectOf(m->m_cMenu->ItemKey(n)), qPrintable(m->m_cMenu->ItemKey(n)));
    for (cToolbar* bar : {m->tlbrTop, m->tlbrProjects, m->tlbrList, m->tlbrRecorder}) {
        for (qint32 i = 0; i < bar->ButtonCount(); ++i) {
            if (bar->ButtonStyle(i) != cToolbar::tbrDefault)
                continue;
            bool found = false;
            for (const ButtonRow& row : buttonRows())
                found = found
                    || (bar->objectName() == QLatin1String(row.bar) && bar->ButtonKey(i) == QLatin1String(row.button));
            QVERIFY2(found, qPrintable(bar->objectName() + ": " + bar->ButtonKey(i)));
        }
    }
}

void tst_MenuTree::everyItemDoesItsCommand_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("effect");
    for (const auto& [key, effect] : effects())
        QTest::newRow(qPrintable(key)) << key << effect;
}

void tst_MenuTree::everyItemDoesItsCommand()
{
    QFETCH(QString, key);
    QFETCH(QStringList, effect);
    DesktopWithTray tray;
    // Each item bearing the key ("Exit" and "Audio Analyser" are in two menus), picked
    // from its popup in a window of its own.
    int picked = 0;
    for (int which = 0;; ++which) {
        Fixture f;
        frmMain* m = startForCommands(f, Profile::AllTools);
        const QList<qint32> items = itemsBearing(m->m_cMenu, key);
        if (which >= items.size())
            break;
        Watch watch(f, m);
        QVERIFY(pick(m->m_cMenu, items[which]));
        QCOMPARE(watch.changes(), effect);
        ++picked;
    }
    QVERIFY(picked > 0);
}

void tst_MenuTree::bars_data()
{
    QTest::addColumn<Profile>("profile");
    QTest::addColumn<QStringList>("top");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QStringList>("tools");
    QTest::addColumn<int>("toolsHostWidth");

    const QStringList top{"Add|  Add File(s)  |Add Files(s) to The Items List|2|0",
                          "-",
                          "Items List|Items List|Items List|39|8",
                          "-",
                          "Audio Splitter|Splitter|Audio Splitter|63|0",
                          "Tools|Tools|Tools|19|8",
                          "-",
                          "Options|Options|Options|9|8",
                          "-",
                          "Mode|Mode|Modes|45|8",
                          "Help|Help|Help|12|8"};
    const QStringList list{"Add Files||Add File(s)|2|0",
                           "-",
                           "MarkUnmark All||Mark/Unmark All|74|0",
                           "-",
                           "Move Up||Move Item Up|0|0",
                           "Move Down||Move Item Down|1|0",
                           "-",
                           "Move To First||Move Item To First|80|0",
                           "Move To Last||Move Item To Last|81|0",
                           "-",
                           "Rename Item||Edit Item|32|0",
                           "-",
                           "Save As||Save Item As|5|0",
                           "-",
                           "Remove Item||Remove Item|3|0",
                           "Clear the List||Remove All|27|0"};
    QTest::newRow("this product")
        << Profile::Product << top << list
        << QStringList{"Audio Converter|Convert|Audio Converter|19|0", "ACM Converter|Convert|ACM Converter|21|0", "-",
                       "Audio Splitter|Splitter|Audio Splitter|22|0", "-", "Audio Analyser|Analyser|Audio Analyser|20|0",
                       "Audio Recorder|Recorder|Audio Recorder|24|0"}
        << 600 + 6100;
    QTest::newRow("every tool")
        << Profile::AllTools << top
        << (QStringList(list) << "-" << "FreeDB||Get FreeDB Information About CD|22|0")
        << QStringList{"Audio Converter|Convert|Audio Converter|19|0",
                       "ACM Converter|Convert|ACM Converter|21|0",
                       "-",
                       "Audio Joiner|Join|Audio Joiner|23|0",
                       "Audio Splitter|Splitter|Audio Splitter|22|0",
                       "-",
                       "Audio Analyser|Analyser|Audio Analyser|20|0",
                       "Audio Recorder|Recorder|Audio Recorder|24|0",
                       "-",
                       "Audio CD Ripper|CD Ripper|Audio CD Ripper|25|0",
                       "Audio CD Maker|CD Burner|Audio CD Maker|27|0",
                       "Audio CD Duplicator|CD Duplicator|Audio CD Duplicator|29|0",
                       "-",
                       "MP3 CD Maker|Burn MP3|MP3 CD Maker|26|0",
                       "WMA CD Maker|Burn WMA|WMA CD Maker|26|0",
                       "Text To Speech|TTS|Text To Speech|28|0"}
        << 600 + 14 * 1000 + 2 * 100;
    // The featured tool's button stays although the tool is not offered.
    QTest::newRow("no tool") << Profile::NoTools << top << list << QStringList{} << 600;
}

void tst_MenuTree::bars()
{
    QFETCH(Profile, profile);
    QFETCH(QStringList, top);
    QFETCH(QStringList, list);
    QFETCH(QStringList, tools);
    QFETCH(int, toolsHostWidth);
    Fixture f;
    frmMain* m = startUnder(f, profile);
    QCOMPARE(barButtons(m->tlbrTop), top);
    QCOMPARE(barButtons(m->tlbrProjects),
             (QStringList{"New Items List||New Items List|48|0", "Rename Items List||Rename Items List|49|0",
                          "Remove Items List||Remove Items List|50|0", "-",
                          "Items List Properties||Items List Properties|51|0"}));
    QCOMPARE(barButtons(m->tlbrList), list);
    QCOMPARE(barButtons(m->tlbrRecorder), tools);
    QCOMPARE(barButtons(m->tlbrPlayButtons), (QStringList{"Play||Play|0|0", "Pause||Pause|1|2", "Stop||Stop|2|0"}));
    QCOMPARE(m->cToolbarHostRecorder->Width(), toolsHostWidth);
    QCOMPARE(m->rbrList->BandNames(), QStringList{"Toolbar1"});
    // Every button shows its picture.
    for (cToolbar* bar : {m->tlbrTop, m->tlbrProjects, m->tlbrList, m->tlbrRecorder, m->tlbrPlayButtons})
        for (qint32 i = 0; i < bar->ButtonCount(); ++i)
            if (QToolButton* b = bar->ButtonWidget(i))
                QVERIFY2(!b->icon().isNull(), qPrintable(bar->ButtonKey(i)));
}

void tst_MenuTree::everyButtonDoesItsCommand_data()
{
    QTest::addColumn<Profile>("profile");
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("effect");
    for (const ButtonRow& row : buttonRows()) {
        const QString name = QString::fromLatin1(row.bar) + ": " + row.button
            + (row.profile == Profile::NoTools ? " (no tool)" : "");
        const QStringList effect = *row.command ? effectOf(row.command).value() : QStringList{};
        QTest::newRow(qPrintable(name)) << row.profile << row.bar << row.button << effect;
    }
}

void tst_MenuTree::everyButtonDoesItsCommand()
{
    QFETCH(Profile, profile);
    QFETCH(QString, bar);
    QFETCH(QString, button);
    QFETCH(QStringList, effect);
    DesktopWithTray tray;
    Fixture f;
    frmMain* m = startForCommands(f, profile);
    auto* toolbar = m->findChild<cToolbar*>(bar);
    QVERIFY(toolbar);
    const qint32 index = toolbar->ButtonIndex(button);
    QVERIFY(index >= 0);
    Watch watch(f, m);
    toolbar->ButtonWidget(index)->click();
    QCOMPARE(watch.changes(), effect);
}

void tst_MenuTree::topBarDropDowns()
{
    Fixture f;
    frmMain* m = startUnder(f, Profile::Product);
    m->Show();
    QVERIFY(QTest::qWaitForWindowExposed(m));
    const QList<QPair<QString, QString>> menus{{"Items List", "Mark/Unmark All"},
                                               {"Tools", "Audio Converter"},
                                               {"Options", "General                     "},
                                               {"Mode", "Transparent"},
                                               {"Help", "Help Topics     "}};
    for (const auto& [button, firstCaption] : menus) {
        const qint32 index = m->tlbrTop->ButtonIndex(button);
        QToolButton* widget = m->tlbrTop->ButtonWidget(index);
        // The arrow and the body both pop the submenu up under the button.
        for (bool arrow : {true, false}) {
            delete m->m_cMenu->CurrentPopup();
            QSignalSpy drop(m->tlbrTop, &cToolbar::ButtonDropDown);
            if (arrow) {
                const QRect r = m->tlbrTop->ButtonArrowRect(index);
                QVERIFY(r.isValid());
                QTest::mouseClick(widget, Qt::LeftButton, {}, r.center());
                QCOMPARE(drop.size(), 1);
            } else {
                widget->click();
                QCOMPARE(drop.size(), 0);
            }
            QMenu* popup = m->m_cMenu->CurrentPopup();
            QVERIFY2(popup, qPrintable(button));
            QStringList captions;
            for (QAction* a : popup->actions())
                if (!a->isSeparator())
                    captions << a->text();
            QCOMPARE(captions.value(0), firstCaption);
            const QPoint below = widget->mapToGlobal(QPoint(0, widget->height()));
            QCOMPARE(popup->pos(), below);
            popup->close();
        }
    }
}

void tst_MenuTree::hiddenContainersStillPopUp()
{
    Fixture f;
    frmMain* m = startForCommands(f, Profile::Product);
    // The Options container is hidden; naming its item "ID3 Tags" shows its items.
    QMenu* popup = m->m_cMenu->BuildPopup(m->m_cMenu->IndexForKey("ID3 Tags"));
    QStringList captions;
    for (QAction* a : popup->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(captions, (QStringList{"General                     ", "-", "Events", "View", "-", "ID3 Tags", "-",
                                    "Advanced"}));
    // The hidden list menu's "Audio Analyser" opens the editor on the current row's file
    // as the Tools menu's does.
    QStringList opened;
    for (int i = 0; i < 2; ++i)
        f.platform.modal().handlers.enqueue([&opened](VForm* w) {
            auto* editor = qobject_cast<frmAudioEditor*>(w);
            QVERIFY(editor);
            opened << editor->Caption() + " | " + editor->txtWavFile->text();
        });
    const QList<qint32> items = itemsBearing(m->m_cMenu, "Audio Analyser");
    QCOMPARE(items.size(), 2);
    QCOMPARE(m->m_cMenu->ItemParent(items[0]), m->m_cMenu->IndexForKey("Tools"));
    QCOMPARE(m->m_cMenu->ItemParent(items[1]), m->m_cMenu->IndexForKey("mnuFilesList"));
    for (qint32 item : items)
        QVERIFY(pick(m->m_cMenu, item));
    const QString row = "c.wav | " + f.platform.path("audio/c.wav");
    QCOMPARE(opened, (QStringList{row, row}));
    QCOMPARE(f.platform.modal().shown, (QStringList{"frmAudioEditor", "frmAudioEditor"}));
}

QTEST_MAIN(tst_MenuTree)
#include "tst_menutree.moc"
