// The recorder window over the real wave component, with SDL's disk driver standing in for
// the sound card: a new user's first recording from the main window (meter, clock, stop,
// play, add), every choice of the format lists recorded exactly and read back by sox and
// ffprobe, the clock's limit, closing during a recording, a second take into the proposed
// name, destinations that are not files, a missing folder, the format report of a file,
// and a file that is not a WAV file.
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
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

// HOME names another folder while it lives: the window proposes its file there.
struct HomeIn {
    QByteArray before = qgetenv("HOME");
    explicit HomeIn(const QString& folder) { qputenv("HOME", QFile::encodeName(folder)); }
    ~HomeIn() { qputenv("HOME", before); }
};

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
        QVector<qint16> half(33075);
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
            QVERIFY(QTest::qWaitFor([&] { return QFileInfo(take).size() >= 44 + 22050; }, 5000));
            r->cmdStopRec->click();
            QTRY_COMPARE(logOf(r).last(), QStringLiteral(": DoneRecord Event."));
            QCOMPARE(logOf(r).mid(4), (QStringList{": RecordStop Success.", ": DoneRecord Event."}));
            QVERIFY(r->cmdRecord->isEnabled());
            QCOMPARE(checkWaveFile(take, 22050, 1, 8), QString());
            recorded = recordedData(take);
            // Stopped after a second of sound: the take lasts one second and a little (its
            // samples, which sox and ffprobe count alike below; a byte each).
            const double takeSeconds = recorded.size() / 22050.0;
            QVERIFY2(takeSeconds >= 1.0 && takeSeconds < 1.5, qPrintable(QString::number(takeSeconds)));
            // The input from its start (and silence, had the input ended before Stop).
            const QByteArray in = pcmBytes(half, 8);
            QCOMPARE(recorded.left(in.size()), in.left(recorded.size()));
            QCOMPARE(checkWithTools(take, 22050, 1, 8), QString());

            // Play: the slider and the seconds move, Pause holds them, Stop puts the slider
            // back at 0.
            r->cmdPlay->click();
            QCOMPARE(logOf(r).mid(6), (QStringList{"", ": PlayeStart Success."}));
            QCOMPARE(r->lbTotalLengthSec->text(), QStringLiteral("0:00:01"));
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
            QCOMPARE(r->lblCurrentPositionSec->text(), QStringLiteral("0:00:01"));
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

    // Twice into the name the window proposes: reopened, Record asks first, and No keeps
    // the first take byte for byte; Yes records the next one over it.
    void aSecondTakeIntoTheProposedNameAsksFirst()
    {
        const HomeIn home(m_dir.path());
        input(pcmBytes(AudioFixtures::noise(4000, 2, 5), 16), false);
        WindowFixture f;
        const QString take = path("wave_file.wav");
        QCOMPARE(f.r->txtAudioFile->text(), take);
        QVERIFY(!QFileInfo::exists(take));
        recordSome(f.r, 4000);
        f.r->cmdExit_Click();
        QCOMPARE(checkWaveFile(take, 44100, 2, 16), QString());
        const QByteArray first = TestFiles::ReadBytes(take);

        frmMicRecorder* r = g_frmMicRecorder();
        QCOMPARE(r->txtAudioFile->text(), take);
        const QStringList opened = logOf(r);
        f.platform.messages().answers.enqueue(vbNo);
        r->cmdRecord->click();
        QCOMPARE(f.platform.messages().shown.size(), 1);
        QCOMPARE(f.platform.messages().shown[0].prompt, "The file " + take + " is already exists, overwrite it?");
        QCOMPARE(logOf(r), opened);
        QVERIFY(r->cmdRecord->isEnabled());
        QCOMPARE(TestFiles::ReadBytes(take), first);

        input(pcmBytes(AudioFixtures::noise(2000, 2, 6), 16), false);
        f.platform.messages().answers.enqueue(vbYes);
        recordSome(r, 8000);
        QCOMPARE(checkWaveFile(take, 44100, 2, 16), QString());
        QCOMPARE(recordedData(take).left(8000), TestFiles::ReadBytes(path("in.raw")));
    }

    // A folder, a named pipe or a device is refused at once with its reason, before
    // anything is asked or opened; the pipe stays as it was.
    void aDestinationThatIsNotAFileIsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder") << "folder" << "Is a directory";
        QTest::newRow("named pipe") << "pipe" << "it is a named pipe, not a regular file";
        QTest::newRow("device") << "device" << "it is a device, not a regular file";
    }

    void aDestinationThatIsNotAFileIsRefusedAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        input(QByteArray(1000, '\x50'), false);
        WindowFixture f;
        QString target = QStringLiteral("/dev/null");
        if (kind == QLatin1String("folder")) {
            target = path("folder.wav");
            QVERIFY(QDir().mkpath(target));
        } else if (kind == QLatin1String("pipe")) {
            target = path("pipe.wav");
            QFile::remove(target);
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        }
        f.r->txtAudioFile->setText(target);
        // A Record held in the pipe's open is let go after two seconds by a reader that
        // drains the pipe until the writer leaves, so that the test ends.
        std::atomic<bool> returned{false};
        std::thread reader;
        if (kind == QLatin1String("pipe"))
            reader = std::thread([&] {
                for (int i = 0; i < 200 && !returned; ++i)
                    QThread::msleep(10);
                if (returned)
                    return;
                const int fd = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_NONBLOCK);
                if (fd < 0)
                    return;
                ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
                char buffer[4096];
                while (::read(fd, buffer, sizeof buffer) > 0) {
                }
                ::close(fd);
            });
        QElapsedTimer clock;
        clock.start();
        f.r->cmdRecord_Click();
        const qint64 ms = clock.elapsed();
        returned = true;
        if (f.r->tmrRec.isActive())
            f.r->cmdStopRec_Click();
        if (reader.joinable())
            reader.join();
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("Record took %1 ms").arg(ms)));
        QCOMPARE(logOf(f.r).last(),
                 ": Error RecordStart .The file \"" + target + "\" cannot be written: " + reason + ".");
        QVERIFY(f.r->cmdRecord->isEnabled());
        QVERIFY(!f.r->tmrRec.isActive());
        QVERIFY(f.platform.messages().shown.isEmpty());
        if (kind == QLatin1String("pipe")) {
            struct stat st {};
            QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
            QVERIFY(S_ISFIFO(st.st_mode));
        }
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
