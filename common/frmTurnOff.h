// The turn-off countdown: counts the seconds down, then asks the system to turn off and
// closes the program (or says why the system refused); Cancel stops it, "Shutdown Now"
// skips the rest of the wait.
#pragma once

#include "platform/Forms.h"

#include <QTimer>

class QLabel;
class QPushButton;

class frmTurnOff : public VForm
{
    Q_OBJECT
public:
    frmTurnOff();
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

    void StartShutDown(qint32 lNumOfSec);
    // Asks for the shutdown and closes this window; when the system accepted, queues the
    // main window's close, otherwise says why the computer is still on.
    void ShutDown();

    void Timer1_Timer();
    void cmdTurnOffNow_Click();
    void cmdCancel_Click();

    qint32 lNumOfSecToShutDown = 0;

    QLabel* lblStatus = nullptr;
    QLabel* lblSecToShutDown = nullptr;
    QLabel* lblSeconds = nullptr;
    QLabel* lblApplInfo = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* cmdTurnOffNow = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer Timer1;
};

inline frmTurnOff* g_frmTurnOff()
{
    return Forms::Get<frmTurnOff>();
}
