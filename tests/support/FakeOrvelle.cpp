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
    m_heldFile = FileName;
    if (!holdFile)
        QMetaObject::invokeMethod(this, &FakeOrvelle::finishFile, Qt::QueuedConnection);
    return 0;
}

void FakeOrvelle::finishFile()
{
    const QString file = std::exchange(m_heldFile, QString());
    if (file.isEmpty())
        return;
    if (fileResult) {
        emit FileError(fileResult, fileError);
        return;
    }
    constexpr int kRate = 22050;
    AudioFixtures::writeWav(file, kRate, 1, 16, AudioFixtures::sine(qint64(fileSeconds * kRate), 1, kRate, 440.0));
    emit FileDone();
}

void FakeOrvelle::StopSpeech()
{
    calls << QStringLiteral("StopSpeech");
    // A held file ends aborted, its end told queued as the component tells it.
    if (!std::exchange(m_heldFile, QString()).isEmpty())
        QMetaObject::invokeMethod(this, [this] { emit FileAborted(); }, Qt::QueuedConnection);
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
