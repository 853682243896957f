// The smaller controls: keyed tabs and their client area, keyed status panels, the two
// progress bars and the time picker.
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cDateTimePick/cDateTimePick.h"
#include "components/cImageList/cImageList.h"
#include "components/cProgressBar/cProgressBar.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTabControl/cTabControl.h"

#include <QDateTimeEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

class tst_Controls : public QObject
{
    Q_OBJECT
private slots:
    void tabKeys();
    void tabClientArea();
    void tabClick();
    void statusPanels_data();
    void statusPanels();
    void statusPanelClick();
    void progressRange_data();
    void progressRange();
    void progressFillsWithoutRange();
    void secondBar();
    void timePicker();
};

void tst_Controls::tabKeys()
{
    cImageList images;
    cTabControl tabs;
    tabs.SetImageList(&images);
    QCOMPARE(tabs.SelectedTab(), 0);
    tabs.AddTab(QStringLiteral("ACM Converter        "), 61, -1, QStringLiteral("Settings"));
    QCOMPARE(tabs.SelectedTab(), 1);  // the first tab added is current
    tabs.AddTab(QStringLiteral("Events        "), 10, -1, QStringLiteral("Events"));
    tabs.AddTab(QStringLiteral("Information"));
    QCOMPARE(tabs.TabCount(), 3);
    QCOMPARE(tabs.SelectedTab(), 1);
    QCOMPARE(tabs.TabKey(2), QStringLiteral("Events"));
    QCOMPARE(tabs.TabKey(3), QString());
    QCOMPARE(tabs.TabKey(4), QString());
    QCOMPARE(tabs.TabIndex(QStringLiteral("Events")), 2);
    QCOMPARE(tabs.TabIndex(QStringLiteral("events")), 0);
    QCOMPARE(tabs.TabCaption(1), QStringLiteral("ACM Converter        "));  // trailing blanks kept
    QCOMPARE(tabs.Bar()->tabText(0), QStringLiteral("ACM Converter        "));
    QCOMPARE(tabs.TabImage(2), 10);
    QCOMPARE(tabs.TabImage(3), -1);

    QSignalSpy click(&tabs, &cTabControl::TabClick);
    tabs.SelectTab(QStringLiteral("Events"));
    QCOMPARE(tabs.SelectedTab(), 2);
    QCOMPARE(tabs.Bar()->currentIndex(), 1);
    tabs.SelectTab(QStringLiteral("Nope"));
    QCOMPARE(tabs.SelectedTab(), 2);
    QCOMPARE(click.count(), 0);  // code selects without the event
    // The windows' tab handler: the page of the key of the selected tab.
    QCOMPARE(tabs.TabKey(tabs.SelectedTab()), QStringLiteral("Events"));

    tabs.ClearTabs();
    QCOMPARE(tabs.TabCount(), 0);
    QCOMPARE(tabs.SelectedTab(), 0);
    tabs.AddTab(QStringLiteral("WAV"), -1, -1, QStringLiteral("WAV"));
    QCOMPARE(tabs.SelectedTab(), 1);
    QCOMPARE(click.count(), 0);
}

void tst_Controls::tabClientArea()
{
    QWidget window;
    cTabControl tabs(&window);
    tabs.AddTab(QStringLiteral("About   "), 18, -1, QStringLiteral("About"));
    tabs.setGeometry(10, 20, 300, 200);
    // The page area, in twips in the window's coordinates, lies inside the control and
    // below the tabs.
    const int left = tabs.ClientLeft(), top = tabs.ClientTop();
    const int width = tabs.ClientWidth(), height = tabs.ClientHeight();
    QVERIFY(left >= 10 * 15 && left < 20 * 15);
    QVERIFY(top >= (20 + tabs.Bar()->sizeHint().height()) * 15);
    QVERIFY(left + width <= (10 + 300) * 15);
    QVERIFY(top + height <= (20 + 200) * 15);
    QVERIFY(width > 280 * 15);
    QVERIFY(height > 100 * 15);
    // The area follows the control.
    tabs.setGeometry(0, 0, 400, 300);
    QCOMPARE(tabs.ClientWidth(), width + 100 * 15);
}

