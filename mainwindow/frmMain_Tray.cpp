// The main window's tray icon and window modes.
#include "mainwindow/frmMain.h"

#include "common/mdlWindowHelpers.h"
#include "components/cIconMenu/cIconMenu.h"
#include "platform/App.h"

void frmMain::GoSysTray()
{
    SetWindowState(vbMinimized);
    Hide();
    m_cMenu->SetItemCaption(m_cMenu->IndexForKey(QStringLiteral("RC Open")), QStringLiteral("Show"));
    m_bInTray = true;
}

void frmMain::cSysTray1_TrayClick(qint32 ClickType)
{
    const qint32 rcOpen = m_cMenu->IndexForKey(QStringLiteral("RC Open"));
    if (ClickType == 1) {
        const int state = WindowState();
        if (state == vbMinimized && m_bInTray) {
            show();
            SetWindowState(vbNormal);
            if (!HeadlessPlatform()) {
                raise();
                activateWindow();
            }
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Hide"));
            m_bInTray = false;
        } else if (state == vbNormal) {
            SetWindowState(vbMinimized);
            Hide();
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Show"));
            m_bInTray = true;
        } else if (state == vbMinimized) {
            Hide();
            SetWindowState(vbMinimized);
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Show"));
            m_bInTray = true;
        }
    } else if (ClickType == 2) {
        if (!HeadlessPlatform())
            activateWindow();
        qint32 x = 0, y = 0;
        GetMousePosition(x, y);
        m_cMenu->ShowPopupMenuAt(x, y, rcOpen, -1);
    }
}
