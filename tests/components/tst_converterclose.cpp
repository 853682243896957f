// Closing the conversion component as a window does when it unloads: a running conversion
// ends in Aborted with nothing left on disk, and what was read of the source is released.
#include "components/cAudioConverter/cAudioConverter.h"
#include "tests/support/AudioFixtures.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_converterclose : public QObject
{
    Q_OBJECT
private slots:
    void abortsARunningConversion();
    void idleCloseReleasesTheSource();
};

void tst_converterclose::abortsARunningConversion()
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("long.wav"));
    QVERIFY(AudioFixtures::writeWav(wav, 44100, 2, 16, AudioFixtures::noise(44100 * 20, 2)));
    std::unique_ptr<cAudioConverter> c(CreateAudioConverter(nullptr));
    QCOMPARE(c->ReadFileInfo(wav), 0);
    const EncoderSettings mp3 = AudioFixtures::mp3Settings();
    MP3Settings settings = mp3.MP3;
    c->SetOutputFormat(kOutputMP3);
    c->SetMP3Settings(settings);
    c->SetSourceFile(wav);
    const QString out = dir.filePath(QStringLiteral("out.mp3"));
    c->SetOutputFile(out);
    QSignalSpy done(c.get(), &cAudioConverter::Done);
    QSignalSpy aborted(c.get(), &cAudioConverter::Aborted);
    QSignalSpy error(c.get(), &cAudioConverter::Error);
    c->StartConvert();
    QVERIFY(c->IsConverting());
    c->CloseConverter();
    QVERIFY(aborted.wait(30000));
    QCOMPARE(done.size(), 0);
    QCOMPARE(error.size(), 0);
    QVERIFY(!c->IsConverting());
    QCOMPARE(c->Duration(), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("long.wav")});
}

void tst_converterclose::idleCloseReleasesTheSource()
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("short.wav"));
    QVERIFY(AudioFixtures::writeWav(wav, 8000, 1, 16, AudioFixtures::sine(16000, 1, 8000, 440)));
    std::unique_ptr<cAudioConverter> c(CreateAudioConverter(nullptr));
    QCOMPARE(c->ReadFileInfo(wav), 0);
    QCOMPARE(c->Duration(), 2000);
    QSignalSpy aborted(c.get(), &cAudioConverter::Aborted);
    c->CloseConverter();
    QCOMPARE(c->Duration(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(aborted.size(), 0);  // nothing ran, so nothing ends
}

QTEST_GUILESS_MAIN(tst_converterclose)
#include "tst_converterclose.moc"
