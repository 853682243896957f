// A stand-in for the main window as the tool windows see it: image lists, the tray icon
// that records their balloons, and the external program's command line.
#pragma once

#include "common/MainHost.h"
#include "components/cImageList/cImageList.h"
#include "components/cSysTray/cSysTray.h"
#include "platform/Forms.h"

#include <QProcess>

class MainHostStandIn : public MainHost
{
public:
    MainHostStandIn() { SetMainHost(this); }
    ~MainHostStandIn() override
    {
        if (g_MainHost() == this)
            SetMainHost(nullptr);
    }

    VForm* MainForm() override { return nullptr; }
    QString GetNotesToStatus() const override { return QString(); }
    void SetStatusPanelText(const QString&, const QString&) override {}
    cImageList* MenuImageList() override { return &menuImages; }
    cImageList* GridImageList() override { return &gridImages; }
    cSysTray* SysTray() override { return &tray; }
    QString GetNoticAppParameters() override { return noticeCommand; }
    // The command line holds no placeholders here: split, it is the program and its arguments.
    QStringList GetNoticAppCommand() override { return QProcess::splitCommand(noticeCommand); }

    // The balloon texts shown so far.
    QStringList BalloonMessages() const
    {
        QStringList out;
        for (const cSysTray::Balloon& b : tray.Balloons())
            out << b.message;
        return out;
    }

    cImageList menuImages;
    cImageList gridImages;
    cSysTray tray;
    QString noticeCommand;
};
