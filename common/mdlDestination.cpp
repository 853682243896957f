// Choosing and opening the destination folder.
#include "common/mdlDestination.h"

#include "common/mdlCommDialog.h"
#include "common/mdlFunctions.h"
#include "platform/MessageService.h"

#include <QComboBox>

QComboBox* MakeDestinationBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

void BrowseForDestination(QComboBox* txtToPath, QWidget* owner)
{
    QString path = BrowseForFolder(QStringLiteral("Select a new directory"), txtToPath->currentText(), owner, true,
                                   QString(), true, false);
    if (path.isEmpty())
        return;
    if (!path.endsWith(u'/'))
        path += u'/';
    txtToPath->setEditText(path);
    SavePathHistory(txtToPath);
    LoadPathHistory(txtToPath);
}

void OpenDestinationFolder(QComboBox* txtToPath, const QString& subFolder, QWidget* owner)
{
    if (!txtToPath->currentText().endsWith(u'/'))
        txtToPath->setEditText(txtToPath->currentText() + u'/');
    const QString folder = txtToPath->currentText() + subFolder;
    if (!IsFolder(folder)) {
        const QString question = QStringLiteral("The folder ") + folder + QStringLiteral(" does not exist.")
            + QString(44, u' ') + QStringLiteral("\r\n\r\nWould you like to create it?");
        if (MsgBox(question, vbYesNo + vbInformation) != vbYes)
            return;
        if (MakePath(folder) != 0) {
            MsgBox(QStringLiteral("The path: ") + folder + QStringLiteral(" cannot be created."), vbOKOnly);
        } else {
            SavePathHistory(txtToPath);
            LoadPathHistory(txtToPath);
        }
    }
    OpenWithShell(owner, folder);
}
