// The main window's preview player over a scripted player: playing the current row, the
// display while it plays and after it ends, pause and resume, "Play" during a play, the
// slider's thumb, missing files and play errors, going on with the next marked row, and
// the stop before a command that must not start another row.
#include "components/cAudioGraph/cAudioGraph.h"
#include "components/cGrid/cGrid.h"
#include "components/cSlider/cSlider.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "tests/lists/ListsFixture.h"
#include "tools/splitter/frmSplitter.h"

#include <QLabel>
#include <QTest>

#include <cmath>

using namespace ListsTest;

namespace {

void click(frmMain* m, const char* key)
{
    m->tlbrPlayButtons_ButtonClick(m->tlbrPlayButtons->ButtonIndex(QString::fromLatin1(key)));
}

// Lets the player's queued end-of-play event arrive.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

bool rowBold(frmMain* m, qint32 row)
{
    for (qint32 c = 1; c <= m->cGrid1->Columns(); ++c)
        if (!m->cGrid1->CellFont(row, c).bold())
            return false;
    return true;
}

bool anyBold(frmMain* m)
{
    for (qint32 r = 1; r <= m->cGrid1->Rows(); ++r)
        for (qint32 c = 1; c <= m->cGrid1->Columns(); ++c)
            if (m->cGrid1->CellFont(r, c).bold())
                return true;
    return false;
}

QString mainPanel(frmMain* m)
{
    return m->cStatusBar1->PanelText(QStringLiteral("Main"));
}

qint32 mainImage(frmMain* m)
{
    return m->cStatusBar1->PanelImageOf(QStringLiteral("Main"));
}

// A list "Songs" of rows named 1.wav, 2.wav, ... with the given marks (1 = marked), each
// file `seconds` long; the main window started on it.
frmMain* startOn(Fixture& f, const QList<int>& marks, double seconds = 100)
{
    QString text;
    for (int i = 0; i < marks.size(); ++i) {
        const QString name = QStringLiteral("%1.wav").arg(i + 1);
        const QString path = f.addAudio(name, 100, qint32(seconds * 1000));
        f.played[path].length = seconds;
        text += record(QString::number(marks[i]), name, path);
    }
    f.addListText(QStringLiteral("Songs"), text);
    return f.start();
}

} // namespace

class tst_preview : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void playsTheCurrentRow();
    void lengthOnTheSlider_data();
    void lengthOnTheSlider();
    void timersShowWhatThePlayerReports();
    void pauseAndResume();
    void playDuringAPlayRestartsOnTheCurrentRow();
    void stopThenEndResetsTheDisplay();
    void stopWhilePausedResumesFirst();
    void thumbSeeks();
    void missingFileReloadsTheList();
    void playErrorLeavesTheDisplay();
    void emptyListPlaysNothing();
    void goesOnWithTheNextMarkedRow_data();
    void goesOnWithTheNextMarkedRow();
    void commandStopsWithoutGoingOn_data();
    void commandStopsWithoutGoingOn();
    void endUnboldsTheWholeGrid();
};

void tst_preview::init()
{
    g_bGoToNextItem = false;
    g_lDeviceIndex = 3;
}

void tst_preview::playsTheCurrentRow()
{
    Fixture f;
    frmMain* m = startOn(f, {0, 0}, 2.5);
    m->cGrid1->SetCurrentRow(2);
    click(m, "Play");
    FakePlayer* p = f.player();
    QCOMPARE(p->plays.size(), 1);
    QCOMPARE(p->plays[0].first, f.platform.path("audio/2.wav"));
    QCOMPARE(p->plays[0].second, 3);
    QCOMPARE(mainPanel(m), QStringLiteral("Playing"));
    QCOMPARE(mainImage(m), 38);
    QCOMPARE(m->cSlider1->Max(), 2);
    QCOMPARE(m->lbTotalLengthSec->text(), QStringLiteral("0:00:02"));
    QVERIFY(m->tmSlider.isActive());
    QVERIFY(m->tmrAudioData.isActive());
    QVERIFY(rowBold(m, 2));
    QVERIFY(!m->cGrid1->CellFont(1, 1).bold());
    cTreeItem* node = m->cTreeView1->SelectedItem();
    QVERIFY(node);
    QCOMPARE(m->PlayingNode(), node);
    QVERIFY(node->ItemFlag25());
}

