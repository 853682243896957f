// The list properties dialog.
#include "lists/frmDirProperties.h"

#include "common/mdlModes.h"
#include "common/mdlFunctions.h"
#include "components/cTabControl/cTabControl.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/ListsHost.h"
#include "lists/mdlListPaths.h"
#include "lists/mdlListsTree.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

frmDirProperties::frmDirProperties()
{
    setWindowTitle(QStringLiteral("Items List Properties"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Tahoma")));
    setFixedSize(TwipsToPixels(6360), TwipsToPixels(4320));

    picTitle = new QWidget(this);
    picTitle->setAutoFillBackground(true);
    PlaceTwips(picTitle, 0, 0, 6360, 495);
    lblTitle = MakeLabel(picTitle, QStringLiteral("Properties"), 240, 120, 5800, 285);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);

    cTabControl1 = new cTabControl(this);
    PlaceTwips(cTabControl1, 120, 600, 6120, 3000);
    TabGeneral = new QWidget(this);
    TabGeneral->setAutoFillBackground(true);

    lblFolderName = MakeLabel(TabGeneral, QStringLiteral("Items List Name:"), 120, 120, 5700);
    txtFolderName = MakeTextBox(TabGeneral, 120, 360, 5700);
    lblPath = MakeLabel(TabGeneral, QStringLiteral("Path:"), 120, 780, 5700);
    txtPath = MakeTextBox(TabGeneral, 120, 1020, 5700);
    txtPath->setReadOnly(true);
    lblThisFolderContain = MakeLabel(TabGeneral, QStringLiteral("This items list contains:"), 120, 1440, 5700);
    lblContain = MakeLabel(TabGeneral, QString(), 120, 1680, 5700);
    lblContain->setTextFormat(Qt::PlainText);
    imgOpenDestFolder = new QLabel(TabGeneral);
    imgOpenDestFolder->setPixmap(QApplication::style()->standardIcon(QStyle::SP_DirIcon).pixmap(16, 16));
    PlaceTwips(imgOpenDestFolder, 120, 2100, 240, 240);
    lblOpenDestinationDestinationFolder = MakeLink(TabGeneral, QStringLiteral("Open destination folder"), 420, 2100, 3000);
    lblOpenDestinationDestinationFolder->setToolTip(QStringLiteral("Open destination folder"));

    cmdOk = MakeButton(this, QStringLiteral("OK"), 4800, 3780, 1440, 375);
    cmdOk->setDefault(true);
    cmdCancel = MakeButton(this, QStringLiteral("Cancel"), 3240, 3780, 1440, 375);

    txtFolderName->installEventFilter(this);
    connect(cmdOk, &QPushButton::clicked, this, &frmDirProperties::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDirProperties::cmdCancel_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::Click, this,
            &frmDirProperties::lblOpenDestinationDestinationFolder_Click);
}

void frmDirProperties::Form_Load()
{
    // Colours and pictures of the product and the options.
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);
    SetForeColor(TabGeneral, g_lTextColor);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok)
        SetBackColor(this, back);
    if (!g_sViewBackPicture.isEmpty()) {
        LoadViewPicture(this, g_sViewBackPicture);
        LoadViewPicture(TabGeneral, g_sViewBackPicture);
    }
    LoadViewPicture(picTitle, g_sViewTitlePicture);
    // One tab, its page exactly on the client area.
    cTabControl1->AddTab(QStringLiteral("Information"));
    PlaceTwips(TabGeneral, cTabControl1->ClientLeft(), cTabControl1->ClientTop(), cTabControl1->ClientWidth(),
               cTabControl1->ClientHeight());
    TabGeneral->raise();
}

void frmDirProperties::cmdOk_Click()
{
    // A dialog that may not rename closes at once.
    if (!bEditFolderName) {
        Forms::Unload(this);
        return;
    }
    // The name is stored trimmed; an empty or illegal one is refused.
    const QString name = txtFolderName->text().trimmed();
    txtFolderName->setText(name);
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("Empty Item Name.") + QString(42, u' '), vbInformation);
        txtFolderName->setFocus();
        return;
    }
    // A name beginning with "." would make a hidden list file that the tree never shows.
    if (!IsLegalFileName(name) || name.startsWith(u'.')) {
        MsgBox(QStringLiteral("Illegal Item Name.") + QString(42, u' '), vbInformation);
        txtFolderName->setFocus();
        int key = '?';
        ValidateNameKey(txtFolderName, key);
        return;
    }
    // The list the dialog was opened for; gone meanwhile, there is nothing to rename.
    cTreeItem* node = m_node;
    if (!node || !node->TreeView()) {
        Forms::Unload(this);
        return;
    }
    // The same name changes nothing.
    if (name == node->Text()) {
        Forms::Unload(this);
        return;
    }
    // A list's file takes the new name (a CD drive has no file), never over another file.
    const QString oldKey = node->Key();
    if (!IsCDNode(oldKey) && !IsMainNode(oldKey)) {
        const QString newKey = GetFolder(oldKey.left(oldKey.size() - 1)) + name + QStringLiteral(".flst");
        if (PathEntryExists(newKey)) {
            MsgBox(QStringLiteral("Folder name already exists, please select a different name."), vbInformation);
            txtFolderName->setFocus();
            return;
        }
        // A list file that cannot take the new name keeps its old name, node and label.
        if (const int error = RenameListFile(oldKey, newKey)) {
            MsgBox(RenameFailureText(error), vbInformation);
            txtFolderName->setFocus();
            return;
        }
        node->SetKey(newKey);
    }
    // The node and the main window show the new name.
    node->SetText(name);
    if (ListsHost* host = g_ListsHost())
        host->ListRenamed(node, oldKey);
    Forms::Unload(this);
}

void frmDirProperties::cmdCancel_Click()
{
    Forms::Unload(this);
}

void frmDirProperties::lblOpenDestinationDestinationFolder_Click()
{
    // The path box holds the list file's path: the link opens the folder that holds it. A
    // key that is no path (a CD drive's) names no folder.
    QString p = txtPath->text();
    if (p.isEmpty() || !QDir::isAbsolutePath(p))
        return;
    if (!p.endsWith(u'/'))
        p = GetPathOfFile(p);
    if (!QFileInfo::exists(p)) {
        const QString q = QStringLiteral("The folder ") + p + QStringLiteral(" does not exist.") + QString(44, u' ')
            + QStringLiteral("\r\n\r\nWould you like to create it?");
        if (MsgBox(q, vbYesNo + vbInformation) != vbYes)
            return;
        if (MakePath(p) != 0)
            MsgBox(QStringLiteral("The path: ") + p + QStringLiteral(" cannot be created."), vbOKOnly);
    }
    OpenWithShell(this, p);
}

void frmDirProperties::txtFolderName_KeyPress(int& KeyAscii)
{
    ValidateNameKey(txtFolderName, KeyAscii);
}

bool frmDirProperties::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtFolderName && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1) {
            int key = text.at(0).unicode();
            txtFolderName_KeyPress(key);
            if (key == 0)
                return true;
        }
    }
    return VForm::eventFilter(watched, event);
}
