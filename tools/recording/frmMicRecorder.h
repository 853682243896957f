// The recorder window ("Audio Recorder"): records one PCM WAV file from a sound input
// device through the wave component, with a level meter and a clock that ends every
// recording after 30 seconds; plays the file back with its position; and adds it to the
// main window's current items list. Every action writes a time-stamped line to its log.
#pragma once

#include "common/mdlFileIdentity.h"
#include "components/cWave/cWave.h"
#include "platform/Forms.h"

#include <QTimer>

class CheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TextBox;
class cProgressBar;
class cSlider;
class cStatusBar;

class frmMicRecorder : public VForm
{
    Q_OBJECT
public:
    frmMicRecorder();
    ~frmMicRecorder() override;

    void Form_Load() override;
    // However the window closes: the playback and the recording stop and the component
    // shuts down; closing is never refused.
    void Form_Unload(int& Cancel) override;

    // Recording.
    void cmdPath_Click();
    void cmdRecord_Click();
    void cmdStopRec_Click();
    void cmdPauseIn_Click();
    void cmdUnPauseIn_Click();
    void chkMeterIn_Click();
    void chkPreScreen_Click();
    void tmrRec_Timer();
    void cWave1_DoneRecord();
    void cWave1_RecordFailed(qint32 Code);
    void cWave1_MeterLevel(qint16 Level);
    void txtResults_Change();

    // Playback, file details, adding and closing.
    void cmdPlay_Click();
    void cmdStop_Click();
    void cmdPauseOut_Click();
    void cmdUnPauseOut_Click();
    void tmSlider_Timer();
    void cWave1_DonePlay();
    void cmdFileDetails_Click();
    void cmdAdd_Click();
    void cmdExit_Click();

    // The recording format the three lists describe now (plain PCM).
    WaveFormat ListsWaveFormat() const;

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDevices = nullptr;
    QComboBox* cboDevices = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cboBitPerSample = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cboSamplesPerSec = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cboChannels = nullptr;
    QLabel* lblWaveFile = nullptr;
    TextBox* txtAudioFile = nullptr;
    QPushButton* cmdPath = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* cmdRecord = nullptr;
    QPushButton* cmdStopRec = nullptr;
    QPushButton* cmdPauseIn = nullptr;
    QPushButton* cmdUnPauseIn = nullptr;
    QLabel* lblMeterIn = nullptr;
    cProgressBar* prgMeter = nullptr;
    QLabel* lblRecTime = nullptr;
    QLabel* Label6 = nullptr;
    CheckBox* chkMeterIn = nullptr;
    CheckBox* chkPreScreen = nullptr;
    CheckBox* chkCutSilence = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* cmdPlay = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdPauseOut = nullptr;
    QPushButton* cmdUnPauseOut = nullptr;
    cSlider* cSlider1 = nullptr;
    QLabel* lblCurrentPositionSec = nullptr;
    QLabel* lbTotalLengthSec = nullptr;
    QPlainTextEdit* txtResults = nullptr;
    QPushButton* cmdFileDetails = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdExit = nullptr;
    cStatusBar* cStatusBar1 = nullptr;
    QTimer tmrRec;
    QTimer tmSlider;

    cWave* cWave1 = nullptr;

    // The recording format last handed to the component, and the seconds the clock has
    // counted since the last start.
    WaveFormat m_WaveFormat;
    qint32 m_lRecSeconds = 0;

private:
    // The path in the box made absolute against the working folder and written back into
    // the box, so that what is recorded and listed is what the box shows.
    QString AbsoluteAudioFile();
    // Whether a recording may go into `path`: yes when no regular file is there, or when
    // the user agrees to replace the one that is (by the save dialog's own question for
    // that very file, or by the overwrite question asked now).
    bool MayRecordInto(const QString& path);
    // Appends the time of day, the message and a line break to the log.
    void AddResult(const QString& message);
    // Appends the text to the log as it is.
    void AppendResults(const QString& text);

    // The file the save dialog agreed to replace, as it was then; used up by the next
    // recording into it.
    QString m_agreedPath;
    FileIdentity m_agreedFile;
};

inline frmMicRecorder* g_frmMicRecorder()
{
    return Forms::Get<frmMicRecorder>();
}
