// The recorder window over the real wave component, with SDL's disk driver standing in for
// the sound card: a new user's first recording from the main window (meter, clock, stop,
// play, add), every choice of the format lists recorded exactly and read back by sox and
// ffprobe, the clock's limit, closing during a recording, a missing folder, the format
// report of a file, and a file that is not a WAV file.
#include "components/cProgressBar/cProgressBar.h"
#include "components/cSlider/cSlider.h"
#include "components/cToolbar/cToolbar.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/RecordingChecks.h"
#include "tools/recording/frmMicRecorder.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace ListsTest;
using namespace RecordingChecks;

namespace {

// The log's lines without their times of day.
QStringList logOf(frmMicRecorder* r)
{
    QStringList lines = r->txtResults->toPlainText().split(u'\n');
    lines.removeLast();
    for (QString& line : lines)
        line.remove(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d(?=:)")));
    return lines;
}

void chooseFormat(frmMicRecorder* r, int rate, int channels, int bits)
{
    QVERIFY(SelectListText(r->cboSamplesPerSec, QString::number(rate)));
    QVERIFY(SelectListText(r->cboChannels, channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo")));
    QVERIFY(SelectListText(r->cboBitPerSample, QString::number(bits)));
}

// The recorder alone, over the real component.
struct WindowFixture {
    TestPlatform platform;
    frmMicRecorder* r = nullptr;
    WindowFixture()
    {
        InitProductProfile();
        r = g_frmMicRecorder();
    }
};

} // namespace

class tst_recorderreal : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    void input(const QByteArray& bytes, bool realTime)
    {
        TestFiles::WriteBytes(path("in.raw"), bytes);
        QFile::remove(path("out.raw"));
        useDiskFiles(path("in.raw"), path("out.raw"), realTime);
    }

    // Record, wait for `bytes` of samples, Stop, and the end event.
    void recordSome(frmMicRecorder* r, qint64 bytes)
    {
        const QString file = r->txtAudioFile->text();
        r->cmdRecord->click();
        QCOMPARE(logOf(r).last(), QStringLiteral(": RecordStart Success."));
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(file).size() >= 44 + bytes; }, 10000));
        r->cmdStopRec->click();
        QTRY_COMPARE(logOf(r).last(), QStringLiteral(": DoneRecord Event."));
    }

