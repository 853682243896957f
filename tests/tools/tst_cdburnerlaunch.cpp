// Launching the audio CD burner from the main window (a profile that offers it): from its
// menu item, its key and its tools-bar button the burner window opens with the marked rows,
// their count and playing time against an audio CD's 80 minutes, and the drive poll held.
#include "common/mdlModes.h"
#include "components/cProgressBar/cProgressBar.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cToolbar/cToolbar.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/FakeAudioBurner.h"
#include "tools/disc/frmCDBurner.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>

using namespace ListsTest;

namespace {

// Runs "Audio CD Maker" as the user does.
void launch(frmMain* m, const QString& how)
{
    const QString key = QStringLiteral("Audio CD Maker");
    if (how == QLatin1String("menu item")) {
        QMenu* popup = m->m_cMenu->BuildPopup(m->m_cMenu->IndexForKey(key));
        for (QAction* a : popup->actions())
            if (a->text() == key) {
                a->trigger();
                return;
            }
        QFAIL("no menu item \"Audio CD Maker\"");
    } else if (how == QLatin1String("key")) {
        m->RunCommand(key);
    } else {
        m->tlbrRecorder->ButtonClick(m->tlbrRecorder->ButtonIndex(key));
    }
}

struct Shown {
    QString files, panel, dataSize;
    int min = -1, max = -1, value = -1, colour = -1;
    bool bold = false;
    QStringList grid;
    bool polling = true;
};

} // namespace

class tst_cdburnerlaunch : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { lAppIncAudioBurner = 0; }
    void opensWithTheMarkedRows_data();
    void opensWithTheMarkedRows();
    void playingTimeAgainst80Minutes_data();
    void playingTimeAgainst80Minutes();
    void nothingMarked();
};

void tst_cdburnerlaunch::opensWithTheMarkedRows_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu item") << "menu item";
    QTest::newRow("key") << "key";
    QTest::newRow("tools-bar button") << "tools-bar button";
}

void tst_cdburnerlaunch::opensWithTheMarkedRows()
{
    QFETCH(QString, how);
    Fixture f;
    FakeAudioBurnerFactory burners;
    lAppIncAudioBurner = 1;  // a profile that offers the burner
    f.addAudio("a.wav", 100, 1000000);
    f.addAudio("b.mp3", 100, 1200000);
    f.addAudio("c.flac", 100, 800000);
    f.addList("Songs", {"a.wav*", "x.wav", "b.mp3*", "c.flac*"});
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "Songs"));
    m->tmrCDs.start();
    Shown s;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDBurner*>(form);
        QVERIFY(w);
        s.files = w->lblFilesToConvert->text();
        s.panel = w->cStatusBar1->PanelText(QStringLiteral("Total Size"));
        s.dataSize = w->lblDataSize->text();
        s.min = w->prgSize->Min();
        s.max = w->prgSize->Max();
        s.value = w->prgSize->Value();
        s.bold = w->lblDataSize->font().bold();
        for (qint32 r = 1; r <= w->cGrid1->Rows(); ++r)
            s.grid << RowText(w->cGrid1, r, QStringLiteral("Item Name"));
        s.polling = m->tmrCDs.isActive();
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Time")), QString());
        QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
        w->cmdExit_Click();
    });
    launch(m, how);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmCDBurner"});
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
    // 1000 + 1200 + 800 seconds are 50 minutes.
    QCOMPARE(s.files, QStringLiteral("3 items to burn (50 minutes)."));
    QCOMPARE(s.panel, QStringLiteral("50 Min / 80 Min."));
    QCOMPARE(s.dataSize, QStringLiteral("Data Size: 3 files, 50 Min / 80 Min."));
    QCOMPARE(s.min, 0);
    QCOMPARE(s.max, 83);
    QCOMPARE(s.value, 50);
    QVERIFY(!s.bold);
    QCOMPARE(s.grid, (QStringList{"a.wav", "b.mp3", "c.flac"}));
    QVERIFY(!s.polling);
    QVERIFY(f.platform.messages().shown.isEmpty());
}

void tst_cdburnerlaunch::playingTimeAgainst80Minutes_data()
{
    QTest::addColumn<QList<int>>("seconds");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("over");
    QTest::newRow("90 s to the even 2") << QList<int>{90} << 2 << false;
    QTest::newRow("150 s to the even 2") << QList<int>{150} << 2 << false;
    QTest::newRow("210 s to the even 4") << QList<int>{100, 110} << 4 << false;
    QTest::newRow("exactly 80:00") << QList<int>{2400, 2400} << 80 << false;
    QTest::newRow("80:01") << QList<int>{2400, 2401} << 80 << true;
    QTest::newRow("90 minutes, past the bar's end") << QList<int>{5400} << 90 << true;
}

// The exact playing time decides the warning; the shown minutes are rounded half to even.
void tst_cdburnerlaunch::playingTimeAgainst80Minutes()
{
    QFETCH(QList<int>, seconds);
    QFETCH(int, minutes);
    QFETCH(bool, over);
    Fixture f;
    FakeAudioBurnerFactory burners;
    lAppIncAudioBurner = 1;  // a profile that offers the burner
    QStringList names;
    for (int i = 0; i < seconds.size(); ++i) {
        names << QStringLiteral("t%1.wav*").arg(i);
        f.addAudio(QStringLiteral("t%1.wav").arg(i), 100, seconds[i] * 1000);
    }
    f.addList("Songs", names);
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "Songs"));
    Shown s;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDBurner*>(form);
        s.files = w->lblFilesToConvert->text();
        s.panel = w->cStatusBar1->PanelText(QStringLiteral("Total Size"));
        s.dataSize = w->lblDataSize->text();
        s.value = w->prgSize->Value();
        s.colour = w->prgSize->BarOption6();
        s.bold = w->lblDataSize->font().bold();
        w->cmdExit_Click();
    });
    command(m, "Audio CD Maker");
    const int n = int(seconds.size());
    QCOMPARE(s.files, QStringLiteral("%1 items to burn (%2 minutes).").arg(n).arg(minutes));
    QCOMPARE(s.panel, QStringLiteral("%1 Min / 80 Min.").arg(minutes));
    QCOMPARE(s.value, minutes);
    if (over) {
        QCOMPARE(s.dataSize, QStringLiteral("Data is to big (more then 80 min). Please remove some tracks."));
        QVERIFY(s.bold);
        QCOMPARE(s.colour, 255);
    } else {
        QCOMPARE(s.dataSize, QStringLiteral("Data Size: %1 files, %2 Min / 80 Min.").arg(n).arg(minutes));
        QVERIFY(!s.bold);
        QVERIFY(s.colour != 255);
    }
}

void tst_cdburnerlaunch::nothingMarked()
{
    Fixture f;
    FakeAudioBurnerFactory burners;
    lAppIncAudioBurner = 1;  // a profile that offers the burner
    f.addList("Songs", {"a.wav", "b.wav"});
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "Songs"));
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio CD Maker");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, QStringLiteral("Mark the items to burn.") + QString(29, u' '));
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
}

QTEST_MAIN(tst_cdburnerlaunch)
#include "tst_cdburnerlaunch.moc"
