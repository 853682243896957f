// The audio editor window's handlers: the bar, the buttons, saving the selection and adding
// it to the items list, and the editor control's events.
#include "tools/splitter/frmAudioEditor.h"

#include "common/MainHost.h"
#include "common/mdlCommDialog.h"
#include "common/mdlFunctions.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioEditor/cAudioEditor.h"
#include "components/cToolbar/cToolbar.h"
#include "lists/frmStat.h"
#include "platform/Controls.h"
#include "platform/FileIdentity.h"
#include "platform/MessageService.h"

#include <QLabel>
#include <QPushButton>

namespace {

const QString kWavFilter = QStringLiteral("Wav Audio Files (*.wav)") + QChar(0) + QStringLiteral("*.wav") + QChar(0);

// The whole number a time label starts with (its text before the first blank); false when
// it holds none.
bool labelMilliseconds(const QLabel* label, qint64& ms)
{
    bool ok = false;
    ms = label->text().section(u' ', 0, 0).toLongLong(&ok);
    return ok;
}

} // namespace

void frmAudioEditor::Form_Unload(int&)
{
    cAudioEditor1->Abort();
    m_sAddWhenSaved.clear();
}

void frmAudioEditor::tlbrList_ButtonClick(qint32 Index)
{
    const QString key = tlbrList->ButtonKey(Index);
    if (key == QLatin1String("Play")) {
        const qint32 result = cAudioEditor1->Play();
        if (result == 0)
            tlbrList->SetButtonEnabled(QStringLiteral("Play"), false);
        else if (result == kEditPlayNoDevice)
            MsgBox(QStringLiteral("No audio output device can be opened."), vbInformation + vbOKOnly);
    } else if (key == QLatin1String("Pause")) {
        if (cAudioEditor1->IsPaused())
            cAudioEditor1->Resume();
        else
            cAudioEditor1->Pause();
    } else if (key == QLatin1String("Stop")) {
        cAudioEditor1->StopPlay();
        tlbrList->SetButtonEnabled(QStringLiteral("Play"), true);
    } else if (key == QLatin1String("Zoom")) {
        cAudioEditor1->ZoomToSelection();
    } else if (key == QLatin1String("Restore")) {
        cAudioEditor1->ZoomRestore();
    } else if (key == QLatin1String("Save Selection")) {
        SaveSelectionAs();
    }
    // "Abort" on the bar does nothing: the window's Abort button aborts.
}

QString frmAudioEditor::AskSelectionFile()
{
    g_OFN.lpstrFilter = kWavFilter;
    g_OFN.lpstrTitle = QStringLiteral("Save Selection As");
    g_OFN.lpstrFile.clear();
    g_OFN.lpstrDefExt = QStringLiteral("wav");
    const FileDialogResult r = ShowSave(this, QString(), true);
    return r.Cancelled ? QString() : r.FileNames.value(0);
}

void frmAudioEditor::StartSaving(const QString& path)
{
    cAudioEditor1->SetSourceFile(txtWavFile->text());
    cAudioEditor1->SetOutputFile(path);
    // The save dialog asked before a file there was chosen: the agreement holds for that
    // file, and for no other that takes the name later.
    cAudioEditor1->SetOverwriteAgreed(ReadFileIdentity(path));
    // The labels are the window's record of the selection.
    qint64 start = 0, end = 0;
    const bool haveStart = labelMilliseconds(lblTimeStart, start);
    if (haveStart)
        cAudioEditor1->SetSelectionStart(start);
    if (labelMilliseconds(lblTimeEnd, end))
        cAudioEditor1->SetSelectionLength(end - (haveStart ? start : 0));
    SetSaveButtonsEnabled(false, false);
    cAudioEditor1->SaveSelection();
}

QString frmAudioEditor::SaveSelectionAs()
{
    const QString path = AskSelectionFile();
    if (!path.isEmpty())
        StartSaving(path);
    return path;
}

void frmAudioEditor::cmdAddSelection_Click()
{
    // A cancelled dialog ends the click: nothing is saved or added, and the window stays.
    const QString path = AskSelectionFile();
    if (path.isEmpty())
        return;
    if (!CheckFileToAdd(txtWavFile->text()))
        return;
    // The new file joins the list once its save has ended well (cAudioEditor1_SaveDone).
    m_sAddWhenSaved = path;
    StartSaving(path);
}