void tst_preview::lengthOnTheSlider_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("label");
    QTest::newRow("under half a second") << 0.4 << 1 << "0:00:00";
    QTest::newRow("rounds up to 1") << 0.6 << 1 << "0:00:01";
    QTest::newRow("half to even, down") << 2.5 << 2 << "0:00:02";
    QTest::newRow("half to even, up") << 3.5 << 4 << "0:00:04";
    QTest::newRow("over an hour") << 3725.2 << 3725 << "1:02:05";
}

void tst_preview::lengthOnTheSlider()
{
    QFETCH(double, seconds);
    QFETCH(int, max);
    QFETCH(QString, label);
    Fixture f;
    frmMain* m = startOn(f, {0}, seconds);
    click(m, "Play");
    QCOMPARE(m->cSlider1->Max(), max);
    QCOMPARE(m->lbTotalLengthSec->text(), label);
}

void tst_preview::timersShowWhatThePlayerReports()
{
    Fixture f;
    frmMain* m = startOn(f, {0});
    FakePlayer* p = f.player();
    // Nothing plays: the graphs get nothing.
    p->audioData.SampleRate = 8000;
    p->audioData.Left = p->audioData.Right = QVector<float>(1024, 0.5f);
    m->tmrAudioData_Timer();
    QVERIFY(m->cAudioGraphAmp->IsEmpty());
    click(m, "Play");
    p->position = 42;
    m->tmSlider_Timer();
    QCOMPARE(m->cSlider1->Value(), 42);
    QCOMPARE(m->lblCurrentPositionSec->text(), QStringLiteral("0:00:42"));
    m->tmrAudioData_Timer();
    QCOMPARE(m->cAudioGraphAmp->LevelLeft(), 0.5f);
    QCOMPARE(m->cAudioGraphFreq->Spectrum().Level.size(), cAudioGraph::kBands);
}

void tst_preview::pauseAndResume()
{
    Fixture f;
    frmMain* m = startOn(f, {0});
    FakePlayer* p = f.player();
    // "Pause" with nothing playing springs back up.
    m->tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), true);
    click(m, "Pause");
    QVERIFY(!m->tlbrPlayButtons->ButtonChecked(QStringLiteral("Pause")));
    QVERIFY(p->calls.isEmpty());

    click(m, "Play");
    m->tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), true);  // the click puts it down
    click(m, "Pause");
    QVERIFY(p->IsPaused());
    m->tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), false);
    click(m, "Pause");
    QVERIFY(!p->IsPaused());
    // Paused again, "Play" resumes and starts nothing new.
    m->tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), true);
    click(m, "Pause");
    click(m, "Play");
    QVERIFY(!p->IsPaused());
    QVERIFY(p->IsPlaying());
    QVERIFY(!m->tlbrPlayButtons->ButtonChecked(QStringLiteral("Pause")));
    QCOMPARE(p->plays.size(), 1);
    QCOMPARE(p->calls, (QStringList{"Pause", "Resume", "Pause", "Resume"}));
    QVERIFY(!m->tmrPlayer.isActive());
    QCOMPARE(mainPanel(m), QStringLiteral("Playing"));
}

void tst_preview::playDuringAPlayRestartsOnTheCurrentRow()
{
    g_bGoToNextItem = true;
    Fixture f;
    frmMain* m = startOn(f, {0, 0, 1});
    FakePlayer* p = f.player();
    click(m, "Play");
    m->cGrid1->SetCurrentRow(2);
    click(m, "Play");
    QCOMPARE(p->calls, QStringList{"StopPlay"});
    QVERIFY(m->tmrPlayer.isActive());
    QCOMPARE(p->plays.size(), 1);
    // The end of the stopped play resets the display and, with the restart pending, does
    // not go on with the marked row 3.
    settle();
    QCOMPARE(mainPanel(m), QStringLiteral("Ready."));
    QVERIFY(!anyBold(m));
    QCOMPARE(p->plays.size(), 1);
    m->tmrPlayer_Timer();
    QVERIFY(!m->tmrPlayer.isActive());
    QCOMPARE(p->plays.size(), 2);
    QCOMPARE(p->plays[1].first, f.platform.path("audio/2.wav"));
    QVERIFY(rowBold(m, 2));
    QCOMPARE(mainPanel(m), QStringLiteral("Playing"));
}

