// The frame every tool window shares (splitter, converters, joiner, CD and disc tools):
// title strip, progress bars, the "Settings", "Events" and "Log" pages, the hidden items
// grid, the start, Abort and Exit buttons, the close guard, the end-of-job actions, and
// the output block (destination with its history, sub-folder, target format, tags).
// A window adds its own controls and its job; the procedures here serve them all.
#pragma once

#include "platform/Forms.h"

#include <QString>

class AudioJobComponent;
class CheckBox;
class LinkLabel;
class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TextBox;
class XP_ProgressBar;
class cGrid;
class cStatusBar;
class cTabControl;

class ToolWindow : public VForm
{
    Q_OBJECT
public:
    // What tells one tool window's frame from another's.
    struct Design {
        QString caption;             // window caption and title-strip text
        QString icon;                // icon resource
        QString settingsTab;         // caption of the first tab, blanks included
        qint32 settingsTabImage = 9; // its image in the main window's menu images
        QString startCaption;        // the start button
        bool gridImages = false;     // the grid takes the main window's grid images
        bool outputBlock = true;     // destination, sub-folder and target format
        bool overwriteCheck = true;  // "Overwrite existing files"
    };

    explicit ToolWindow(const Design& design);
    ~ToolWindow() override;

    // Frame: colours, pictures, tabs, pages, grid, destination, format, end-of-job boxes,
    // status panels and the sub-folder box. A window that adds steps calls this first.
    void Form_Load() override;
    // The close guard: refused while a job runs; otherwise the component is released.
    void Form_Unload(int& Cancel) override;

    static qint32 BoolToCheckValue(bool Value) { return Value ? 1 : 0; }
    void HideTabPages();
    void cTabControl1_TabClick(qint32 Index);
    // Brings a page up as a click on its tab would.
    void ShowTab(const QString& key);
    void cmdExit_Click();
    void lblEventsSettings_Click();
    qint32 FindRowByItemData(const QString& Text);
    // Asks before stopping the running job; does nothing while none runs.
    void cmdAbort_Click();
    // The start every job shares, before its first item: an empty line after the previous
    // job's log; a destination that is empty refused (said and logged); the destination
    // made the newest entry of the path history; the job's folder and format taken from
    // the boxes; the `preparing` line and the target format logged; the output folder
    // created; the error flag and the failed count cleared and the "Log" page brought up.
    // False when the job may not start.
    bool BeginJob(const QString& preparing);
    // A job runs while the start button is disabled (a window that disables it for other
    // reasons too says otherwise); the close guard and Abort go by it.
    virtual bool IsBusy() const;
    // Enables (or disables) the start and Exit buttons together; a window with more that a
    // running job must not change adds its own.
    virtual void SetBusy(bool busy);

    // The end-of-job actions: sound, destination folder, external program, and the
    // turn-off countdown only when no part of the job failed.
    virtual void DoEndEvents();

    // Output block. SetDestination hands the chosen target format to the component at the
    // start of a job; a window that chooses its format otherwise has its own.
    virtual void SetDestination();
    void SetID3Tags(qint32& Row);
    virtual QString CreateID3TagsString(const QString& Text);
    QString GetSubFolder() const;
    void CheckUnderFolderEna();
    void chkCreateSubFolder_Click();
    void cmdSelectPath_Click();
    void txtToPath_Click();
    void lblSetAsDefaultDestination_Click();
    void lblOpenDestinationDestinationFolder_Click();
    void cboTargetFormat_Click();
    void lblSetAsDefaultFormat_Click();
    void cmdEditTargetFormat_Click();

    // The folder the boxes name now: the destination as typed (with a "/" added when it
    // has none) and the sub-folder; a window without a destination says its own.
    virtual QString OutputFolder() const;
    // The target format the boxes choose now: the chosen one, or WAV (what the component
    // is handed for any other text) when none is chosen, so every output name carries the
    // extension of the format it is written in.
    QString TargetFormatText() const;
    // What the running (or last) job writes: the folder and the target format as the boxes
    // said when it started. A job takes them once; changing the boxes while it runs
    // changes the next job only.
    QString JobFolder() const { return m_sJobFolder; }
    QString JobFormatText() const { return m_sJobFormat; }

    // Before writing over an existing file: logs "File already exists." and asks whether
    // to overwrite it (Yes logs "Overwrite it..."); returns the answer, vbYes, vbNo or
    // vbCancel.
    int AskOverwrite(const QString& path);

    // A balloon on the main window's tray icon, titled with the program's name.
    static void ShowBalloon(const QString& message);

    // Set when a part or item of the job failed; cleared when a job starts.
    bool JobError() const { return m_bJobError; }

    // The tool's name, as its title strip shows it whatever the caption says meanwhile.
    QString ToolCaption() const { return m_design.caption; }

    // Frame controls.
    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblFilesToConvert = nullptr;
    QLabel* lblCurrentTrack = nullptr;
    XP_ProgressBar* prgTotal = nullptr;
    XP_ProgressBar* prgCurrnet = nullptr;
    cTabControl* cTabControl1 = nullptr;
    QFrame* TabSettings = nullptr;
    QFrame* TabEvents = nullptr;
    QFrame* TabLog = nullptr;
    QPlainTextEdit* txtLog = nullptr;
    CheckBox* chkPlaySound = nullptr;
    CheckBox* chkOpenDestFolder = nullptr;
    CheckBox* chkNoticeApp = nullptr;
    CheckBox* chkTurnOffComputer = nullptr;
    LinkLabel* lblEventsSettings = nullptr;
    cGrid* cGrid1 = nullptr;
    cStatusBar* cStatusBar1 = nullptr;
    QPushButton* cmdConvert = nullptr;
    QPushButton* cmdAbort = nullptr;
    QPushButton* cmdExit = nullptr;

