// The CD ripper window: writes the marked tracks of the audio CD in one drive straight into
// files of the chosen format, one track at a time, through its ripper component. The items
// job of the frame does the work; the track to rip is the grid row, unmarked rows are
// passed over, and the end-of-job actions can eject the drive's tray.
#pragma once

#include "tools/frame/ItemsToolWindow.h"

class QComboBox;
class QLabel;
class QPushButton;
class cAudioCDRipper;

class frmCDRipper : public ItemsToolWindow
{
    Q_OBJECT
public:
    frmCDRipper();
    ~frmCDRipper() override;

    // The frame, then the eject box as it was made and the drive list.
    void Form_Load() override;

    // Lists the component's devices, entry index = device index, and selects the first.
    void FillCDDevices();
    // Makes the chosen device current and tells in the status line what disc it holds.
    void cboDevices_Click();
    void cmdOpenCD_Click();

    // Sound, folder, external program, the tray of the ripped drive, then the turn-off.
    void DoEndEvents() override;

    cAudioCDRipper* cAudioCDRipper1 = nullptr;
    QComboBox* cboDevices = nullptr;
    QPushButton* cmdOpenCD = nullptr;
    QLabel* lblCDStatus = nullptr;
    CheckBox* chkOpenCDdrive = nullptr;

protected:
    AudioJobComponent* JobComponent() override;
    void CloseComponents() override;
    QList<QWidget*> PaintedControls() const override;

    QString JobVerb() const override { return QStringLiteral("rip"); }
    // Only the marked tracks are ripped.
    bool TakesRow(qint32 Row) override;
    // The drive is handed over once, before the first track.
    void StartingJob() override;
    // The track is the row (row n is track n of the disc), handed before the row's tags.
    void PutRowTags(qint32 Row) override;
    // Nothing more: the track went with the tags.
    void PutRowSource(qint32) override {}
    // A track is read from the drive, never from a file.
    QString RowSourceFile(qint32 Row) override;
    void StartComponent() override;
};

inline frmCDRipper* g_frmCDRipper()
{
    return Forms::Get<frmCDRipper>();
}