void tst_preview::stopThenEndResetsTheDisplay()
{
    g_bGoToNextItem = true;
    Fixture f;
    frmMain* m = startOn(f, {1, 1});
    FakePlayer* p = f.player();
    click(m, "Play");
    p->position = 30;
    m->tmSlider_Timer();
    p->audioData.SampleRate = 8000;
    p->audioData.Left = p->audioData.Right = QVector<float>(1024, 0.5f);
    m->tmrAudioData_Timer();
    cTreeItem* node = m->PlayingNode();
    click(m, "Stop");
    QVERIFY(!p->IsPlaying());
    QVERIFY(!m->PlayingNode());
    QVERIFY(!node->ItemFlag25());
    QVERIFY(!m->tmSlider.isActive());
    QVERIFY(!m->tmrAudioData.isActive());
    QVERIFY(m->cAudioGraphAmp->IsEmpty());
    QVERIFY(m->cAudioGraphFreq->IsEmpty());
    // The rest of the display waits for the end of the play.
    QCOMPARE(mainPanel(m), QStringLiteral("Playing"));
    settle();
    QCOMPARE(mainPanel(m), QStringLiteral("Ready."));
    QCOMPARE(mainImage(m), 47);
    QCOMPARE(m->cSlider1->Value(), 0);
    QCOMPARE(m->lblCurrentPositionSec->text(), QStringLiteral("0:00:00"));
    QVERIFY(!anyBold(m));
    QVERIFY(m->cTreeView1->TreeOption4F());
    QCOMPARE(p->plays.size(), 1);  // a stopped play never goes on with the next row
}

void tst_preview::stopWhilePausedResumesFirst()
{
    Fixture f;
    frmMain* m = startOn(f, {0});
    FakePlayer* p = f.player();
    click(m, "Stop");  // nothing plays: nothing to do
    QVERIFY(p->calls.isEmpty());
    click(m, "Play");
    m->tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), true);
    click(m, "Pause");
    click(m, "Stop");
    QCOMPARE(p->calls, (QStringList{"Pause", "Resume", "StopPlay"}));
    QVERIFY(!m->tlbrPlayButtons->ButtonChecked(QStringLiteral("Pause")));
    QVERIFY(m->tlbrPlayButtons->ButtonEnabled(QStringLiteral("Play")));
}

void tst_preview::thumbSeeks()
{
    Fixture f;
    frmMain* m = startOn(f, {0});
    FakePlayer* p = f.player();
    // Nothing plays: the thumb moves nothing.
    m->cSlider1_ThumbPressed();
    m->cSlider1->SetValue(5);
    m->cSlider1_ThumbReleased();
    QVERIFY(p->calls.isEmpty());

    click(m, "Play");
    m->cSlider1_ThumbPressed();
    QVERIFY(!m->tmSlider.isActive());
    m->cSlider1->SetValue(17);
    m->cSlider1_ThumbReleased();
    QCOMPARE(p->calls, QStringList{"SetPosition 17"});
    QVERIFY(m->tmSlider.isActive());
    QCOMPARE(p->GetPosition(), 17);
}

void tst_preview::missingFileReloadsTheList()
{
    Fixture f;
    frmMain* m = startOn(f, {0, 0});
    QVERIFY(QFile::remove(f.platform.path("audio/2.wav")));
    SetRowText(m->cGrid1, 1, QStringLiteral("Item Name"), QStringLiteral("changed on screen only"));
    m->cGrid1->SetCurrentRow(2);
    f.platform.messages().answerAll = vbOK;
    click(m, "Play");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, f.platform.path("audio/2.wav") + QStringLiteral(" is not existed."));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(f.player()->plays.isEmpty());
    QCOMPARE(RowText(m->cGrid1, 1, QStringLiteral("Item Name")), QStringLiteral("1.wav"));  // read again
    QCOMPARE(mainPanel(m), QStringLiteral("Ready."));
}

void tst_preview::playErrorLeavesTheDisplay()
{
    Fixture f;
    frmMain* m = startOn(f, {0});
    f.player()->playResult = 3;
    f.platform.messages().answers.enqueue(vbOK);
    click(m, "Play");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             QStringLiteral("Cannot play ") + f.platform.path("audio/1.wav") + QStringLiteral("\r\n\r\nError 3"));
    QCOMPARE(mainPanel(m), QStringLiteral("Ready."));
    QVERIFY(!m->tmSlider.isActive());
    QVERIFY(!m->PlayingNode());
    QVERIFY(!anyBold(m));
}