private slots:
    void initTestCase()
    {
        qputenv("SDL_AUDIODRIVER", "disk");
        input(QByteArray(), false);
    }

    void init()
    {
        SetWaveFactory({});
        SetAudioConverterFactory({});
    }

    // As a new user: open it from the tools bar, pick 22050, Mono, 8 and a file, record
    // an input at half of full scale, stop, play it back, add it to the list.
    void aNewUsersFirstRecording()
    {
        Fixture f;
        SetWaveFactory({});
        SetAudioConverterFactory({});
        SetPlayerFactory({});
        const QString list = f.addListText("Songs", QString());
        frmMain* m = f.start();
        QVector<qint16> half(22050);
        for (int i = 0; i < half.size(); ++i)
            half[i] = i % 2 ? -16384 : 16384;
        input(pcmBytes(half, 8), true);
        const QString take = path("take.wav");
        f.platform.dialogs().saveAnswers.enqueue(take);
        QByteArray recorded;
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* r = qobject_cast<frmMicRecorder*>(form);
            QCOMPARE(logOf(r), QStringList{": MeterIn=True."});
            QCOMPARE(r->cboDevices->count(), 1);
            QVERIFY2(r->cboDevices->currentText().startsWith("0 - System audio capture device - "),
                     qPrintable(r->cboDevices->currentText()));
            chooseFormat(r, 22050, 1, 8);
            r->cmdPath->click();
            QCOMPARE(r->txtAudioFile->text(), take);

            r->cmdRecord->click();
            QCOMPARE(logOf(r), (QStringList{": MeterIn=True.", ": MeterIn=True.", ": PreScreenClose.",
                                            ": RecordStart Success."}));
            QTRY_COMPARE_WITH_TIMEOUT(r->prgMeter->Value(), 60, 3000);
            r->tmrRec_Timer();
            QCOMPARE(r->lblRecTime->text(), QStringLiteral("0:00:01"));
            QVERIFY(QTest::qWaitFor([&] { return QFileInfo(take).size() >= 44 + 15000; }, 5000));
            r->cmdStopRec->click();
            QTRY_COMPARE(logOf(r).last(), QStringLiteral(": DoneRecord Event."));
            QCOMPARE(logOf(r).mid(4), (QStringList{": RecordStop Success.", ": DoneRecord Event."}));
            QVERIFY(r->cmdRecord->isEnabled());
            QCOMPARE(checkWaveFile(take, 22050, 1, 8), QString());
            recorded = recordedData(take);
            QVERIFY(recorded.size() >= 15000);
            // The input from its start (and silence, had the input ended before Stop).
            const QByteArray in = pcmBytes(half, 8);
            QCOMPARE(recorded.left(in.size()), in.left(recorded.size()));
            QCOMPARE(checkWithTools(take, 22050, 1, 8), QString());

            // Play: the slider and the seconds move, Pause holds them, Stop puts the slider
            // back at 0.
            r->cmdPlay->click();
            QCOMPARE(logOf(r).mid(6), (QStringList{"", ": PlayeStart Success."}));
            const int seconds = int(std::nearbyint(recorded.size() / 22050.0));
            QCOMPARE(r->lbTotalLengthSec->text(), QStringLiteral("0:00:0%1").arg(seconds));
            QTRY_VERIFY_WITH_TIMEOUT((r->tmSlider_Timer(), r->cSlider1->Value() >= 20), 3000);
            r->cmdPauseOut->click();
            r->tmSlider_Timer();
            const int held = r->cSlider1->Value();
            QTest::qWait(300);
            r->tmSlider_Timer();
            QCOMPARE(r->cSlider1->Value(), held);
            r->cmdUnPauseOut->click();
            QTRY_COMPARE_WITH_TIMEOUT(logOf(r).last(), QStringLiteral(": DonePlay Event."), 5000);
            r->tmSlider_Timer();
            QCOMPARE(r->cSlider1->Value(), 100);
            QCOMPARE(r->lblCurrentPositionSec->text(), QStringLiteral("0:00:0%1").arg(recorded.size() / 22050));
            r->cmdStop->click();
            QCOMPARE(logOf(r).last(), QStringLiteral(": PlayStop Success."));
            QCOMPARE(r->cSlider1->Value(), 0);

            r->cmdAdd->click();
        });
        auto* bar = m->findChild<cToolbar*>(QStringLiteral("tlbrRecorder"));
        bar->ButtonWidget(bar->ButtonIndex(QStringLiteral("Audio Recorder")))->click();
        QCOMPARE(f.platform.modal().shown, QStringList{"frmMicRecorder"});
        QVERIFY(!Forms::IsLoaded<frmMicRecorder>());

        // The device played the file's samples (as 16-bit samples; silence where it waited
        // and while paused).
        QByteArray expected;
        for (char c : recorded)
            if (quint8(c) != 128)
                expected += pcmBytes({qint16((quint8(c) - 128) << 8)}, 16);
        QCOMPARE(withoutSilence(TestFiles::ReadBytes(path("out.raw")), 2), expected);
        // The recording is a row of the list and in its file.
        QCOMPARE(gridItems(m->cGrid1), QStringLiteral("take.wav*"));
        QCOMPARE(fileItems(list), QStringLiteral("take.wav*"));
        QCOMPARE(m->cGridInfo->Cell(6, 2).Text(), QStringLiteral("22050"));
    }

    // Every choice of the lists: the file holds exactly the input's samples from its
    // start, and sox and ffprobe read it as that format with the length its header states.
    void everyChoiceOfTheListsRecordsExactly_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("bits");
        for (int bits : {8, 16})
            for (int rate : {8000, 11025, 22050, 44100})
                for (int channels : {1, 2})
                    QTest::addRow("%d Hz, %s, %d bits", rate, channels == 1 ? "mono" : "stereo", bits)
                        << rate << channels << bits;
    }

    void everyChoiceOfTheListsRecordsExactly()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, bits);
        const QByteArray in = pcmBytes(AudioFixtures::noise(rate / 4, channels, quint32(rate + bits)), bits);
        input(in, false);
        WindowFixture f;
        chooseFormat(f.r, rate, channels, bits);
        const QString file = path(QStringLiteral("take_%1_%2_%3.wav").arg(rate).arg(channels).arg(bits));
        f.r->txtAudioFile->setText(file);
        recordSome(f.r, in.size());
        QCOMPARE(checkWaveFile(file, rate, channels, bits), QString());
        const QByteArray data = recordedData(file);
        QVERIFY(data.size() >= in.size());
        QCOMPARE(data.left(in.size()), in);
        QCOMPARE(checkWithTools(file, rate, channels, bits), QString());
    }

    // A recording nobody stops ends at the clock's 30th tick, with a header that matches
    // its data.
    void theThirtiethTickEndsTheRecording()
    {
        const QByteArray in = pcmBytes(AudioFixtures::noise(4000, 1, 8), 16);
        input(in, false);
        WindowFixture f;
        chooseFormat(f.r, 8000, 1, 16);
        const QString file = path("limit.wav");
        f.r->txtAudioFile->setText(file);
        f.r->cmdRecord_Click();
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(file).size() >= 44 + in.size(); }, 10000));
        for (int i = 0; i < 30; ++i)
            f.r->tmrRec_Timer();
        QCOMPARE(f.r->lblRecTime->text(), QStringLiteral("0:00:30"));
        QCOMPARE(logOf(f.r).last(), QStringLiteral(": RecordStop Success."));
        QCOMPARE(checkWaveFile(file, 8000, 1, 16), QString());
        QTRY_COMPARE(logOf(f.r).last(), QStringLiteral(": DoneRecord Event."));
        QCOMPARE(recordedData(file).left(in.size()), in);
        QVERIFY(f.r->cmdRecord->isEnabled());
    }

    // Closing the window during a recording leaves a complete file of what was captured;
    // so does the program ending with the window still open (its windows destroyed
    // without their handlers), where the dying component calls nothing of the
    // half-destroyed window.
    void aWindowGoneDuringARecordingLeavesAValidFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("close box") << "close";
        QTest::newRow("destroyed") << "destroyed";
    }

    void aWindowGoneDuringARecordingLeavesAValidFile()
    {
        QFETCH(QString, how);
        const QByteArray in = pcmBytes(AudioFixtures::noise(11025, 2, 12), 16);
        input(in, false);
        WindowFixture f;
        chooseFormat(f.r, 11025, 2, 16);
        const QString file = path(how + ".wav");
        f.r->txtAudioFile->setText(file);
        f.r->cmdRecord_Click();
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(file).size() >= 44 + in.size() / 2; }, 10000));
        if (how == "close") {
            f.r->close();
        } else {
            Forms::DestroyAll();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(!Forms::IsLoaded<frmMicRecorder>());
        QCOMPARE(checkWaveFile(file, 11025, 2, 16), QString());
        const QByteArray data = recordedData(file);
        QVERIFY(data.size() >= in.size() / 2);
        QCOMPARE(data.left(in.size()), in.left(data.size()));
        QCOMPARE(checkWithTools(file, 11025, 2, 16), QString());
    }

    void aMissingFolderIsSaid()
    {
        input(QByteArray(1000, '\x50'), false);
        WindowFixture f;
        const QString file = path("gone/take.wav");
        f.r->txtAudioFile->setText(file);
        f.r->cmdRecord_Click();
        QCOMPARE(logOf(f.r).last(), ": Error RecordStart .The file \"" + file +
                                        "\" cannot be written: No such file or directory.");
        QVERIFY(f.r->cmdRecord->isEnabled());
        QVERIFY(!f.r->tmrRec.isActive());
        QVERIFY(!QFileInfo::exists(path("gone")));
    }

    void fileDetailsOfAOneSecondFile()
    {
        WindowFixture f;
        const QString file = path("second.wav");
        QVERIFY(AudioFixtures::writeWav(file, 8000, 1, 8, AudioFixtures::noise(8000, 1, 2)));
        f.r->txtAudioFile->setText(file);
        f.r->cmdFileDetails_Click();
        QCOMPARE(logOf(f.r).mid(1), (QStringList{":", "FileName: second.wav", "FilePath: " + m_dir.path(),
                                                 "FileLen: 8044", "SecondsLength: 1", "cbSize: 0", "wFormatTag: 1",
                                                 "nAvgBytesPerSec: 8000", "nBlockAlign: 1", "nChannels: 1",
                                                 "nSamplesPerSec: 8000", "wBitsPerSample: 8"}));
    }

    // An MP3 file typed into the box plays nothing: the log says why.
    void aFileThatIsNotAWaveFilePlaysNothing()
    {
        input(QByteArray(), false);
        WindowFixture f;
        const QString wav = path("source.wav");
        QVERIFY(AudioFixtures::writeWav(wav, 22050, 1, 16, AudioFixtures::noise(22050, 1, 3)));
        const QString mp3 = path("song.mp3");
        QString why;
        QVERIFY2(ExternalTools::Run("lame", {"--quiet", wav, mp3}, mp3, &why), qPrintable(why));
        f.r->txtAudioFile->setText(mp3);
        f.r->cmdPlay_Click();
        QCOMPARE(logOf(f.r).last(), ": Error Play Start:The file \"" + mp3 + "\" is not a WAV file.");
        QVERIFY(!f.r->tmSlider.isActive());
        QVERIFY(!QFileInfo::exists(path("out.raw")));
    }
};

QTEST_MAIN(tst_recorderreal)
#include "tst_recorderreal.moc"
