#include "tests/support/ToolRows.h"

#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ToolTexts.h"
#include "tools/converters/frmACMConverter.h"
#include "tools/converters/frmConverter.h"
#include "tools/converters/frmJoiner.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

namespace ToolRows {

qint32 Add(cGrid* grid, const QString& file, const QString& time)
{
    const qint32 row = grid->Rows() + 1;
    SetRowText(grid, row, QStringLiteral("COL_FILE"), file);
    SetRowText(grid, row, QStringLiteral("Item Name"), QFileInfo(file).fileName());
    if (!time.isEmpty())
        SetRowText(grid, row, QStringLiteral("Time"), time);
    SetRowText(grid, row, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("1"));
    SetRowText(grid, row, QStringLiteral("Range"), QStringLiteral("All"));
    return row;
}

qint32 AddStandIn(cGrid* grid, const QString& folder, const QString& name, const QString& time)
{
    const QString file = folder + name;
    QDir().mkpath(QFileInfo(file).path());
    TestFiles::WriteBytes(file, "source of " + name.toUtf8());
    return Add(grid, file, time);
}

void SetRange(cGrid* grid, qint32 row, const QString& start, const QString& length)
{
    SetRowText(grid, row, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("0"));
    SetRowText(grid, row, QStringLiteral("COL_RANGE_START_TIME"), start);
    SetRowText(grid, row, QStringLiteral("COL_RANGE_LENGTH_TIME"), length);
}

ToolWindow* OpenItemsTool(const QString& tool, const QString& splitSource, int parts)
{
    if (tool == QLatin1String("splitter")) {
        frmSplitter* s = g_frmSplitter();
        s->g_sFileToSplit = splitSource;
        s->txtSplitParts->setText(QString::number(parts));
        return s;
    }
    if (tool == QLatin1String("joiner")) {
        frmJoiner* j = g_frmJoiner();
        j->txtJoinedFileName->setText(QStringLiteral("all.[dest_extension]"));
        return j;
    }
    ItemsToolWindow* c = nullptr;
    if (tool == QLatin1String("converter"))
        c = g_frmConverter();
    else if (tool == QLatin1String("ACM converter"))
        c = g_frmACMConverter();
    else
        return nullptr;
    c->cboFileName->setCurrentIndex(0);  // "[file_name].[dest_extension]"
    return c;
}

bool WriteWav(ToolWindow* w, const QString& dest, const QString& pcmFormat)
{
    if (auto* acm = qobject_cast<frmACMConverter*>(w)) {
        if (!SelectListText(acm->cboTags, QStringLiteral("PCM")))
            return false;
        acm->cboTags_Click();
        if (!SelectListText(acm->cboFormats, pcmFormat))
            return false;
    }
    if (w->cboTargetFormat && !SelectListText(w->cboTargetFormat, ToolTexts::kWav))
        return false;
    w->txtToPath->setEditText(dest);
    return true;
}

QString ListRecord(const QString& file, bool marked, const QString& cells)
{
    return QStringLiteral("<ITEM><Inc>%1</Inc><Type>Audio</Type><Item Name>%2</Item Name><COL_FILE>%3</COL_FILE>")
               .arg(marked ? QStringLiteral("1") : QStringLiteral("0"), QFileInfo(file).fileName(), file)
        + (cells.isEmpty() ? QStringLiteral("<COL_RANGE_ALL>1</COL_RANGE_ALL>") : cells) + QStringLiteral("</ITEM>\n");
}

} // namespace ToolRows
