// What every tool window test over the components' fakes starts from: a program folder, the
// fakes installed, the main window's stand-in, and the option windows loaded as at start-up
// (they fill the option and format globals the tool windows read). The tool's outputs go
// to "out/", its sources lie in "music/"; neither folder is made until a test asks.
#pragma once

#include "common/mdlModes.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestPlatform.h"

#include <QDir>

struct FakeToolFixture {
    TestPlatform platform;
    FakeAudioFactories fakes;
    MainHostStandIn host;
    QString dest = platform.path(QStringLiteral("out/"));

    FakeToolFixture()
    {
        InitProductProfile();
        Forms::Get<frmOptions>();
        Forms::Get<frmAudioProp>();
    }
    QString music(const QString& name) const { return platform.path(QStringLiteral("music/") + name); }
    // Makes the outputs' and the sources' folders.
    void makeFolders() const
    {
        QDir().mkpath(dest);
        QDir().mkpath(music(QString()));
    }
};
