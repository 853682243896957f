// The options window and the option globals: loading from the store, OK, Cancel and the
// close box, the enabling rules, the pages, the pickers and links, "Set as default", and
// the placeholder reference.
#include "common/mdlModes.h"
#include "common/RegistryRoutines.h"
#include "common/mdlFunctions.h"
#include "components/cTreeView/cTreeView.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlOptions.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

// Every option global back to what a new process starts with.
void resetGlobals()
{
    g_lDeviceIndex = -1;
    g_sTargetFormat.clear();
    g_sToPath.clear();
    g_sFileNameFormat.clear();
    g_sPlayAtEnd.clear();
    g_sAppNotice.clear();
    for (bool* b : {&g_bSelectTheLastItem, &g_bAutoFreeDB, &g_bSaveLogWhenExit, &g_bDisplayMSGWhenExit,
                    &g_bDisplayMSGWhenErase, &g_bGoToNextItem, &g_bDisplayPlayer, &g_bClearOnExit,
                    &g_bDisplayAudioGraph, &g_bMenuXPStyle, &g_bDisplayGridHotTrack, &g_bDisplayTitle,
                    &g_bDisplayGridLine, &g_bDisplayLiveUpdateWindow, &g_bAutoUpdate, &g_bOpenDestFolder,
                    &g_bTurnOffComputer, &g_bPlaySound, &g_bNoticeApp})
        *b = false;
    g_bCopyID3FromSource = true;
    g_lAppColor = g_lTextColor = 0;
    for (QString* s : {&g_sTagArtist, &g_sTagSong, &g_sTagAlbum, &g_sTagTrack, &g_sTagGenre, &g_sTagYear,
                       &g_sTagComment})
        s->clear();
}

// A restart: every window goes, the globals start empty, the options window loads again.
frmOptions* restart()
{
    Forms::DestroyAll();
    resetGlobals();
    return Forms::Get<frmOptions>();
}

QStringList items(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QFrame* visiblePage(frmOptions* f)
{
    QFrame* shown = nullptr;
    for (QFrame* p : {f->froGeneral, f->froEvents, f->froView, f->froTags, f->froAdvanced})
        if (!p->isHidden()) {
            if (shown)
                return nullptr;  // more than one
            shown = p;
        }
    return shown;
}

using PickBox = std::function<CheckBox*(frmOptions*)>;
using PickWidgets = std::function<QList<QWidget*>(frmOptions*)>;

} // namespace

Q_DECLARE_METATYPE(PickBox)
Q_DECLARE_METATYPE(PickWidgets)

class tst_Options : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitProductProfile(); }
    void init() { resetGlobals(); }
    void firstStart();
    void everyOptionRoundTrips();
    void cancelAndCloseBoxStoreNothing();
    void storedTextsThatDoNotFit();
    void listsFolderText_data();
    void listsFolderText();
    void listsFolderTypedIsNotCompleted();
    void fileNameFormatsFile_data();
    void fileNameFormatsFile();
    void enablingRules_data();
    void enablingRules();
    void pages_data();
    void pages();
    void openedOnAPage_data();
    void openedOnAPage();
    void soundPickAndTest();
    void externalProgramTest();
    void folderPick();
    void openOrCreateListsFolder_data();
    void openOrCreateListsFolder();
    void colourPickers();
    void setAsDefault();
    void placeholderReference_data();
    void placeholderReference();
};