void tst_Controls::tabClick()
{
    cTabControl tabs;
    tabs.AddTab(QStringLiteral("Settings"), -1, -1, QStringLiteral("Settings"));
    tabs.AddTab(QStringLiteral("Log"), -1, -1, QStringLiteral("Log"));
    tabs.resize(300, 200);
    tabs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tabs));
    QSignalSpy click(&tabs, &cTabControl::TabClick);
    QTest::mouseClick(tabs.Bar(), Qt::LeftButton, Qt::NoModifier, tabs.Bar()->tabRect(1).center());
    QCOMPARE(click.count(), 1);
    QCOMPARE(tabs.SelectedTab(), 2);
    QCOMPARE(tabs.TabKey(tabs.SelectedTab()), QStringLiteral("Log"));
}

void tst_Controls::statusPanels_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("number");
    QTest::newRow("Main") << "Main" << 1;
    QTest::newRow("Items List Properties") << "Items List Properties" << 2;
    QTest::newRow("Notes") << "Notes" << 3;
}

void tst_Controls::statusPanels()
{
    QFETCH(QString, key);
    QFETCH(int, number);
    cStatusBar bar;
    bar.AddPanel(0, QString(), QString(), 47, 120, false, false, 0, QStringLiteral("Main"));
    bar.AddPanel(0, QString(), QString(), -1, 180, false, false, 0, QStringLiteral("Items List Properties"));
    bar.AddPanel(0, QStringLiteral("Notes [ Empty ]"), QStringLiteral("Notes"), 8, 250, false, false, 0,
                 QStringLiteral("Notes"));
    QCOMPARE(bar.PanelKey(number), key);
    // Written by key, read by key and by number, and the other way round.
    bar.SetPanelText(key, QStringLiteral("by key "));
    QCOMPARE(bar.PanelText(number), QStringLiteral("by key "));
    bar.SetPanelText(number, QStringLiteral("by number"));
    QCOMPARE(bar.PanelText(key), QStringLiteral("by number"));
    // Unknown keys and numbers read "" and write nothing.
    bar.SetPanelText(QStringLiteral("Nope"), QStringLiteral("x"));
    bar.SetPanelText(4, QStringLiteral("x"));
    QCOMPARE(bar.PanelText(QStringLiteral("Nope")), QString());
    QCOMPARE(bar.PanelText(0), QString());
    QCOMPARE(bar.PanelKey(4), QString());
    QCOMPARE(bar.PanelCount(), 3);
    bar.SetPanelImage(key, 5);
    QCOMPARE(bar.PanelImageOf(key), 5);
}

void tst_Controls::statusPanelClick()
{
    cStatusBar bar;
    bar.AddPanel(0, QStringLiteral("a"), QString(), -1, 60, false, false, 0, QStringLiteral("Main"));
    bar.AddPanel(0, QStringLiteral("b"), QString(), -1, 60, false, false, 0, QStringLiteral("Notes"));
    bar.resize(300, 24);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy click(&bar, &cStatusBar::PanelClick);
    QWidget* notesPanel = nullptr;
    for (QWidget* w : bar.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->toolTip().isEmpty() && w->isVisible() && w->geometry().x() > 0)
            notesPanel = w;
    QVERIFY(notesPanel);
    QTest::mouseClick(notesPanel, Qt::LeftButton);
    QCOMPARE(click.count(), 1);
    QCOMPARE(bar.PanelKey(click[0][0].toInt()), QStringLiteral("Notes"));
}

void tst_Controls::progressRange_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("fraction");
    QTest::newRow("half of 0..100") << 0 << 100 << 50 << 0.5;
    QTest::newRow("above the maximum is taken, shown full") << 0 << 100 << 250 << 1.0;
    QTest::newRow("below the minimum shown empty") << 10 << 20 << 5 << 0.0;
    QTest::newRow("maximum below the minimum: no progress") << 0 << -1 << 0 << 0.0;
    QTest::newRow("maximum equal to the minimum") << 3 << 3 << 3 << 0.0;
    QTest::newRow("rows of a list") << 1 << 4 << 3 << 2.0 / 3.0;
}

