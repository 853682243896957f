// The main window's modes (transparent, on top, minimised, in the tray), the tray icon's
// clicks, and the texts it makes for other windows: the external program's command line
// and the name of a new audio file.
#include "tests/lists/ListsFixture.h"
#include "tests/mainwindow/MainWindowFixture.h"

#include "common/mdlWindowHelpers.h"
#include "components/cSysTray/cSysTray.h"
#include "platform/Forms.h"
#include "platform/MessageService.h"
#include "tests/support/FakeOrvelle.h"
#include "tools/recording/frmOrvelle.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTest>

using namespace ListsTest;
using namespace MainWindowTest;

namespace {

bool menuChecked(frmMain* m, const char* key)
{
    return m->m_cMenu->ItemChecked(m->m_cMenu->IndexForKey(QLatin1String(key)));
}

QString trayCaption(frmMain* m)
{
    return m->m_cMenu->ItemCaption(m->m_cMenu->IndexForKey(QStringLiteral("RC Open")));
}

} // namespace

class tst_WindowModes : public QObject
{
    Q_OBJECT
private slots:
    void init() { cSysTray::OverrideAvailable(std::nullopt); }
    void cleanup() { cSysTray::OverrideAvailable(std::nullopt); }
    void transparent();
    void onTop();
    void otherWindowsEndOnTopButKeepTheMark();
    void minimizeAndTray();
    void doubleClickTogglesOnce();
    void withoutATrayTheWindowStaysReachable();
    void noticeCommandLine_data();
    void noticeCommandLine();
    void newFileName_data();
    void newFileName();
};

void tst_WindowModes::transparent()
{
    Fixture f;
    frmMain* m = f.start();
    run(m, "Transparent");
    QVERIFY(IsLayered(m));
    QCOMPARE(WindowAlpha(m), 90);
    QVERIFY(menuChecked(m, "Transparent"));
    // Twice: opaque again, without the mark.
    run(m, "Transparent");
    QVERIFY(!IsLayered(m));
    QVERIFY(!menuChecked(m, "Transparent"));
}

void tst_WindowModes::onTop()
{
    Fixture f;
    frmMain* m = f.start();
    run(m, "On Top");
    QVERIFY(FormOnTopFlag());
    QVERIFY(menuChecked(m, "On Top"));
    // Set on top twice: still on top and ticked; the command then toggles it off.
    m->SetOnTop(true);
    QVERIFY(FormOnTopFlag());
    QVERIFY(menuChecked(m, "On Top"));
    run(m, "On Top");
    QVERIFY(!FormOnTopFlag());
    QVERIFY(!menuChecked(m, "On Top"));
}

void tst_WindowModes::otherWindowsEndOnTopButKeepTheMark()
{
    Fixture f;
    frmMain* m = f.start();
    run(m, "On Top");
    run(m, "Notes");
    QVERIFY(!FormOnTopFlag());
    QVERIFY(menuChecked(m, "On Top"));
    // The mark still says which way the next toggle goes.
    run(m, "On Top");
    QVERIFY(!FormOnTopFlag());
    QVERIFY(!menuChecked(m, "On Top"));
}

void tst_WindowModes::minimizeAndTray()
{
    Fixture f;
    cSysTray::OverrideAvailable(true);
    frmMain* m = f.start();
    m->Show();
    run(m, "Minimize");
    QCOMPARE(m->WindowState(), vbMinimized);
    QVERIFY(m->isVisible());
    m->SetWindowState(vbNormal);

    // "Go to SysTray" hides the window in the tray; the tray menu's "Show" brings it back.
    QCOMPARE(trayCaption(m), QStringLiteral("Hide"));
    run(m, "GoSysTray");
    QVERIFY(!m->isVisible());
    QVERIFY(m->InTray());
    QCOMPARE(trayCaption(m), QStringLiteral("Show"));
    run(m, "RC Open");
    QVERIFY(m->isVisible());
    QCOMPARE(m->WindowState(), vbNormal);
    QCOMPARE(trayCaption(m), QStringLiteral("Hide"));
}

void tst_WindowModes::doubleClickTogglesOnce()
{
    Fixture f;
    cSysTray::OverrideAvailable(true);
    frmMain* m = f.start();
    m->Show();
    // A double-click arrives as a click followed by the double-click itself.
    m->cSysTray1->IconActivated(QSystemTrayIcon::Trigger);
    m->cSysTray1->IconActivated(QSystemTrayIcon::DoubleClick);
    QVERIFY(!m->isVisible());
    QVERIFY(m->InTray());
    m->cSysTray1->IconActivated(QSystemTrayIcon::Trigger);
    m->cSysTray1->IconActivated(QSystemTrayIcon::DoubleClick);
    QVERIFY(m->isVisible());
    QVERIFY(!m->InTray());
    QCOMPARE(trayCaption(m), QStringLiteral("Hide"));
}

