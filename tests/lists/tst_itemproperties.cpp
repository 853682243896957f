// The item properties dialog: what it shows of a row, stepping between rows, OK and Apply
// writing the row and the list file at once, the refusals, the time pickers, the name-key
// filter and the links.
#include "common/mdlFunctions.h"
#include "components/cBalloonTip/cBalloonTip.h"
#include "components/cDateTimePick/cDateTimePick.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTabControl/cTabControl.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmItem.h"
#include "platform/Controls.h"
#include "lists/mdlItemsGrid.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"
#include "tests/lists/ListsFixture.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace ListsTest;

namespace {

QString fields(const QString& all, const QString& start, const QString& length, const QStringList& tags = {})
{
    const QStringList keys{"COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT", "COL_TAG_GEN",
                           "COL_TAG_YEAR",  "COL_TAG_TITLE",  "COL_TAG_TRACK"};
    QString text = "<COL_RANGE_ALL>" + all + "</COL_RANGE_ALL><COL_RANGE_START_TIME>" + start
        + "</COL_RANGE_START_TIME><COL_RANGE_LENGTH_TIME>" + length + "</COL_RANGE_LENGTH_TIME>";
    for (int i = 0; i < keys.size(); ++i)
        text += "<" + keys[i] + ">" + tags.value(i) + "</" + keys[i] + ">";
    return text;
}

QTime timeOf(const cDateTimePick* p)
{
    return p->SelDate().time();
}

bool timeControlsEnabled(frmItem* d)
{
    const QList<QWidget*> controls{d->Label20, d->dtStartAfter, d->cmdGoTSoStart, d->Label21, d->dtUntil, d->cmdGoToEnd};
    const bool first = controls.first()->isEnabled();
    for (QWidget* w : controls)
        if (w->isEnabled() != first)
            return !first;  // mixed: neither answer holds
    return first;
}

// Three items: a whole file of 5 minutes, a range of 90 s + 30 s with tags, a mono file.
struct ItemsFixture : Fixture {
    QString list;
    QString one, two, three;
    ItemsFixture()
    {
        one = addAudio("one.wav", 999, 300000);
        two = addAudio("two.wav", 2048, 300000);
        three = addAudio("three.mp3", 4096, 61000, 1);
        list = addListText("a", record("1", "one.wav", one) + record("0", "two.wav", two, fields("0", "90", "30", {"Al", "Ar", "Co", "Ge", "1999", "Ti", "[TRACK_NUM]"}))
                                    + record("1", "three.mp3", three));
    }
    // Opens the dialog on a row as the "Rename Item" command does, and lets `drive` act on it.
    void open(qint32 row, const std::function<void(frmItem*)>& drive)
    {
        main->cGrid1->SetCurrentRow(row);
        platform.modal().handlers.enqueue([drive](VForm* form) {
            auto* d = qobject_cast<frmItem*>(form);
            QVERIFY(d);
            drive(d);
        });
        command(main, "Rename Item");
    }
};

} // namespace

class tst_ItemProperties : public QObject
{
    Q_OBJECT
private slots:
    void showsTheRowAndSteps();
    void mainWindowFollowsTheDialog();
    void applyWritesTheRowAndTheList_data();
    void applyWritesTheRowAndTheList();
    void refusals_data();
    void refusals();
    void pickersStayWithinTheItem();
    void keyFilter();
    void channels_data();
    void channels();
    void links();
    void oneRowAndNoRows();
    void hugeItemName();
};

