// The audio CD burner window ("Audio CD Burner"): writes the handed items to a CD as audio
// tracks, one per item in grid order, through the burner component. It lists the writers
// and their speeds, shows the disc in the chosen writer, opens and closes its tray, and
// keeps the end-of-job choices (with the tray's own) and a log.
#pragma once

#include "tools/frame/ToolWindow.h"

class cAudioBurner;
class cProgressBar;

class frmCDBurner : public ToolWindow
{
    Q_OBJECT
public:
    frmCDBurner();
    ~frmCDBurner() override;

    // The frame, then the writers and the stored tray choice.
    void Form_Load() override;
    // Refused while a burn runs; otherwise the tracks are cleared, the burner closed and
    // the tray choice stored.
    void Form_Unload(int& Cancel) override;

    void cboDrv_Click();
    void cmdOpenCD_Click();
    void cmdClose_Click();
    // Opens the chosen writer's disc where it is mounted; nothing when it is not.
    void lblOpenDestinationDestinationFolder_Click();

    // The Burn button: every row's file into the track list, then the burn. The window is
    // busy from the click on: the files are decoded while the list is filled.
    void cmdConvert_Click();
    // Burns the track list and returns when the burn has ended.
    void BurnDisk();
    // Sound, the disc's folder, the external program, the tray, the turn-off; the program
    // and the turn-off only when every row went onto the disc.
    void DoEndEvents() override;

    // Events of the burner component.
    void cAudioBurner1_Progress(qint32 Percent, qint32 Track);
    void cAudioBurner1_TrackProgress(qint32 Percent, qint32 Unused);
    void cAudioBurner1_ClosingSession();
    void cAudioBurner1_ClosingTrack(qint32 Unused);
    void cAudioBurner1_CachingTrack();
    void cAudioBurner1_WritingTrack();
    void cAudioBurner1_Finished();
    void cAudioBurner1_Error(qint32 Code, const QString& Description);

    // The drive letter of the chosen writer ("" when there is none).
    QString DriveLetter() const;
    // A job has not ended yet: its files are being listed, or its burn call has not
    // returned (even when an abort enabled the Burn button).
    bool IsBurning() const { return m_bBurning; }
    qint32 LastTrack() const { return m_lLastTrack; }

    QComboBox* cboDrv = nullptr;
    QComboBox* cboSpeed = nullptr;
    QPushButton* cmdOpenCD = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblDiskSize = nullptr;
    QLabel* lblDiskCapacity = nullptr;
    QLabel* lblState = nullptr;
    cProgressBar* prgSize = nullptr;
    QLabel* lblDataSize = nullptr;
    CheckBox* chkOpenCDdrive = nullptr;
    cAudioBurner* cAudioBurner1 = nullptr;

protected:
    AudioJobComponent* JobComponent() override { return nullptr; }
    // Abort stops the burn and enables Burn again at once.
    void AbortJob() override;
    QList<QWidget*> PaintedControls() const override;

private:
    void LoadWriters();
    void LoadSpeeds();
    void ShowStage(const QString& text);

    qint32 m_lLastTrack = 0;
    bool m_bBurning = false;
    bool m_bAbortAsked = false;  // Abort was answered Yes during this job
};

inline frmCDBurner* g_frmCDBurner()
{
    return Forms::Get<frmCDBurner>();
}
