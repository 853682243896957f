// The main window's menus: the tray menu and the list menus.
#include "mainwindow/frmMain.h"

#include "components/cIconMenu/cIconMenu.h"

void frmMain::BuildTrayMenu()
{
    const qint32 tray = m_cMenu->AddItem(QStringLiteral("Tray"), QString(), 0, 0, -1, 0, -1, QStringLiteral("mnuTray"));
    m_cMenu->AddItem(QStringLiteral("Hide"), QString(), 0, tray, -1, 0, -1, QStringLiteral("RC Open"));
    m_cMenu->AddItem(QStringLiteral("-"), QString(), 0, tray, -1, 0, -1, QString());
    m_cMenu->AddItem(QStringLiteral("Exit"), QString(), 0, tray, -1, 0, -1, QStringLiteral("RC Exit"));
    m_cMenu->SetItemVisible(tray, false);
}

void frmMain::BuildListMenus()
{
    auto add = [this](const char* caption, qint32 parent, qint32 icon, const char* key) {
        return m_cMenu->AddItem(QString::fromUtf8(caption), QString(), 0, parent, icon, 0, -1, QString::fromUtf8(key));
    };
    const qint32 projects = add("Items Lists", 0, -1, "mnuProjects");
    add("New Items List", projects, 48, "New Items List");
    add("Remove Items List", projects, 50, "Remove Items List");
    add("-", projects, -1, "st4");
    add("Items List Properties", projects, 51, "Items List Properties");
    m_cMenu->SetItemVisible(projects, false);

    const qint32 list = add("Items List", 0, -1, "mnuFilesList");
    add("Mark/Unmark All", list, 74, "MarkUnmark All");
    add("-", list, -1, "st1");
    add("Move Up", list, 0, "Move Up");
    add("Move Down", list, 1, "Move Down");
    add("-", list, -1, "st1");
    add("Move To First", list, 80, "Move To First");
    add("Move To Last", list, 81, "Move To Last");
    add("-", list, -1, "st1");
    add("Edit", list, 32, "Rename Item");
    add("Save As...", list, 5, "Save As");
    add("-", list, -1, "st1");
    add("Remove Item", list, 3, "Remove Item");
    add("-", list, -1, "ClearLine");
    add("Remove All", list, 27, "Clear the List");
    m_cMenu->SetItemVisible(list, false);

    const qint32 adds = add("Add", 0, -1, "mnuAdd");
    add("Add Files", adds, 39, "Add Files");
    m_cMenu->SetItemVisible(adds, false);

    const qint32 options = add("Options", 0, -1, "mnuOptions");
    add("General", options, 9, "General");
    add("Events", options, 10, "Events");
    add("View", options, 11, "View");
    add("Default ID3 Tags", options, 6, "ID3 Tags");
    add("Advanced", options, 59, "Advanced");
    m_cMenu->SetItemVisible(options, false);

    const qint32 tools = add("Tools", 0, -1, "mnuTools");
    add("Notes", tools, 8, "Notes");
    m_cMenu->SetItemVisible(tools, false);

    const qint32 help = add("Help", 0, -1, "mnuHelp");
    add("About", help, 18, "About");
    m_cMenu->SetItemVisible(help, false);
}
