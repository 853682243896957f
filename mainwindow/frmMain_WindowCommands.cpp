// The main window's commands that act on the window itself and those that open the
// options, notes, About box, tags editor, help, support page, volume control and system
// player.
#include "mainwindow/frmMain.h"

#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "common/frmAbout.h"
#include "common/frmNotes.h"
#include "common/mdlWindowHelpers.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "lists/mdlItemsGrid.h"
#include "platform/App.h"
#include "platform/Services.h"
#include "platform/ShellService.h"
#include "settings/frmOptions.h"
#include "tags/frmMP3TagsEditor.h"

#include <QProcess>
#include <QStandardPaths>

bool frmMain::CmdTransparent(qint32 ItemNumber)
{
    // The clicked item's own mark says which way to go.
    SetTransparent(!m_cMenu->ItemChecked(ItemNumber));
    return true;
}

bool frmMain::CmdOnTop(qint32 ItemNumber)
{
    SetOnTop(!m_cMenu->ItemChecked(ItemNumber));
    return true;
}

bool frmMain::CmdMinimize(qint32)
{
    SetWindowState(vbMinimized);
    return true;
}

bool frmMain::CmdGoSysTray(qint32)
{
    GoSysTray();
    return false;
}

bool frmMain::CmdExit(qint32)
{
    // A close the user declines leaves the window as it was; after a completed close
    // nothing more of the command runs.
    return !Forms::Unload(this);
}

bool frmMain::CmdTrayOpen(qint32)
{
    cSysTray1_TrayClick(1);
    return true;
}

QStringList frmMain::VolumeControlCommand() const
{
    // A mixer set in the settings comes first (a program with its arguments), then the
    // desktop's usual mixers; only a program that is installed counts.
    RegistryRoutines settings;
    settings.setHkey(HKEY_LOCAL_MACHINE);
    settings.setKeyRoot(ProductKeyRoot());
    settings.setSubkey(QStringLiteral("General"));
    QList<QStringList> candidates;
    const QStringList configured =
        QProcess::splitCommand(settings.GetRegistryValue(QStringLiteral("VolumeControl")).toString());
    if (!configured.isEmpty())
        candidates << configured;
    candidates << QStringList{QStringLiteral("pavucontrol")} << QStringList{QStringLiteral("pavucontrol-qt")};
    for (QStringList command : candidates) {
        const QString found = QStandardPaths::findExecutable(command.first());
        if (found.isEmpty())
            continue;
        command.first() = found;
        return command;
    }
    return {};
}

bool frmMain::CmdMasterVolume(qint32)
{
    SetFormOnTop(this, false);
    // Nothing to open when no mixer is installed.
    const QStringList command = VolumeControlCommand();
    if (!command.isEmpty())
        Services::shell().start(command.first(), command.mid(1), AppPath());
    return true;
}

bool frmMain::CmdOptionsPage(qint32 ItemNumber)
{
    SetFormOnTop(this, false);
    ShowOptionsPage(m_cMenu->ItemKey(ItemNumber), this);
    return true;
}

bool frmMain::CmdAbout(qint32)
{
    SetFormOnTop(this, false);
    Forms::Get<frmAbout>()->Show(vbModal, this);
    return true;
}

bool frmMain::CmdNotes(qint32)
{
    SetFormOnTop(this, false);
    g_frmNotes()->Show(vbModeless);
    return true;
}

bool frmMain::CmdMP3TagsEditor(qint32)
{
    SetFormOnTop(this, false);
    // The wait pointer only while the editor loads; it is not modal, so the command ends
    // at once.
    setCursor(Qt::WaitCursor);
    frmMP3TagsEditor* editor = g_frmMP3TagsEditor();
    unsetCursor();
    editor->Show(vbModeless);
    return true;
}

bool frmMain::CmdHelpTopic(qint32)
{
    Services::shell().open(HelpFilePath(), AppPath());
    return true;
}

bool frmMain::CmdSupport(qint32)
{
    Services::shell().open(g_sAppSupportPage, AppPath());
    return true;
}

bool frmMain::CmdOpenDefaultPlayer(qint32)
{
    SetFormOnTop(this, false);
    // The current row's file with the program its type is opened with.
    const QString file = cGrid1->Rows() > 0 ? RowText(cGrid1, cGrid1->CurrentRow(), QStringLiteral("COL_FILE")) : QString();
    if (!file.isEmpty())
        Services::shell().open(file, QString());
    return true;
}
