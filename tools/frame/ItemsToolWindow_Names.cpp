// The output-name template row of the item tools: the template list, its "Set as default"
// link and the placeholder reference.
#include "tools/frame/ItemsToolWindow.h"

#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlFileNameFormats.h"
#include "settings/mdlOptions.h"

#include <QComboBox>

int ItemsToolWindow::BuildFileNameBlock(int top)
{
    MakeLabel(TabSettings, QStringLiteral("File Name Format:"), 240, top + 60, 1600);
    // The list is wide enough for the longest built-in template; its two links stand over
    // its right end, on the row above, where they have room beside each other.
    cboFileName = new QComboBox(TabSettings);
    PlaceTwips(cboFileName, 1920, top, 6000, 315);
    FillBuiltInFileNameFormats(cboFileName);
    lblSetAsDefaultFileName = MakeLink(TabSettings, QStringLiteral("Set as default"), 5500, top - 300, 1300);
    lblSetAsDefaultFileName->setToolTip(QStringLiteral("Set as default file name format"));
    lblParameters = MakeLink(TabSettings, QStringLiteral("Parameters"), 6900, top - 300, 1100);
    lblParameters->setToolTip(QStringLiteral("Parameters"));

    connect(cboFileName, &QComboBox::activated, this, &ItemsToolWindow::cboFileName_Click);
    connect(lblSetAsDefaultFileName, &LinkLabel::Click, this, &ItemsToolWindow::lblSetAsDefaultFileName_Click);
    connect(lblParameters, &LinkLabel::Click, this, &ItemsToolWindow::lblParameters_Click);
    return top + 420;
}

void ItemsToolWindow::cboFileName_Click()
{
    lblSetAsDefaultFileName->setEnabled(cboFileName->currentText() != g_sFileNameFormat);
}

void ItemsToolWindow::lblSetAsDefaultFileName_Click()
{
    SetDefaultFileNameFormat(cboFileName->currentText());
    lblSetAsDefaultFileName->setEnabled(false);
}

void ItemsToolWindow::lblParameters_Click()
{
    ShowProgParameters(2, this);
}

QString ItemsToolWindow::CreateFileNameFromFormat(qint32 Row)
{
    FileNameValues values;
    values.row = Row;
    values.sourceFile = RowText(cGrid1, Row, QStringLiteral("COL_FILE"));
    values.itemName = RowText(cGrid1, Row, QStringLiteral("Item Name"));
    values.targetFormatText = JobFormatText();
    values.fixedExtension = m_sFixedExtension;
    values.copiedAsIs = JobCopiesAsIs();
    return VisibleFileName(ExpandFileNameFormat(m_sJobTemplate, values));
}
