#include "platform/ModalRunner.h"

#include "platform/App.h"
#include "platform/Forms.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>

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
        if (ev->type() == QEvent::Hide)
            m_loop.quit();
        return QObject::eventFilter(obj, ev);
    }

private:
    QEventLoop& m_loop;
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
        form->setWindowModality(Qt::NonModal);
    }
}
