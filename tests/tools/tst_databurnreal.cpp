// The data disc burner as a new user meets it, on the real converter and the real burning
// engines with an image target configured as the writer: four marked items (WAV, FLAC,
// MP3, WMA) burned from the main window's "MP3 CD Maker" or "WMA CD Maker", converted or
// copied, by either engine. The ISO that lands beside the target is read back with the ISO
// tools: volume id and publisher, every name through Joliet and through Rock Ridge, and
// the bytes that were prepared.
#include "common/frmTurnOff.h"
#include "common/mdlModes.h"
#include "common/mdlUserSettings.h"
#include "components/audio/CdDrives.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cStatusBar/cStatusBar.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/JobLog.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/disc/frmDataBurner3.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace AudioFixtures;

namespace {

// What the window showed when it opened, and what the job showed on its way.
struct Seen {
    QString caption, title, files, format, cdName, timePanel, sizePanel;
    QStringList captions;  // while converting
    QHash<QString, QByteArray> prepared;  // file name in "datacdtmp" -> bytes, at "Burn CD?"
    int soundsAtTurnOff = -1, programsAtTurnOff = -1, tempFilesAtTurnOff = -1;
    QStringList log;
    QString ending;
};

// The names a listing of the image shows, from isoinfo's "-f" output, sorted.
QStringList isoNames(const QString& iso, const QStringList& how)
{
    QProcess p;
    p.start(QStringLiteral("isoinfo"), how + QStringList{"-f", "-i", iso});
    if (!p.waitForFinished(60000))
        return {};
    const QByteArray raw = p.readAllStandardOutput();
    const QString text = how.contains(QStringLiteral("-J")) ? QString::fromLatin1(raw) : QString::fromUtf8(raw);
    QStringList names;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        QString name = line.mid(line.lastIndexOf(u'/') + 1);
        // Joliet names carry the version ";1", which systems leave out when they show them.
        if (name.endsWith(QLatin1String(";1")))
            name.chop(2);
        names << name;
    }
    names.sort();
    return names;
}

} // namespace

class tst_databurnreal : public QObject
{
    Q_OBJECT
private slots:
    void burnsFourItemsFromTheMainWindow_data();
    void burnsFourItemsFromTheMainWindow();
    void usedImageTargetIsRefused();
};

void tst_databurnreal::burnsFourItemsFromTheMainWindow_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QStringList>("names");  // on the disc, sorted
    const QStringList sources{"song.mp3", "talk.wma", "voice.wav", "Ärger über Öl.flac"};
    QTest::newRow("MP3, CD-only engine") << "MP3 CD Maker" << "0" << false
                                         << QStringList{"song.mp3", "talk.mp3", "voice.mp3", "Ärger über Öl.mp3"};
    QTest::newRow("WMA, CD/DVD engine") << "WMA CD Maker" << "1" << false
                                        << QStringList{"song.wma", "talk.wma", "voice.wma", "Ärger über Öl.wma"};
    QTest::newRow("MP3, CD/DVD engine, copies") << "MP3 CD Maker" << "1" << true << sources;
    QTest::newRow("WMA, CD-only engine, copies") << "WMA CD Maker" << "0" << true << sources;
}