void tst_Options::firstStart()
{
    TestPlatform platform;
    // The store as an older version or another program may leave it: "General" empty.
    TestFiles::ClearStoredValues(QStringLiteral("General"));
    frmOptions* f = Forms::Get<frmOptions>();
    const QString main = platform.home() + QStringLiteral("/Main/");
    QCOMPARE(g_sToPath, main);
    QVERIFY(QFileInfo(main).isDir());
    QCOMPARE(ReadTextFile(PathHistoryFile()).split(QStringLiteral("\r\n")).first(), main);
    QCOMPARE(g_sPlayAtEnd, platform.home() + QStringLiteral("/sound/notify.wav"));
    QCOMPARE(f->txtPlayAtEnd->text(), QStringLiteral("notify.wav"));
    QCOMPARE(f->txtPlayAtEnd->toolTip(), g_sPlayAtEnd);
    QVERIFY(g_bCopyID3FromSource);
    QCOMPARE(f->chkCopyID3FromSource->Value(), 1);
    for (bool b : {g_bSelectTheLastItem, g_bPlaySound, g_bNoticeApp, g_bDisplayTitle, g_bDisplayMSGWhenExit,
                   g_bTurnOffComputer, g_bOpenDestFolder, g_bClearOnExit})
        QVERIFY(!b);
    QCOMPARE(g_lAppColor, 0);
    QCOMPARE(g_lTextColor, 0);
    QCOMPARE(f->cboTargetFormat->currentIndex(), -1);
    QCOMPARE(f->cboFileName->currentIndex(), -1);
    QCOMPARE(g_sTargetFormat, QString());
    QCOMPARE(g_sFileNameFormat, QString());
    QCOMPARE(g_lDeviceIndex, -1);
    // Only the enabled formats, never the design entries.
    QCOMPARE(items(f->cboTargetFormat),
             (QStringList{"WAV - Waveform Audio Format (*.wav)", "ACM - Waveform ACM Codecs (*.wav)",
                          "MP3 - MPEG-1 Audio Layer 3 (*.mp3)", "WMA - Windows Media Audio files (*.wma)"}));
    QCOMPARE(visiblePage(f), f->froGeneral);
    QCOMPARE(f->lblTitle->text(), QStringLiteral("General"));
    QVERIFY(!f->isVisible());
}

