// The list properties dialog: an items list's name, the path of its list file and a
// summary of its contents; OK gives the list a new name (file, tree node and list label).
#pragma once

#include "components/cTreeView/cTreeView.h"
#include "platform/Forms.h"

#include <QPointer>

class QLabel;
class QPushButton;
class LinkLabel;
class TextBox;
class cTabControl;

class frmDirProperties : public VForm
{
    Q_OBJECT
public:
    frmDirProperties();
    void Form_Load() override;

    void cmdOk_Click();
    void cmdCancel_Click();
    void lblOpenDestinationDestinationFolder_Click();
    // Key filter of the name box: an illegal character is swallowed (KeyAscii 0).
    void txtFolderName_KeyPress(int& KeyAscii);

    // The tree node of the list the dialog shows; OK renames that list, whichever node is
    // selected by then.
    void SetListNode(cTreeItem* node) { m_node = node; }
    cTreeItem* ListNode() const { return m_node; }

    bool bEditFolderName = false;

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    cTabControl* cTabControl1 = nullptr;
    QWidget* TabGeneral = nullptr;
    QLabel* lblFolderName = nullptr;
    TextBox* txtFolderName = nullptr;
    QLabel* lblPath = nullptr;
    TextBox* txtPath = nullptr;
    QLabel* lblThisFolderContain = nullptr;
    QLabel* lblContain = nullptr;
    QLabel* imgOpenDestFolder = nullptr;
    LinkLabel* lblOpenDestinationDestinationFolder = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<cTreeItem> m_node;
};

inline frmDirProperties* g_frmDirProperties()
{
    return Forms::Get<frmDirProperties>();
}
