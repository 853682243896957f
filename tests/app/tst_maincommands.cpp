// The main window's commands: the dispatcher's frame around every command, the list,
// item and window commands with their guards and messages, and the windows they open.
#include "common/mdlModes.h"
#include "common/frmAbout.h"
#include "common/frmFileCopy.h"
#include "common/frmNotes.h"
#include "common/mdlCommDialog.h"
#include "common/mdlWindowHelpers.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tests/lists/ListsFixture.h"

#include "components/cToolbar/cToolbar.h"
#include "lists/frmDirProperties.h"
#include "platform/Controls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

namespace {

// A list "Songs" with one item whose file is a short WAV called song.a.wav.
QString writeList(TestPlatform& platform)
{
    const QString wav = platform.path(QStringLiteral("song.a.wav"));
    AudioFixtures::writeWav(wav, 8000, 1, 16, AudioFixtures::sine(800, 1, 8000, 440));
    TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), ToolRows::ListRecord(wav).toUtf8());
    return wav;
}

frmMain* startMain()
{
    InitProductProfile();
    Forms::Get<frmOptions>();
    return Forms::Get<frmMain>();
}

void run(frmMain* main, const char* key)
{
    const qint32 item = main->m_cMenu->IndexForKey(QLatin1String(key));
    QVERIFY2(item > 0, key);
    main->m_cMenu_Click(item);
}

} // namespace

class tst_MainCommands : public QObject
{
    Q_OBJECT
private slots:
    void optionsPages_data();
    void optionsPages();
    void notesAndAbout();
    void saveAs();
    void saveAsGuards();
    void saveAsOntoItsOwnFile_data();
    void saveAsOntoItsOwnFile();
    void dispatcherFrame_data();
    void dispatcherFrame();
    void previewStopsBeforeListChanges_data();
    void previewStopsBeforeListChanges();
    void openDestinationFolder_data();
    void openDestinationFolder();
    void openDestFolderAsksToCreate_data();
    void openDestFolderAsksToCreate();
    void newItemsListOnAnyNode_data();
    void newItemsListOnAnyNode();
    void renameItemsList();
    void clearTheListOnACDDrive();
    void desktopPrograms_data();
    void desktopPrograms();
    void listBarsEndAlwaysOnTop_data();
    void listBarsEndAlwaysOnTop();
    void exitDeclined();
};

void tst_MainCommands::optionsPages_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("title");
    QTest::newRow("General") << "General" << "General";
    QTest::newRow("Events") << "Events" << "Events";
    QTest::newRow("View") << "View" << "View";
    QTest::newRow("ID3 Tags") << "ID3 Tags" << "Default ID3 Tags";
    QTest::newRow("Advanced") << "Advanced" << "Advanced";
}

void tst_MainCommands::optionsPages()
{
    QFETCH(QString, key);
    QFETCH(QString, title);
    TestPlatform platform;
    frmMain* main = startMain();
    main->Show();
    SetFormOnTop(main, true);
    QString seen;
    platform.modal().handlers.enqueue([&](VForm* w) {
        auto* options = qobject_cast<frmOptions*>(w);
        QVERIFY(options);
        seen = options->lblTitle->text();
        options->cmdCancel_Click();
    });
    run(main, key.toLatin1().constData());
    QCOMPARE(seen, title);
    QCOMPARE(platform.modal().shown, QStringList{"frmOptions"});
    QVERIFY(!main->windowFlags().testFlag(Qt::WindowStaysOnTopHint));  // on top goes first
}

void tst_MainCommands::notesAndAbout()
{
    TestPlatform platform;
    frmMain* main = startMain();
    run(main, "Notes");
    QVERIFY(Forms::IsLoaded<frmNotes>());
    QVERIFY(g_frmNotes()->isVisible());  // modeless
    Forms::Unload(g_frmNotes());

    // The "Notes" status panel runs the same command.
    for (int i = 1; i <= main->cStatusBar1->PanelCount(); ++i)
        if (main->cStatusBar1->PanelKey(i) == QLatin1String("Notes"))
            main->cStatusBar1_PanelClick(i);
    QVERIFY(Forms::IsLoaded<frmNotes>());

    platform.modal().handlers.enqueue([](VForm* w) { QVERIFY(qobject_cast<frmAbout*>(w)); Forms::Unload(w); });
    run(main, "About");
    QCOMPARE(platform.modal().shown, QStringList{"frmAbout"});
}

