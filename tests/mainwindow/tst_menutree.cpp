// The main window's menu tree as each product profile builds it, and every item and
// button reaching the command dispatcher with its key.
#include "tests/lists/ListsFixture.h"
#include "tests/mainwindow/MainWindowFixture.h"

#include "components/cReBar/cReBar.h"
#include "components/cToolbarHost/cToolbarHost.h"
#include "platform/MessageService.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

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
const QStringList kHelp{"Help Topics     |HelpTopic|12", "Support|Support|-1", "-|mnuFile(4)|-1", "About|About|22"};
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

// Started so that whatever the commands ask is declined or cancelled and every command
// can run: the exit question is answered No, dialogs are cancelled, windows just closed.
frmMain* startDeclining(Fixture& f, Profile profile)
{
    frmMain* m = startUnder(f, profile);
    g_bDisplayMSGWhenExit = true;
    f.platform.messages().answerAll = vbNo;
    f.platform.modal().allowAny = true;
    return m;
}

} // namespace

class tst_MenuTree : public QObject
{
    Q_OBJECT
private slots:
    void tree_data();
    void tree();
    void everyItemReachesTheDispatcher_data() { tree_data(); }
    void everyItemReachesTheDispatcher();
    void bars_data();
    void bars();
    void everyButtonReachesTheDispatcher_data() { tree_data(); }
    void everyButtonReachesTheDispatcher();
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

void tst_MenuTree::everyItemReachesTheDispatcher()
{
    QFETCH(Profile, profile);
    Fixture f;
    frmMain* m = startDeclining(f, profile);
    QSignalSpy dispatched(m, &frmMain::CommandDispatched);

    int triggered = 0;
    for (const char* container : {"mnuFileTop", "Tools", "Mode", "Options", "Help", "mnuSysTry", "Player",
                                  "mnuProjects", "mnuFilesList", "mnuAdd"}) {
        QStringList keys;
        for (const QString& item : menuItems(m->m_cMenu, container))
            if (!item.startsWith("-|"))
                keys << item.section(u'|', 1, 1);
        for (int i = 0; i < keys.size(); ++i) {
            // The popup of the container, as naming any of its items shows it.
            QMenu* popup = m->m_cMenu->BuildPopup(m->m_cMenu->IndexForKey(keys[0]));
            QList<QAction*> actions;
            for (QAction* a : popup->actions())
                if (!a->isSeparator())
                    actions << a;
            QCOMPARE(actions.size(), keys.size());
            dispatched.clear();
            g_bDisplayMSGWhenExit = true;  // an options page read the stored options again
            actions[i]->trigger();
            QVERIFY2(!dispatched.isEmpty(), qPrintable(keys[i]));
            QCOMPARE(dispatched.first().first().toString(), keys[i]);
            QVERIFY2(Forms::IsLoaded<frmMain>(), qPrintable(keys[i]));
            ++triggered;
        }
    }
    QVERIFY(Forms::IsLoaded<frmMain>());  // both exits were declined
    QVERIFY(triggered >= 36);  // every command item of the smallest tree
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

void tst_MenuTree::everyButtonReachesTheDispatcher()
{
    QFETCH(Profile, profile);
    Fixture f;
    frmMain* m = startDeclining(f, profile);
    QSignalSpy dispatched(m, &frmMain::CommandDispatched);

    // The lists, list and tools bars run their key; the top bar's plain buttons run theirs
    // ("Add" runs "Add Files").
    for (cToolbar* bar : {m->tlbrProjects, m->tlbrList, m->tlbrRecorder, m->tlbrTop}) {
        for (qint32 i = 0; i < bar->ButtonCount(); ++i) {
            if (bar->ButtonStyle(i) != cToolbar::tbrDefault)
                continue;
            dispatched.clear();
            g_bDisplayMSGWhenExit = true;
            bar->ButtonWidget(i)->click();
            const QString key = bar->ButtonKey(i);
            const QString expected = key == QLatin1String("Add") ? QStringLiteral("Add Files") : key;
            if (m->m_cMenu->IndexForKey(expected) == 0) {
                // A tool that is not offered has no item: its button runs nothing.
                QVERIFY2(dispatched.isEmpty(), qPrintable(key));
                continue;
            }
            QVERIFY2(!dispatched.isEmpty(), qPrintable(key));
            QCOMPARE(dispatched.first().first().toString(), expected);
        }
    }
    // The player bar drives the preview only.
    dispatched.clear();
    for (qint32 i = 0; i < m->tlbrPlayButtons->ButtonCount(); ++i)
        m->tlbrPlayButtons->ButtonWidget(i)->click();
    QVERIFY(dispatched.isEmpty());
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
    frmMain* m = startDeclining(f, Profile::Product);  // the analyser it runs twice opens and closes
    // The Options container is hidden; naming its item "ID3 Tags" shows its items.
    QMenu* popup = m->m_cMenu->BuildPopup(m->m_cMenu->IndexForKey("ID3 Tags"));
    QStringList captions;
    for (QAction* a : popup->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(captions, (QStringList{"General                     ", "-", "Events", "View", "-", "ID3 Tags", "-",
                                    "Advanced"}));
    // Either of two items that bear one key runs the same command.
    QSignalSpy dispatched(m, &frmMain::CommandDispatched);
    qint32 first = 0, second = 0;
    for (qint32 n = 1; n <= m->m_cMenu->Count(); ++n)
        if (m->m_cMenu->ItemKey(n) == QLatin1String("Audio Analyser"))
            (first ? second : first) = n;
    QVERIFY(first && second && first != second);
    m->m_cMenu_Click(first);
    m->m_cMenu_Click(second);
    QCOMPARE(dispatched.size(), 2);
    QCOMPARE(dispatched[0], dispatched[1]);
}

QTEST_MAIN(tst_MenuTree)
#include "tst_menutree.moc"
