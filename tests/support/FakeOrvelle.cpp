#include "tests/support/FakeOrvelle.h"

#include "tests/support/AudioFixtures.h"

#include <QFileInfo>

void FakeOrvelle::EnumFormats()
{
    calls << QStringLiteral("EnumFormats");
    for (const auto& [name, id] : formats)
        emit FormatFound(name, id);
}

qint32 FakeOrvelle::SpeakToFile(const QString& Text, QString& FileName)
{
    calls << QStringLiteral("SpeakToFile ") + Text + u'|' + FileName;
    fileExistedBefore << QFileInfo::exists(FileName);
    if (fileResult)
        return fileResult;
    constexpr int kRate = 22050;
    AudioFixtures::writeWav(FileName, kRate, 1, 16,
                            AudioFixtures::sine(qint64(fileSeconds * kRate), 1, kRate, 440.0));
    return 0;
}

FakeOrvelleFactory::FakeOrvelleFactory()
{
    SetOrvelleFactory([this](QObject* parent) {
        auto* fake = new FakeOrvelle(parent);
        made << fake;
        if (setup)
            setup(fake);
        return fake;
    });
}

FakeOrvelleFactory::~FakeOrvelleFactory()
{
    SetOrvelleFactory({});
}
