// The audio CD duplicator window ("Audio CD Duplicator"): copies the audio CD in a source
// drive onto a blank disc in a writer. Every track is ripped into a PCM WAV file in the
// temporary folder "duptmp" beside the program, the grid is refilled with those files, and
// they are burned as one session of audio tracks, then deleted. The window watches the
// source drive every 3 seconds while idle, so its track list follows the disc.
#pragma once

#include "tools/frame/ToolWindow.h"

#include <QStringList>
#include <QTimer>

class cAudioBurner;
class cAudioCDRipper;

class frmAudioCDDuplicator : public ToolWindow
{
    Q_OBJECT
public:
    frmAudioCDDuplicator();
    ~frmAudioCDDuplicator() override;

    // The frame, then the temporary folder, the writers and the source drives.
    void Form_Load() override;
    // Refused while a duplication runs; otherwise the devices are released and the
    // temporary folder emptied of its plain files.
    void Form_Unload(int& Cancel) override;
    // A duplication runs from Duplicate until its ending (or its abort).
    bool IsBusy() const override { return m_bRunning; }

    // Writer side.
    void cboDrv_Click();
    void cmdOpenDestCD_Click();
    void cmdClose_Click();
    QString DriveLetter() const;

    // Source side.
    void FillCDDevices();
    // Examines the source drive, enables Duplicate by what it finds and lists the tracks;
    // `chosen` is set for a drive the user picked (only then may a box be shown).
    void cboDevices_Click(bool chosen = false);
    void ListSourceTracks(const QString& Drive, bool chosen);
    void cmdOpenCD_Click();
    void cmdCloseCD_Click();
    void tmrState_Timer();
    void SetOnTheFly() {}

    // The job.
    void cmdConvert_Click();
    void SetDestination() override;
    void ConvertTracks();
    qint32 ConvertTask(qint32 Row);
    void FillGridWithFiles(const QStringList& Files);
    // How a burn of the ripped files ended.
    enum class BurnEnd {
        Burnt,          // the burn finished and reported success
        Cancelled,      // the user cancelled the question for a blank disc
        NothingToBurn,  // the burner took none of the files
        Failed,         // the burn ended in an error
        Aborted,        // the user aborted while the files were listed or burned
    };
    // Burns the files the grid names and says how that ended.
    BurnEnd BurnDisk();
    bool DoOnFly() const;
    void DoEndEvents() override;
    void EnableControls(bool Enable);
    // Deletes the plain files of a folder; sub-folders and files that cannot go stay.
    static void DeleteFilesInFolder(const QString& Folder);
    QString TempFolder() const { return m_sTempFolder; }

    // Events of the ripper.
    void cAudioCDRipper1_Progress(qint32 Percent);
    void cAudioCDRipper1_Done();
    void cAudioCDRipper1_Aborted();
    void cAudioCDRipper1_Error(qint32 Code, const QString& Description);

    // Events of the burner.
    void cAudioBurner1_Progress(qint32 Percent, qint32 Track);
    void cAudioBurner1_TrackProgress(qint32 Percent, qint32 Unused);
    void cAudioBurner1_ClosingSession();
    void cAudioBurner1_ClosingTrack(qint32 Unused);
    void cAudioBurner1_CachingTrack();
    void cAudioBurner1_WritingTrack();
    void cAudioBurner1_Finished();
    void cAudioBurner1_Error(qint32 Code, const QString& Description);

    QComboBox* cboDevices = nullptr;
    QPushButton* cmdOpenCD = nullptr;
    QPushButton* cmdCloseCD = nullptr;
    QLabel* lblCDStatus = nullptr;
    QComboBox* cboDrv = nullptr;
    QComboBox* cboSpeed = nullptr;
    QPushButton* cmdOpenDestCD = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblDiskSize = nullptr;
    QLabel* lblDiskCapacity = nullptr;
    QLabel* lblState = nullptr;
    CheckBox* chkOnTheFly = nullptr;
    CheckBox* chkOpenCDdrive = nullptr;
    QLabel* lblTimeLeft = nullptr;
    QTimer tmrState;
    cAudioCDRipper* cAudioCDRipper1 = nullptr;
    cAudioBurner* cAudioBurner1 = nullptr;

protected:
    AudioJobComponent* JobComponent() override;
    // Stops the rip and the burn; their own events end the job.
    void AbortJob() override;
    QList<QWidget*> PaintedControls() const override;

private:
    void ShowStage(const QString& text);
    // A track that will not be on the copy: its rip failed or the burner refused its file.
    void MarkFailed(qint32 Track);
    // The end of a duplication once every track was tried: "Done." and the window closes
    // when every track went onto the copy; otherwise the ending says what failed and the
    // window stays open with the ripped files.
    void EndCopy(BurnEnd end);
    // The ending of a duplication that was aborted or cancelled: said, the controls back,
    // the window kept open with the ripped files.
    void EndAborted();

    QString m_sTempFolder;
    QStringList m_tempFiles;     // a path per track in track order ("" for a data track)
    QList<qint32> m_dataTracks;  // tracks that hold data, not sound: never copied
    QList<qint32> m_failedTracks;
    qint32 m_lAudioTracks = 0;   // the tracks the copy should hold
    qint32 m_lRow = 1;           // the row (track) being ripped
    bool m_bRunning = false;
    bool m_bAbortAsked = false;  // Abort was answered Yes during this duplication
    bool m_bFinished = false;    // the burner reported Finished during this burn
};

inline frmAudioCDDuplicator* g_frmAudioCDDuplicator()
{
    return Forms::Get<frmAudioCDDuplicator>();
}