    // Output block (absent where the design has none).
    QComboBox* txtToPath = nullptr;
    QPushButton* cmdSelectPath = nullptr;
    LinkLabel* lblSetAsDefaultDestination = nullptr;
    CheckBox* chkCreateSubFolder = nullptr;
    TextBox* txtUndeForlder = nullptr;
    LinkLabel* lblOpenDestinationDestinationFolder = nullptr;
    QComboBox* cboTargetFormat = nullptr;
    QPushButton* cmdEditTargetFormat = nullptr;
    LinkLabel* lblSetAsDefaultFormat = nullptr;
    CheckBox* chkOverWrite = nullptr;

protected:
    // The component the output block and Abort drive.
    virtual AudioJobComponent* JobComponent() = 0;
    // Checks of a window's own that a job must pass, made once the job's first line is
    // logged; false (the window said why) and the job does not start.
    virtual bool JobMayStart() { return true; }
    // Stops the running job; the component's Aborted event does the rest.
    virtual void AbortJob();
    // Releases the window's components when it is allowed to close.
    virtual void CloseComponents() {}
    // The Abort question is open: a window whose job reaches its next step from the
    // component's events holds them until the answer, so that Yes stops the job where the
    // user asked, never a step (or a whole job) later.
    bool AbortAsked() const { return m_bAbortAsked; }
    // What was held ended the job's last work: Yes then has nothing left to stop.
    virtual bool EndedWhileAbortAsked() { return false; }
    // The question was answered without stopping the job (No, or nothing ran any more):
    // what was held goes on.
    virtual void AbortDeclined() {}

    // Places the output block on the "Settings" page from `top` (twips) down; returns the
    // first free line below it. Without `targetFormat` the block has no target-format row.
    int BuildOutputBlock(int top, bool targetFormat = true);
    // Hands the format of a destination format code (0 WAV ... 5 APE) and its settings
    // from the format globals to the component, and logs it.
    void SetDestinationCode(qint32 code);
    // The check boxes and option buttons the view colour paints besides the frame's own.
    virtual QList<QWidget*> PaintedControls() const { return {}; }

    // The ending of a job of `items` items of which `failed` failed: "Done.", "Done. n of m
    // failed: see the Log." or "Failed: see the Log.".
    static QString EndText(qint32 failed, qint32 items);
    // The items of the job counted as failed so far.
    qint32 FailedItems() const { return m_lFailedItems; }
    // Counts items of the job as failed (a part or row the component reported an error
    // for, or one refused before it started); sets the error flag.
    void CountFailed(qint32 items = 1);
    // Ends a job whose every item was tried, `items` in all: the balloon and the status
    // label say "Done." when none failed, "Done. n of m failed: see the Log." when some
    // did and "Failed: see the Log." when all did; the caption says so too when any
    // failed (and "Done." with `doneInCaption`); then the end-of-job actions, whose
    // turn-off is left out after a failure. A window whose job writes one output for all
    // its items runs no end-of-job action when that output failed (`actionsAfterFailure`
    // false): there is no file to play a sound for, open or hand to a program.
    void EndJob(qint32 items, bool doneInCaption = false, bool actionsAfterFailure = true);

    // The steps of DoEndEvents, for windows that order them differently or add their own.
    void PlayEndSound();
    void OpenEndFolder();
    void StartNoticeApp();
    void StartTurnOffAfterJob();

    void keyPressEvent(QKeyEvent* event) override;

    bool m_bJobError = false;

private:
    void ReadEventBoxes();
    // Creates the output folder before the first file of a job. When it cannot be made
    // the user is told and the log says so; false then, and nothing may start.
    bool PrepareOutputFolder();

    qint32 m_lFailedItems = 0;
    bool m_bAbortAsked = false;
    QString m_sJobFolder;
    QString m_sJobFormat;

    Design m_design;
};

// The title strip across the top of a window, holding its caption in bold (positions in
// twips); its colours and picture come from the settings and the product profile.
QLabel* MakeTitleStrip(QWidget* window, int widthTwips, const QString& caption, QWidget*& strip);
void PaintTitleStrip(QWidget* strip, QLabel* caption);

// Hands the format of a destination format code (0 WAV ... 5 APE) and its settings record,
// built from the format globals, to a component; false for any other code.
bool HandTargetFormat(AudioJobComponent* component, qint32 code);

// Why an output path can never be written as a file: it names a folder (an item named
// "..", or a folder of that name in the destination); empty when it can. Said before any
// question about replacing it.
QString OutputFolderInTheWay(const QString& path);

// An output name made from a template and an item's values (titles looked up for a CD
// among them), as it is written: never beginning with "." (such a file would be hidden),
// the dots it began with dropped ("...And Then.mp3" is written as "And Then.mp3"). A name
// of dots only becomes empty, which the job refuses.
QString VisibleFileName(const QString& name);

// A cell that holds a whole number of seconds (blanks around it allowed).
bool ReadWholeSeconds(const QString& text, qint32& seconds);

// A tag text with its placeholders put in ([DATE], [TIME], [TRACK_NUM], [PROG_NAME],
// [PROG_VERSION], [YEAR]; written exactly so).
QString ExpandTagPlaceholders(const QString& Text, qint32 TrackNumber);
