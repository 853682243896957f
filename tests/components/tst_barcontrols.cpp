// The main window's bar controls: button bars and their lookups, the band container, the
// slider's events and the audio graphs' drawing.
#include "components/cAudioGraph/cAudioGraph.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cImageList/cImageList.h"
#include "components/cReBar/cReBar.h"
#include "components/cSlider/cSlider.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cToolbarHost/cToolbarHost.h"
#include "platform/Controls.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>

class tst_BarControls : public QObject
{
    Q_OBJECT
private slots:
    void buttonLookups_data();
    void buttonLookups();
    void checkAndEnabledStates();
    void dropDownArrowAndBody();
    void hostAndBand();
    void sliderThumb();
    void amplitudeGraph();
    void frequencyGraph();
    void popupAtOwnerPoint();
};

namespace {

// A bar of: 0 "Play", 1 separator, 2 "Pause" (check), 3 "Menu" (drop-down), 4 no key.
cToolbar* makeBar(QWidget* parent, cImageList* images)
{
    auto* bar = new cToolbar(parent);
    bar->SetImageList(images);
    bar->CreateToolbar(16);
    bar->AddButton("Play", 0, {}, 0, QString(), cToolbar::tbrDefault, "Play");
    bar->AddButton(QString(), -1, {}, 0, QString(), cToolbar::tbrSeparator);
    bar->AddButton("Pause", 0, {}, 0, QString(), cToolbar::tbrCheck, "Pause");
    bar->AddButton("Menu", 0, {}, 0, "Menu", cToolbar::tbrDropDown, "Menu");
    bar->AddButton("Plain", 0, {}, 0, "Plain", cToolbar::tbrDefault);
    return bar;
}

QImage render(QWidget* w)
{
    w->resize(100, 40);
    return w->grab().toImage();
}

} // namespace

void tst_BarControls::buttonLookups_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("index");
    QTest::newRow("first button") << "Play" << 0;
    QTest::newRow("after a separator, which takes a number") << "Pause" << 2;
    QTest::newRow("a key no button bears") << "Stop" << -1;
    QTest::newRow("the empty key of a separator or a keyless button") << "" << -1;
}

void tst_BarControls::buttonLookups()
{
    QFETCH(QString, key);
    QFETCH(int, index);
    QWidget window;
    cImageList images;
    cToolbar* bar = makeBar(&window, &images);
    QCOMPARE(bar->ButtonCount(), 5);
    QCOMPARE(bar->ButtonIndex(key), index);
    QCOMPARE(bar->ButtonKey(index), index < 0 ? QString() : key);
    // A number that names no button reads as no key and not pressed.
    QVERIFY(!bar->ButtonChecked(index));
    QCOMPARE(bar->ButtonKey(99), QString());
}

void tst_BarControls::checkAndEnabledStates()
{
    QWidget window;
    cImageList images;
    cToolbar* bar = makeBar(&window, &images);
    QSignalSpy clicks(bar, &cToolbar::ButtonClick);
    // A click on a check button presses it and tells which button it was.
    bar->ButtonWidget(2)->click();
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks[0][0].toInt(), 2);
    QVERIFY(bar->ButtonChecked("Pause"));
    bar->SetButtonChecked("Pause", false);
    QVERIFY(!bar->ButtonChecked(2));
    // The state is kept by key or by number alike, and a plain button can show it too.
    bar->SetButtonChecked(0, true);
    QVERIFY(bar->ButtonChecked("Play"));
    bar->SetButtonEnabled("Play", false);
    QVERIFY(!bar->ButtonEnabled("Play"));
    bar->SetButtonChecked("Missing", true);  // nothing happens
    QVERIFY(!bar->ButtonEnabled("Missing"));
}

