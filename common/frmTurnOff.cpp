// The turn-off countdown window.
#include "common/frmTurnOff.h"

#include "common/mdlModes.h"
#include "common/mdlShutDown.h"
#include "platform/IconResources.h"
#include "platform/MessageService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

frmTurnOff::frmTurnOff()
{
    setWindowTitle(QStringLiteral("Turn Off Computer"));
    // Above every other window, like the system's own warnings.
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    Image1 = new QLabel(this);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    top->addWidget(Image1, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    lblApplInfo = new QLabel(this);
    QFont bold = lblApplInfo->font();
    bold.setBold(true);
    lblApplInfo->setFont(bold);
    texts->addWidget(lblApplInfo);
    auto* countRow = new QHBoxLayout;
    lblStatus = new QLabel(QStringLiteral("Computer will shutdown in"), this);
    lblSecToShutDown = new QLabel(QStringLiteral("100"), this);
    QFont big = lblSecToShutDown->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    lblSecToShutDown->setFont(big);
    lblSeconds = new QLabel(QStringLiteral("Seconds"), this);
    countRow->addWidget(lblStatus);
    countRow->addWidget(lblSecToShutDown);
    countRow->addWidget(lblSeconds);
    countRow->addStretch(1);
    texts->addLayout(countRow);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdTurnOffNow = new QPushButton(QStringLiteral("Shutdown Now"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setDefault(true);
    buttons->addWidget(cmdTurnOffNow);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &frmTurnOff::Timer1_Timer);
    connect(cmdTurnOffNow, &QPushButton::clicked, this, &frmTurnOff::cmdTurnOffNow_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTurnOff::cmdCancel_Click);
}

void frmTurnOff::Form_Load()
{
    lblApplInfo->setText(DisplayName());
}

void frmTurnOff::Form_Unload(int&)
{
    // However the window goes (Cancel, its close box, the program closing), the count
    // stops with it.
    Timer1.stop();
}

void frmTurnOff::StartShutDown(qint32 lNumOfSec)
{
    lNumOfSecToShutDown = lNumOfSec;
    lblSecToShutDown->setText(QString::number(lNumOfSecToShutDown));
    Timer1.start();
    Timer1_Timer();
}

void frmTurnOff::Timer1_Timer()
{
    lblSecToShutDown->setText(QString::number(lNumOfSecToShutDown));
    if (lNumOfSecToShutDown > 0) {
        --lNumOfSecToShutDown;
    } else {
        Timer1.stop();
        ShutDown();
    }
}

void frmTurnOff::cmdTurnOffNow_Click()
{
    Timer1.stop();
    lNumOfSecToShutDown = 0;
    lblSecToShutDown->setText(QStringLiteral("0"));
    ShutDown();
}

void frmTurnOff::cmdCancel_Click()
{
    Timer1.stop();
    Forms::Unload(this);
}

void frmTurnOff::ShutDown()
{
    if (IsUnloading())
        return;
    QString why;
    const bool accepted = ShutdownSystem(1, &why);
    Forms::Unload(this);
    if (!accepted) {
        // The computer stays on, and so does the program, with a word on why.
        MsgBox(QStringLiteral("The computer could not be turned off.\n\n") + why, vbExclamation + vbOKOnly);
        return;
    }
    QueueMainUnload();
}