void tst_preview::emptyListPlaysNothing()
{
    Fixture f;
    f.addListText(QStringLiteral("Empty"), QString());
    frmMain* m = f.start();
    QCOMPARE(m->cGrid1->Rows(), 0);
    click(m, "Play");
    QVERIFY(f.player()->plays.isEmpty());
    QVERIFY(f.platform.messages().shown.isEmpty());
}

void tst_preview::goesOnWithTheNextMarkedRow_data()
{
    QTest::addColumn<bool>("option");
    QTest::addColumn<QList<int>>("marks");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("next");  // the row played next; 0: none
    QTest::newRow("next marked") << true << QList<int>{0, 0, 1, 1} << 1 << 3;
    QTest::newRow("unmarked skipped") << true << QList<int>{1, 0, 0, 1} << 1 << 4;
    QTest::newRow("earlier rows never") << true << QList<int>{1, 1, 0, 0} << 3 << 0;
    QTest::newRow("last row") << true << QList<int>{1, 1, 1} << 3 << 0;
    QTest::newRow("option off") << false << QList<int>{0, 1} << 1 << 0;
}

void tst_preview::goesOnWithTheNextMarkedRow()
{
    QFETCH(bool, option);
    QFETCH(QList<int>, marks);
    QFETCH(int, current);
    QFETCH(int, next);
    g_bGoToNextItem = option;
    Fixture f;
    frmMain* m = startOn(f, marks);
    FakePlayer* p = f.player();
    m->cGrid1->SetCurrentRow(current);
    click(m, "Play");
    p->finishPlay();
    if (next == 0) {
        QCOMPARE(p->plays.size(), 1);
        QCOMPARE(m->cGrid1->CurrentRow(), current);
        QCOMPARE(mainPanel(m), QStringLiteral("Ready."));
        QVERIFY(!anyBold(m));
        return;
    }
    QCOMPARE(p->plays.size(), 2);
    QCOMPARE(p->plays[1].first, f.platform.path(QStringLiteral("audio/%1.wav").arg(next)));
    QCOMPARE(m->cGrid1->CurrentRow(), next);
    QCOMPARE(mainPanel(m), QStringLiteral("Playing"));
    QVERIFY(rowBold(m, next));
}

void tst_preview::commandStopsWithoutGoingOn_data()
{
    QTest::addColumn<bool>("restartPending");
    QTest::newRow("playing") << false;
    QTest::newRow("restart pending") << true;
}

void tst_preview::commandStopsWithoutGoingOn()
{
    // The next row is marked and the option is on, but a command that stops the preview
    // leaves it stopped: nothing starts under the splitter window it opens, nor after it.
    QFETCH(bool, restartPending);
    g_bGoToNextItem = true;
    Fixture f;
    frmMain* m = startOn(f, {1, 1, 1});
    FakePlayer* p = f.player();
    click(m, "Play");
    if (restartPending) {
        click(m, "Play");
        QVERIFY(m->tmrPlayer.isActive());
    }
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        QVERIFY(qobject_cast<frmSplitter*>(form));
        shown = true;
        g_bGoToNextItem = true;  // loading the tool window read the settings again
        settle();
        QVERIFY(!m->tmrPlayer.isActive());
        QVERIFY(!p->IsPlaying());
        QCOMPARE(p->plays.size(), 1);
        QCOMPARE(mainPanel(m), QStringLiteral("Ready."));
    });
    command(m, "Audio Splitter");
    QVERIFY(shown);
    g_bGoToNextItem = true;
    settle();
    QVERIFY(!p->IsPlaying());
    QCOMPARE(p->plays.size(), 1);
    QVERIFY(!m->PlayingNode());
}

void tst_preview::endUnboldsTheWholeGrid()
{
    Fixture f;
    frmMain* m = startOn(f, {0, 0, 0});
    QFont bold(QStringLiteral("Tahoma"), 8);
    bold.setBold(true);
    m->cGrid1->SetCellFont(3, 2, bold);
    QFont italic(QStringLiteral("Tahoma"), 8);
    italic.setItalic(true);
    m->cGrid1->SetCellFont(1, 3, italic);  // as a row of a missing file shows
    click(m, "Play");
    QVERIFY(rowBold(m, 1));
    QVERIFY(m->cGrid1->CellFont(1, 3).italic());
    f.player()->finishPlay();
    QVERIFY(!anyBold(m));
    QVERIFY(m->cGrid1->CellFont(1, 3).italic());
}

QTEST_MAIN(tst_preview)
#include "tst_preview.moc"