void tst_BarControls::dropDownArrowAndBody()
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    cImageList images;
    cToolbar* bar = makeBar(&window, &images);
    layout->addWidget(bar);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(bar, &cToolbar::ButtonClick);
    QSignalSpy drops(bar, &cToolbar::ButtonDropDown);
    QToolButton* menu = bar->ButtonWidget(3);
    const QRect arrow = bar->ButtonArrowRect(3);
    QVERIFY(arrow.isValid());
    QVERIFY(!bar->ButtonArrowRect(0).isValid());  // only a drop-down button has an arrow

    QTest::mouseClick(menu, Qt::LeftButton, {}, arrow.center());
    QCOMPARE(drops.size(), 1);
    QCOMPARE(drops[0][0].toInt(), 3);
    QCOMPARE(clicks.size(), 0);
    QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(4, menu->height() / 2));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(drops.size(), 1);

    // The drop-down point lies just below the button, in twips of the window.
    qint32 x = -1, y = -1;
    bar->GetButtonPosition(3, x, y);
    const QPoint below = menu->mapTo(&window, QPoint(0, menu->height()));
    QCOMPARE(QPoint(x, y), below * 15);
}

void tst_BarControls::hostAndBand()
{
    QWidget window;
    auto* strip = new QWidget(&window);
    new QHBoxLayout(strip);
    auto* band = new cReBar(strip);  // made inside its strip, as a window builds it
    cImageList images;
    cToolbar* bar = makeBar(&window, &images);
    band->CreateRebar(strip);
    band->AddBand(bar->hWnd(), QString(), false, false, "Toolbar1");
    QCOMPARE(strip->layout()->indexOf(band), 0);  // in the strip's layout, once
    band->CreateRebar(strip);
    QCOMPARE(strip->layout()->count(), 1);
    QCOMPARE(bar->parentWidget(), band);
    QCOMPARE(band->BandNames(), QStringList{"Toolbar1"});

    // Given room, the host takes its width; in less it narrows to what there is, and its
    // bar offers the buttons that do not fit in its overflow menu, as they are.
    QWidget frame;
    auto* row = new QHBoxLayout(&frame);
    row->setContentsMargins(0, 0, 0, 0);
    auto* host = new cToolbarHost(&frame);
    cToolbar* other = makeBar(&frame, &images);
    host->AttachToolbar(other);
    row->addWidget(host);
    row->addStretch(1);
    QCOMPARE(other->parentWidget(), host);
    host->SetWidth(600);
    host->SetWidth(host->Width() + 3000);
    QCOMPARE(host->Width(), 3600);
    frame.resize(400, 60);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(host->width(), TwipsToPixels(3600));
    QVERIFY(other->ButtonWidget(4)->isVisible());
    auto* more = other->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    QVERIFY(more && !more->isVisible());

    other->SetButtonChecked("Pause", true);
    frame.resize(other->ButtonWidget(0)->sizeHint().width() + 30, 60);
    QTRY_VERIFY(!other->ButtonWidget(4)->isVisible());
    QVERIFY(host->width() < other->sizeHint().width());
    QVERIFY(other->ButtonWidget(0)->isVisible());
    QVERIFY(more->isVisible() && more->isEnabled());
    QStringList entries;
    for (QAction* a : more->menu()->actions())
        if (!a->isSeparator())
            entries << a->text() + (a->isChecked() ? "|checked" : "");
    // The drop-down button's arrow is its own: it is not offered in the menu.
    QCOMPARE(entries, (QStringList{"Pause|checked", "Plain"}));
    QSignalSpy clicks(other, &cToolbar::ButtonClick);
    more->menu()->actions().last()->trigger();
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks[0][0].toInt(), 4);

    // The height given, unless the bar's buttons need more.
    host->SetHeight(750);
    QCOMPARE(host->height(), TwipsToPixels(750));
    host->SetHeight(150);
    QCOMPARE(host->height(), other->sizeHint().height());
    QVERIFY(host->height() > TwipsToPixels(150));
}

void tst_BarControls::sliderThumb()
{
    cSlider slider;
    QSignalSpy pressed(&slider, &cSlider::ThumbPressed);
    QSignalSpy released(&slider, &cSlider::ThumbReleased);
    QSignalSpy changed(&slider, &cSlider::Change);
    slider.SetMax(120);
    slider.SetValue(30);
    QCOMPARE(slider.Value(), 30);
    QCOMPARE(changed.size(), 1);
    slider.setSliderDown(true);
    slider.setSliderDown(false);
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(released.size(), 1);
}