void tst_WindowModes::withoutATrayTheWindowStaysReachable()
{
    Fixture f;
    cSysTray::OverrideAvailable(false);
    frmMain* m = f.start();
    m->Show();
    run(m, "GoSysTray");
    QCOMPARE(m->WindowState(), vbMinimized);
    QVERIFY(m->isVisible());  // on the taskbar
    // The icon is still asked for, so a tray that appears later shows it.
    QVERIFY(m->cSysTray1->IconShown());
    QCOMPARE(m->cSysTray1->ToolTipText(), QStringLiteral("Velmaro 1.2"));
}

void tst_WindowModes::noticeCommandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("rows");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("command");
    const QString name = "my song; $(touch x) 'q'.wav";
    QTest::newRow("no placeholders") << "notify-send done" << true << "notify-send done"
                                     << QStringList{"notify-send", "done"};
    QTest::newRow("program name and version") << "echo [PROG_NAME] [PROG_VERSION]" << true << "echo Velmaro 1.2"
                                              << QStringList{"echo", "Velmaro", "1.2"};
    QTest::newRow("the last row, twice") << "cp \"[FILE_RECORDED]\" \"/tmp/[FILE_RECORDED]\"" << true
                                         << "cp \"" + name + "\" \"/tmp/" + name + "\""
                                         << QStringList{"cp", name, "/tmp/" + name};
    QTest::newRow("size and length") << "log [FILE_SIZE] [FILE_TIME_LENGTH]" << true << "log 100 bytes 00:00:02"
                                     << QStringList{"log", "100 bytes", "00:00:02"};
    QTest::newRow("an empty list keeps the file placeholders")
        << "log [FILE_RECORDED] [FILE_CREATED] [PROG_NAME]" << false << "log [FILE_RECORDED] [FILE_CREATED] Velmaro"
        << QStringList{"log", "[FILE_RECORDED]", "[FILE_CREATED]", "Velmaro"};
    QTest::newRow("case matters") << "x [file_recorded]" << true << "x [file_recorded]"
                                  << QStringList{"x", "[file_recorded]"};
}

void tst_WindowModes::noticeCommandLine()
{
    QFETCH(QString, line);
    QFETCH(bool, rows);
    QFETCH(QString, text);
    QFETCH(QStringList, command);
    Fixture f;
    if (rows) {
        f.addAudio("first.wav");
        f.addAudio("my song; $(touch x) 'q'.wav", 100, 2000);
        f.addList("Songs", {"first.wav", "my song; $(touch x) 'q'.wav"});
    } else {
        f.addList("Songs", {});
    }
    frmMain* m = f.start();
    g_sAppNotice = line;
    QCOMPARE(m->GetNoticAppParameters(), text);
    // Each argument is expanded on its own: a name with blanks, quotes or shell characters
    // stays one argument.
    QCOMPARE(m->GetNoticAppCommand(), command);
    QCOMPARE(g_MainHost()->GetNoticAppCommand(), command);
}

void tst_WindowModes::newFileName_data()
{
    QTest::addColumn<QString>("format");  // "" : the text-to-speech window is not open
    QTest::addColumn<QString>("ext");
    QTest::newRow("WAV") << "WAV - Waveform Audio Format (*.wav)" << "wav";
    QTest::newRow("ACM") << "ACM - Waveform ACM Codecs (*.wav)" << "wav";
    QTest::newRow("MP3") << "MP3 - MPEG-1 Audio Layer 3 (*.mp3)" << "mp3";
    QTest::newRow("WMA") << "WMA - Windows Media Audio files (*.wma)" << "wma";
    QTest::newRow("OGG, small letters") << "ogg" << "ogg";
    QTest::newRow("APE") << "APE" << "ape";
    QTest::newRow("unknown") << "FLAC" << "";
    QTest::newRow("window not open") << "" << "";
}

void tst_WindowModes::newFileName()
{
    QFETCH(QString, format);
    QFETCH(QString, ext);
    Fixture f;
    FakeOrvelleFactory speech;
    frmMain* m = f.start();
    if (!format.isEmpty()) {
        // The text-to-speech window's list, with a text it does not offer added.
        QComboBox* list = g_frmOrvelle()->cboTargetFormat;
        if (list->findText(format, Qt::MatchStartsWith) < 0)
            list->addItem(format);
        list->setCurrentIndex(list->findText(format, Qt::MatchStartsWith));
    }
    QCOMPARE(m->GetExt(), ext);
    const QString name = m->CreateFileName(QStringLiteral("ignored"));
    // Time, "_", the short date and the extension, with every awkward character a "-".
    QVERIFY2(QRegularExpression("^\\d\\d-\\d\\d-\\d\\d_[^:/ ]+\\." + QRegularExpression::escape(ext) + "$")
                 .match(name)
                 .hasMatch(),
             qPrintable(name));
    Forms::DestroyAll();
}

QTEST_MAIN(tst_WindowModes)
#include "tst_windowmodes.moc"
