// The main window: title strip, status bar, popup menus, tray icon and the timers that
// drive start-up and exit.
#pragma once

#include "common/MainHost.h"
#include "common/RegistryRoutines.h"
#include "platform/Forms.h"

#include <QTimer>

class QLabel;
class cIconMenu;
class cImageList;
class cStatusBar;
class cSysTray;

class frmMain : public VForm, public MainHost
{
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_Resize() override;

    // The command dispatcher: runs the command keyed by the menu item's number.
    void m_cMenu_Click(qint32 ItemNumber);
    // 1: icon clicked (show or hide the window); 2: the tray menu at the cursor.
    void cSysTray1_TrayClick(qint32 ClickType);
    void cStatusBar1_PanelClick(int Index);

    // Minimises and hides the window, leaving the tray icon ("GoSysTray").
    void GoSysTray();
    bool InTray() const { return m_bInTray; }

    // The one-line notes summary for the "Notes" panel.
    QString GetNotesToStatus() const override;
    VForm* MainForm() override { return this; }
    void SetStatusPanelText(const QString& key, const QString& text) override;
    cImageList* MenuImageList() override { return imgMenu; }
    void ReloadListsTree() override;
    void ApplyGridOptions(bool hotTrack, bool gridLines) override;
    void ApplyAppColour(qint32 colour) override;
    void ApplyTextColour(qint32 colour) override;

    void tmrUnload_Timer();
    void tmrCommandLine_Timer();

    // Controls.
    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QWidget* picMain = nullptr;
    cStatusBar* cStatusBar1 = nullptr;
    cIconMenu* m_cMenu = nullptr;
    cSysTray* cSysTray1 = nullptr;
    cImageList* imgMenu = nullptr;
    cImageList* imgGrid = nullptr;
    QTimer tmrUnload;
    QTimer tmrRemove;
    QTimer tmrCDs;
    QTimer tmrCommandLine;

private:
    void BuildTrayMenu();
    void RestoreWindowSize();
    void RunCommandLineSwitches();
    void SaveWindowSize();

    RegistryRoutines m_cRegistry;
    bool m_bInTray = false;
};