void frmAudioEditor::cmdAbort_Click()
{
    cAudioEditor1->Abort();
}

void frmAudioEditor::cmdExit_Click()
{
    Forms::Unload(this);  // stops a playback and a save first
}

void frmAudioEditor::cmdSelectPath_Click()
{
    g_OFN.lpstrFilter = kWavFilter;
    g_OFN.lpstrTitle = QStringLiteral("Add audio files");
    const FileDialogResult r = ShowOpen(this, true);
    if (r.Cancelled)
        return;
    // With several files chosen, the first of them.
    QString file = r.FileNames.value(0);
    if (r.FileCount > 1)
        file = r.FolderName + u'/' + r.FileNames.value(1);
    txtWavFile->setText(file);
    // The labels wait for the new file's values: a file that cannot be shown leaves them empty.
    ClearFileLabels();
    cAudioEditor1->OpenFile(txtWavFile->text());
}

void frmAudioEditor::ClearFileLabels()
{
    for (QLabel* label : {lblInfoSamples, lblInfoBits, lblInfoChannels, lblLength, lblNumOfSamples, lblSamplesStart,
                          lblSamplesEnd, lblTimeStart, lblTimeEnd, lblSelectedTime})
        label->clear();
}

void frmAudioEditor::SetSaveButtonsEnabled(bool addSelection, bool saveSelection)
{
    cmdAddSelection->setEnabled(addSelection);
    tlbrList->SetButtonEnabled(QStringLiteral("Save Selection"), saveSelection);
}

void frmAudioEditor::cAudioEditor1_FileLoaded(qint32 SamplesPerSec, qint32 Bits, qint32 Channels, qint32 LengthSeconds,
                                              qint64 SampleCount)
{
    lblInfoSamples->setText(QString::number(SamplesPerSec));
    lblInfoBits->setText(QString::number(Bits));
    lblInfoChannels->setText(QString::number(Channels));
    lblNumOfSamples->setText(QString::number(SampleCount));
    lblLength->setText(SecondsToTime(LengthSeconds));
    // The whole file is selected.
    lblSamplesStart->setText(QStringLiteral("0"));
    lblSamplesEnd->setText(QString::number(SampleCount));
    lblTimeStart->setText(TimeLabelText(0));
    lblTimeEnd->setText(TimeLabelText(qint64(LengthSeconds) * 1000));
    lblSelectedTime->setText(lblTimeEnd->text());
    // A new file can be saved, whatever became of a save of the file before it.
    if (!cAudioEditor1->IsSaving())
        SetSaveButtonsEnabled(true, true);
}

void frmAudioEditor::cAudioEditor1_SelectionChanged(qint64 StartSample, qint64 EndSample, qint64 StartMs, qint64 EndMs)
{
    lblSamplesStart->setText(QString::number(StartSample));
    lblSamplesEnd->setText(QString::number(EndSample));
    lblTimeStart->setText(TimeLabelText(StartMs));
    lblTimeEnd->setText(TimeLabelText(EndMs));
    lblSelectedTime->setText(TimeLabelText(EndMs - StartMs));
}

void frmAudioEditor::cAudioEditor1_Progress(qint32 Percent)
{
    prgCurrnet->SetValue(Percent);
}

void frmAudioEditor::cAudioEditor1_SaveDone()
{
    SetSaveButtonsEnabled(true, true);
    const QString added = m_sAddWhenSaved;
    m_sAddWhenSaved.clear();
    if (added.isEmpty())
        return;
    if (MainHost* host = g_MainHost())
        host->AddPathsToList({added});
    Forms::Unload(this);
}

void frmAudioEditor::cAudioEditor1_Aborted()
{
    m_sAddWhenSaved.clear();
    SetSaveButtonsEnabled(true, true);
    tlbrList->SetButtonEnabled(QStringLiteral("Play"), true);
}

void frmAudioEditor::cAudioEditor1_Error(qint32, const QString& Description)
{
    // The bar's "Save As" stays disabled until a later save ends well or is aborted, or
    // another file is loaded.
    m_sAddWhenSaved.clear();
    cmdAddSelection->setEnabled(true);
    MsgBox(Description, vbInformation + vbOKOnly);
}

void frmAudioEditor::cAudioEditor1_PlayDone()
{
    tlbrList->SetButtonEnabled(QStringLiteral("Play"), true);
}