void tst_ItemProperties::showsTheRowAndSteps()
{
    ItemsFixture f;
    frmMain* m = f.start();
    const QByteArray before = TestFiles::ReadBytes(f.list);
    bool ran = false;
    f.open(2, [&](frmItem* d) {
        ran = true;
        QCOMPARE(d->windowTitle(), QStringLiteral("Item Properties"));
        QCOMPARE(d->lItem, 2);
        QCOMPARE(d->l_lGridRowNum, 2);
        QCOMPARE(d->lblTitle->text(), QStringLiteral("two.wav"));
        QCOMPARE(d->txtItemName->text(), QStringLiteral("two.wav"));
        QCOMPARE(d->lblFileName->text(), QStringLiteral("two.wav"));
        QCOMPARE(d->lblTotalTime->text(), QStringLiteral("00:05:00"));
        QCOMPARE(d->lblTotalSize->text(), QStringLiteral("2.00 KB"));
        QCOMPARE(d->lblCreated->text(), RowText(m->cGrid1, 2, "Created"));
        QCOMPARE(d->lblFormat->text(), QStringLiteral("WAV"));
        QCOMPARE(d->lblSamples->text(), QStringLiteral("44100"));
        QCOMPARE(d->lblBitrate->text(), QStringLiteral("16"));
        QCOMPARE(d->lblChannels->text(), QStringLiteral("STEREO"));
        QCOMPARE(d->lblPath->text(), f.platform.path("audio/"));
        // The range of the row.
        QVERIFY(d->ptnConvertByTime->isChecked());
        QCOMPARE(timeOf(d->dtStartAfter), QTime(0, 1, 30));
        QCOMPARE(timeOf(d->dtUntil), QTime(0, 2, 0));
        QVERIFY(timeControlsEnabled(d));
        // The tags.
        QCOMPARE(d->txtTagAlbum->text(), QStringLiteral("Al"));
        QCOMPARE(d->txtTagArtist->text(), QStringLiteral("Ar"));
        QCOMPARE(d->txtTagComment->toPlainText(), QStringLiteral("Co"));
        QCOMPARE(d->txtTagGenre->text(), QStringLiteral("Ge"));
        QCOMPARE(d->txtTagYear->text(), QStringLiteral("1999"));
        QCOMPARE(d->txtTagSong->text(), QStringLiteral("Ti"));
        QCOMPARE(d->txtTagTrack->text(), QStringLiteral("[TRACK_NUM]"));
        // Three tabs; the information page shows; a tab click shows its page.
        QCOMPARE(d->cTabControl1->TabCount(), 3);
        QCOMPARE(d->cTabControl1->TabCaption(3), QStringLiteral("Destination ID3 Tags  "));
        QCOMPARE(d->cTabControl1->TabKey(2), QStringLiteral("Range"));
        QCOMPARE(d->cTabControl1->TabImage(1), 39);
        QVERIFY(d->TabInfo->isVisible() && !d->TabRange->isVisible() && !d->TabTags->isVisible());
        d->cTabControl1->SelectTab(QStringLiteral("Range"));
        d->cTabControl1_TabClick(2);
        QVERIFY(!d->TabInfo->isVisible() && d->TabRange->isVisible() && !d->TabTags->isVisible());
        QVERIFY(d->cmdBack->isEnabled() && d->cmdNext->isEnabled());

        // ">>" shows the next row; an edit not applied is lost; the main grid follows.
        d->txtItemName->setText(QStringLiteral("edited"));
        d->cmdNext_Click();
        QCOMPARE(d->lItem, 3);
        QCOMPARE(m->cGrid1->CurrentRow(), 3);
        QCOMPARE(d->txtItemName->text(), QStringLiteral("three.mp3"));
        QCOMPARE(d->lblChannels->text(), QStringLiteral("MONO"));
        QCOMPARE(d->lblFormat->text(), QStringLiteral("MP3"));
        QVERIFY(d->ptnAllFile->isChecked());
        QVERIFY(!timeControlsEnabled(d));
        QCOMPARE(timeOf(d->dtStartAfter), QTime(0, 0, 0));
        QCOMPARE(timeOf(d->dtUntil), QTime(0, 1, 1));
        QVERIFY(d->txtTagTrack->text().isEmpty());
        QVERIFY(d->TabRange->isVisible());  // the page stays
        QVERIFY(d->cmdBack->isEnabled() && !d->cmdNext->isEnabled());
        d->cmdBack_Click();
        d->cmdBack_Click();
        QCOMPARE(d->lItem, 1);
        QCOMPARE(d->txtItemName->text(), QStringLiteral("one.wav"));
        QVERIFY(!d->cmdBack->isEnabled() && d->cmdNext->isEnabled());
        d->cmdExit_Click();
    });
    QVERIFY(ran);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmItem"});
    QVERIFY(!Forms::IsLoaded<frmItem>());
    QCOMPARE(TestFiles::ReadBytes(f.list), before);
    QCOMPARE(RowText(m->cGrid1, 2, "Item Name"), QStringLiteral("two.wav"));
}

