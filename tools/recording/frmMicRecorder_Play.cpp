// The recorder window's playback of its file, the file's format report, adding the file to
// the main window's current items list, and closing.
#include "tools/recording/frmMicRecorder.h"

#include "common/MainHost.h"
#include "common/mdlFunctions.h"
#include "components/cSlider/cSlider.h"
#include "lists/frmStat.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

// The box of Play and File Details when the file is not there.
bool audioFileExists(const QString& path)
{
    if (QFileInfo(path).isFile())
        return true;
    MsgBox(QStringLiteral("The audio file ") + path + QStringLiteral(" doesn't exists"), vbInformation + vbOKOnly);
    return false;
}

} // namespace

void frmMicRecorder::Form_Unload(int&)
{
    cWave1->PlayStop();
    cWave1->RecordStop();
    cWave1->Shutdown();
    tmrRec.stop();
    tmSlider.stop();
}

void frmMicRecorder::cmdPlay_Click()
{
    const QString path = txtAudioFile->text();
    if (!audioFileExists(path))
        return;
    if (cWave1->IsPlaying())
        return;
    WaveFileInfo info;
    cWave1->GetFileInfo(path, info);
    // The device list holds inputs: the file plays on the program's output device (the
    // default output unless the options name another), never on an input's number.
    qint32 result = cWave1->PlayStart(path, qint16(g_lDeviceIndex), 8000);
    if (result != 0) {
        AddResult(QStringLiteral(": Error Play Start:") + cWave1->GetErrorText(result));
        return;
    }
    lbTotalLengthSec->setText(cWave1->SecondsToTimeText(info.SecondsLength));
    tmSlider.start();
    // An empty line stands before this one.
    AppendResults(QStringLiteral("\n"));
    AddResult(QStringLiteral(": PlayeStart Success."));
    cmdFileDetails->setEnabled(false);
}

void frmMicRecorder::cmdStop_Click()
{
    qint32 result = cWave1->PlayStop();
    if (result != 0)
        AddResult(QStringLiteral(": Error PlayStop .") + cWave1->GetErrorText(result));
    tmSlider.stop();
    cSlider1->SetValue(0);
    if (result == 0)
        AddResult(QStringLiteral(": PlayStop Success."));
}

void frmMicRecorder::cmdPauseOut_Click()
{
    cWave1->PlayPause();
    AddResult(QStringLiteral(": PlayPause."));
}

void frmMicRecorder::cmdUnPauseOut_Click()
{
    cWave1->PlayUnPause();
    AddResult(QStringLiteral(": PlayUnPause."));
}

void frmMicRecorder::tmSlider_Timer()
{
    cSlider1->SetValue(cWave1->GetPlayPosition());
    lblCurrentPositionSec->setText(cWave1->SecondsToTimeText(cWave1->GetPlaySeconds()));
}

void frmMicRecorder::cWave1_DonePlay()
{
    // The position timer stays on: the display shows the end until Stop.
    AddResult(QStringLiteral(": DonePlay Event."));
    cmdFileDetails->setEnabled(true);
}

void frmMicRecorder::cmdFileDetails_Click()
{
    const QString path = txtAudioFile->text();
    if (!audioFileExists(path))
        return;
    WaveFileInfo info;
    cWave1->GetFileInfo(path, info);
    const QStringList lines{
        LogTimeText() + u':',
        QStringLiteral("FileName: ") + info.FileName,
        QStringLiteral("FilePath: ") + info.FilePath,
        QStringLiteral("FileLen: ") + QString::number(QFileInfo(path).size()),
        QStringLiteral("SecondsLength: ") + QString::number(info.SecondsLength),
        QStringLiteral("cbSize: ") + QString::number(info.cbSize),
        QStringLiteral("wFormatTag: ") + QString::number(info.wFormatTag),
        QStringLiteral("nAvgBytesPerSec: ") + QString::number(info.nAvgBytesPerSec),
        QStringLiteral("nBlockAlign: ") + QString::number(info.nBlockAlign),
        QStringLiteral("nChannels: ") + QString::number(info.nChannels),
        QStringLiteral("nSamplesPerSec: ") + QString::number(info.nSamplesPerSec),
        QStringLiteral("wBitsPerSample: ") + QString::number(info.wBitsPerSample),
    };
    AppendResults(lines.join(u'\n') + u'\n');
}

void frmMicRecorder::cmdAdd_Click()
{
    // The list keeps the path whatever folder the program starts from next.
    const QString path = AbsoluteAudioFile();
    if (!CheckFileToAdd(path))
        return;
    // Into the current list, which is saved at once; when the main window shows no list
    // it takes, it says why and the recorder stays open.
    MainHost* host = g_MainHost();
    if (!host || !host->AddPathsToList({path}))
        return;
    Forms::Unload(this);
}

void frmMicRecorder::cmdExit_Click()
{
    Forms::Unload(this);
}
