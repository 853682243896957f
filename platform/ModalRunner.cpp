#include "platform/ModalRunner.h"

#include "platform/App.h"
#include "platform/Forms.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QRect>
#include <QStyleHints>
#include <QTimer>
#include <QWidget>

void ModalRunner::enter(VForm* form)
{
    ++form->m_modalDepth;
}

void ModalRunner::leave(VForm* form)
{
    --form->m_modalDepth;
}

namespace {

class HideWatcher : public QObject
{
public:
    HideWatcher(QEventLoop& loop) : m_loop(loop) {}
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        // Minimising sends a hide event too, but the window is still open (and still
        // visible to Qt): the run goes on until the window itself is hidden.
        auto* w = qobject_cast<QWidget*>(obj);
        if (ev->type() == QEvent::Hide && w && !w->isVisible()) {
            // Where the window lay on the screen when it went.
            area = w->frameGeometry();
            m_loop.quit();
        }
        return QObject::eventFilter(obj, ev);
    }

    QRect area;

private:
    QEventLoop& m_loop;
};

// Keeps the clicks aimed at a modal window that has just closed from acting on whatever
// lay beneath it. A press on the place the window covered that comes within the
// double-click interval after it closed was meant for the window: the second click of a
// double-click on its closing button, or a click the user aimed at it as it went (a
// window that closes itself after its last message box is gone before the next click
// on its Exit button). Such a press is swallowed with its double-click and its release;
// presses elsewhere, and every press after the interval, go through. The shield removes
// itself once the interval is over and no swallowed press awaits its release.
class ClickShield : public QObject
{
public:
    explicit ClickShield(const QRect& area) : QObject(qApp), m_area(area)
    {
        m_closed.start();
        qApp->installEventFilter(this);
        QTimer::singleShot(interval() + 1, this, [this] { removeWhenDone(); });
    }

    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        // A mouse event reaches its window first, then the widget in it: it is judged once,
        // at the window.
        if (!obj->isWindowType())
            return false;
        switch (ev->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* me = static_cast<QMouseEvent*>(ev);
            if (m_closed.elapsed() > interval() || !m_area.contains(me->globalPosition().toPoint())) {
                m_held &= ~me->button();
                removeWhenDone();
                return false;
            }
            m_held |= me->button();
            return true;
        }
        case QEvent::MouseButtonRelease: {
            const auto* me = static_cast<QMouseEvent*>(ev);
            if (!(m_held & me->button()))
                return false;
            m_held &= ~me->button();
            removeWhenDone();
            return true;
        }
        default:
            return false;
        }
    }

private:
    static qint64 interval() { return QGuiApplication::styleHints()->mouseDoubleClickInterval(); }

    void removeWhenDone()
    {
        if (m_held == Qt::NoButton && m_closed.elapsed() > interval())
            deleteLater();
    }

    QRect m_area;
    Qt::MouseButtons m_held;  // swallowed presses awaiting their release
    QElapsedTimer m_closed;
};

} // namespace

void EventLoopModalRunner::run(VForm* form)
{
    QPointer<VForm> guard(form);
    if (form->isVisible())
        form->hide();  // modality only takes effect on a window that is shown anew
    QEventLoop loop;
    HideWatcher watcher(loop);
    form->installEventFilter(&watcher);
    QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
    QObject::connect(form, &VForm::unloaded, &loop, &QEventLoop::quit);
    enter(form);
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    if (!HeadlessPlatform()) {
        form->raise();
        form->activateWindow();
    }
    if (form->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (guard) {
        leave(form);
        form->removeEventFilter(&watcher);
        // Qt takes a window off its list of modal windows, and gives the windows it blocked
        // their input back, only when the window is hidden while still modal. Its modality
        // is dropped once it is hidden: dropped while it was shown, the list would keep it
        // and every other window would stay blocked after it went.
        if (form->isVisible())
            form->hide();
        form->setWindowModality(Qt::NonModal);
    }
    if (!watcher.area.isEmpty())
        new ClickShield(watcher.area);
}
