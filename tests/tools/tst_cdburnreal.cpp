// The audio CD burner as a new user meets it, on the real components with an image target
// configured as the CD writer: three marked items of different formats and rates burned
// from the main window's "Audio CD Maker" into a BIN/CUE image that libcdio reads back as
// exactly those tracks; then the used disc shown and refused.
#include "common/frmTurnOff.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/audio/CdDrives.h"
#include "components/cAudioBurner/cAudioBurner.h"
#include "components/cStatusBar/cStatusBar.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/BurnChecks.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tools/disc/frmCDBurner.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

using namespace AudioFixtures;

namespace {

// What the window showed when it opened.
struct Opened {
    QString files, panel, state, capacity;
    QStringList speeds;
    qint32 stateColour = -1;
    bool stateBold = false;
};

Opened readOpened(frmCDBurner* w)
{
    Opened o;
    o.files = w->lblFilesToConvert->text();
    o.panel = w->cStatusBar1->PanelText(QStringLiteral("Total Size"));
    o.state = w->lblState->text();
    o.capacity = w->lblDiskCapacity->text();
    for (int i = 0; i < w->cboSpeed->count(); ++i)
        o.speeds << w->cboSpeed->itemText(i);
    o.stateColour = VbColorValue(w->lblState->palette().color(QPalette::WindowText));
    o.stateBold = w->lblState->font().bold();
    return o;
}

} // namespace

class tst_cdburnreal : public QObject
{
    Q_OBJECT
private slots:
    void burnsThreeItemsFromTheMainWindow();
};

