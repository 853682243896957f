// The data disc burner window ("MP3 CD Maker", "WMA CD Maker"): prepares every handed item
// as one file in the folder "datacdtmp" beside the program, by a straight copy or by a
// conversion to the chosen format, asks "Burn CD?", and writes the prepared files to a data
// disc with one of two burning engines: the CD-only one or the CD/DVD one. The engine choice
// is kept per user.
#pragma once

#include "tools/converters/ConverterToolWindow.h"

#include <QStringList>

#include <functional>

class QComboBox;
class QLabel;
class QThread;
class TextBox;
class cAudioDataBurner;
class cBurner;

class frmDataBurner3 : public ConverterToolWindow
{
    Q_OBJECT
public:
    frmDataBurner3();
    ~frmDataBurner3() override;

    // The frame, the template list on its first entry, the stored engine with its drives,
    // and the copy-mode switch.
    void Form_Load() override;
    // Refused while a job or a burn runs; otherwise "datacdtmp" is emptied, the engine
    // choice stored and the components closed.
    void Form_Unload(int& Cancel) override;

    // Settings page.
    void cmbEngine_Click();
    void cboDrv_Click();
    void chkDoNotConvertSource_Click();
    void lblOpenCDDoor_Click();
    void lblCloseCDDoor_Click();
    void lblRefreshCDInfo_Click();
    void lblErasetempfilesnow_Click();
    // Burn, Exit and the two tray links together.
    void EnableBurnControls(bool Enable);
    // Deletes the files (not the folders) in "datacdtmp".
    void EraseTempFiles();
    // "datacdtmp" beside the program, with its trailing "/".
    static QString GetTempFolder();

    // Whether the disc-burning library could be started; when not, the user is told why and
    // may open the help (the answer changes nothing: false either way).
    bool IsIMAPI2Installed();

    // The prepared files go to the chosen engine.
    void BurnDataCD();
    void BurnDataDisc();
    // After a finished burn: sound, the temp files, the tray, the drive, the external
    // program, the turn-off (only without errors), then "Done.".
    void DoEndEvents() override;

    // Events of the CD-only engine.
    void cAudioDataBurner1_ClosingSession();
    void cAudioDataBurner1_Finished();
    void cAudioDataBurner1_Started();
    void cAudioDataBurner1_Progress(qint16 Percent);
    void cAudioDataBurner1_Error(qint32 Code, const QString& Description);
    // Events of the CD/DVD engine.
    void cBurner1_Message(const QString& Detail, const QString& Text);
    void cBurner1_DoneBurn();
    void cBurner1_Canceled();
    void cBurner1_BurnEnd();
    void cBurner1_Progress(qint32 Percent);
    void cBurner1_Finalization();
    void cBurner1_Initializing();
    void cBurner1_Completed();
    void cBurner1_StartBurning();
    void cBurner1_FileCounts(qint32 FileCount, qint32 DirCount);
    void cBurner1_AddingFile(const QString& FileName);

    // The paths this job prepared, one per row in grid order ("" for a row not reached).
    const QStringList& PreparedPaths() const { return m_preparedPaths; }
    // An engine's burn call has not returned yet.
    bool IsBurning() const { return m_bBurning; }
    bool IsBusy() const override;
    void SetBusy(bool busy) override;

    QComboBox* cmbEngine = nullptr;
    QComboBox* cboDrv = nullptr;
    LinkLabel* lblOpenCDDoor = nullptr;
    LinkLabel* lblCloseCDDoor = nullptr;
    LinkLabel* lblRefreshCDInfo = nullptr;
    QLabel* lblCDStatus = nullptr;
    QLabel* lblSpeed = nullptr;
    QComboBox* cboSpeed = nullptr;
    TextBox* txtCDName = nullptr;
    QLabel* lblFileSys = nullptr;
    CheckBox* chkJOLIET = nullptr;
    CheckBox* chkISO = nullptr;
    CheckBox* chkUDF = nullptr;
    CheckBox* chkDoNotConvertSource = nullptr;
    QLabel* lblCDFormat = nullptr;
    CheckBox* chkOpenCDdrive = nullptr;
    CheckBox* chkEraseTempfiles = nullptr;
    LinkLabel* lblErasetempfilesnow = nullptr;
    cAudioDataBurner* cAudioDataBurner1 = nullptr;
    cBurner* cBurner1 = nullptr;

protected:
    QString OutputFolder() const override;
    bool JobMayStart() override;
    QString PreparingText(qint32 rows) const override;
    void RunJob() override;
    void RowOutputNamed(qint32 Row, const QString& path) override;
    // Two rows that would get one name on the disc: the question of the list to burn.
    qint32 OutputOfEarlierRow(qint32 Row, qint32 Writer, const QString& path) override;
    // A row whose preparation failed has no file of its own to burn.
    void RowFailed(qint32 Row) override;
    // With "Do not convert the source files" ticked; a copy keeps its source's extension.
    bool CopiesAsIs() const override;
    void JobCompleted() override;
    void AbortJob() override;
    void AbortDeclined() override;
    // The prepared files are burned after the last row.
    bool WorkAfterTheRows() const override { return true; }
    void CloseComponents() override;
    QList<QWidget*> PaintedControls() const override;

private:
    void LoadCDDrives();
    void LoadDiscDrives();
    void LoadDriveSpeeds();
    bool RefreshCDInfo();
    void CheckDoNotConvertEna();
    // The drive letter of the chosen entry, and its first two characters ("E:").
    QString DriveLetter() const;
    QString DriveText() const;
    // The copy loop: one row at a time, each copy on a worker thread.
    void CopyNextRow();
    void CopyFinished();
    // The question when a row's name on the disc is taken by an earlier row of the job:
    // Yes, No or Cancel.
    int AskSameNameOnDisc(const QString& name);
    void EndCopyLoop(bool aborted);
    // Each prepared path once, in grid order.
    QStringList PathsToBurn() const;
    // Logs a stage of a burn and shows it in the status line; lets the window answer.
    void ShowStage(const QString& logLine, const QString& label);
    // Runs one engine's burn call; whatever happened, Burn and Exit are given back after it.
    void RunBurnCall(const std::function<void()>& burn);

    bool m_bAbort = false;
    bool m_bBurning = false;
    bool m_bCopyHeld = false;  // a copy ended while the Abort question was open
    qint32 m_lCopyRow = 0;
    QStringList m_preparedPaths;
    QThread* m_copyThread = nullptr;
    QString m_sCopyError;
    qint32 m_lCopyErrorCode = 0;
};

inline frmDataBurner3* g_frmDataBurner3()
{
    return Forms::Get<frmDataBurner3>();
}
