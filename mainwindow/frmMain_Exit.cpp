// The main window's close, which ends the program: the exit question, the other windows,
// the temporary files, the stored window size and the tray icon; the same close when
// the desktop session ends; and the notes summary of the status bar.
#include "mainwindow/frmMain.h"

#include "common/mdlFileSystem.h"
#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlListsTree.h"
#include "platform/App.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"
#include "tools/frame/ToolWindow.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QSessionManager>

#include <algorithm>

void frmMain::Form_Unload(int& Cancel)
{
    // Files are being added: the run stops at its next file, and the window closes once
    // it has ended (and the rows it added are saved).
    if (m_bAddingFiles && !m_bQuitting) {
        g_bCancelAddFiles = true;
        m_bUnloadAfterAdd = true;
        Cancel = 1;
        return;
    }
    g_bExitApp = true;
    if (g_bDisplayMSGWhenExit && !m_bNoExitQuestion) {
        const QString q = QStringLiteral("Are you sure you want to exit '") + DisplayName() + QStringLiteral("' ?");
        if (MsgBox(q, vbYesNo + vbInformation) == vbNo) {
            Cancel = 1;
            g_bExitApp = false;
            return;
        }
    }
    // The other windows go before anything of this one changes: a window that will not
    // go (a tool in the middle of its job) keeps the program running as it was, and the
    // user is told which tool it is.
    if (VForm* stays = UnloadOtherWindows(!m_bQuitting); stays && !m_bQuitting) {
        Cancel = 1;
        g_bExitApp = false;
        auto* tool = qobject_cast<ToolWindow*>(stays);
        if (tool && tool->IsBusy() && !m_bNoExitQuestion)
            MsgBox(QStringLiteral("The %1 is still at work, so the program stays open.\r\n\r\n"
                                  "Abort its job or let it end, then exit again.")
                       .arg(tool->ToolCaption()),
                   vbOKOnly + vbInformation);
        return;
    }
    SetFormOnTop(this, false);
    StopPreviewPlayer();
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (g_bClearOnExit && !(selected && IsCDNode(selected->Key())))
        DoClearTheList();
    KillFile(AppPath() + QStringLiteral("/tmpeditor.wav"));
    KillFile(AppPath() + QStringLiteral("/tmptts.wav"));
    cAudioCDRipper1->CloseDevice();
    SaveWindowSize();
    cSysTray1->RemoveIcon();
    tmrCommandLine.stop();
    tmrUnload.stop();
    tmrCDs.stop();
    tmrRemove.stop();
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

VForm* frmMain::UnloadOtherWindows(bool stopAtRefusal)
{
    // The newest first: tools and dialogs opened last go before the settings windows
    // that live for the whole run, so a refusal leaves those as they were.
    QList<VForm*> others = Forms::LoadedForms();
    std::reverse(others.begin(), others.end());
    VForm* refused = nullptr;
    for (VForm* f : others) {
        if (f == this || Forms::Unload(f, vbFormOwner))
            continue;
        if (!refused)
            refused = f;
        if (stopAtRefusal)
            break;
    }
    return refused;
}

void frmMain::SaveWindowSize()
{
    // The size the window comes back with is its normal one, not the size it has while
    // minimised, in the tray or maximised.
    QSize size = this->size();
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        const QRect normal = normalGeometry();
        if (normal.isValid())
            size = normal.size();
    }
    // Never more than the screen takes, so the next start cannot be handed a huge window.
    const QSize most = AvailableScreenTwips(this);
    m_cRegistry.setSubkey(QStringLiteral("General"));
    SettingsWriteCheck check;
    for (const auto& [name, twips] :
         {std::pair{QStringLiteral("lHeight"), qMin(qint64(size.height()) * kTwipsPerPixel, qint64(most.height()))},
          std::pair{QStringLiteral("lWidth"), qMin(qint64(size.width()) * kTwipsPerPixel, qint64(most.width()))}})
        check.Note(m_cRegistry.SetRegistryValue(name, QString::number(twips), 1), m_cRegistry, name);
    check.Tell(QStringLiteral("The window size"));
}

void frmMain::tmrUnload_Timer()
{
    tmrUnload.stop();
    g_bDisplayMSGWhenExit = false;
    Forms::Unload(this);
}

bool frmMain::CommitSessionData(bool mayAsk)
{
    if (IsUnloading() || Forms::Loaded<frmMain>() != this)
        return true;
    m_bNoExitQuestion = !mayAsk;
    const bool closed = Forms::Unload(this, vbAppWindows);
    m_bNoExitQuestion = false;
    return closed;
}

void frmMain::QuitWithoutClose()
{
    if (IsUnloading() || Forms::Loaded<frmMain>() != this)
        return;
    m_bNoExitQuestion = true;
    m_bQuitting = true;
    g_bCancelAddFiles = true;
    Forms::Unload(this, vbAppTaskManager);
}

void frmMain::ConnectSessionEnd()
{
    // Direct: the session manager's request lasts only as long as the signal.
    connect(
        qApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& manager) {
            const bool mayAsk = g_bDisplayMSGWhenExit && manager.allowsInteraction();
            const bool closed = CommitSessionData(mayAsk);
            if (mayAsk)
                manager.release();
            if (!closed)
                manager.cancel();
        },
        Qt::DirectConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &frmMain::QuitWithoutClose);
}

QString frmMain::GetNotesToStatus() const
{
    const QString path = AppPath() + QStringLiteral("/Notes");
    const QString empty = QStringLiteral("Notes [ Empty ]");
    if (!QFileInfo(path).isFile())
        return empty;
    QString notes = ReadTextFile(path);
    if (notes.isEmpty() || notes == QLatin1String("\r\n"))
        return empty;
    notes.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    notes.replace(u'\r', u' ');
    notes.replace(u'\n', u' ');
    // Long notes show their beginning.
    if (notes.size() > 36)
        notes = notes.left(35) + QStringLiteral("...");
    return QStringLiteral("Notes [ ") + notes + QStringLiteral(" ]");
}
