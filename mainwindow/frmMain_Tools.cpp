// Launching the tool windows with the items of the current list: the guards every item
// launch passes, the hand-over, and the modal show with the drive poll stopped.
#include "mainwindow/frmMain.h"

#include "common/mdlFileSystem.h"
#include "common/mdlFunctions.h"
#include "components/cAudioEditor/cAudioEditor.h"
#include "components/cProgressBar/cProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListsTree.h"
#include "platform/App.h"
#include "platform/MessageService.h"
#include "platform/Controls.h"
#include "tools/converters/frmACMConverter.h"
#include "tools/converters/frmConverter.h"
#include "tools/converters/frmJoiner.h"
#include "tools/disc/frmAudioCDDuplicator.h"
#include "tools/disc/frmCDBurner.h"
#include "tools/disc/frmDataBurner3.h"
#include "tools/recording/frmMicRecorder.h"
#include "tools/recording/frmOrvelle.h"
#include "tools/splitter/frmAudioEditor.h"
#include "tools/splitter/frmAudioEditorProc.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

bool frmMain::RedirectFromGroupNode(const QString& message)
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!selected || !IsMainNode(selected->Key()))
        return false;
    MsgBox(message.isEmpty() ? QStringLiteral("Select the Items List.") + QString(40, u' ') : message,
           vbInformation + vbOKOnly);
    cTreeItem* first = selected->Children().Count() > 0 ? selected->Children().Item(1) : nullptr;
    cTreeView1_NodeClick(first);
    return true;
}

bool frmMain::PassToolLaunchGuards(const QString& markMessage)
{
    if (RedirectFromGroupNode())
        return false;
    // An empty list asks for files instead; the tool does not open afterwards.
    if (cGrid1->Rows() == 0) {
        RunCommand(QStringLiteral("Add Files"));
        return false;
    }
    if (CountMarkedRows() == 0) {
        MsgBox(markMessage, vbInformation + vbOKOnly);
        return false;
    }
    setCursor(Qt::WaitCursor);
    return true;
}

QString frmMain::SelectedListSafeName()
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    return MakeSafeName(selected ? selected->Text() : QString());
}

void frmMain::HandOverSubFolder(ToolWindow* tool)
{
    tool->txtUndeForlder->setText(SelectedListSafeName());
}

qint32 frmMain::HandOverTotals(ToolWindow* tool)
{
    const qint32 seconds = qint32(std::clamp<qint64>(GetTotalTime(true).toLongLong(), 0, INT32_MAX));
    // The time goes to the wide first panel, the size to the narrow second one.
    tool->cStatusBar1->SetPanelText(QStringLiteral("Total Size"), QStringLiteral("Total Time: ") + SecondsToTime(seconds));
    tool->cStatusBar1->SetPanelText(QStringLiteral("Total Time"), QStringLiteral("Total Size: ") + GetTotalSize(true));
    return seconds;
}

void frmMain::ShowToolWindow(VForm* tool)
{
    unsetCursor();
    // The window's own modal loop still runs the main window's timers: no drive is polled
    // under a running job.
    tmrCDs.stop();
    tool->Show(vbModal);
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (selected && IsCDNode(selected->Key()))
        tmrCDs.start();
    unsetCursor();
}

void frmMain::HandOverMarkedRows(ItemsToolWindow* tool)
{
    tool->lblFilesToConvert->setText(QString::number(CountMarkedRows()) + QStringLiteral(" items to convert."));
    // The marked rows' seconds, the base of the window's time-left estimate.
    tool->g_ltmrItemSecsTotal = HandOverTotals(tool);
    HandOverSubFolder(tool);
    CopyMarkedRows(cGrid1, tool->cGrid1, true);
}

bool frmMain::CmdAudioConverter(qint32)
{
    if (!PassToolLaunchGuards(QStringLiteral("Mark the items to convert.") + QString(29, u' ')))
        return false;
    frmConverter* tool = g_frmConverter();
    HandOverMarkedRows(tool);
    ShowToolWindow(tool);
    return true;
}