void tst_BarControls::amplitudeGraph()
{
    cAudioGraph graph(cAudioGraph::Amplitude);
    graph.SetBaseColor(0x000000);
    graph.SetAmplitudeColor(0x00FF00);  // green
    // Loud at the start, silence after; the left side peaks at full scale, the right at
    // half: the wave rises near the top at the left edge and runs along the middle
    // further on; the left level bar is full height, the right one half.
    PlayerAudioData data;
    data.SampleRate = 8000;
    data.Left = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    data.Right = {0.5, 0.5, 0, 0, 0, 0, 0, 0, 0, 0};
    graph.SetAudioData(data);
    graph.Draw();
    QImage img = render(&graph);
    auto greenAt = [&](int x, int y) { return QColor(img.pixel(x, y)).green() > 60; };
    QVERIFY(greenAt(2, 6));
    QVERIFY(greenAt(70, 20) || greenAt(70, 19));
    QVERIFY(!greenAt(70, 5));
    QVERIFY(greenAt(89, 3));   // left level bar
    QVERIFY(!greenAt(97, 3));  // right level bar, half height
    QVERIFY(greenAt(97, 35));
    // Cleared: the middle line only.
    graph.Clear();
    QVERIFY(graph.IsEmpty());
    img = render(&graph);
    QVERIFY(!greenAt(2, 6));
    QVERIFY(!greenAt(89, 3));
    QVERIFY(greenAt(50, 20) || greenAt(50, 19));
}

void tst_BarControls::frequencyGraph()
{
    cAudioGraph graph(cAudioGraph::Frequency);
    graph.SetBaseColor(0x000000);
    graph.SetFrequencyColor(0x0000FF);  // red
    // A full-scale 1 kHz tone: one tall bar at its band, nothing at the top of the range.
    PlayerAudioData data;
    data.SampleRate = 8000;
    for (int i = 0; i < 1024; ++i)
        data.Left << float(std::sin(2 * M_PI * 1000 * i / 8000.0));
    data.Right = data.Left;
    graph.SetAudioData(data);
    const QVector<float>& bands = graph.Spectrum().Level;
    const int peak = int(std::max_element(bands.begin(), bands.end()) - bands.begin());
    const int x = int((peak + 0.5) * 100 / bands.size());
    QImage img = render(&graph);
    auto redAt = [&](int x, int y) { return QColor(img.pixel(x, y)).red() > 128; };
    QVERIFY(redAt(x, 2));
    QVERIFY(redAt(x, 38));
    QVERIFY(!redAt(98, 38));
    graph.Clear();
    img = render(&graph);
    QVERIFY(!redAt(x, 38));
}

void tst_BarControls::popupAtOwnerPoint()
{
    QWidget owner;
    owner.resize(300, 200);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    cIconMenu menu;
    menu.SetOwnerHwnd(&owner);
    const qint32 top = menu.AddItem("Top", QString(), 0, 0, -1, 0, -1, "Top");
    menu.AddItem("One", QString(), 0, top, -1, 0, -1, "One");
    menu.SetItemVisible(top, false);
    // Twips of the owner's client area become pixels on the screen.
    menu.ShowPopupMenu(150, 300, 0, 0, 0, 0, -1, menu.IndexForKey("One"));
    QMenu* popup = menu.CurrentPopup();
    QVERIFY(popup);
    QCOMPARE(popup->pos(), owner.mapToGlobal(QPoint(10, 20)));
    QCOMPARE(popup->actions().size(), 1);
    popup->close();
    // An unknown key names no item: nothing pops up.
    delete popup;
    menu.ShowPopupMenu(0, 0, 0, 0, 0, 0, -1, menu.IndexForKey("Missing"));
    QVERIFY(!menu.CurrentPopup());
}

QTEST_MAIN(tst_BarControls)
#include "tst_barcontrols.moc"