void tst_MainCommands::saveAs()
{
    TestPlatform platform;
    const QString wav = writeList(platform);
    frmMain* main = startMain();
    QCOMPARE(main->cGrid1->Rows(), 1);
    main->cGrid1->SetCurrentRow(1);

    // Cancelled: nothing copied.
    run(main, "Save As");
    QCOMPARE(platform.dialogs().saveRequests.size(), 1);
    const FileRequest request = platform.dialogs().saveRequests[0];
    QCOMPARE(request.title, QStringLiteral("Save As"));
    QCOMPARE(request.filter, QStringLiteral("Audio Files (*.wav)"));
    QCOMPARE(request.defaultSuffix, QStringLiteral("wav"));
    QVERIFY(request.initialPath.endsWith(QStringLiteral("song.a.wav")));
    QVERIFY(platform.modal().shown.isEmpty());

    // Chosen: the copy window copies the row's file to the chosen path.
    const QString target = platform.path(QStringLiteral("copy.wav"));
    platform.dialogs().saveAnswers.enqueue(target);
    QString from, to;
    platform.modal().handlers.enqueue([&](VForm* w) {
        auto* copy = qobject_cast<frmFileCopy*>(w);
        QVERIFY(copy);
        from = copy->lblFrom->text();
        to = copy->lblTo->text();
        QVERIFY(copy->tmrStart.isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmFileCopy>(), 10000);  // copies, then closes itself
    });
    run(main, "Save As");
    QCOMPARE(from, wav);
    QCOMPARE(to, target);
    QCOMPARE(TestFiles::ReadBytes(target), TestFiles::ReadBytes(wav));
}

void tst_MainCommands::saveAsGuards()
{
    TestPlatform platform;
    frmMain* main = startMain();
    QCOMPARE(main->cGrid1->Rows(), 0);
    run(main, "Save As");  // an empty list: nothing at all
    QVERIFY(platform.dialogs().saveRequests.isEmpty());
    QVERIFY(platform.messages().shown.isEmpty());
}

void tst_MainCommands::saveAsOntoItsOwnFile_data()
{
    QTest::addColumn<QString>("target");  // relative to the program folder; "audio/a.wav" is the item's file
    QTest::newRow("the same path") << "audio/a.wav";
    QTest::newRow("through ..") << "audio/../audio/a.wav";
    QTest::newRow("a link to it") << "link.wav";
    QTest::newRow("a second name of it") << "hard.wav";
}

void tst_MainCommands::saveAsOntoItsOwnFile()
{
    QFETCH(QString, target);
    ListsTest::Fixture f;
    f.addList("Songs", {"a.wav"});
    const QString item = f.platform.path("audio/a.wav");
    const QByteArray bytes = TestFiles::ReadBytes(item);
    QVERIFY(QFile::link(item, f.platform.path("link.wav")));
    QVERIFY(::link(item.toLocal8Bit().constData(), f.platform.path("hard.wav").toLocal8Bit().constData()) == 0);
    frmMain* m = f.start();
    f.platform.dialogs().saveAnswers.enqueue(f.platform.path(target));
    f.platform.messages().answers.enqueue(vbOK);
    run(m, "Save As");
    // Nothing is copied, and the user is told why.
    QVERIFY(f.platform.modal().shown.isEmpty());
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QVERIFY(f.platform.messages().shown[0].prompt.startsWith("The item cannot be saved over its own file: "));
    QCOMPARE(TestFiles::ReadBytes(item), bytes);
}

void tst_MainCommands::dispatcherFrame_data()
{
    QTest::addColumn<QString>("key");  // "" runs item number 0
    QTest::addColumn<bool>("refreshed");
    QTest::newRow("no item") << "" << false;
    QTest::newRow("a key no command knows") << "Remove" << true;
    QTest::newRow("a command that ends at once") << "GoSysTray" << false;
    QTest::newRow("a command that runs to its end") << "MarkUnmark All" << true;
}

