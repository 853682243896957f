// The countdown launcher, the shutdown request and the queued close of the main window.
#include "common/mdlShutDown.h"

#include "common/MainHost.h"
#include "common/frmTurnOff.h"
#include "platform/Forms.h"
#include "platform/Services.h"
#include "platform/ShutdownService.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace {

bool g_bMainUnloadQueued = false;

void TryMainUnload();

void RetryMainUnload(int ms)
{
    QTimer::singleShot(ms, QCoreApplication::instance(), &TryMainUnload);
}

void TryMainUnload()
{
    MainHost* host = g_MainHost();
    VForm* main = host ? host->MainForm() : nullptr;
    if (!main || main->IsUnloading()) {
        g_bMainUnloadQueued = false;
        return;
    }
    bool modalOpen = false;
    for (VForm* f : Forms::LoadedForms()) {
        if (f != main && f->IsShownModal()) {
            modalOpen = true;
            if (f->isVisible())
                f->Hide();  // its modal call returns, and with it the handler that made it
        }
    }
    // The program's own event loop is level 1; anything deeper is a modal loop that
    // still has a handler below it (a message box the user has not answered, ...).
    if (modalOpen || QThread::currentThread()->loopLevel() > 1) {
        RetryMainUnload(modalOpen ? 0 : 50);
        return;
    }
    g_bMainUnloadQueued = false;
    Forms::Unload(main);
}

} // namespace

void StartTurnOffCountdown(qint32 seconds)
{
    frmTurnOff* f = g_frmTurnOff();
    f->StartShutDown(seconds);
    if (!f->IsUnloading())
        f->Show(vbModal);
}

bool ShutdownSystem(qint32 flags, QString* why)
{
    QString reason;
    const bool ok = flags >= 0 && flags <= 31
        ? Services::shutdown().powerOff(reason)
        : (reason = QStringLiteral("Invalid parameter to ShutdownSystem: %1").arg(flags), false);
    if (!ok && why)
        *why = reason;
    return ok;
}

void QueueMainUnload()
{
    if (g_bMainUnloadQueued)
        return;
    g_bMainUnloadQueued = true;
    RetryMainUnload(0);
}
