// The program run after a job, as each item tool opened from the main window starts it:
// the command line of the options is split into the program and its arguments first, and
// each argument is filled in from the main window's last row afterwards, so an item whose
// name has blanks or quotes reaches the program as one argument.
#include "common/mdlModes.h"
#include "components/cSysTray/cSysTray.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"
#include "tests/lists/ListsFixture.h"
#include "tools/converters/frmJoiner.h"
#include "tools/frame/ToolWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ListsTest;

class tst_noticeapp : public QObject
{
    Q_OBJECT
private slots:
    void argumentsStayWhole_data();
    void argumentsStayWhole();
};

void tst_noticeapp::argumentsStayWhole_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("item");  // the name of the last row, and of its file
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    for (const char* tool : {"Audio Converter", "ACM Converter", "Audio Splitter", "Audio Joiner"}) {
        QTest::addRow("%s, a name with blanks", tool)
            << tool << "my song.wav" << "notify-me [FILE_RECORDED] --done" << "notify-me"
            << QStringList{"my song.wav", "--done"};
        QTest::addRow("%s, quotes in the name within a quoted argument", tool)
            << tool << "say \"hi\" 'now'.wav" << "\"/opt/my tools/notify\" \"Done: [FILE_RECORDED]\" [PROG_NAME]"
            << "/opt/my tools/notify" << QStringList{"Done: say \"hi\" 'now'.wav", "Velmaro"};
    }
}

void tst_noticeapp::argumentsStayWhole()
{
    QFETCH(QString, tool);
    QFETCH(QString, item);
    QFETCH(QString, commandLine);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    Fixture f;
    lAppIncJoin = 1;  // the joiner opens from the main window
    f.fakes.setupConverter = [&f](FakeAudioConverter* c) {
        c->files = f.audio;
        c->autoFinish = FakeAutoFinish::Done;
    };
    f.fakes.setupJoin = [](FakeAudioJoin* j) { j->autoFinish = FakeAutoFinish::Done; };
    f.addAudio("first.wav", 1000, 20000);
    f.addAudio(item, 1000, 20000);
    f.addList("Songs", {"first.wav*", item + u'*'});
    frmMain* m = f.start();
    // The splitter splits the current row.
    m->cGrid1->SetCurrentRow(2);
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<ToolWindow*>(form);
        QVERIFY(w);
        w->txtToPath->setEditText(f.platform.path("out/"));
        SelectListText(w->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
        if (auto* joiner = qobject_cast<frmJoiner*>(w))
            joiner->txtJoinedFileName->setText(QStringLiteral("all.[dest_extension]"));
        // Set once the windows are loaded: the options window reads it from the settings
        // when it loads.
        g_sAppNotice = commandLine;
        w->chkNoticeApp->SetValue(1);
        w->cmdConvert->click();
        // The job has ended when its balloon is shown.
        QTRY_COMPARE(m->cSysTray1->Balloons().size(), 1);
        QCOMPARE(m->cSysTray1->Balloons()[0].message, QStringLiteral("Done."));
        w->cmdExit_Click();
    });
    command(m, qPrintable(tool));
    QCOMPARE(f.platform.modal().shown.size(), 1);
    QCOMPARE(f.platform.shell().started.size(), 1);
    QCOMPARE(f.platform.shell().started[0].program, program);
    QCOMPARE(f.platform.shell().started[0].arguments, arguments);
}

QTEST_MAIN(tst_noticeapp)
#include "tst_noticeapp.moc"