void tst_MainCommands::dispatcherFrame()
{
    QFETCH(QString, key);
    QFETCH(bool, refreshed);
    ListsTest::Fixture f;
    const QString list = f.addList("Songs", {"a.wav*", "b.wav"});
    frmMain* m = f.start();
    FakePlayer* player = f.player();
    QString file = f.platform.path("audio/b.wav");
    qint32 device = 0;
    QCOMPARE(player->Play(file, device), 0);
    const int opened = player->opened.size();

    m->m_cMenu_Click(key.isEmpty() ? 0 : m->m_cMenu->IndexForKey(key));
    // Whatever the command, the preview stopped first.
    QVERIFY(!player->IsPlaying());
    // The information grid shows the current row again only after a command that ran to
    // its end, or a key without a command.
    QCOMPARE(player->opened.size() > opened, refreshed);
}

void tst_MainCommands::previewStopsBeforeListChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("paused");
    QTest::newRow("exit") << "exit" << false;
    QTest::newRow("exit while paused") << "exit" << true;
    QTest::newRow("clear the list") << "clear" << false;
    QTest::newRow("remove an item") << "remove" << true;
    QTest::newRow("another list") << "switch" << false;
}

void tst_MainCommands::previewStopsBeforeListChanges()
{
    QFETCH(QString, change);
    QFETCH(bool, paused);
    ListsTest::Fixture f;
    f.addList("Songs", {"a.wav*", "b.wav"});
    f.addList("Zother", {"c.wav"});
    frmMain* m = f.start();
    FakePlayer* player = f.player();
    QString file = f.platform.path("audio/a.wav");
    qint32 device = 0;
    QCOMPARE(player->Play(file, device), 0);
    if (paused)
        player->Pause();
    player->calls.clear();

    if (change == QLatin1String("exit")) {
        QVERIFY(Forms::Unload(m));
    } else if (change == QLatin1String("clear")) {
        f.platform.messages().answers.enqueue(vbYes);
        m->ConfirmClearList();
    } else if (change == QLatin1String("remove")) {
        m->RemoveItems();
    } else {
        m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(2));
    }
    // The window's own stop ran: a paused play is resumed first, then stopped.
    QVERIFY(!player->IsPlaying());
    const QStringList expected = paused ? QStringList{"Resume", "StopPlay"} : QStringList{"StopPlay"};
    QCOMPARE(player->calls, expected);
}

void tst_MainCommands::openDestinationFolder_data()
{
    QTest::addColumn<bool>("groupNode");
    QTest::newRow("a list: the folder of its file") << false;
    QTest::newRow("the lists group: the lists folder") << true;
}

void tst_MainCommands::openDestinationFolder()
{
    QFETCH(bool, groupNode);
    ListsTest::Fixture f;
    f.addList("Songs", {"a.wav"});
    frmMain* m = f.start();
    if (groupNode) {
        g_nodMainItems->SetItemFlag67(true);
        m->cTreeView1_NodeClick(g_nodMainItems);
    }
    run(m, "Open Destination Folder");
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(f.platform.shell().opened, QStringList{f.platform.path("Main/")});
}

void tst_MainCommands::openDestFolderAsksToCreate_data()
{
    QTest::addColumn<QString>("folder");  // relative to the program folder
    QTest::addColumn<int>("answer");      // 0: no question expected
    QTest::addColumn<bool>("created");
    QTest::addColumn<bool>("failureShown");
    QTest::addColumn<bool>("opened");
    QTest::newRow("existing, without the final separator") << "out" << 0 << true << false << true;
    QTest::newRow("missing, answered No") << "new/deep" << int(vbNo) << false << false << false;
    QTest::newRow("missing, answered Yes") << "new/deep" << int(vbYes) << true << false << true;
    QTest::newRow("cannot be created") << "file.txt/sub" << int(vbYes) << false << true << true;
}

void tst_MainCommands::openDestFolderAsksToCreate()
{
    QFETCH(QString, folder);
    QFETCH(int, answer);
    QFETCH(bool, created);
    QFETCH(bool, failureShown);
    QFETCH(bool, opened);
    ListsTest::Fixture f;
    QDir().mkpath(f.platform.path("out"));
    TestFiles::WriteBytes(f.platform.path("file.txt"), "x");
    frmMain* m = f.start();
    const QString dir = f.platform.path(folder) + u'/';
    if (answer)
        f.platform.messages().answers.enqueue(answer);
    if (failureShown)
        f.platform.messages().answers.enqueue(vbOK);
    m->OpenDestFolder(f.platform.path(folder));

    const auto& shown = f.platform.messages().shown;
    QCOMPARE(shown.size(), (answer ? 1 : 0) + (failureShown ? 1 : 0));
    if (answer) {
        QCOMPARE(shown[0].prompt, "The folder " + dir + " does not exist." + QString(44, u' ')
                                      + "\r\n\r\nWould you like to create it?");
        QCOMPARE(shown[0].buttons, vbYesNo + vbInformation);
    }
    if (failureShown) {
        QCOMPARE(shown[1].prompt, "The path: " + dir + " cannot be created.");
        QCOMPARE(shown[1].buttons, int(vbOKOnly));
    }
    QCOMPARE(QFileInfo(dir).isDir(), created);
    QCOMPARE(f.platform.shell().opened, opened ? QStringList{dir} : QStringList{});
}

