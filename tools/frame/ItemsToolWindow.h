// The tool windows that work through their items one after another (audio converter, and
// the ACM converter, CD ripper and data disc burner after it): the items job that runs each
// row through the window's component (overwrite question, error flag, Abort, the ending),
// the time-left estimate, and the output-name template list with its links.
#pragma once

#include "common/mdlFileIdentity.h"
#include "tools/frame/ToolWindow.h"

#include <QTimer>

class QComboBox;
class QLabel;

class ItemsToolWindow : public ToolWindow
{
    Q_OBJECT
public:
    explicit ItemsToolWindow(const Design& design);
    ~ItemsToolWindow() override;

    // The frame, then the template list with its default chosen and the job's values at 0.
    void Form_Load() override;

    // The start button: prepares a job over every row and starts its first row.
    void cmdConvert_Click();
    // Starts the next row from the current one on, or ends the job when none is left or
    // the user cancelled.
    void ConvertTracks();
    // What preparing one row ended in.
    enum TaskResult : qint32 {
        kTaskStarted = 0,    // the component works on it; its events go on with the job
        kTaskSkipped = 1,    // the user answered No to overwriting its file
        kTaskCancelled = 2,  // the user answered Cancel: the job stops
        kTaskFailed = 3,     // the row cannot be worked on; logged as its error, the job goes on
        kTaskPassed = 4,     // an earlier row's output stands for this row: the job goes on
        kTaskEndHere = 5,    // the user ended the work here: the rows done so far complete the job
    };
    // Prepares one row and starts it.
    qint32 ConvertTask(qint32 Row);

    // Events of the window's component.
    void Component_Progress(qint32 Percent);
    void Component_Done();
    void Component_Error(qint32 Code, const QString& Description);
    void Component_Aborted();

    // One tick of the time-left estimate.
    void Timer1_Timer();

    // The template list.
    void cboFileName_Click();
    void lblSetAsDefaultFileName_Click();
    void lblParameters_Click();
    // The output name of a row from the job's template (the chosen one between jobs).
    virtual QString CreateFileNameFromFormat(qint32 Row);

    // Tag texts of a row: the shared placeholders, and [SOURCE_NAME], [ITEM_NAME] and
    // [RANGE] of the row being worked on.
    QString CreateID3TagsString(const QString& Text) override;

    qint32 CurrentRow() const { return m_lCurrentRow; }
    qint32 ItemSecs() const { return m_lItemSecs; }

    // Audio seconds of all handed rows (written by the launch), of the current row so far,
    // and of the finished rows; the ticks of the job's timer.
    qint32 g_ltmrItemSecsTotal = 0;
    qint32 g_ltmrCurItemSecs = 0;
    qint32 g_ltmrItemSecs = 0;
    qint32 g_ltmrSces = 0;

    QLabel* lblTimeLeft = nullptr;
    QComboBox* cboFileName = nullptr;
    LinkLabel* lblSetAsDefaultFileName = nullptr;
    LinkLabel* lblParameters = nullptr;
    QTimer Timer1;

protected:
    // Connects the component's events to the job; the window calls it once it made it.
    void AttachComponent(AudioJobComponent* component);
    // Places the template row (label, links, list) on the "Settings" page at `top` (twips);
    // returns the first free line below it.
    int BuildFileNameBlock(int top);

