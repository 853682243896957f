// The file-copy window.
#include "common/frmFileCopy.h"

#include "common/FileCopyClass.h"
#include "common/mdlViewColors.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>


frmFileCopy::frmFileCopy()
{
    setWindowTitle(QStringLiteral("File Copy"));
    resize(460, 200);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);

    picTitle = new QWidget(this);
    picTitle->setAutoFillBackground(true);
    auto* titleRow = new QHBoxLayout(picTitle);
    lblTitle = new QLabel(QStringLiteral("File Copy"), picTitle);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    titleRow->addWidget(lblTitle);
    layout->addWidget(picTitle);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(10, 4, 10, 4);
    Label1 = new QLabel(QStringLiteral("From:"), this);
    Label2 = new QLabel(QStringLiteral("To:"), this);
    lblFrom = new QLabel(this);
    lblTo = new QLabel(this);
    for (QLabel* l : {lblFrom, lblTo}) {
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
    }
    lblState = new QLabel(QStringLiteral("State"), this);
    ProgressBar1 = new XP_ProgressBar(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(lblFrom, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(lblTo, 1, 1);
    grid->addWidget(lblState, 2, 0, 1, 2);
    grid->addWidget(ProgressBar1, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(10, 0, 10, 0);
    buttons->addStretch(1);
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdExit);
    layout->addLayout(buttons);

    Timer1.setInterval(1000);
    tmrStart.setInterval(100);
    tmrEnd.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &frmFileCopy::Timer1_Timer);
    connect(&tmrStart, &QTimer::timeout, this, &frmFileCopy::tmrStart_Timer);
    connect(&tmrEnd, &QTimer::timeout, this, &frmFileCopy::tmrEnd_Timer);
    connect(cmdOk, &QPushButton::clicked, this, &frmFileCopy::cmdOk_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmFileCopy::cmdExit_Click);
}

void frmFileCopy::Form_Load()
{
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);
    ProgressBar1->SetBarColour(g_lAppColor);
}

void frmFileCopy::Form_QueryUnload(int& Cancel, int)
{
    // Not while a copy runs: its buttons are off until it ends.
    if (!cmdExit->isEnabled())
        Cancel = 1;
}

void frmFileCopy::Form_Unload(int&)
{
    // An unloaded window starts nothing more.
    tmrStart.stop();
    tmrEnd.stop();
    Timer1.stop();
}

void frmFileCopy::FileCopyEx(const QString& sSource, const QString& sDest)
{
    if (m_pCopy)
        return;  // one copy at a time
    cmdOk->setEnabled(false);
    cmdExit->setEnabled(false);
    ProgressBar1->SetValue(0);
    ProgressBar1->setVisible(true);
    lblState->setText(QStringLiteral("Copying"));
    FileCopyClass copy;
    copy.SetCacheSize(8000);
    m_pCopy = &copy;
    Timer1.start();
    copy.Copy(sSource, sDest);
    Timer1.stop();
    m_pCopy = nullptr;
    if (copy.Sucessfull())
        ProgressBar1->SetValue(100);
    else
        MsgBox(copy.ErrorText(), vbInformation);  // the destination is as it was
    lblState->setText(QStringLiteral("Ready"));
    cmdOk->setEnabled(true);
    cmdExit->setEnabled(true);
    tmrEnd.start();
}

void frmFileCopy::tmrStart_Timer()
{
    // Off first: the copy gives the event loop turns, and this starts one copy only.
    tmrStart.stop();
    FileCopyEx(g_sSourceFile, g_sDestFile);
}

void frmFileCopy::Timer1_Timer()
{
    if (m_pCopy)
        ProgressBar1->SetValue(m_pCopy->PercentREady());
}

void frmFileCopy::tmrEnd_Timer()
{
    tmrEnd.stop();
    Forms::Unload(this);
}

void frmFileCopy::cmdOk_Click()
{
    FileCopyEx(g_sSourceFile, g_sDestFile);
}

void frmFileCopy::cmdExit_Click()
{
    Forms::Unload(this);
}
