// Every window of the program, at its default size with the desktop's default font: each
// label, button, check box, radio button, chosen list entry (every entry in the tool
// windows), tab and tree item shows its whole text. The windows come from the forms
// registry (every window class the program opens), so a window added later is looked at
// without this test being told of it. The pages a window switches between (tabs, the
// options tree, sections) are plain frames it hides and shows: their controls are looked
// at whether the page is showing or not.
#include "tests/lists/ListsFixture.h"

#include "platform/Forms.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTest>
#include <QTreeView>

using namespace ListsTest;

namespace {

// A plain frame or panel: a page or notice the window hides and shows as the user works.
bool isPlainContainer(const QWidget* w)
{
    return w->metaObject() == &QWidget::staticMetaObject || w->metaObject() == &QFrame::staticMetaObject;
}

// Whether the user sees the control on some page of the window: it is not hidden itself,
// and whatever hides it is a page or panel the window shows at some point.
bool shownOnSomePage(const QWidget* w, const QWidget* window)
{
    if (w->isHidden())
        return false;
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
        if (p->isHidden() && !isPlainContainer(p))
            return false;
        // Inside a scrolling view the text scrolls into sight.
        if (qobject_cast<const QAbstractScrollArea*>(p))
            return false;
    }
    return true;
}

QString nameOf(const QWidget* w)
{
    const QString name = w->objectName();
    return name.isEmpty() ? QStringLiteral("(unnamed %1)").arg(QLatin1String(w->metaObject()->className())) : name;
}

// The space the text of a control needs, or an empty size when it shows no text.
QSize neededSize(const QWidget* w)
{
    if (auto* lbl = qobject_cast<const QLabel*>(w)) {
        if (lbl->text().isEmpty())
            return {};
        if (lbl->wordWrap())
            return {lbl->width(), lbl->heightForWidth(lbl->width())};
        return lbl->sizeHint();
    }
    if (auto* push = qobject_cast<const QPushButton*>(w)) {
        if (push->text().isEmpty())
            return {};
        // The text (and picture) within the button's inner area, not the style's roomy hint.
        QStyleOptionButton opt;
        opt.initFrom(push);
        const QRect inner = push->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, push);
        QSize text = push->fontMetrics().size(Qt::TextShowMnemonic, push->text());
        if (!push->icon().isNull())
            text.rwidth() += push->iconSize().width() + 4;
        return {text.width() + push->width() - inner.width(), text.height() + push->height() - inner.height()};
    }
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
        // The box beside the text may be taller than the row; the text itself must fit.
        auto* button = static_cast<const QAbstractButton*>(w);
        return button->text().isEmpty() ? QSize() : QSize(button->sizeHint().width(), button->fontMetrics().height());
    }
    return {};
}

QString textOf(const QWidget* w)
{
    if (auto* lbl = qobject_cast<const QLabel*>(w))
        return lbl->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    return {};
}

