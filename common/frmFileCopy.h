// The file-copy window: copies g_sSourceFile to g_sDestFile with a progress bar, shows
// what went wrong when the copy fails, and closes itself when the copy is over.
#pragma once

#include "platform/Forms.h"

#include <QTimer>

class QLabel;
class QPushButton;
class XP_ProgressBar;
class FileCopyClass;

class frmFileCopy : public VForm
{
    Q_OBJECT
public:
    frmFileCopy();
    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_Unload(int& Cancel) override;

    // Runs one copy in the window.
    void FileCopyEx(const QString& sSource, const QString& sDest);

    void tmrStart_Timer();
    void Timer1_Timer();
    void tmrEnd_Timer();
    void cmdOk_Click();
    void cmdExit_Click();

    // The copy the window is running; nullptr between copies.
    FileCopyClass* RunningCopy() const { return m_pCopy; }

    QString g_sSourceFile;
    QString g_sDestFile;

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblFrom = nullptr;
    QLabel* lblTo = nullptr;
    QLabel* lblState = nullptr;
    XP_ProgressBar* ProgressBar1 = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdExit = nullptr;
    QTimer Timer1;
    QTimer tmrStart;
    QTimer tmrEnd;

private:
    FileCopyClass* m_pCopy = nullptr;
};

inline frmFileCopy* g_frmFileCopy()
{
    return Forms::Get<frmFileCopy>();
}