void tst_Options::everyOptionRoundTrips()
{
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    const QString lists = platform.home() + QStringLiteral("/Lists/");
    QDir().mkpath(lists);
    const QString sound = platform.home() + QStringLiteral("/bell.wav");

    // Change every option in the window.
    f->cboTargetFormat->setCurrentIndex(2);
    f->cboFileName->setCurrentIndex(3);
    f->txtToPath->setEditText(lists);
    QList<CheckBox*> boxes{f->chkSelectTheLastItem, f->chkAutoFreeDB, f->chkSaveLogWhenExit, f->chkDisplayMSGWhenExit,
                           f->chkDisplayMSGWhenErase, f->chkGoToNextItem, f->chkDisplayPlayer, f->chkClearOnExit,
                           f->chkDisplayAudioGraph, f->chkMenuXPStyle, f->chkDisplayGridHotTrack, f->chkDisplayTitle,
                           f->chkDisplayGridLine, f->chkDisplayLiveUpdateWindow, f->chkAutoUpdate,
                           f->chkOpenDestFolder, f->chkTurnOffComputer, f->chkPlaySound, f->chkNoticeApp,
                           f->chkRunWhenWinStarts};
    for (CheckBox* b : boxes)
        b->SetValue(1);
    f->chkCopyID3FromSource->SetValue(0);
    f->picColor->SetBackColor(0x123456);
    f->picTextColor->SetBackColor(0xABCDEF);
    f->txtPlayAtEnd->Tag = sound;
    f->txtAppNotice->setPlainText(QStringLiteral("/usr/bin/notify [FILE_RECORDED]"));
    f->txtTagArtist->setText(QStringLiteral("Artist [YEAR]"));
    f->txtTagSong->setText(QStringLiteral("Song"));
    f->txtTagAlbum->setText(QStringLiteral("Album"));
    f->txtTagTrack->setText(QStringLiteral("[TRACK_NUM]"));
    f->txtTagGenre->setText(QStringLiteral("Genre"));
    f->txtTagYear->setText(QStringLiteral("2026"));
    f->txtTagComment->setPlainText(QStringLiteral("line one\nline two"));
    f->cmdOk_Click();
    QVERIFY(!f->isVisible());
    QVERIFY(Forms::IsLoaded<frmOptions>());  // OK hides the window, it stays loaded

    // Restart: shown and held as set.
    f = restart();
    QCOMPARE(g_sTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
    QCOMPARE(f->cboTargetFormat->currentText(), g_sTargetFormat);
    QCOMPARE(g_sFileNameFormat, QStringLiteral("[file_name]_[123].[source_extension].[dest_extension]"));
    QCOMPARE(g_sToPath, lists);
    QCOMPARE(f->txtToPath->currentText(), lists);
    for (bool b : {g_bSelectTheLastItem, g_bAutoFreeDB, g_bSaveLogWhenExit, g_bDisplayMSGWhenExit,
                   g_bDisplayMSGWhenErase, g_bGoToNextItem, g_bDisplayPlayer, g_bClearOnExit, g_bDisplayAudioGraph,
                   g_bMenuXPStyle, g_bDisplayGridHotTrack, g_bDisplayTitle, g_bDisplayGridLine,
                   g_bDisplayLiveUpdateWindow, g_bAutoUpdate, g_bOpenDestFolder, g_bTurnOffComputer, g_bPlaySound,
                   g_bNoticeApp})
        QVERIFY(b);
    for (CheckBox* b : {f->chkSelectTheLastItem, f->chkDisplayTitle, f->chkRunWhenWinStarts, f->chkNoticeApp})
        QCOMPARE(b->Value(), 1);
    QVERIFY(!g_bCopyID3FromSource);
    QCOMPARE(f->chkCopyID3FromSource->Value(), 0);
    QCOMPARE(g_lAppColor, 0x123456);
    QCOMPARE(g_lTextColor, 0xABCDEF);
    QCOMPARE(f->picColor->BackColor(), 0x123456);
    QCOMPARE(g_sPlayAtEnd, sound);
    QCOMPARE(f->txtPlayAtEnd->text(), QStringLiteral("bell.wav"));
    QCOMPARE(g_sAppNotice, QStringLiteral("/usr/bin/notify [FILE_RECORDED]"));
    QCOMPARE(g_sTagArtist, QStringLiteral("Artist [YEAR]"));
    QCOMPARE(g_sTagSong, QStringLiteral("Song"));
    QCOMPARE(g_sTagAlbum, QStringLiteral("Album"));
    QCOMPARE(g_sTagTrack, QStringLiteral("[TRACK_NUM]"));
    QCOMPARE(g_sTagGenre, QStringLiteral("Genre"));
    QCOMPARE(g_sTagYear, QStringLiteral("2026"));
    QCOMPARE(g_sTagComment, QStringLiteral("line one\nline two"));
    // The values live where other programs and older versions look for them.
    QCOMPARE(TestFiles::StoredText("General", "chkDisplayTitle"), QStringLiteral("1"));
    QCOMPARE(TestFiles::StoredText("General", "picColor"), QString::number(0x123456));
    QCOMPARE(TestFiles::StoredText("General", "picTextColor"), QString::number(0xABCDEF));
    QCOMPARE(TestFiles::StoredText("General", "cboDevices"), QStringLiteral("-1"));
    QCOMPARE(TestFiles::StoredText("Events", "txtPlayAtEnd"), sound);
    QCOMPARE(TestFiles::StoredText("ID3 Tags", "chkCopyID3FromSource"), QStringLiteral("0"));
}

void tst_Options::cancelAndCloseBoxStoreNothing()
{
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    const QByteArray before = [&] {
        QFile file(platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg")));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();

    // Cancel: the edits are replaced by what is stored.
    f->chkDisplayTitle->SetValue(1);
    f->txtTagSong->setText(QStringLiteral("pending"));
    f->cmdCancel_Click();
    QCOMPARE(f->chkDisplayTitle->Value(), 0);
    QCOMPARE(f->txtTagSong->text(), QString());
    QVERIFY(!g_bDisplayTitle);
    QVERIFY(!f->isVisible());

    // The close box hides the window with the edits still shown; nothing is stored.
    f->Show();
    f->chkDisplayTitle->SetValue(1);
    f->close();
    QVERIFY(Forms::IsLoaded<frmOptions>());
    QVERIFY(!f->isVisible());
    QCOMPARE(f->chkDisplayTitle->Value(), 1);
    QVERIFY(!g_bDisplayTitle);
    QFile file(platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg")));
    file.open(QIODevice::ReadOnly);
    QCOMPARE(file.readAll(), before);
    QVERIFY(platform.sound().stops >= 2);  // a sound still testing is stopped on every close

    // While the program closes, the window really goes.
    g_bExitApp = true;
    QVERIFY(Forms::Unload(f));
    QVERIFY(!Forms::IsLoaded<frmOptions>());
}

void tst_Options::storedTextsThatDoNotFit()
{
    TestPlatform platform;
    QVERIFY(TestFiles::StoreText("General", "chkDisplayTitle", "abc"));
    QVERIFY(TestFiles::StoreText("General", "cboTargetFormat", "OGG - Ogg Media Format (*.ogg)"));
    QVERIFY(TestFiles::StoreText("General", "picColor", "not a colour"));
    QVERIFY(TestFiles::StoreText("Events", "txtPlayAtEnd", platform.home() + QStringLiteral("/sounds/")));
    QVERIFY(TestFiles::StoreText("General", "chkDisplayPlayer", "1"));
    frmOptions* f = Forms::Get<frmOptions>();
    QCOMPARE(f->chkDisplayTitle->Value(), 0);  // the box keeps its state, the global follows it
    QVERIFY(!g_bDisplayTitle);
    QVERIFY(g_bDisplayPlayer);
    QCOMPARE(f->cboTargetFormat->currentIndex(), -1);  // a format this build does not offer
    QCOMPARE(g_sTargetFormat, QString());
    QCOMPARE(g_lAppColor, 0);
    QCOMPARE(g_sPlayAtEnd, platform.home() + QStringLiteral("/sound/notify.wav"));  // a folder is no sound
    QCOMPARE(f->txtPlayAtEnd->text(), QStringLiteral("notify.wav"));
}

void tst_Options::listsFolderText_data()
{
    QTest::addColumn<QString>("typed");  // relative to the temporary program folder, "" stays ""
    QTest::addColumn<QString>("result");
    QTest::newRow("with separator") << "/Lists/" << "/Lists/";
    QTest::newRow("without separator") << "/Lists" << "/Lists/";
    QTest::newRow("empty is the default") << "" << "/Main/";
}

void tst_Options::listsFolderText()
{
    QFETCH(QString, typed);
    QFETCH(QString, result);
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    f->txtToPath->setEditText(typed.isEmpty() ? QString() : platform.home() + typed);
    f->cmdOk_Click();
    QCOMPARE(g_sToPath, platform.home() + result);
    QCOMPARE(TestFiles::StoredText("General", "txtToPath"), platform.home() + result);
    QCOMPARE(f->txtToPath->currentText(), platform.home() + result);
}

// A folder of the path history begins with what the user types: the folder typed is the
// one stored, not that one.
void tst_Options::listsFolderTypedIsNotCompleted()
{
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    f->txtToPath->insertItem(0, platform.home() + QStringLiteral("/Lists2/"));
    f->show();
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    f->txtToPath->setFocus();
    f->txtToPath->lineEdit()->clear();
    QTest::keyClicks(f->txtToPath->lineEdit(), platform.home() + QStringLiteral("/Lists"));
    f->cmdOk_Click();
    QCOMPARE(g_sToPath, platform.home() + QStringLiteral("/Lists/"));
}

void tst_Options::fileNameFormatsFile_data()
{
    QTest::addColumn<QVariant>("file");  // invalid: no file
    QTest::addColumn<QStringList>("templates");
    QTest::newRow("built-in") << QVariant()
                              << QStringList{"[file_name].[dest_extension]",
                                             "[file_name].[source_extension].[dest_extension]",
                                             "[file_name]_[123].[dest_extension]",
                                             "[file_name]_[123].[source_extension].[dest_extension]",
                                             "[123].[dest_extension]", "[123].[source_extension].[dest_extension]"};
    QTest::newRow("file replaces them") << QVariant(QByteArray("[item_name].[dest_extension]\n\n[date]_[123]\n"))
                                        << QStringList{"[item_name].[dest_extension]", "[date]_[123]"};
    QTest::newRow("empty file") << QVariant(QByteArray()) << QStringList();
}

void tst_Options::fileNameFormatsFile()
{
    QFETCH(QVariant, file);
    QFETCH(QStringList, templates);
    TestPlatform platform;
    if (file.isValid()) {
        QFile f(platform.path(QStringLiteral("FileNameFormats.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file.toByteArray());
    }
    QCOMPARE(items(Forms::Get<frmOptions>()->cboFileName), templates);
}

void tst_Options::enablingRules_data()
{
    using Pick = PickBox;
    using Widgets = PickWidgets;
    QTest::addColumn<Pick>("box");
    QTest::addColumn<Widgets>("dependents");
    QTest::addColumn<bool>("enabledWhenTicked");
    QTest::newRow("play sound") << Pick([](frmOptions* f) { return f->chkPlaySound; })
                                << Widgets([](frmOptions* f) {
                                       return QList<QWidget*>{f->txtPlayAtEnd, f->cmdAddSound, f->cmdTestSound};
                                   })
                                << true;
    QTest::newRow("external program") << Pick([](frmOptions* f) { return f->chkNoticeApp; })
                                      << Widgets([](frmOptions* f) {
                                             return QList<QWidget*>{f->txtAppNotice, f->cmdTestApp};
                                         })
                                      << true;
    QTest::newRow("copy tags") << Pick([](frmOptions* f) { return f->chkCopyID3FromSource; })
                               << Widgets([](frmOptions* f) {
                                      return QList<QWidget*>{f->lblTagArtist, f->lblTagSong,  f->lblTagAlbum,
                                                             f->lblTagGenre,  f->lblTagTrack, f->lblTagYear,
                                                             f->lblTagComment, f->txtTagArtist, f->txtTagSong,
                                                             f->txtTagAlbum, f->txtTagGenre, f->txtTagTrack,
                                                             f->txtTagYear, f->txtTagComment};
                                  })
                               << false;
}

void tst_Options::enablingRules()
{
    QFETCH(PickBox, box);
    QFETCH(PickWidgets, dependents);
    QFETCH(bool, enabledWhenTicked);
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    for (int value : {1, 0, 1}) {
        box(f)->SetValue(value);  // by program: the rule runs as for a click
        for (QWidget* w : dependents(f))
            QCOMPARE(w->isEnabled(), (value == 1) == enabledWhenTicked);
    }
    // A real click runs it too.
    QTest::mouseClick(box(f), Qt::LeftButton);
    for (QWidget* w : dependents(f))
        QCOMPARE(w->isEnabled(), (box(f)->Value() == 1) == enabledWhenTicked);
    // The links are never disabled; and the rules follow what the store says.
    for (LinkLabel* l : {f->lblNoticParameters, f->lblID3TagParameters, f->lblParameters})
        QVERIFY(l->isEnabled());
    QVERIFY(TestFiles::StoreText("Events", "chkPlaySound", "1"));
    f->GetOptions();
    QVERIFY(f->cmdTestSound->isEnabled());
}

void tst_Options::pages_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("page");  // -1: none
    QTest::newRow("General") << "General" << "General" << 0;
    QTest::newRow("Events") << "Events" << "Events" << 1;
    QTest::newRow("View") << "View" << "View" << 2;
    QTest::newRow("ID3 Tags") << "ID3 Tags" << "Default ID3 Tags" << 3;
    QTest::newRow("Advanced") << "Advanced" << "Advanced" << 4;
}

void tst_Options::pages()
{
    QFETCH(QString, key);
    QFETCH(QString, title);
    QFETCH(int, page);
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    cTreeItems nodes = f->cTreeView1->Nodes();
    QCOMPARE(nodes.Count(), 5);
    QStringList texts;
    for (int i = 1; i <= 5; ++i)
        texts << nodes.Item(i)->Text();
    QCOMPARE(texts, (QStringList{"General", "Events", "View", "Default ID3 Tags", "Advanced"}));

    cTreeItem* node = nodes.Item(key);
    QVERIFY(node);
    f->cTreeView1_NodeClick(node);
    const QList<QFrame*> frames{f->froGeneral, f->froEvents, f->froView, f->froTags, f->froAdvanced};
    QCOMPARE(visiblePage(f), frames[page]);
    QCOMPARE(f->lblTitle->text(), title);
    QCOMPARE(f->cTreeView1->SelectedItem(), node);
    // Every page stands where the first does, as tall as the tree.
    for (QFrame* p : frames) {
        QCOMPARE(p->x(), f->cTreeView1->geometry().right() + 1 + TwipsToPixels(200));
        QCOMPARE(p->y(), f->froGeneral->y());
        QCOMPARE(p->width(), f->froGeneral->width());
    }
    QCOMPARE(f->froAdvanced->height(), f->cTreeView1->height());

    // "More advanced options..." goes to the Advanced page in place.
    f->lblMoreAdvancedOptions_Click();
    QCOMPARE(visiblePage(f), f->froAdvanced);
    QCOMPARE(f->lblTitle->text(), QStringLiteral("Advanced"));
}

void tst_Options::openedOnAPage_data()
{
    pages_data();
}

void tst_Options::openedOnAPage()
{
    QFETCH(QString, key);
    QFETCH(QString, title);
    QFETCH(int, page);
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    QFrame* seen = nullptr;
    QString seenTitle;
    platform.modal().handlers.enqueue([&](VForm* w) {
        QCOMPARE(w, f);
        seen = visiblePage(f);
        seenTitle = f->lblTitle->text();
        f->cmdCancel_Click();
    });
    ShowOptionsPage(key);
    const QList<QFrame*> frames{f->froGeneral, f->froEvents, f->froView, f->froTags, f->froAdvanced};
    QCOMPARE(seen, frames[page]);
    QCOMPARE(seenTitle, title);
    QCOMPARE(platform.modal().shown, QStringList{"frmOptions"});
}

void tst_Options::soundPickAndTest()
{
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    const QString bell = platform.home() + QStringLiteral("/media/bell.wav");
    platform.dialogs().openAnswers.enqueue({bell});
    f->cmdAddSound_Click();
    QCOMPARE(f->txtPlayAtEnd->text(), QStringLiteral("bell.wav"));
    QCOMPARE(f->txtPlayAtEnd->Tag, bell);
    QCOMPARE(f->txtPlayAtEnd->toolTip(), bell);
    QCOMPARE(platform.dialogs().openRequests.last().title, QStringLiteral("Select files"));
    QVERIFY(g_sPlayAtEnd != bell);  // only OK stores it

    f->cmdTestSound_Click();
    QCOMPARE(platform.sound().played, QStringList{bell});  // the tag, not the box's text

    // A cancelled pick changes nothing.
    f->cmdAddSound_Click();
    QCOMPARE(f->txtPlayAtEnd->Tag, bell);
}

void tst_Options::externalProgramTest()
{
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    f->txtAppNotice->setPlainText(QStringLiteral("\"/opt/my tools/notify\" --file [FILE_RECORDED] ; rm -rf x"));
    f->cmdTestApp_Click();
    QCOMPARE(platform.shell().started.size(), 1);
    // Started as typed, placeholders unexpanded, and never through a shell.
    QCOMPARE(platform.shell().started[0].program, QStringLiteral("/opt/my tools/notify"));
    QCOMPARE(platform.shell().started[0].arguments,
             (QStringList{"--file", "[FILE_RECORDED]", ";", "rm", "-rf", "x"}));
    f->txtAppNotice->setPlainText(QString());
    f->cmdTestApp_Click();
    QCOMPARE(platform.shell().started.size(), 1);
}

void tst_Options::folderPick()
{
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    const QString before = f->txtToPath->currentText();
    f->cmdSelectPath_Click();  // cancelled
    QCOMPARE(f->txtToPath->currentText(), before);
    platform.dialogs().folderAnswers.enqueue(platform.home() + QStringLiteral("/Lists"));
    f->cmdSelectPath_Click();
    QCOMPARE(platform.dialogs().folderPrompts.last(), QStringLiteral("Select a new directory"));
    QCOMPARE(f->txtToPath->currentText(), platform.home() + QStringLiteral("/Lists/"));
    QCOMPARE(ReadTextFile(PathHistoryFile()).split(QStringLiteral("\r\n")).first(),
             platform.home() + QStringLiteral("/Lists/"));
    QCOMPARE(g_sToPath, before);  // only OK changes the lists folder
}

void tst_Options::openOrCreateListsFolder_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No") << int(vbNo);
    QTest::newRow("Yes") << int(vbYes);
}

void tst_Options::openOrCreateListsFolder()
{
    QFETCH(int, answer);
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    const QString folder = platform.home() + QStringLiteral("/New");
    f->txtToPath->setEditText(folder);
    platform.messages().answers.enqueue(answer);
    f->lblOpenDestinationDestinationFolder_Click();
    QCOMPARE(f->txtToPath->currentText(), folder + u'/');
    QCOMPARE(platform.messages().shown.size(), 1);
    QCOMPARE(platform.messages().shown[0].prompt,
             QStringLiteral("The folder ") + folder + QStringLiteral("/ does not exist.") + QString(44, u' ')
                 + QStringLiteral("\r\n\r\nWould you like to create it?"));
    QCOMPARE(platform.messages().shown[0].buttons, vbYesNo + vbInformation);
    QCOMPARE(platform.messages().shown[0].title, QStringLiteral("Velmaro 1.2"));
    if (answer == vbNo) {
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(platform.shell().opened.isEmpty());
    } else {
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(platform.shell().opened, QStringList{folder + u'/'});
        QCOMPARE(ReadTextFile(PathHistoryFile()).split(QStringLiteral("\r\n")).first(), folder + u'/');
        // An existing folder opens without a question.
        f->lblOpenDestinationDestinationFolder_Click();
        QCOMPARE(platform.messages().shown.size(), 1);
        QCOMPARE(platform.shell().opened.size(), 2);
    }
}

void tst_Options::colourPickers()
{
    TestPlatform platform;
    frmMain* main = Forms::Get<frmMain>();
    frmOptions* f = Forms::Get<frmOptions>();
    const qint32 storedAppColour = g_lAppColor;
    f->picTextColor->SetBackColor(0x00FF00);
    platform.dialogs().colourAnswers.enqueue(QColor(0x11, 0x22, 0x33));
    f->picColor_Click();
    QCOMPARE(f->picColor->BackColor(), 0x332211);
    QCOMPARE(BackColorOf(f->picTitle), 0x332211);
    QCOMPARE(BackColorOf(main->picTitle), 0x332211);  // the main window follows at once
    QCOMPARE(TestFiles::StoredText("Display", "picColor"), QString::number(0x332211));

    platform.dialogs().colourAnswers.enqueue(QColor(0xFF, 0, 0));
    f->picTextColor_Click();
    QCOMPARE(f->picTextColor->BackColor(), 0x0000FF);
    QCOMPARE(TestFiles::StoredText("Display", "picTextColor"), QString::number(0x00FF00));  // the colour it replaced
    QCOMPARE(main->lblTitle->property("velmaroForeColor").toInt(), 0x0000FF);
    QCOMPARE(g_lAppColor, storedAppColour);  // only OK changes the globals

    // Cancelled picks change nothing; Cancel brings the swatches back from the store.
    f->picColor_Click();
    QCOMPARE(f->picColor->BackColor(), 0x332211);
    f->cmdCancel_Click();
    QCOMPARE(f->picColor->BackColor(), storedAppColour);
    QCOMPARE(BackColorOf(main->picTitle), 0x332211);
}

void tst_Options::setAsDefault()
{
    TestPlatform platform;
    frmOptions* f = Forms::Get<frmOptions>();
    SetDefaultTargetFormat(QStringLiteral("WMA - Windows Media Audio files (*.wma)"));
    QCOMPARE(g_sTargetFormat, QStringLiteral("WMA - Windows Media Audio files (*.wma)"));
    QCOMPARE(f->cboTargetFormat->currentText(), g_sTargetFormat);
    QCOMPARE(TestFiles::StoredText("General", "cboTargetFormat"), g_sTargetFormat);
    SetDefaultFileNameFormat(QStringLiteral("[123].[dest_extension]"));
    QCOMPARE(g_sFileNameFormat, QStringLiteral("[123].[dest_extension]"));
    QCOMPARE(f->cboFileName->currentText(), g_sFileNameFormat);
    QCOMPARE(TestFiles::StoredText("General", "cboFileName"), g_sFileNameFormat);
    // And a restart keeps them.
    restart();
    QCOMPARE(g_sTargetFormat, QStringLiteral("WMA - Windows Media Audio files (*.wma)"));
    QCOMPARE(g_sFileNameFormat, QStringLiteral("[123].[dest_extension]"));
}

void tst_Options::placeholderReference_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QStringList>("placeholders");
    QTest::newRow("external application")
        << 0 << QStringList{"[PROG_NAME]", "[PROG_VERSION]", "[FILE_RECORDED]", "[FILE_SIZE]", "[FILE_TIME_LENGTH]",
                            "[FILE_CREATED]"};
    QTest::newRow("tags") << 1
                          << QStringList{"[PROG_NAME]", "[PROG_VERSION]", "[DATE]", "[TIME]", "[TRACK_NUM]", "[YEAR]",
                                         "[SOURCE_NAME]", "[ITEM_NAME]", "[RANGE]"};
    QTest::newRow("file names") << 2
                                << QStringList{"[file_name]", "[date]", "[time]", "[123]", "[source_extension]",
                                               "[dest_extension]", "[item_name]"};
}

void tst_Options::placeholderReference()
{
    QFETCH(int, section);
    QFETCH(QStringList, placeholders);
    TestPlatform platform;
    frmOptions* options = Forms::Get<frmOptions>();
    g_lAppColor = 0x0000FF;  // as the last OK of the options window left it
    QStringList visible;
    QString listText;
    bool readOnly = true;
    platform.modal().handlers.enqueue([&](VForm* w) {
        auto* p = qobject_cast<frmProgParameters*>(w);
        QVERIFY(p);
        listText = p->cboSections->currentText();
        for (QLineEdit* box : p->txtParameter)
            if (box->isVisibleTo(p)) {
                visible << box->text();
                readOnly = readOnly && box->isReadOnly();
            }
        QCOMPARE(p->fraAppNotic->y(), p->cboSections->geometry().bottom() + 1 + TwipsToPixels(50));
        QCOMPARE(BackColorOf(p->picTitle), 0x0000FF);
        p->cmdOk_Click();
    });
    const std::function<void()> links[] = {[&] { options->lblNoticParameters_Click(); },
                                            [&] { options->lblID3TagParameters_Click(); },
                                            [&] { options->lblParameters_Click(); }};
    links[section]();
    QCOMPARE(visible, placeholders);
    QVERIFY(readOnly);
    QCOMPARE(listText, (QStringList{"Execute external application", "ID3 Audio Tags", "File Name Format"}[section]));
    QVERIFY(!Forms::IsLoaded<frmProgParameters>());  // OK unloads it

    // Choosing another section in the list shows its placeholders instead.
    frmProgParameters* p = g_frmProgParameters();
    p->cboSections->setCurrentIndex((section + 1) % 3);
    QCOMPARE(p->fraAppNotic->isHidden(), (section + 1) % 3 != 0);
    QCOMPARE(p->fraID3Tags->isHidden(), (section + 1) % 3 != 1);
    QCOMPARE(p->fraExt->isHidden(), (section + 1) % 3 != 2);
}

QTEST_MAIN(tst_Options)
#include "tst_options.moc"
