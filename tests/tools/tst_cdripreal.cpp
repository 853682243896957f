// The CD ripper over the real ripper component, on generated BIN/CUE images listed as
// drives, tried as a new user would in a profile that offers CD drives: the drive's node,
// "Audio CD Ripper" from the menu, rips to WAV (bit-identical to the tracks, whose samples
// are uniform random bytes), MP3 and WMA (the track's length, tagged from the row), a range,
// a data track of a mixed-mode disc, an image cut short, Abort with a file of the name
// already there, and the disc status line of each kind of image.
#include "common/frmTurnOff.h"
#include "common/mdlFunctions.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cGrid/cGrid.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cTreeView/cTreeView.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/CdDrivesFixture.h"
#include "tests/support/CdImages.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/JobLog.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/disc/frmCDRipper.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cdio/cdio.h>

using namespace ListsTest;
using namespace ToolTexts;

namespace {

// A profile that offers CD drives, the real ripper, and the first-run format settings.
struct RealCD : CDFixture {
    RealCD() : CDFixture(QStringLiteral("Songs"), {QStringLiteral("a.wav*")})
    {
        SetAudioCDRipperFactory({});
        Forms::Get<frmOptions>();
        Forms::Get<frmAudioProp>();
        g_lSamplesWAV = 44100;
        g_lBitrateWAV = 16;
        g_lChannelsWAV = 1;
        g_lMP3Bitrate = 128;
        g_lMP3Quality = 5;
        g_lMP3Samplerate = 44100;
        g_sTagSong = QStringLiteral("Song [TRACK_NUM]");
        g_sTagTrack = QStringLiteral("[TRACK_NUM]");
    }
};

// Runs the ripper's job to its end; false when it does not end within two minutes.
bool ripToTheEnd(frmCDRipper* w)
{
    w->cmdConvert_Click();
    return QTest::qWaitFor([w] { return !w->IsBusy(); }, 120000);
}

struct RipEnding {
    QString ending;  // the window's last state text
    QStringList log;
};

// Opens the ripper on the selected drive's node, rips the marked tracks to WAV in `dest`
// (with "Turn off computer" ticked or not) and closes the window again.
RipEnding ripToWav(RealCD& f, const QString& dest, bool turnOff)
{
    RipEnding end;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDRipper*>(form);
        QVERIFY(w);
        w->txtToPath->setEditText(dest);
        QVERIFY(SelectListText(w->cboTargetFormat, kWav));
        w->chkTurnOffComputer->SetValue(turnOff ? 1 : 0);
        QVERIFY(ripToTheEnd(w));
        end.ending = w->lblCurrentTrack->text();
        end.log = JobLogLines(w->txtLog);
        w->cmdExit_Click();
    });
    command(Forms::Get<frmMain>(), "Audio CD Ripper");
    return end;
}

// What ffprobe reads of a file: its title and track tags.
QString probeTags(const QString& file)
{
    return ExternalTools::Output(QStringLiteral("ffprobe"),
                                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                  QStringLiteral("format_tags=title,track"), QStringLiteral("-of"),
                                  QStringLiteral("default=noprint_wrappers=1"), file})
        .trimmed();
}

bool realDrivesPresent()
{
    char** devices = cdio_get_devices(DRIVER_DEVICE);
    const bool any = devices && devices[0];
    if (devices)
        cdio_free_device_list(devices);
    return any;
}

} // namespace

class tst_cdripreal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void asANewUser_data();
    void asANewUser();
    void rangeAndWholeTrack();
    void dataTrackOfAMixedDisc();
    void imageCutShort();
    void abortKeepsTheFileThere();
    void discStatusOfImages();
    void noDriveAtAll();

private:
    QTemporaryDir m_dir;
    CdImages::Image m_disc;   // 3 audio tracks of 2, 3 and 4 s, of uniform random samples
    CdImages::Image m_mixed;  // a data track, then 2 audio tracks
    CdImages::Image m_long;   // one audio track of 40 s
};

void tst_cdripreal::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_disc = CdImages::WriteUniform(m_dir.path(), QStringLiteral("disc"), {150, 225, 300}, 8);
    m_mixed = CdImages::WriteMixed(m_dir.path(), QStringLiteral("mixed"), {150, 150, 225}, 7);
    m_long = CdImages::WriteAudio(m_dir.path(), QStringLiteral("long"), {40 * 75}, 11);
}

void tst_cdripreal::asANewUser_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<int>("tolerance");  // frames the decoded length may differ by
    QTest::newRow("WAV") << kWav << "wav" << 0;
    QTest::newRow("MP3") << kMp3 << "mp3" << 1152;
    QTest::newRow("WMA") << kWma << "wma" << 2 * 2048 + 3000;
}