// The main window's information grid and list summary show the row the dialog shows, and
// what Apply made of it (a row set in code raises no row change of its own).
void tst_ItemProperties::mainWindowFollowsTheDialog()
{
    ItemsFixture f;
    frmMain* m = f.start();
    QCOMPARE(m->cStatusBar1->PanelText("Items List Properties"), QStringLiteral("3 Items, 6.98 KB, 00:06:31"));
    bool ran = false;
    f.open(1, [&](frmItem* d) {
        ran = true;
        d->cmdNext_Click();
        QCOMPARE(m->cGridInfo->Cell(1, 2).Text(), QStringLiteral("two.wav"));
        QCOMPARE(m->cGridInfo->Cell(9, 2).Text(), QStringLiteral("2"));
        d->cmdNext_Click();
        QCOMPARE(m->cGridInfo->Cell(1, 2).Text(), QStringLiteral("three.mp3"));
        QCOMPARE(m->cGridInfo->Cell(8, 2).Text(), QStringLiteral("MONO"));
        d->cmdBack_Click();
        QCOMPARE(m->cGridInfo->Cell(9, 2).Text(), QStringLiteral("2"));

        // Apply: a new name, and the whole file in place of its 30 s range.
        d->txtItemName->setText(QStringLiteral("Second"));
        d->ptnAllFile->setChecked(true);
        d->cmdApply_Click();
        QCOMPARE(m->cGridInfo->Cell(1, 2).Text(), QStringLiteral("Second"));
        QCOMPARE(m->cStatusBar1->PanelText("Items List Properties"), QStringLiteral("3 Items, 6.98 KB, 00:11:01"));
        d->cmdExit_Click();
    });
    QVERIFY(ran);
    QCOMPARE(fileField(f.list, 2, "Item Name"), QStringLiteral("Second"));
}

void tst_ItemProperties::applyWritesTheRowAndTheList_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byTime");
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QTime>("until");
    QTest::addColumn<QStringList>("range");  // COL_RANGE_ALL, START, LENGTH, Range
    QTest::newRow("trimmed name, whole file")
        << "  New name  " << false << QTime(0, 1, 0) << QTime(0, 3, 30) << QStringList{"1", "", "", "All"};
    QTest::newRow("range by time")
        << "two.wav" << true << QTime(0, 1, 0) << QTime(0, 3, 30) << QStringList{"0", "60", "150", "00:01:00 - 00:03:30"};
    QTest::newRow("to the last second")
        << "x" << true << QTime(0, 0, 0) << QTime(0, 5, 0) << QStringList{"0", "0", "300", "00:00:00 - 00:05:00"};
}

