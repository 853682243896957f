// The main window's commands that open the shared windows: the options pages, the notes,
// the About box and "Save As" with its copy window.
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

#include <QFile>
#include <QLabel>
#include <QTest>

namespace {

// A list "Songs" with one item whose file is a short WAV called song.a.wav.
QString writeList(TestPlatform& platform)
{
    const QString wav = platform.path(QStringLiteral("song.a.wav"));
    AudioFixtures::writeWav(wav, 8000, 1, 16, AudioFixtures::sine(800, 1, 8000, 440));
    const QString record = QStringLiteral("<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>song.a.wav</Item Name>"
                                          "<COL_FILE>")
        + wav + QStringLiteral("</COL_FILE><COL_RANGE_ALL>1</COL_RANGE_ALL></ITEM>\n");
    QFile list(platform.path(QStringLiteral("Main/Songs.flst")));
    list.open(QIODevice::WriteOnly);
    list.write(record.toUtf8());
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

QTEST_MAIN(tst_MainCommands)
#include "tst_maincommands.moc"