bool frmMain::CmdACMConverter(qint32)
{
    if (!PassToolLaunchGuards(QStringLiteral("Mark the items to convert.") + QString(29, u' ')))
        return false;
    frmACMConverter* tool = g_frmACMConverter();
    HandOverMarkedRows(tool);
    // The codec chooser's sources: every codec, then the file of every row of the list,
    // marked or not; the current row's file is chosen as a click on it would choose it.
    tool->cboBestAccordItem->addItem(frmACMConverter::AllCodecsText());
    for (qint32 row = 1; row <= cGrid1->Rows(); ++row)
        tool->cboBestAccordItem->addItem(RowText(cGrid1, row, QStringLiteral("COL_FILE")));
    if (SelectListText(tool->cboBestAccordItem, RowText(cGrid1, cGrid1->CurrentRow(), QStringLiteral("COL_FILE"))))
        tool->cboBestAccordItem_Click();
    ShowToolWindow(tool);
    return true;
}

bool frmMain::CmdAudioJoiner(qint32)
{
    if (!PassToolLaunchGuards(QStringLiteral("Mark the items to join.") + QString(29, u' ')))
        return false;
    const qint32 marked = CountMarkedRows();
    if (marked < 2) {
        unsetCursor();
        MsgBox(QStringLiteral("Nothing to join.") + QString(55, u' ') + QStringLiteral("\r\n\r\n"), vbInformation + vbOKOnly);
        return false;
    }
    frmJoiner* tool = g_frmJoiner();
    tool->lblFilesToConvert->setText(QString::number(marked) + QStringLiteral(" items to join."));
    HandOverTotals(tool);
    HandOverSubFolder(tool);
    CopyMarkedRows(cGrid1, tool->cGrid1, true);
    ShowToolWindow(tool);
    return true;
}

bool frmMain::CmdAudioSplitter(qint32)
{
    if (!PassToolLaunchGuards(QStringLiteral("Mark the items to split.") + QString(29, u' ')))
        return false;
    // The current row is split, marked or not.
    const qint32 row = cGrid1->CurrentRow();
    frmSplitter* tool = g_frmSplitter();
    tool->lblFilesToConvert->setText(QStringLiteral("Split: ") + RowText(cGrid1, row, QStringLiteral("Item Name")));
    tool->cStatusBar1->SetPanelText(QStringLiteral("Total Size"),
                                    QStringLiteral("Total Time: ") + RowText(cGrid1, row, QStringLiteral("Time")));
    double bytes = 0;
    ReadNumber(RowText(cGrid1, row, QStringLiteral("COL_BYTES_SIZE")), bytes);
    tool->cStatusBar1->SetPanelText(QStringLiteral("Total Time"), QStringLiteral("Total Size: ") + FormatFileSize(bytes));
    HandOverSubFolder(tool);
    tool->g_sFileToSplit = RowText(cGrid1, row, QStringLiteral("COL_FILE"));
    // Both grids have the items grid row's columns in one order: the cells copy by column
    // number, all but the mark.
    for (qint32 col = 2; col <= cGrid1->Columns(); ++col)
        tool->cGrid1->SetCell(1, col, cGrid1->Cell(row, col).Text());
    ShowToolWindow(tool);
    return true;
}

bool frmMain::CmdAudioAnalyser(qint32)
{
    if (!PassToolLaunchGuards(QStringLiteral("Mark the item to edit.") + QString(29, u' ')))
        return false;
    const qint32 row = cGrid1->CurrentRow();
    frmAudioEditor* editor = g_frmAudioEditor();
    g_bAbortedAudioEditor = false;
    // A WAV file ("wav" in any case) opens as it is; anything else is converted into the
    // temporary WAV file beside the program first.
    const QString source = RowText(cGrid1, row, QStringLiteral("COL_FILE"));
    QString file = source;
    if (GetFileExt(source).toUpper() != QLatin1String("WAV")) {
        frmAudioEditorProc* proc = g_frmAudioEditorProc();
        file = AppPath() + QStringLiteral("/tmpeditor.wav");
        // What an earlier conversion left there is never opened in place of this one.
        KillFile(file);
        proc->ConvertFile(source, file);
        unsetCursor();
        proc->Show(vbModal);
    }
    // Only a conversion that ended well opens the editor.
    if (g_bAbortedAudioEditor) {
        unsetCursor();
        return true;
    }
    editor->txtWavFile->setText(file);
    editor->cAudioEditor1->OpenFile(editor->txtWavFile->text());
    editor->SetCaption(RowText(cGrid1, row, QStringLiteral("Item Name")));
    ShowToolWindow(editor);
    return true;
}