void tst_cdburnreal::burnsThreeItemsFromTheMainWindow()
{
    TestPlatform platform;
    const QString target = platform.path(QStringLiteral("discs/my cd"));
    QDir().mkpath(platform.path(QStringLiteral("discs")));
    QDir().mkpath(platform.path(QStringLiteral("tmp")));
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", platform.path(QStringLiteral("tmp")).toUtf8());
    qputenv("VELMARO_CD_WRITERS", target.toUtf8());
    qunsetenv("VELMARO_CD_IMAGES");

    // A 48 kHz mono WAV, an MP3 and a FLAC (22.05 kHz), of different lengths.
    const QString wav = platform.path(QStringLiteral("voice.wav"));
    QVERIFY(writeWav(wav, 48000, 1, 16, noise(48000 * 3 / 2, 1, 11)));
    const QString mp3 = platform.path(QStringLiteral("song.mp3"));
    const QString plain = platform.path(QStringLiteral("plain.wav"));
    QVERIFY(writeWav(plain, 44100, 2, 16, noise(44100 * 2, 2, 12)));
    QVERIFY(encode(plain, mp3, mp3Settings()));
    const QString flac = platform.path(QStringLiteral("tune.flac"));
    const QString low = platform.path(QStringLiteral("low.wav"));
    QVERIFY(writeWav(low, 22050, 2, 16, noise(22050, 2, 13)));
    QVERIFY(runTool(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", low, "-c:a", "flac", flac}));
    const QStringList files{wav, mp3, flac};
    QString records;
    for (const QString& file : files)
        records += ToolRows::ListRecord(file);
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), records.toUtf8()));

    InitProductProfile();
    lAppIncAudioBurner = 1;  // a profile that offers the burner
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_bPlaySound = g_bOpenDestFolder = g_bNoticeApp = g_bTurnOffComputer = true;
    g_sAppNotice = QStringLiteral("notify-me --burned");
    frmMain* m = Forms::Get<frmMain>();

    Opened first;
    QStringList filesShown;
    int sounds = -1, programs = -1, totalMax = -1, totalValue = -1, trackValue = -1;
    QStringList log;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDBurner*>(form);
        QVERIFY(w);
        first = readOpened(w);
        w->chkOpenCDdrive->SetValue(1);
        connect(w->cAudioBurner1, &cAudioBurner::Progress, w,
                [&, w](qint32, qint32) { filesShown << w->lblFilesToConvert->text(); });
        // The turn-off countdown comes last, after the sound and the program.
        platform.modal().handlers.enqueue([&](VForm* turnOff) {
            sounds = int(platform.sound().played.size());
            programs = int(platform.shell().started.size());
            static_cast<frmTurnOff*>(turnOff)->cmdCancel->click();
        });
        w->cmdConvert->click();
        totalMax = w->prgTotal->Max();
        totalValue = w->prgTotal->Value();
        trackValue = w->prgCurrnet->Value();
        log = w->txtLog->toPlainText().split(u'\n');
        w->cmdExit_Click();
    });
    m->RunCommand(QStringLiteral("Audio CD Maker"));
    QCOMPARE(platform.modal().shown, (QStringList{"frmCDBurner", "frmTurnOff"}));
    QCOMPARE(first.files, QStringLiteral("3 items to burn (0 minutes)."));
    QCOMPARE(first.panel, QStringLiteral("0 Min / 80 Min."));
    QCOMPARE(first.state, QStringLiteral("OK - Ready to be burn."));
    QCOMPARE(first.stateColour, 32768);
    QVERIFY(!first.stateBold);
    QCOMPARE(first.capacity, QStringLiteral("80 Min"));
    QCOMPARE(first.speeds, QStringList{"Max."});

    const auto count = [&](const QString& text) { return log.filter(QRegularExpression(":" + QRegularExpression::escape(text) + "$")).size(); };
    QCOMPARE(count(QStringLiteral("Caching track...")), 3);
    QCOMPARE(count(QStringLiteral("Writing track...")), 3);
    QCOMPARE(count(QStringLiteral("Closing session...")), 1);
    QCOMPARE(count(QStringLiteral("Finished.")), 1);
    QCOMPARE(log.filter(QStringLiteral("Cannot add")).size(), 0);
    QCOMPARE(filesShown.first(), QStringLiteral("Files: 1/3"));
    QCOMPARE(filesShown.last(), QStringLiteral("Files: 3/3"));
    QCOMPARE(totalMax, 3);
    QCOMPARE(totalValue, 3);
    QCOMPARE(trackValue, 100);
    QCOMPARE(sounds, 1);
    QCOMPARE(programs, 1);
    QCOMPARE(platform.shell().opened, QStringList());  // an image target has no disc to open

    // The image holds the three tracks, sample for sample.
    QString error;
    const auto disc = CdDisc::open(CdDrive{QStringLiteral("X:"), target + ".cue", true}, error);
    QVERIFY2(disc, qPrintable(error));
    QCOMPARE(disc->tracks().size(), 3);
    QList<qint32> starts;
    qint32 end = 0;
    for (int t = 0; t < 3; ++t) {
        const CdTrack& tr = disc->tracks()[t];
        const QByteArray expected = CdAudioOf(files[t], platform.path(QStringLiteral("expected.wav")));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(qint64(tr.sectors) * 2352, qint64(expected.size()));
        auto reader = CdDisc::openReader(disc->drive(), tr.firstSector, tr.sectors, error);
        QVERIFY2(reader, qPrintable(error));
        QByteArray got(expected.size(), '\0');
        QCOMPARE(reader->read(reinterpret_cast<qint16*>(got.data()), tr.sectors * 588, error), tr.sectors * 588);
        QVERIFY2(got == expected, qPrintable(QStringLiteral("track %1 differs").arg(t + 1)));
        starts << tr.firstSector;
        end = tr.firstSector + tr.sectors;
    }
    // 1.5 s at 48 kHz and 1 s at 22.05 kHz come to 44100 * 1.5 and 44100 frames.
    QCOMPARE(starts[1], (66150 + 587) / 588);
    QCOMPARE(end - starts[2], 75);
    QCOMPARE(DiscId(starts, end), DiscId({0, starts[1], starts[2]}, end));
    QCOMPARE(QDir(platform.path(QStringLiteral("tmp"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    // The image's files are ordinary files of the user's (the permissions the umask gives a
    // new file), and nothing else was left beside them.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    for (const QString& file : {target + ".bin", target + ".cue"}) {
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
    }
    QCOMPARE(QDir(platform.path(QStringLiteral("discs"))).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"my cd.bin", "my cd.cue"}));

    // The burner again on the now used disc: its state in red and bold, and a burn onto it
    // ends in the error with no end-of-job actions.
    Opened again;
    QString status;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDBurner*>(form);
        again = readOpened(w);
        w->cmdConvert_Click();
        status = w->lblCurrentTrack->text();
        w->cmdExit_Click();
    });
    m->RunCommand(QStringLiteral("Audio CD Maker"));
    QCOMPARE(again.state, QStringLiteral("The disc is not blank."));
    QCOMPARE(again.stateColour, 255);
    QVERIFY(again.stateBold);
    QCOMPARE(status, QStringLiteral("Error:The disc in %1 is not blank.(3)").arg(ListCdWriters().last().id));
    QCOMPARE(platform.sound().played.size(), 1);
    QCOMPARE(platform.modal().shown.size(), 3);

    lAppIncAudioBurner = 0;
    qunsetenv("VELMARO_CD_WRITERS");
    qputenv("TMPDIR", oldTmp);
}

QTEST_MAIN(tst_cdburnreal)
#include "tst_cdburnreal.moc"