void tst_MainCommands::newItemsListOnAnyNode_data()
{
    QTest::addColumn<QString>("node");
    QTest::newRow("a list") << "list";
    QTest::newRow("the lists group") << "group";
    QTest::newRow("a CD drive") << "cd";
}

void tst_MainCommands::newItemsListOnAnyNode()
{
    QFETCH(QString, node);
    ListsTest::Fixture f;
    f.addList("Songs", {"a.wav"});
    frmMain* m = f.start();
    if (node == QLatin1String("group")) {
        g_nodMainItems->SetItemFlag67(true);
        m->cTreeView1_NodeClick(g_nodMainItems);
    } else if (node == QLatin1String("cd")) {
        cTreeItem* drive = m->cTreeView1->Nodes().Add(nullptr, cTreeItems::tvwLast, "##CDD: Drive", "D:", 25, 25);
        drive->SetItemFlag67(true);
        m->cTreeView1_NodeClick(drive);
    }
    run(m, "New Items List");
    const QString created = f.platform.path("Main/New Items List 1.flst");
    QVERIFY(QFileInfo(created).isFile());
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), created);
    QCOMPARE(m->cTreeView1->SelectedItem()->Parent(), g_nodMainItems.data());
    QCOMPARE(m->cGrid1->Rows(), 0);
    QCOMPARE(m->cTreeView1->EditingItem(), m->cTreeView1->SelectedItem());
}

void tst_MainCommands::renameItemsList()
{
    ListsTest::Fixture f;
    f.addList("Songs", {"a.wav"});
    frmMain* m = f.start();
    QSignalSpy dispatched(m, &frmMain::CommandDispatched);

    // On the lists group nothing opens.
    g_nodMainItems->SetItemFlag67(true);
    m->cTreeView1_NodeClick(g_nodMainItems);
    run(m, "Rename Items List");
    QVERIFY(!Forms::IsLoaded<frmDirProperties>());

    // On a list it runs "Items List Properties" through the dispatcher: the dialog opens
    // with the list's name ready to be edited.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
    dispatched.clear();
    run(m, "Rename Items List");
    QCOMPARE(dispatched.size(), 2);
    QCOMPARE(dispatched[1].first().toString(), QStringLiteral("Items List Properties"));
    frmDirProperties* dialog = Forms::Loaded<frmDirProperties>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->txtFolderName->text(), QStringLiteral("Songs"));
    QVERIFY(dialog->bEditFolderName);
}

void tst_MainCommands::clearTheListOnACDDrive()
{
    ListsTest::Fixture f;
    lAppIncCDRipper = 1;
    f.drives = {FakeCdDrive{"D: Test Drive", true, {{60, true}, {90, true}}}};
    f.addList("Songs", {"a.wav"});
    frmMain* m = f.start();
    const QStringList filesBefore = QDir(f.platform.path("Main")).entryList(QDir::Files);
    cTreeItem* drive = g_nodMainCDs->Children().Item(1);
    drive->SetItemFlag67(true);
    m->cTreeView1_NodeClick(drive);
    QCOMPARE(m->cGrid1->Rows(), 2);

    // Unlike "Remove Item", clearing is not refused; it empties the grid and writes nothing.
    run(m, "Clear the List");
    f.platform.messages().answers.enqueue(vbYes);
    m->tmrRemove_Timer();
    QCOMPARE(m->cGrid1->Rows(), 0);
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNo + vbExclamation);
    QCOMPARE(QDir(f.platform.path("Main")).entryList(QDir::Files), filesBefore);
    QVERIFY(QDir::current().entryList({"##*"}, QDir::AllEntries).isEmpty());
}

