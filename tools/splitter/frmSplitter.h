// The splitter window: cuts one audio file into consecutive parts, either a number of
// parts or parts of a number of seconds, one run of its conversion component per part.
#pragma once

#include "components/audio/SourceWatch.h"
#include "tools/frame/ToolWindow.h"
#include "tools/splitter/mdlSplit.h"

class QRadioButton;
class cAudioConverter;

class frmSplitter : public ToolWindow
{
    Q_OBJECT
public:
    frmSplitter();
    ~frmSplitter() override;

    void Form_Load() override;

    // The Split button: prepares, checks and starts a job.
    void cmdConvert_Click();
    // Starts the next part while the source lasts, else ends the job.
    void ConvertTracks();
    // Prepares and starts the current part: 0 started, 1 the user answered No to
    // overwriting its file, 2 Cancel, 3 the source is no longer the file the job began on.
    qint32 ConvertTask();

    void ptnSplitByParts_Click();
    void ptnSplitBySecs_Click();
    void CheckSplitModeEna();

    // Events of the conversion component.
    void cAudioConverter1_Progress(qint32 Percent);
    void cAudioConverter1_Done();
    void cAudioConverter1_Aborted();
    void cAudioConverter1_Error(qint32 Code, const QString& Description);

    // Written by the launch before the window shows: the full path of the file to split.
    QString g_sFileToSplit;

    // Job state.
    qint32 g_lTotalFileLength = 0;  // milliseconds
    qint32 g_lLength = 0;           // part length, whole seconds
    qint32 g_lStartFrom = 0;        // start of the current part, whole seconds
    qint32 g_lPart = 1;             // the current part, from 1
    const SplitPlan& Plan() const { return m_plan; }

    QRadioButton* ptnSplitByParts = nullptr;
    TextBox* txtSplitParts = nullptr;
    QRadioButton* ptnSplitBySecs = nullptr;
    TextBox* txtSplitSecs = nullptr;
    cAudioConverter* cAudioConverter1 = nullptr;

protected:
    AudioJobComponent* JobComponent() override;
    void CloseComponents() override;
    QList<QWidget*> PaintedControls() const override;

private:
    QString GetPartFileName(const QString& source) const;
    // The part is over (done or failed): on to the next one.
    void NextPart();
    // The source is the file the job began on, unchanged.
    bool SourceUnchanged() const;
    // Ends the job when its source changed: the current part and the ones after it fail.
    void EndOnChangedSource();

    SplitPlan m_plan;
    SourceWatch m_sourceWatch;  // the source as the job found it when it began
};

inline frmSplitter* g_frmSplitter()
{
    return Forms::Get<frmSplitter>();
}
