// The audio joiner window: joins the handed items, in grid order and each whole or as its
// range, into one file in the chosen format, named from the window's own name template
// and tagged from the first row.
#pragma once

#include "tools/frame/ToolWindow.h"

class cAudioJoin;

class frmJoiner : public ToolWindow
{
    Q_OBJECT
public:
    frmJoiner();
    ~frmJoiner() override;

    // The frame, and the job's values at their start.
    void Form_Load() override;

    // What preparing a join ended in.
    enum JoinResult : qint32 {
        kJoinStarted = 0,    // the component joins; its events end the job
        kJoinSkipped = 1,    // the user answered No to overwriting the output
        kJoinCancelled = 2,  // the user answered Cancel
        kJoinRefused = 3,    // the items cannot be joined as they stand; the log says why, the job failed
    };
    // Hands the rows, the output and its tags to the component and starts it.
    qint32 JoinFiles();

    // The Join button.
    void cmdConvert_Click();
    void lblParameters_Click();

    // Events of the join component.
    void cAudioJoin1_Progress(qint32 FileIndex, qint32 Percent);
    void cAudioJoin1_Done();
    void cAudioJoin1_Aborted();
    void cAudioJoin1_Error(qint32 Code, const QString& Description);

    // The entry last announced in the log by an "Add" line (0 before the first).
    qint32 LastEntry() const { return m_lLastEntry; }

    LinkLabel* lblParameters = nullptr;
    TextBox* txtJoinedFileName = nullptr;
    cAudioJoin* cAudioJoin1 = nullptr;

protected:
    AudioJobComponent* JobComponent() override;
    void AbortJob() override;
    void CloseComponents() override;

private:
    // A row that cannot be joined stops the join before it starts: logged as an error,
    // and the job ends as failed.
    qint32 Refuse(qint32 Code, const QString& Description);
    // The join failed: its error logged and every row counted as failed.
    void LogJoinFailed(qint32 Code, const QString& Description);

    qint32 m_lLastEntry = 0;
};

inline frmJoiner* g_frmJoiner()
{
    return Forms::Get<frmJoiner>();
}