// A 3-track image listed as a drive; two tracks marked; the ripper from the menu.
void tst_cdripreal::asANewUser()
{
    QFETCH(QString, format);
    QFETCH(QString, extension);
    QFETCH(int, tolerance);
    CdImages::ListedAsDrives images({m_disc.cue});
    RealCD f;
    frmMain* m = f.start();
    cTreeItem* node = f.imageNode(QStringLiteral("disc.cue"));
    QVERIFY(node);
    m->cTreeView1_NodeClick(node);
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("Track01.cda* Track02.cda* Track03.cda*"));
    clickMark(m, 2);
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("Track01.cda* Track02.cda Track03.cda*"));
    const QString drive = node->Text();  // "D:" where the machine has no drive of its own
    const QString sub = QString(drive).replace(u':', u'-');
    const QString dest = f.platform.path("Music");  // typed without its "/"
    const QByteArray binBefore = TestFiles::ReadBytes(QFileInfo(m_disc.cue).path() + "/disc.bin");

    QStringList captions, counters, timeLeft;
    QList<int> current, total;
    QStringList log;
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDRipper*>(form);
        QVERIFY(w);
        shown = true;
        QCOMPARE(w->lblCDStatus->text(), QStringLiteral("OK: 3 CDA tracks"));
        QVERIFY(w->cboDevices->currentText().startsWith(drive));
        QVERIFY(!w->cboDevices->isEnabled());
        QVERIFY(!w->cmdOpenCD->isEnabled());
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("2 items to convert."));
        QCOMPARE(w->txtUndeForlder->text(), sub);
        QCOMPARE(w->chkOpenCDdrive->Value(), 1);  // the tray of an image drive: nothing happens

        w->txtToPath->setEditText(dest);
        w->chkCreateSubFolder->SetValue(1);
        QVERIFY(SelectListText(w->cboTargetFormat, format));
        connect(w, &QWidget::windowTitleChanged, w, [&](const QString& t) { captions << t; });
        connect(w->cAudioCDRipper1, &cAudioCDRipper::Progress, w, [&, w](qint32) {
            counters << w->lblFilesToConvert->text();
            current << w->prgCurrnet->Value();
            total << w->prgTotal->Value();
            w->Timer1_Timer();  // the estimate's tick, as the timer gives it every second
            timeLeft << w->lblTimeLeft->text();
        });
        QVERIFY(ripToTheEnd(w));
        log = JobLogLines(w->txtLog);
        w->cmdExit_Click();
    });
    command(m, "Audio CD Ripper");
    QVERIFY(shown);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmCDRipper"});

    const QString folder = dest + u'/' + sub + u'/';
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
             (QStringList{"Track01.cda." + extension, "Track03.cda." + extension}));
    for (int t : {1, 3}) {
        const QString file = folder + QStringLiteral("Track0%1.cda.").arg(t) + extension;
        const QByteArray expected = m_disc.track(t - 1);
        if (extension == QLatin1String("wav")) {
            QCOMPARE(AudioFixtures::wavData(file), expected);
            continue;
        }
        const AudioFixtures::Decoded d = AudioFixtures::decode(file);
        QCOMPARE(d.channels, 2);
        const qint64 frames = expected.size() / 4;
        QVERIFY2(qAbs(d.frames() - frames) <= tolerance,
                 qPrintable(QStringLiteral("%1 frames decoded, %2 on the track").arg(d.frames()).arg(frames)));
        const QString tags = probeTags(file);
        QVERIFY2(tags.contains(QStringLiteral("title=Song %1").arg(t)), qPrintable(tags));
        QVERIFY2(tags.contains(QRegularExpression(QStringLiteral("track=%1(/|$|\\n)").arg(t))), qPrintable(tags));
    }
    // What the window showed on the way.
    QVERIFY(!captions.filter(QRegularExpression(QStringLiteral("^Converting\\.\\.\\. \\[ \\d+% / [\\d.]+% \\]$"))).isEmpty());
    QCOMPARE(captions.last(), QStringLiteral("Done."));
    QVERIFY(counters.contains(QStringLiteral("Files: 1/3")));
    QVERIFY(counters.contains(QStringLiteral("Files: 3/3")));
    QVERIFY(!counters.contains(QStringLiteral("Files: 2/3")));
    QVERIFY(std::any_of(current.begin(), current.end(), [](int v) { return v > 0 && v <= 100; }));
    QVERIFY(std::any_of(total.begin(), total.end(), [](int v) { return v > 200 && v <= 300; }));
    timeLeft.removeAll(QStringLiteral("Time Left: 00:00:00"));
    QVERIFY(!timeLeft.filter(QRegularExpression(QStringLiteral("^Time Left: \\d\\d:\\d\\d:\\d\\d$"))).isEmpty());
    QCOMPARE(log.first(), QStringLiteral("Preparing to rip: 3 tracks."));
    QVERIFY(log.contains(QStringLiteral("Start to rip: Track01.cda...")));
    QVERIFY(log.contains(QStringLiteral("Start to rip: Track03.cda...")));
    QCOMPARE(log.count(QStringLiteral("Done.")), 2);
    QCOMPARE(m->cSysTray1->Balloons().last().message, QStringLiteral("Done."));
    // The eject did nothing to the image: the drive lists its disc as before.
    QCOMPARE(TestFiles::ReadBytes(QFileInfo(m_disc.cue).path() + "/disc.bin"), binBefore);
    m->cTreeView1_NodeClick(node);
    QCOMPARE(m->cGrid1->Rows(), 3);
    QVERIFY(m->tmrCDs.isActive());
}