// The controls of a window whose text does not fit: the control's own rectangle, or the
// frames around it that cut it off.
QStringList clippedControls(QWidget* window)
{
    QStringList found;
    // A panel never shown yet has not laid out its controls: it does so now, as it will
    // when it shows.
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isHidden() && isPlainContainer(w) && w->layout())
            w->layout()->setGeometry(w->rect());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!shownOnSomePage(w, window))
            continue;
        const QSize need = neededSize(w);
        if (need.isEmpty())
            continue;
        const QString what = QStringLiteral("%1 \"%2\"").arg(nameOf(w), textOf(w));
        if (need.width() > w->width() || need.height() > w->height()) {
            found << QStringLiteral("%1 needs %2x%3, has %4x%5")
                         .arg(what)
                         .arg(need.width())
                         .arg(need.height())
                         .arg(w->width())
                         .arg(w->height());
            continue;
        }
        // The part holding the text must lie within every frame around it.
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
        if (auto* lbl = qobject_cast<const QLabel*>(w))
            align = lbl->alignment();
        else if (qobject_cast<const QPushButton*>(w))
            align = Qt::AlignCenter;
        QRect text = QStyle::alignedRect(w->layoutDirection(), align, need, w->geometry());
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
            if (!p->rect().contains(text)) {
                found << QStringLiteral("%1 runs out of %2").arg(what, nameOf(p));
                break;
            }
            if (p == window)
                break;
            text.translate(p->pos());
        }
    }
    // Lists the user picks from (not typed into): the chosen text shows whole. In the tool
    // windows (converters, splitter, joiner, CD and disc tools) so does every other entry,
    // which the user or the launch may choose: a format, a drive, a template.
    const bool everyEntry = window->inherits("ToolWindow");
    for (QComboBox* list : window->findChildren<QComboBox*>()) {
        if (!shownOnSomePage(list, window) || list->isEditable())
            continue;
        QStyleOptionComboBox opt;
        opt.initFrom(list);
        QStringList entries;
        if (everyEntry) {
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
        } else if (!list->currentText().isEmpty()) {
            entries << list->currentText();
        }
        for (const QString& entry : entries) {
            const QSize text(list->fontMetrics().horizontalAdvance(entry), list->fontMetrics().height());
            const int need = list->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, text, list).width();
            if (need > list->width())
                found << QStringLiteral("%1 \"%2\" needs %3, has %4")
                             .arg(nameOf(list), entry)
                             .arg(need)
                             .arg(list->width());
        }
    }
    // Tabs: the strip holds every tab at its full width, so none is shortened.
    for (QTabBar* bar : window->findChildren<QTabBar*>()) {
        if (!shownOnSomePage(bar, window) || bar->sizeHint().width() <= bar->width())
            continue;
        QStringList tabs;
        for (int i = 0; i < bar->count(); ++i)
            tabs << bar->tabText(i);
        found << QStringLiteral("%1 tabs \"%2\" need %3, have %4")
                     .arg(nameOf(bar->parentWidget()), tabs.join(QStringLiteral("\", \"")))
                     .arg(bar->sizeHint().width())
                     .arg(bar->width());
    }
    // Trees: every node shows its whole text within the visible width.
    for (QTreeView* tree : window->findChildren<QTreeView*>()) {
        if (!shownOnSomePage(tree, window) || !tree->model())
            continue;
        QStyleOptionViewItem opt;
        opt.initFrom(tree);
        opt.decorationSize = tree->iconSize().isValid()
            ? tree->iconSize()
            : QSize(tree->style()->pixelMetric(QStyle::PM_SmallIconSize), tree->style()->pixelMetric(QStyle::PM_SmallIconSize));
        std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
            for (int r = 0; r < tree->model()->rowCount(parent); ++r) {
                const QModelIndex idx = tree->model()->index(r, 0, parent);
                const QRect at = tree->visualRect(idx);
                const int need = tree->itemDelegateForIndex(idx)->sizeHint(opt, idx).width();
                if (at.x() + need > tree->viewport()->width() || need > at.width())
                    found << QStringLiteral("%1 node \"%2\" needs %3, has %4")
                                 .arg(nameOf(tree->parentWidget()), idx.data().toString())
                                 .arg(need)
                                 .arg(qMin(at.width(), tree->viewport()->width() - at.x()));
                if (tree->isExpanded(idx))
                    walk(idx);
            }
        };
        walk(QModelIndex());
    }
    return found;
}

} // namespace

class tst_NoClippedText : public QObject
{
    Q_OBJECT
private slots:
    void everyWindowIsListed();
    void everyTextFits_data();
    void everyTextFits();
    void everyRowShowsItsPage_data();
    void everyRowShowsItsPage();
};

void tst_NoClippedText::everyWindowIsListed()
{
    // The registry knows the windows the program opens, the ones shown here among them.
    QStringList names;
    for (const Forms::Kind& k : Forms::Kinds())
        names << k.name;
    for (const char* expected : {"frmMain", "frmOptions", "frmAudioProp", "frmItem", "frmDirProperties", "frmNotes",
                                 "frmAbout", "frmFileCopy", "frmSplitter", "frmConverter", "frmJoiner"})
        QVERIFY2(names.contains(QLatin1String(expected)), expected);
}