void tst_databurnreal::burnsFourItemsFromTheMainWindow()
{
    if (QStandardPaths::findExecutable("xorriso").isEmpty() || QStandardPaths::findExecutable("isoinfo").isEmpty())
        QSKIP("xorriso and isoinfo are needed to read the image back");
    QFETCH(QString, key);
    QFETCH(QString, engine);
    QFETCH(bool, copy);
    QFETCH(QStringList, names);

    TestPlatform platform;
    const QString target = platform.path(QStringLiteral("discs/data disc"));
    QDir().mkpath(platform.path(QStringLiteral("discs")));
    qputenv("VELMARO_CD_WRITERS", target.toUtf8());
    qunsetenv("VELMARO_CD_IMAGES");

    // A 48 kHz mono WAV, a FLAC with a non-ASCII name, an MP3 and a WMA, each a second or two.
    const QString wav = platform.path(QStringLiteral("voice.wav"));
    QVERIFY(writeWav(wav, 48000, 1, 16, noise(48000 * 3 / 2, 1, 21)));
    const QString plain = platform.path(QStringLiteral("plain.wav"));
    QVERIFY(writeWav(plain, 44100, 2, 16, noise(44100 * 2, 2, 22)));
    const QString mp3 = platform.path(QStringLiteral("song.mp3"));
    QVERIFY(encode(plain, mp3, mp3Settings()));
    const QString wma = platform.path(QStringLiteral("talk.wma"));
    QVERIFY(encode(plain, wma, wmaSettings()));
    const QString flac = platform.path(QStringLiteral("Ärger über Öl.flac"));
    QVERIFY(runTool(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", plain, "-c:a", "flac", flac}));
    QString records;
    for (const QString& file : {wav, flac, mp3, wma})
        records += ToolRows::ListRecord(file, true, QStringLiteral("<COL_RANGE_ALL>1</COL_RANGE_ALL><Time>00:00:02</Time>"));
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Road Trip.flst")), records.toUtf8()));

    InitProductProfile();
    lAppIncMP3Burner = lAppIncWMABurner = 1;  // a profile that offers both commands
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    SaveSetting(g_sAppName, QStringLiteral("BurnerEngine"), QStringLiteral("cmbEngine"), engine);
    g_bPlaySound = g_bNoticeApp = g_bTurnOffComputer = true;
    g_bOpenDestFolder = true;
    g_sAppNotice = QStringLiteral("notify-me --burned");
    frmMain* m = Forms::Get<frmMain>();

    Seen seen;
    const QString temp = platform.path(QStringLiteral("datacdtmp"));
    auto tempFiles = [&] { return QDir(temp).entryList(QDir::Files, QDir::Name); };
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmDataBurner3*>(form);
        QVERIFY(w);
        seen.caption = w->windowTitle();
        seen.title = w->lblTitle->text();
        seen.files = w->lblFilesToConvert->text();
        seen.format = w->cboTargetFormat->currentText();
        seen.cdName = w->txtCDName->text();
        // The wide first panel holds the items' time, the second their size.
        seen.timePanel = w->cStatusBar1->PanelText(QStringLiteral("Total Size"));
        seen.sizePanel = w->cStatusBar1->PanelText(QStringLiteral("Total Time"));
        QCOMPARE(w->cmbEngine->currentIndex(), engine.toInt());
        if (copy)
            w->chkDoNotConvertSource->SetValue(1);
        connect(w->cAudioConverter1, &AudioJobComponent::Progress, w, [&, w](qint32) { seen.captions << w->windowTitle(); });
        // At "Burn CD?" the prepared files are what the disc must hold.
        platform.messages().whileShown = [&] {
            for (const QString& name : tempFiles())
                seen.prepared.insert(name, TestFiles::ReadBytes(temp + u'/' + name));
        };
        platform.messages().answers.enqueue(vbOK);
        // The turn-off countdown comes after the sound, the erase and the program.
        platform.modal().handlers.enqueue([&](VForm* turnOff) {
            seen.soundsAtTurnOff = int(platform.sound().played.size());
            seen.programsAtTurnOff = int(platform.shell().started.size());
            seen.tempFilesAtTurnOff = int(tempFiles().size());
            static_cast<frmTurnOff*>(turnOff)->cmdCancel->click();
        });
        w->cmdConvert->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy() && w->lblCurrentTrack->text() != QLatin1String("Ready."), 120000);
        seen.log = JobLogLines(w->txtLog);
        seen.ending = w->lblCurrentTrack->text();
        w->cmdExit_Click();
    });
    m->RunCommand(key);
    lAppIncMP3Burner = lAppIncWMABurner = 0;

    QCOMPARE(platform.modal().shown, (QStringList{"frmDataBurner3", "frmTurnOff"}));
    QCOMPARE(seen.caption, key);
    QCOMPARE(seen.title, key);
    QCOMPARE(seen.files, QStringLiteral("4 items to burn."));
    QCOMPARE(seen.format, key.startsWith(QLatin1String("MP3")) ? ToolTexts::kMp3 : ToolTexts::kWma);
    QCOMPARE(seen.cdName, QStringLiteral("Road-Trip"));
    // The status bar sums the four marked items: 2 seconds each, and their files' bytes
    // (in kilobytes, three digits for these files).
    QCOMPARE(seen.timePanel, QStringLiteral("Total Time: 0:00:08"));
    qint64 bytes = 0;
    for (const QString& file : {wav, flac, mp3, wma})
        bytes += QFileInfo(file).size();
    QVERIFY2(bytes >= 100 * 1024 && bytes < 999 * 1024, qPrintable(QString::number(bytes)));
    QCOMPARE(seen.sizePanel, QStringLiteral("Total Size: %1 KB").arg(qRound(bytes / 1024.0)));
    QVERIFY2(seen.ending == QLatin1String("Done."), qPrintable(seen.log.join(u'\n')));
    if (!copy)
        QVERIFY(!seen.captions.filter(QStringLiteral("Converting... [ ")).isEmpty());
    const QStringList stages = engine == QLatin1String("0")
                                   ? QStringList{"Add files to burn.", "Start the burning process...", "Closing session...", "Finished"}
                                   : QStringList{"BurnerInitializing...", "StartBurning...",
                                                 "BurnerFinalization - Please wait...", "BurnerEnd."};
    for (const QString& stage : stages)
        QVERIFY2(seen.log.contains(stage), qPrintable(stage + "\n" + seen.log.join(u'\n')));
    QCOMPARE(seen.log.last(), QStringLiteral("Done."));
    // Sound, erase, program, then the turn-off; the image target has no tray or disc folder.
    QCOMPARE(seen.soundsAtTurnOff, 1);
    QCOMPARE(seen.programsAtTurnOff, 1);
    QCOMPARE(seen.tempFilesAtTurnOff, 0);
    QVERIFY(platform.shell().opened.isEmpty());
    QVERIFY(tempFiles().isEmpty());

    QStringList prepared = seen.prepared.keys();
    prepared.sort();
    QCOMPARE(prepared, names);
    if (copy) {
        for (const QString& source : {wav, flac, mp3, wma})
            QCOMPARE(seen.prepared.value(QFileInfo(source).fileName()), TestFiles::ReadBytes(source));
    }

    // The image: its descriptors, the names through both name systems, and the bytes.
    const QString iso = target + ".iso";
    QVERIFY(QFileInfo::exists(iso));
    const QString pvd = ExternalTools::Output(QStringLiteral("isoinfo"), {"-d", "-i", iso});
    QVERIFY2(pvd.contains(QStringLiteral("Volume id: ROAD_TRIP\n")), qPrintable(pvd));
    QVERIFY2(pvd.contains(QStringLiteral("Publisher id: VELMARO")), qPrintable(pvd));
    QCOMPARE(isoNames(iso, {"-J", "-j", "iso8859-1"}), names);
    QCOMPARE(isoNames(iso, {"-R"}), names);
    const QString out = platform.path(QStringLiteral("extracted"));
    QString error;
    ExternalTools::Output(QStringLiteral("xorriso"), {"-osirrox", "on", "-indev", iso, "-extract", "/", out}, &error);
    for (const QString& name : names)
        QVERIFY2(TestFiles::ReadBytes(out + u'/' + name) == seen.prepared.value(name), qPrintable(name + " " + error));

    qunsetenv("VELMARO_CD_WRITERS");
}