// A range row rips exactly its seconds; a later row without one its whole track.
void tst_cdripreal::rangeAndWholeTrack()
{
    CdImages::ListedAsDrives images({m_disc.cue});
    RealCD f;
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(f.imageNode(QStringLiteral("disc.cue")));
    clickMark(m, 1);  // tracks 2 and 3
    const QString dest = f.platform.path("out/");
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDRipper*>(form);
        QVERIFY(w);
        ToolRows::SetRange(w->cGrid1, 2, QStringLiteral("1"), QStringLiteral("1"));
        w->txtToPath->setEditText(dest);
        QVERIFY(SelectListText(w->cboTargetFormat, kWav));
        w->cboFileName->setCurrentIndex(4);  // "[123].[dest_extension]"
        QVERIFY(ripToTheEnd(w));
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
        w->cmdExit_Click();
    });
    command(m, "Audio CD Ripper");
    QCOMPARE(AudioFixtures::wavData(dest + "2.wav"), m_disc.sectors(1, 75, 75));
    QCOMPARE(AudioFixtures::wavData(dest + "3.wav"), m_disc.track(2));
}

// A marked data track ends in an error; the next track is still ripped, the job says how
// many failed, and the computer is not turned off.
void tst_cdripreal::dataTrackOfAMixedDisc()
{
    CdImages::ListedAsDrives images({m_mixed.cue});
    RealCD f;
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(f.imageNode(QStringLiteral("mixed.cue")));
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("Track01.cda Track02.cda* Track03.cda*"));
    // A data track is marked only with the others: all unmarked, all marked, track 3 off.
    command(m, "MarkUnmark All");
    command(m, "MarkUnmark All");
    clickMark(m, 3);
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("Track01.cda* Track02.cda* Track03.cda"));
    const QString dest = f.platform.path("out/");
    const auto [ending, log] = ripToWav(f, dest, true);
    QCOMPARE(ending, QStringLiteral("Done. 1 of 2 failed: see the Log."));
    QCOMPARE(m->cSysTray1->Balloons().last().message, ending);
    QVERIFY(!log.filter(QRegularExpression(QStringLiteral("^Error: .*not an audio track.*\\(\\d+\\)$"))).isEmpty());
    QCOMPARE(QDir(dest).entryList(QDir::Files), QStringList{"Track02.cda.wav"});
    QCOMPARE(AudioFixtures::wavData(dest + "Track02.cda.wav"), m_mixed.track(1));
    QCOMPARE(f.platform.modal().shown, QStringList{"frmCDRipper"});  // no turn-off countdown
}

// An image whose data file was cut in the middle of track 2: track 1 is ripped, tracks 2 and
// 3 end in errors that say why and leave no file, the job ends and the window closes.
void tst_cdripreal::imageCutShort()
{
    const CdImages::Image cut = CdImages::WriteUniform(m_dir.path(), QStringLiteral("cut"), {150, 150, 150}, 13);
    QVERIFY(cut.cutTo(225));
    CdImages::ListedAsDrives images({cut.cue});
    const CdImages::Deadline deadline(150000, "the rip of an image cut short");
    RealCD f;
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(f.imageNode(QStringLiteral("cut.cue")));
    QCOMPARE(m->cGrid1->Rows(), 3);
    const QString dest = f.platform.path("out/");
    const auto [ending, log] = ripToWav(f, dest, false);
    QVERIFY(!Forms::IsLoaded<frmCDRipper>());
    QCOMPARE(ending, QStringLiteral("Done. 2 of 3 failed: see the Log."));
    for (int t : {2, 3})
        QVERIFY2(log.contains(QStringLiteral("Error: Track %1 ends past the end of the disc image.(%2)").arg(t).arg(kErrDevice)),
                 qPrintable(log.join(u'\n')));
    QCOMPARE(QDir(dest).entryList(QDir::Files | QDir::Hidden), QStringList{"Track01.cda.wav"});
    QVERIFY(AudioFixtures::wavData(dest + "Track01.cda.wav") == cut.track(0));
}