void tst_Controls::progressRange()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, value);
    QFETCH(double, fraction);
    XP_ProgressBar xp;
    xp.SetMin(min);
    xp.SetMax(max);
    xp.SetValue(value);
    QCOMPARE(xp.Value(), value);
    QCOMPARE(xp.Max(), max);
    QCOMPARE(xp.Fraction(), fraction);
    QVERIFY(!xp.grab().isNull());  // draws in every state
    cProgressBar c;
    c.SetMin(min);
    c.SetMax(max);
    c.SetValue(value);
    QCOMPARE(c.Value(), value);
    QCOMPARE(c.Fraction(), fraction);
    QVERIFY(!c.grab().isNull());
}

void tst_Controls::progressFillsWithoutRange()
{
    // A bar whose range is never set runs from 0 to 100.
    XP_ProgressBar xp;
    xp.resize(102, 10);
    QCOMPARE(xp.Min(), 0);
    QCOMPARE(xp.Max(), 100);
    double last = -1;
    for (int v = 0; v <= 100; v += 10) {
        xp.SetValue(v);
        QVERIFY(xp.Fraction() > last);
        last = xp.Fraction();
    }
    QCOMPARE(last, 1.0);
    xp.SetValue(0);
    QCOMPARE(xp.Fraction(), 0.0);
    xp.SetBarColour(0x0000FF);
    QCOMPARE(xp.BarColour(), 0x0000FF);
    xp.SetValue(100);
    // The bar is drawn in its colour (0x00BBGGRR: red).
    const QImage img = xp.grab().toImage();
    QCOMPARE(img.pixelColor(50, 5), QColor(255, 0, 0));
}

void tst_Controls::secondBar()
{
    cProgressBar c;
    c.resize(100, 10);
    c.SetBarOption6(255);
    c.SetBackgroundColour(QStringLiteral("16777215"));
    QCOMPARE(c.BarOption6(), 255);
    QCOMPARE(c.BackgroundColour(), QStringLiteral("16777215"));
    c.SetValue(100);
    QCOMPARE(c.grab().toImage().pixelColor(50, 5), QColor(255, 0, 0));
    QPixmap pm(4, 4);
    pm.fill(Qt::green);
    c.SetBarPicture(pm);
    QVERIFY(c.HasBarPicture());
    QCOMPARE(c.grab().toImage().pixelColor(50, 5), QColor(0, 255, 0));
    c.SetValue(0);
    QCOMPARE(c.grab().toImage().pixelColor(50, 5), QColor(255, 255, 255));
}

void tst_Controls::timePicker()
{
    cDateTimePick dt;
    QSignalSpy changed(&dt, &cDateTimePick::DateChanged);
    const QDateTime total(QDate(2000, 1, 1), QTime(0, 1, 30));
    dt.SetSelDate(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 10)));
    QCOMPARE(dt.SelDate().time(), QTime(0, 0, 10));
    QCOMPARE(dt.Editor()->text(), QStringLiteral("00:00:10"));
    QCOMPARE(changed.count(), 0);  // code sets it without the event

    // The item window's handler clamps a pick past the total time inside the event.
    connect(&dt, &cDateTimePick::DateChanged, this, [&](const QDateTime& v) {
        if (total.time() < v.time())
            dt.SetSelDate(total);
    });
    dt.Editor()->setTime(QTime(0, 0, 45));  // as the user's typing does
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed[0][0].toDateTime().time(), QTime(0, 0, 45));
    QCOMPARE(dt.SelDate().time(), QTime(0, 0, 45));
    dt.Editor()->setTime(QTime(0, 5, 0));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(dt.SelDate().time(), QTime(0, 1, 30));
    QCOMPARE(dt.Editor()->text(), QStringLiteral("00:01:30"));
    dt.setEnabled(false);
    QVERIFY(!dt.Editor()->isEnabled());
}

QTEST_MAIN(tst_Controls)
#include "tst_controls.moc"