// An image target whose disc was already written is a used disc: the CD-only engine's
// checks refuse it before anything is prepared.
void tst_databurnreal::usedImageTargetIsRefused()
{
    TestPlatform platform;
    const QString target = platform.path(QStringLiteral("discs/data disc"));
    QDir().mkpath(platform.path(QStringLiteral("discs")));
    QVERIFY(TestFiles::WriteBytes(target + ".iso", "an earlier burn"));
    qputenv("VELMARO_CD_WRITERS", target.toUtf8());
    qunsetenv("VELMARO_CD_IMAGES");
    const QString wav = platform.path(QStringLiteral("voice.wav"));
    QVERIFY(writeWav(wav, 44100, 1, 16, noise(4410, 1, 23)));
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), ToolRows::ListRecord(wav).toUtf8()));
    QDir().mkpath(platform.path(QStringLiteral("datacdtmp")));
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("datacdtmp/kept.mp3")), "kept"));
    InitProductProfile();
    lAppIncMP3Burner = 1;
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    frmMain* m = Forms::Get<frmMain>();
    QStringList log;
    QByteArray kept;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmDataBurner3*>(form);
        QVERIFY(w);
        platform.messages().answers.enqueue(vbOK);
        w->cmdConvert->click();
        log = JobLogLines(w->txtLog);
        kept = TestFiles::ReadBytes(platform.path(QStringLiteral("datacdtmp/kept.mp3")));
        w->cmdExit_Click();
    });
    m->RunCommand(QStringLiteral("MP3 CD Maker"));
    lAppIncMP3Burner = 0;
    const QString drive = ListCdWriters().first().id.left(2);
    QCOMPARE(log, (QStringList{"Preparing to burn: 1 tracks.", "The CD drive '" + drive + "' is not empty.", "Aborted."}));
    QCOMPARE(platform.messages().shown.last().prompt, "Please insert an empty media into drive: " + drive);
    QCOMPARE(TestFiles::ReadBytes(target + ".iso"), QByteArray("an earlier burn"));
    QCOMPARE(kept, QByteArray("kept"));
    qunsetenv("VELMARO_CD_WRITERS");
}

QTEST_MAIN(tst_databurnreal)
#include "tst_databurnreal.moc"