// Abort answered No leaves the rip running; Yes stops it with "Aborted.", no partial file,
// and the file of that name that was there before left as it was.
void tst_cdripreal::abortKeepsTheFileThere()
{
    CdImages::ListedAsDrives images({m_long.cue});
    RealCD f;
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(f.imageNode(QStringLiteral("long.cue")));
    const QString dest = f.platform.path("out/");
    QDir().mkpath(dest);
    TestFiles::WriteBytes(dest + "Track01.cda.mp3", "older");
    QString ending;
    bool ranOnAfterNo = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDRipper*>(form);
        QVERIFY(w);
        w->txtToPath->setEditText(dest);
        QVERIFY(SelectListText(w->cboTargetFormat, kMp3));
        w->chkOverWrite->SetValue(1);
        w->chkPlaySound->SetValue(1);
        int progressSeen = 0;
        connect(w->cAudioCDRipper1, &cAudioCDRipper::Progress, w, [&](qint32) { ++progressSeen; });
        w->cmdConvert_Click();
        QVERIFY(QTest::qWaitFor([&] { return progressSeen > 0; }, 60000));
        f.platform.messages().answers.enqueue(vbNo);
        w->cmdAbort_Click();
        const int seen = progressSeen;
        QVERIFY(QTest::qWaitFor([&] { return progressSeen > seen || !w->IsBusy(); }, 60000));
        ranOnAfterNo = progressSeen > seen && w->IsBusy();
        f.platform.messages().answers.enqueue(vbYes);
        w->cmdAbort_Click();
        QVERIFY(QTest::qWaitFor([w] { return !w->IsBusy(); }, 60000));
        ending = w->lblCurrentTrack->text();
        w->cmdExit_Click();
    });
    command(m, "Audio CD Ripper");
    QVERIFY(ranOnAfterNo);
    QCOMPARE(ending, QStringLiteral("Aborted."));
    QCOMPARE(m->cSysTray1->Balloons().last().message, QStringLiteral("Aborted."));
    QCOMPARE(QDir(dest).entryList(QDir::Files | QDir::Hidden), QStringList{"Track01.cda.mp3"});
    QCOMPARE(TestFiles::ReadBytes(dest + "Track01.cda.mp3"), QByteArray("older"));
    QVERIFY(f.platform.sound().played.isEmpty());
}

// The status line of each kind of image: one whose files are gone cannot be selected, one of
// data only is no audio CD, an audio one tells its tracks. (An image without tracks is not
// opened at all, so the line "has no CDA tracks" comes only from a disc the component
// reports as audio without tracks; the window test covers it.)
void tst_cdripreal::discStatusOfImages()
{
    const CdImages::Image data = CdImages::Write(m_dir.path(), QStringLiteral("data"), {{300, true}});
    const QString gone = m_dir.path() + "/gone.cue";
    CdImages::ListedAsDrives images({gone, data.cue, m_disc.cue});
    RealCD f;
    frmCDRipper* w = g_frmCDRipper();
    const qint32 first = w->cboDevices->count() - 3;
    QVERIFY(first >= 0);
    const QStringList expected{"Cannot select '%1\\' as an Audio CD.", "'%1\\' is not an Audio CD.", "OK: 3 CDA tracks"};
    for (int i = 0; i < 3; ++i) {
        w->cboDevices->setCurrentIndex(first + i);
        w->cboDevices_Click();
        QCOMPARE(w->lblCDStatus->text(), QString(expected[i]).replace(QStringLiteral("%1"), w->cboDevices->currentText().left(2)));
    }
    QCOMPARE(w->lblCDStatus->palette().color(QPalette::WindowText), QColor(Qt::black));
    w->cmdExit_Click();
}

void tst_cdripreal::noDriveAtAll()
{
    if (realDrivesPresent())
        QSKIP("this machine has CD drives of its own");
    CdImages::ListedAsDrives images({});
    RealCD f;
    frmCDRipper* w = g_frmCDRipper();
    QCOMPARE(w->cboDevices->count(), 0);
    QCOMPARE(w->lblCDStatus->text(), QStringLiteral("Ready."));
    w->cmdExit_Click();
}

QTEST_MAIN(tst_cdripreal)
#include "tst_cdripreal.moc"