// Apply writes the row and the list file at once and keeps the dialog; OK does the same
// and closes it.
void tst_ItemProperties::applyWritesTheRowAndTheList()
{
    QFETCH(QString, typed);
    QFETCH(bool, byTime);
    QFETCH(QTime, start);
    QFETCH(QTime, until);
    QFETCH(QStringList, range);
    ItemsFixture f;
    frmMain* m = f.start();
    const QString name = typed.trimmed();
    f.open(2, [&](frmItem* d) {
        d->txtItemName->setText(typed);
        (byTime ? d->ptnConvertByTime : d->ptnAllFile)->setChecked(true);
        QCOMPARE(timeControlsEnabled(d), byTime);
        d->dtStartAfter->SetSelDate(QDateTime(QDate(2000, 1, 1), start));
        d->dtUntil->SetSelDate(QDateTime(QDate(2000, 1, 1), until));
        d->txtTagArtist->setText(QStringLiteral("New artist"));
        d->txtTagComment->setPlainText(QStringLiteral("two\nlines <b> & more"));
        d->txtTagTrack->setText(QStringLiteral("[TRACK_NUM]/12"));
        d->cmdApply_Click();
        // In the list file at once, with the dialog still open.
        QVERIFY(Forms::IsLoaded<frmItem>());
        QCOMPARE(d->txtItemName->text(), name);
        QCOMPARE(d->lblTitle->text(), QStringLiteral("two.wav"));
        QCOMPARE(fileField(f.list, 2, "Item Name"), name);
        QCOMPARE(fileField(f.list, 2, "COL_RANGE_ALL"), range[0]);
        QCOMPARE(fileField(f.list, 2, "COL_RANGE_START_TIME"), range[1]);
        QCOMPARE(fileField(f.list, 2, "COL_RANGE_LENGTH_TIME"), range[2]);
        QCOMPARE(RowText(m->cGrid1, 2, "Range"), range[3]);
        QCOMPARE(fileField(f.list, 2, "COL_TAG_ARTIST"), QStringLiteral("New artist"));
        QCOMPARE(UnescapeListValue(fileField(f.list, 2, "COL_TAG_COMMENT")), QStringLiteral("two\nlines <b> & more"));
        QCOMPARE(fileField(f.list, 2, "COL_TAG_TRACK"), QStringLiteral("[TRACK_NUM]/12"));
        QCOMPARE(fileField(f.list, 2, "COL_TAG_ALBUM"), QStringLiteral("Al"));
        QCOMPARE(fileField(f.list, 1, "Item Name"), QStringLiteral("one.wav"));
        QCOMPARE(fileField(f.list, 3, "Item Name"), QStringLiteral("three.mp3"));
        // OK applies once more and closes.
        d->txtTagYear->setText(QStringLiteral("2001"));
        d->cmdOk_Click();
    });
    QVERIFY(!Forms::IsLoaded<frmItem>());
    QCOMPARE(fileField(f.list, 2, "COL_TAG_YEAR"), QStringLiteral("2001"));
    QVERIFY(f.platform.messages().shown.isEmpty());
    // The list reads back as written.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
    QCOMPARE(RowText(m->cGrid1, 2, "Item Name"), name);
    QCOMPARE(RowText(m->cGrid1, 2, "Range"), range[3]);
}

void tst_ItemProperties::refusals_data()
{
    const QString illegal = QStringLiteral("Illegal Item Name.") + QString(42, u' ');
    const QString range = QStringLiteral("'Start after' field is more or an equel to the 'Until' field.") + QString(9, u' ');
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QTime>("until");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("boxAfter");
    QTest::newRow("blanks only") << "   " << QTime() << QTime() << QString("Empty Item Name." + QString(42, u' ')) << "";
    for (const QChar c : kIllegalNameChars)
        QTest::newRow(qPrintable(QStringLiteral("illegal %1").arg(c)))
            << QStringLiteral(" a%1b ").arg(c) << QTime() << QTime() << illegal << QStringLiteral("a%1b").arg(c);
    QTest::newRow("start equals until") << "ok" << QTime(0, 2, 0) << QTime(0, 2, 0) << range << "ok";
    QTest::newRow("start after until") << "ok" << QTime(0, 3, 0) << QTime(0, 2, 59) << range << "ok";
}