void tst_NoClippedText::everyTextFits_data()
{
    QTest::addColumn<QString>("window");
    for (const Forms::Kind& k : Forms::Kinds())
        QTest::newRow(qPrintable(k.name)) << k.name;
}

namespace {

// Opens a window as a user finds it: a program folder with a list of two items (one
// marked), the first one current, a CD drive holding an audio CD and a blank disc in a
// writer (so the disc tools list them), the main window open over it with every panel the
// view options offer, and the window shown beside it.
VForm* openWindow(Fixture& f, const QString& window)
{
    // A drive's name is its vendor and model as the drive reports them (8 and 16 letters at
    // most); a writer here is an image target, named by its file.
    f.drives = {{QStringLiteral("D: HL-DT-ST DVDRAM GH24NSD1"), true, {{200, true}, {180, true}}}};
    qputenv("VELMARO_CD_WRITERS", f.platform.path(QStringLiteral("Blank CD-R")).toUtf8());
    g_bDisplayTitle = true;
    g_bDisplayPlayer = true;
    g_bDisplayAudioGraph = true;
    f.addList("New Items List 1", {"Songs of the longest summer evening.wav*", "b.wav"});
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "New Items List 1"));
    m->cGrid1->SetCurrentRow(1);
    f.platform.messages().answerAll = vbOK;
    f.platform.modal().allowAny = true;
    m->show();

    VForm* form = nullptr;
    for (const Forms::Kind& k : Forms::Kinds())
        if (k.name == window)
            form = k.get();
    if (form) {
        form->Show(vbModeless, m);
        QApplication::processEvents();
    }
    return form;
}

} // namespace

void tst_NoClippedText::everyTextFits()
{
    QFETCH(QString, window);
    Fixture f;
    VForm* form = openWindow(f, window);
    QVERIFY(form);
    const QStringList clipped = clippedControls(form);
    QVERIFY2(clipped.isEmpty(), qPrintable(window + u'\n' + clipped.join(u'\n')));
}

void tst_NoClippedText::everyRowShowsItsPage_data()
{
    everyTextFits_data();
}

void tst_NoClippedText::everyRowShowsItsPage()
{
    // Beside its text, a check box or radio button row shows the plain page it stands on,
    // never a bar of another colour.
    QFETCH(QString, window);
    Fixture f;
    VForm* form = openWindow(f, window);
    QVERIFY(form);
    QStringList bars;
    for (QAbstractButton* row : form->findChildren<QAbstractButton*>()) {
        QWidget* page = row->parentWidget();
        const bool plainPage = page && page->isVisible() && page->autoFillBackground()
            && page->palette().brush(QPalette::Window).texture().isNull();
        if (!(qobject_cast<QCheckBox*>(row) || qobject_cast<QRadioButton*>(row)) || !row->isVisible() || !plainPage)
            continue;
        if (neededSize(row).width() + 6 >= row->width())
            continue;
        const QImage shown = page->grab().toImage();
        const QPoint beside(row->x() + row->width() - 3, row->y() + row->height() / 2);
        QWidget* top = page->childAt(beside);
        if (top && top != row && !row->isAncestorOf(top))
            continue;  // another control lies over the row's end
        const QColor expected = page->palette().color(QPalette::Window);
        if (shown.pixelColor(beside) != expected)
            bars << QStringLiteral("%1 \"%2\" shows %3 on a %4 page")
                        .arg(nameOf(row), row->text(), shown.pixelColor(beside).name(), expected.name());
    }
    QVERIFY2(bars.isEmpty(), qPrintable(window + u'\n' + bars.join(u'\n')));
}

QTEST_MAIN(tst_NoClippedText)
#include "tst_noclippedtext.moc"