    // What the windows tell apart.
    // The word of the log lines ("convert" in "Preparing to convert:", "Start to convert:").
    virtual QString JobVerb() const { return QStringLiteral("convert"); }
    // The job's first log line.
    virtual QString PreparingText(qint32 rows) const;
    // Runs the job once it was agreed to; by default the items loop.
    virtual void RunJob() { ConvertTracks(); }
    // The row's output path, named once as its work starts.
    virtual void RowOutputNamed(qint32 Row, const QString& path) { Q_UNUSED(Row) Q_UNUSED(path) }
    // The job copies its items unchanged: their names keep each source's extension. Asked
    // once as a job starts (JobCopiesAsIs then says what the job does).
    virtual bool CopiesAsIs() const { return false; }
    bool JobCopiesAsIs() const { return m_bJobCopiesAsIs; }
    // The row's output is the file an earlier row (`Writer`) of the job wrote. By default
    // the row fails: what the job wrote is never replaced. kTaskStarted goes on with the
    // row, replacing that file; any other result is the row's.
    virtual qint32 OutputOfEarlierRow(qint32 Row, qint32 Writer, const QString& path);
    // The row could not be worked on (refused, or its component reported an error).
    virtual void RowFailed(qint32 Row) { Q_UNUSED(Row) }
    // Every row was worked on (or tried): by default the job's ending and the end-of-job
    // actions.
    virtual void JobCompleted();
    // The user stopped the job: "Aborted." in the status line, the caption and a balloon.
    void EndStopped();
    // Whether the job works on a row at all (a row passed over writes nothing, and is not
    // counted among the job's items).
    virtual bool TakesRow(qint32 Row) { Q_UNUSED(Row) return true; }
    // What the component is handed once per job, after the start was agreed to and before
    // the first row.
    virtual void StartingJob() {}
    // Hands the row's source to the component.
    virtual void PutRowSource(qint32 Row) = 0;
    // The file the row's source is read from ("" when it is not a file).
    virtual QString RowSourceFile(qint32 Row);
    // Hands the row's tags to the component.
    virtual void PutRowTags(qint32 Row);
    // Starts the component on what it was handed.
    virtual void StartComponent() = 0;

    void AbortJob() override;
    bool EndedWhileAbortAsked() override;
    void AbortDeclined() override;
    // The job has work of its own after its rows (Yes on the Abort question stops it even
    // when the last row ended while the question was open).
    virtual bool WorkAfterTheRows() const { return false; }

    // How the job shows itself besides the log and the bars. Set, the window caption and
    // the status line follow the job (progress, a row's error, the ending) and each row
    // starts under the wait pointer. Cleared, the caption stays the program's name (it is
    // put back when the loop ends, and only a stopped job says "Aborted." there), a row's
    // error goes to the log only, and the pointer is left alone.
    bool m_bJobInCaption = true;
    // The extension the output names get in place of the target format's (a window that
    // writes one kind of file only); empty: the target format's.
    QString m_sFixedExtension;
    // A row that ended well says "Done." in the log and the status line.
    bool m_bRowDoneShown = true;
    // The "Start to ..." line of a row stands in the status line too (else its file name).
    bool m_bStartLineInStatus = false;

private:
    // The row's error, as the component would report it: logged, shown, the error flag set.
    void ShowRowError(qint32 Code, const QString& Description);
    qint32 RefuseRow(qint32 Code, const QString& Description);
    // "row 2 (x.wav)": a row as the log names it.
    QString RowLabel(qint32 Row) const;
    // Why the row may not write `path`: it is the source of another row. "" when it may.
    QString SourceInTheWay(qint32 Row, const QString& path, qint32& Code) const;
    void ReadItemSecs(qint32 Row);
    // A row that ended well: its output noted and its seconds counted.
    void RowDone();

    // A terminal event of the component that came while the Abort question was open.
    enum class HeldEnd { None, Done, Error };
    HeldEnd m_heldEnd = HeldEnd::None;
    qint32 m_lHeldCode = 0;
    QString m_sHeldDescription;

    qint32 m_lCurrentRow = 1;
    qint32 m_lItemSecs = 0;
    // The name template and the copy mode of the job, taken when it started.
    QString m_sJobTemplate;
    bool m_bJobCopiesAsIs = false;
    // The sources of every row of the job, and the outputs its rows have written so far,
    // each under its row: no row writes over a source, nor over an output unless the
    // window agrees (OutputOfEarlierRow).
    FileSet m_jobSources;
    FileSet m_jobOutputs;
    QString m_sCurrentOutput;  // what the running row writes
};