// A refused apply writes nothing anywhere and OK keeps the dialog open.
void tst_ItemProperties::refusals()
{
    QFETCH(QString, typed);
    QFETCH(QTime, start);
    QFETCH(QTime, until);
    QFETCH(QString, message);
    QFETCH(QString, boxAfter);
    ItemsFixture f;
    frmMain* m = f.start();
    const QByteArray before = TestFiles::ReadBytes(f.list);
    cBalloonTip::ResetLastShown();
    f.platform.messages().answerAll = vbOK;
    f.open(2, [&](frmItem* d) {
        d->txtItemName->setText(typed);
        d->txtTagArtist->setText(QStringLiteral("not stored"));
        if (start.isValid()) {
            d->ptnConvertByTime->setChecked(true);
            d->dtStartAfter->SetSelDate(QDateTime(QDate(2000, 1, 1), start));
            d->dtUntil->SetSelDate(QDateTime(QDate(2000, 1, 1), until));
        }
        d->cmdOk_Click();
        QVERIFY(Forms::IsLoaded<frmItem>());
        QCOMPARE(d->txtItemName->text(), boxAfter);
        d->cmdApply_Click();
        d->cmdExit_Click();
    });
    QCOMPARE(f.platform.messages().shown.size(), 2);
    QCOMPARE(f.platform.messages().shown[0].prompt, message);
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation);
    QCOMPARE(TestFiles::ReadBytes(f.list), before);
    QCOMPARE(RowText(m->cGrid1, 2, "Item Name"), QStringLiteral("two.wav"));
    QCOMPARE(RowText(m->cGrid1, 2, "COL_TAG_ARTIST"), QStringLiteral("Ar"));
    const bool balloon = message.startsWith(QStringLiteral("Illegal"));
    QCOMPARE(cBalloonTip::LastShown().count, balloon ? 2 : 0);
    if (balloon)
        QCOMPARE(cBalloonTip::LastShown().text, IllegalNameTipText());
}

// A picker set past the item's length goes back to it; the two buttons go to the ends.
void tst_ItemProperties::pickersStayWithinTheItem()
{
    ItemsFixture f;
    f.start();
    f.open(3, [&](frmItem* d) {
        d->ptnConvertByTime->setChecked(true);
        d->dtUntil->Editor()->setTime(QTime(0, 7, 0));
        QCOMPARE(timeOf(d->dtUntil), QTime(0, 1, 1));
        QCOMPARE(d->dtUntil->Editor()->time(), QTime(0, 1, 1));
        d->dtStartAfter->Editor()->setTime(QTime(0, 1, 2));
        QCOMPARE(timeOf(d->dtStartAfter), QTime(0, 1, 1));
        d->dtStartAfter->Editor()->setTime(QTime(0, 0, 30));
        QCOMPARE(timeOf(d->dtStartAfter), QTime(0, 0, 30));
        d->cmdGoTSoStart_Click();
        QCOMPARE(timeOf(d->dtStartAfter), QTime(0, 0, 0));
        d->dtUntil->Editor()->setTime(QTime(0, 0, 10));
        d->cmdGoToEnd_Click();
        QCOMPARE(timeOf(d->dtUntil), QTime(0, 1, 1));
        d->cmdOk_Click();
    });
    QCOMPARE(fileField(f.list, 3, "COL_RANGE_LENGTH_TIME"), QStringLiteral("61"));
    QCOMPARE(fileField(f.list, 3, "COL_RANGE_ALL"), QStringLiteral("0"));
}

void tst_ItemProperties::keyFilter()
{
    ItemsFixture f;
    f.start();
    cBalloonTip::ResetLastShown();
    f.open(1, [&](frmItem* d) {
        d->txtItemName->clear();
        QTest::keyClicks(d->txtItemName, QStringLiteral("a?b/c d"));
        QCOMPARE(d->txtItemName->text(), QStringLiteral("abc d"));
        QCOMPARE(cBalloonTip::LastShown().count, 2);
        QCOMPARE(cBalloonTip::LastShown().target.data(), static_cast<QWidget*>(d->txtItemName));
        d->cmdExit_Click();
    });
}

void tst_ItemProperties::channels_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1") << 1 << "MONO";
    QTest::newRow("2") << 2 << "STEREO";
    QTest::newRow("6") << 6 << "STEREO";
    QTest::newRow("0") << 0 << "STEREO";
}

void tst_ItemProperties::channels()
{
    QFETCH(int, channels);
    QFETCH(QString, shown);
    Fixture f;
    f.addAudio("a.wav", 100, 1000, qint16(channels));
    f.addList("a", {"a.wav"});
    frmMain* m = f.start();
    m->cGrid1->SetCurrentRow(1);
    QString seen;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* d = qobject_cast<frmItem*>(form);
        seen = d->lblChannels->text();
        d->cmdExit_Click();
    });
    command(m, "Rename Item");
    QCOMPARE(seen, shown);
}

