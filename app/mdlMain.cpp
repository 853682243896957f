#include "app/mdlMain.h"

#include "app/frmSplash.h"
#include "common/mdlModes.h"
#include "common/RegistryRoutines.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cSysTray/cSysTray.h"
#include "mainwindow/frmMain.h"
#include "platform/App.h"
#include "platform/MessageService.h"
#include "platform/RegistryStore.h"
#include "platform/SingleInstance.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QLabel>
#include <QPointer>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// Why the program cannot create or change files in folder; empty when it can.
QString FolderWriteProblem(const QString& folder)
{
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0)
        return QString();
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

void SetSplashStatus(const QString& text)
{
    if (!g_bShowSplash)
        return;
    if (auto* splash = Forms::Loaded<frmSplash>()) {
        splash->lblStat->setText(text);
        splash->lblStat->repaint();
    }
}

namespace {

// Hides and unloads the splash, if it is still there.
void CloseSplash()
{
    if (auto* s = Forms::Loaded<frmSplash>()) {
        s->Hide();
        Forms::Unload(s);
    }
}

// This copy's hold on its program folder, for as long as the program runs.
QPointer<SingleInstance> s_runningCopy;

// A later start asked for the window: out of the tray or the taskbar, to the front.
void BringMainWindowToFront()
{
    frmMain* main = Forms::Loaded<frmMain>();
    if (!main || main->IsUnloading())
        return;
    if (main->InTray() && main->WindowState() == vbMinimized) {
        main->cSysTray1_TrayClick(1);  // as a click on the tray icon brings it back
    } else {
        if (main->WindowState() == vbMinimized)
            main->SetWindowState(vbNormal);
        main->show();
    }
    if (!HeadlessPlatform()) {
        main->raise();
        main->activateWindow();
    }
}

// True when this copy may run: no other copy runs from the same program folder. When one
// does, it has been asked to come to the front.
bool ClaimProgramFolder()
{
    auto* claim = new SingleInstance(AppPath(), qApp);
    if (!claim->Claim()) {
        delete claim;
        return false;
    }
    delete s_runningCopy;  // the claim on a program folder left earlier in this process
    s_runningCopy = claim;
    QObject::connect(claim, &SingleInstance::ShowRequested, claim, &BringMainWindowToFront);
    return true;
}

} // namespace

bool Main()
{
    // A second start from the same program folder ends here, before anything is loaded
    // that the running copy could later overwrite.
    if (!ClaimProgramFolder())
        return false;

    InitProductProfile();

    RegistryRoutines reg;
    reg.setHkey(HKEY_LOCAL_MACHINE);
    reg.setKeyRoot(ProductKeyRoot());
    reg.setSubkey(QStringLiteral("General"));
    if (!reg.KeyExists()) {
        RegistryStore& store = RegistryStore::forRoot(RegistryRoutines::RootName(HKEY_LOCAL_MACHINE));
        QString prompt = QStringLiteral("This program cannot run, please reinstall the software or connect to the "
                                        "sofrware aurhor.\n\nThe main reistry key doesn't existed.");
        const RegistryStore::Status status = store.status();
        if (status != RegistryStore::Status::Ok)
            qWarning().noquote() << g_sAppName + QStringLiteral(": ") + store.lastError();
        else
            qWarning().noquote() << g_sAppName + QStringLiteral(": the key HKEY_LOCAL_MACHINE\\") + ProductKeyRoot()
                    + QStringLiteral("\\General is missing from ") + store.filePath();
        // A store that is there but damaged: the box names the file and what is wrong with
        // it, so the user need not reinstall to learn it.
        if (status == RegistryStore::Status::Unreadable || status == RegistryStore::Status::Malformed)
            prompt += QStringLiteral("\n\n") + store.lastError() + u'.';
        MsgBox(prompt, vbInformation + vbOKOnly, g_sAppName);
        return false;
    }
    // Nothing the user changes could be saved in a program folder that cannot be written:
    // say so before the windows come up.
    const QString folderProblem = FolderWriteProblem(AppPath());
    if (!folderProblem.isEmpty())
        MsgBox(QStringLiteral("The program folder ") + AppPath() + QStringLiteral(" cannot be written: ") + folderProblem
                   + QStringLiteral(".\r\n\r\nItems lists, notes and settings changed now cannot be saved."),
               vbInformation + vbOKOnly);

    g_bShowSplash = true;
    // A box while the windows load (an unreadable list, a lists folder that cannot be used)
    // closes the splash first: the box would open under it.
    SetBeforeMsgBox(&CloseSplash);
    frmSplash* splash = g_frmSplash();
    splash->setWindowTitle(DisplayName());
    splash->Show(vbModeless);
    splash->repaint();
    splash->FadeIn();

    SetSplashStatus(QStringLiteral("Loading options..."));
    Forms::Get<frmOptions>();
    SetSplashStatus(QStringLiteral("Loading audio properties..."));
    Forms::Get<frmAudioProp>();
    SetSplashStatus(QStringLiteral("Loading GUI..."));
    frmMain* main = Forms::Get<frmMain>();

    if (g_bShowSplash)
        CloseSplash();
    SetBeforeMsgBox({});

    if (Command() == QLatin1String("-st")) {
        main->m_cMenu->SetItemCaption(main->m_cMenu->IndexForKey(QStringLiteral("RC Open")), QStringLiteral("Show"));
        main->Show(vbModeless);
        if (cSysTray::Available()) {
            main->GoSysTray();
        } else {
            // Without a tray the window could not be reached again: leave it minimised.
            main->SetWindowState(vbMinimized);
        }
    } else {
        main->Show(vbModeless);
    }
    return true;
}