bool frmMain::CmdAudioRecorder(qint32)
{
    // Nothing is handed over and no list is needed; the drive poll goes on as it was.
    setCursor(Qt::WaitCursor);
    frmMicRecorder* recorder = g_frmMicRecorder();
    unsetCursor();
    recorder->Show(vbModal);
    return true;
}

bool frmMain::CmdAudioCDDuplicator(qint32)
{
    // No list is needed and nothing is handed over: the window reads the source drive itself.
    tmrCDs.stop();
    setCursor(Qt::WaitCursor);
    ShowToolWindow(g_frmAudioCDDuplicator());
    return true;
}

bool frmMain::CmdAudioCDMaker(qint32)
{
    if (!PassToolLaunchGuards(QStringLiteral("Mark the items to burn.") + QString(29, u' ')))
        return false;
    frmCDBurner* tool = g_frmCDBurner();
    const qint32 marked = CountMarkedRows();
    // The playing time against an audio CD's 80 minutes: the exact minutes decide the
    // warning, the shown ones are rounded half to even.
    const qint64 seconds = std::clamp<qint64>(GetTotalTime(true).toLongLong(), 0, INT32_MAX);
    const double exact = double(seconds) / 60.0;
    const qint64 minutes = qint64(std::nearbyint(exact));
    tool->lblFilesToConvert->setText(QStringLiteral("%1 items to burn (%2 minutes).").arg(marked).arg(minutes));
    tool->cStatusBar1->SetPanelText(QStringLiteral("Total Size"), QStringLiteral("%1 Min / %2 Min.").arg(minutes).arg(80));
    tool->prgSize->SetMin(0);
    tool->prgSize->SetMax(83);
    tool->prgSize->SetValue(qint32(minutes));
    if (exact > 80) {
        tool->prgSize->SetBarOption6(255);
        tool->lblDataSize->setText(QStringLiteral("Data is to big (more then 80 min). Please remove some tracks."));
        QFont bold = tool->lblDataSize->font();
        bold.setBold(true);
        tool->lblDataSize->setFont(bold);
    } else {
        tool->lblDataSize->setText(QStringLiteral("Data Size: %1 files, %2 Min / %3 Min.").arg(marked).arg(minutes).arg(80));
    }
    CopyMarkedRows(cGrid1, tool->cGrid1, true);
    ShowToolWindow(tool);
    return true;
}

bool frmMain::CmdDataCDMaker(qint32 ItemNumber)
{
    // The two commands differ only in the title and the target format they preset.
    const QString key = m_cMenu->ItemKey(ItemNumber);
    const bool mp3 = key == QLatin1String("MP3 CD Maker");
    if (!PassToolLaunchGuards(QStringLiteral("Mark the items to burn.") + QString(29, u' ')))
        return false;
    frmDataBurner3* tool = g_frmDataBurner3();
    tool->lblTitle->setText(key);
    tool->setWindowTitle(tool->lblTitle->text());
    tool->lblFilesToConvert->setText(QString::number(CountMarkedRows()) + QStringLiteral(" items to burn."));
    SelectListText(tool->cboTargetFormat, mp3 ? QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)")
                                              : QStringLiteral("WMA - Windows Media Audio files (*.wma)"));
    tool->g_ltmrItemSecsTotal = HandOverTotals(tool);
    // The list's name, made safe, is the disc's volume name.
    tool->txtCDName->setText(SelectedListSafeName());
    CopyMarkedRows(cGrid1, tool->cGrid1, true);
    ShowToolWindow(tool);
    return true;
}

bool frmMain::CmdTextToSpeech(qint32)
{
    // Nothing is handed over and no list is needed; the hourglass stays on this window
    // while the text-to-speech window is open, and the drive poll goes on as it was.
    setCursor(Qt::WaitCursor);
    frmOrvelle* speech = g_frmOrvelle();
    speech->Show(vbModal);
    unsetCursor();
    return true;
}