void tst_MainCommands::desktopPrograms_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("opened");   // relative to the program folder, or a full address
    QTest::addColumn<bool>("started");      // a program was started instead
    QTest::newRow("help") << "HelpTopic" << "Help.chm" << false;
    QTest::newRow("support page") << "Support" << "https://www.velmaro.example/support.html" << false;
    QTest::newRow("system player") << "Open Default Player" << "audio/a.wav" << false;
}

void tst_MainCommands::desktopPrograms()
{
    QFETCH(QString, key);
    QFETCH(QString, opened);
    QFETCH(bool, started);
    ListsTest::Fixture f;
    f.addList("Songs", {"a.wav"});
    frmMain* m = f.start();
    run(m, key.toLatin1().constData());
    const QString expected = opened.startsWith("https:") || opened.isEmpty() ? opened : f.platform.path(opened);
    QCOMPARE(f.platform.shell().opened, expected.isEmpty() ? QStringList{} : QStringList{expected});
    QCOMPARE(f.platform.shell().started.size(), started ? 1 : 0);
    QVERIFY(f.platform.messages().shown.isEmpty());
}

void tst_MainCommands::listBarsEndAlwaysOnTop_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("opened");  // "modal <class>" or "window <class>", "" for none
    QTest::addColumn<bool>("stillOnTop");
    QTest::newRow("list bar") << "tlbrList"
                              << "Rename Item"
                              << "modal frmItem" << false;
    QTest::newRow("lists bar") << "tlbrProjects"
                               << "Items List Properties"
                               << "window frmDirProperties" << false;
    // With one list there is none to remove: the mode ends all the same.
    QTest::newRow("lists bar, a command that does nothing here") << "tlbrProjects"
                                                                  << "Remove Items List"
                                                                  << "" << false;
    QTest::newRow("tools bar") << "tlbrRecorder"
                               << "Audio Splitter"
                               << "modal frmSplitter" << true;
    QTest::newRow("top bar") << "tlbrTop"
                             << "Audio Splitter"
                             << "modal frmSplitter" << true;
}

void tst_MainCommands::listBarsEndAlwaysOnTop()
{
    QFETCH(QString, bar);
    QFETCH(QString, button);
    QFETCH(QString, opened);
    QFETCH(bool, stillOnTop);
    ListsTest::Fixture f;
    f.addList("Songs", {"a.wav*"});
    frmMain* m = f.start();
    m->Show();
    m->SetOnTop(true);
    // The mode as the window that opens finds it, and as it stays once that window closed.
    QStringList seen;
    f.platform.modal().handlers.enqueue([&](VForm* w) {
        seen << "modal " + QString::fromLatin1(w->metaObject()->className());
        QCOMPARE(m->windowFlags().testFlag(Qt::WindowStaysOnTopHint), stillOnTop);
    });
    auto* toolbar = m->findChild<cToolbar*>(bar);
    QVERIFY(toolbar);
    toolbar->ButtonWidget(toolbar->ButtonIndex(button))->click();
    f.platform.modal().handlers.clear();
    for (VForm* form : Forms::LoadedForms())
        if (form != m && form->isVisible())
            seen << "window " + QString::fromLatin1(form->metaObject()->className());
    QCOMPARE(seen, opened.isEmpty() ? QStringList{} : QStringList{opened});
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(m->windowFlags().testFlag(Qt::WindowStaysOnTopHint), stillOnTop);
    QCOMPARE(FormOnTopFlag(), stillOnTop);
    QCOMPARE(m->m_cMenu->ItemChecked(m->m_cMenu->IndexForKey("On Top")), stillOnTop);
}

void tst_MainCommands::exitDeclined()
{
    ListsTest::Fixture f;
    f.addList("Songs", {"a.wav"});
    frmMain* m = f.start();
    FakePlayer* player = f.player();
    const int opened = player->opened.size();
    g_bDisplayMSGWhenExit = true;
    f.platform.messages().answers.enqueue(vbNo);
    run(m, "Exit");
    QVERIFY(Forms::IsLoaded<frmMain>());
    QCOMPARE(f.platform.messages().shown[0].prompt, QStringLiteral("Are you sure you want to exit 'Velmaro 1.2' ?"));
    QVERIFY(player->opened.size() > opened);  // the information grid was filled again

    // Answered Yes, the same command closes the window.
    f.platform.messages().answers.enqueue(vbYes);
    run(m, "RC Exit");
    QVERIFY(!Forms::IsLoaded<frmMain>());
}

QTEST_MAIN(tst_MainCommands)
#include "tst_maincommands.moc"