void tst_ItemProperties::links()
{
    ItemsFixture f;
    f.start();
    f.open(2, [&](frmItem* d) {
        d->lblFileName_Click();
        d->lblPath_Click();
        QCOMPARE(f.platform.shell().opened, (QStringList{f.two, f.platform.path("audio/")}));
        // The default tags page of the options window, and the tag placeholders.
        QString page;
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* o = qobject_cast<frmOptions*>(form);
            QVERIFY(o);
            page = o->cTreeView1->SelectedItem() ? o->cTreeView1->SelectedItem()->Key() : QString();
            o->cmdCancel_Click();
        });
        d->lblDefaultID3Tags_Click();
        QCOMPARE(page, QStringLiteral("ID3 Tags"));
        int section = -1;
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* p = qobject_cast<frmProgParameters*>(form);
            QVERIFY(p);
            section = p->cboSections->currentIndex();
            p->cmdOk_Click();
        });
        d->lblID3TagParameters_Click();
        QCOMPARE(section, 1);
        d->cmdExit_Click();
    });
    QCOMPARE(f.platform.modal().shown, (QStringList{"frmItem", "frmOptions", "frmProgParameters"}));
}

void tst_ItemProperties::oneRowAndNoRows()
{
    Fixture f;
    f.addList("a", {"only.wav"});
    f.addList("b", {});
    frmMain* m = f.start();
    bool both = true;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* d = qobject_cast<frmItem*>(form);
        both = d->cmdBack->isEnabled() || d->cmdNext->isEnabled();
        d->cmdExit_Click();
    });
    command(m, "Rename Item");
    QVERIFY(!both);
    // An empty list opens nothing.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(2));
    command(m, "Rename Item");
    m->cGridInfo_CellDoubleClick(1, 1);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmItem"});
}

// A row whose name is 10 MB long (a list another program wrote): a double-click opens the
// dialog on it at once, the title shows as much of the name as it has room for, and OK
// without a change leaves the name whole.
void tst_ItemProperties::hugeItemName()
{
    Fixture f;
    const QString huge = QStringLiteral("Long song ").repeated(1024 * 1024).trimmed();
    const QString file = f.addAudio("song.wav");
    const QString list = f.addListText("a", record("1", huge, file));
    frmMain* m = f.start();
    QCOMPARE(RowText(m->cGrid1, 1, "Item Name"), huge);
    QElapsedTimer opening;
    qint64 openedAfter = -1;
    QString title;
    int titleWidth = 0;
    int titleRoom = 0;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* d = qobject_cast<frmItem*>(form);
        QVERIFY(d);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        openedAfter = opening.elapsed();
        QCOMPARE(d->lItem, 1);
        QCOMPARE(d->lblFileName->text(), QStringLiteral("song.wav"));
        title = d->lblTitle->text();
        titleWidth = d->lblTitle->sizeHint().width();
        titleRoom = d->lblTitle->parentWidget()->width() - d->lblTitle->x();
        QVERIFY(d->txtItemName->text().startsWith(QStringLiteral("Long song Long song")));
        d->cmdOk_Click();
    });
    opening.start();
    m->cGrid1->SetCurrentRow(1);
    m->cGrid1_CellDoubleClick(1, 3);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmItem"});
    QVERIFY2(openedAfter >= 0 && openedAfter < 2000, qPrintable(QString::number(openedAfter) + " ms"));
    // The title is the name's beginning, cut where the strip ends.
    QVERIFY2(title.size() < 200, qPrintable(title.left(300)));
    QVERIFY(title.startsWith(QStringLiteral("Long song Long song")));
    QVERIFY(titleWidth <= titleRoom);
    QCOMPARE(RowText(m->cGrid1, 1, "Item Name"), huge);
    QCOMPARE(fileField(list, 1, "Item Name"), huge);
}

QTEST_MAIN(tst_ItemProperties)
#include "tst_itemproperties.moc"
