// The audio editor window ("Audio Analyzer"): one WAV file in the editor control, its format
// values and the current selection beside it, a bar to play, pause, stop, zoom, restore
// and save the selection, and "Add Selection" to save the selection and add the new file
// to the main window's current items list.
#pragma once

#include "platform/Forms.h"

#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class TextBox;
class XP_ProgressBar;
class cAudioEditor;
class cReBar;
class cToolbar;

class frmAudioEditor : public VForm
{
    Q_OBJECT
public:
    frmAudioEditor();
    ~frmAudioEditor() override;

    void Form_Load() override;
    // However the window closes, a playback and a save stop first.
    void Form_Unload(int& Cancel) override;

    // The save dialog, then the save of the selection into the chosen file; the chosen
    // path, or "" when the dialog was cancelled (nothing is saved then).
    QString SaveSelectionAs();
    void cmdAddSelection_Click();
    void cmdAbort_Click();
    void cmdExit_Click();
    void cmdSelectPath_Click();
    void tlbrList_ButtonClick(qint32 Index);

    // Events of the editor control.
    void cAudioEditor1_FileLoaded(qint32 SamplesPerSec, qint32 Bits, qint32 Channels, qint32 LengthSeconds,
                                  qint64 SampleCount);
    void cAudioEditor1_SelectionChanged(qint64 StartSample, qint64 EndSample, qint64 StartMs, qint64 EndMs);
    void cAudioEditor1_Progress(qint32 Percent);
    void cAudioEditor1_SaveDone();
    void cAudioEditor1_Aborted();
    void cAudioEditor1_Error(qint32 Code, const QString& Description);
    void cAudioEditor1_PlayDone();

    // "1500 ms [0:00:02]": milliseconds, then the seconds as H:MM:SS, halves to even.
    static QString TimeLabelText(qint64 Milliseconds);

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QWidget* picList = nullptr;
    cReBar* rbrList = nullptr;
    cToolbar* tlbrList = nullptr;
    cAudioEditor* cAudioEditor1 = nullptr;
    QGroupBox* fraInfo = nullptr;
    QLabel* lblInfoSamples = nullptr;
    QLabel* lblInfoBits = nullptr;
    QLabel* lblInfoChannels = nullptr;
    QLabel* lblLength = nullptr;
    QLabel* lblNumOfSamples = nullptr;
    QGroupBox* fraPosition = nullptr;
    QLabel* lblSamplesStart = nullptr;
    QLabel* lblSamplesEnd = nullptr;
    QLabel* lblTimeStart = nullptr;
    QLabel* lblTimeEnd = nullptr;
    QLabel* lblSelectedTime = nullptr;
    TextBox* txtWavFile = nullptr;
    QPushButton* cmdSelectPath = nullptr;
    XP_ProgressBar* prgCurrnet = nullptr;
    QPushButton* cmdAddSelection = nullptr;
    QPushButton* cmdAbort = nullptr;
    QPushButton* cmdExit = nullptr;

private:
    void BuildToolbar();
    // The save dialog alone: the chosen path, or "" when cancelled.
    QString AskSelectionFile();
    // Hands the source, the output and the selection the labels show to the control and
    // starts the save.
    void StartSaving(const QString& path);
    void SetSaveButtonsEnabled(bool addSelection, bool saveSelection);
    // Empties the file's values and the selection: nothing of a file shown before stays.
    void ClearFileLabels();

    // The file "Add Selection" adds to the list once its save has ended well.
    QString m_sAddWhenSaved;
};

inline frmAudioEditor* g_frmAudioEditor()
{
    return Forms::Get<frmAudioEditor>();
}
