// How the audio CD burner and the duplicator end a job in which not every item is a track
// of the disc, on the real components with image drives and image targets: a burn of three
// items of which one holds no audio, and the copy of a mixed-mode disc whose data track is
// passed over.
#include "common/mdlModes.h"
#include "components/audio/CdDrives.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/BurnChecks.h"
#include "tests/support/CdImages.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tools/disc/frmAudioCDDuplicator.h"
#include "tools/disc/frmCDBurner.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace AudioFixtures;

namespace {

// The image a target received, read back through the CD reader: each track's bytes.
QList<QByteArray> readBack(const QString& target)
{
    QList<QByteArray> tracks;
    QString error;
    const auto disc = CdDisc::open(CdDrive{QStringLiteral("X:"), target + QStringLiteral(".cue"), true}, error);
    if (!disc) {
        qWarning("%s", qPrintable(error));
        return tracks;
    }
    for (const CdTrack& t : disc->tracks()) {
        auto reader = CdDisc::openReader(disc->drive(), t.firstSector, t.sectors, error);
        QByteArray got(qint64(t.sectors) * CdImages::kSectorBytes, '\0');
        if (!reader || reader->read(reinterpret_cast<qint16*>(got.data()), t.sectors * 588, error) != t.sectors * 588)
            got.clear();
        tracks << got;
    }
    return tracks;
}

// Chooses the last entry (the image drive or target, after any real one) as the user does.
void chooseLast(QComboBox* box, const std::function<void()>& click)
{
    if (box->currentIndex() != box->count() - 1) {
        box->setCurrentIndex(box->count() - 1);
        click();
    }
}

} // namespace

class tst_cdendingsreal : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        InitProductProfile();
    }
    void cleanup()
    {
        lAppIncAudioBurner = lAppIncCDDuplicator = 0;
        qunsetenv("VELMARO_CD_WRITERS");
        qunsetenv("VELMARO_CD_IMAGES");
    }
    void burnOfThreeItemsOneNotAudio();
    void copyOfAMixedModeDisc();
};

// Three items, the second a text file under a WAV name, with "Turn off computer" ticked:
// the two others are burned, the ending says one of three failed, and nothing is turned
// off.
void tst_cdendingsreal::burnOfThreeItemsOneNotAudio()
{
    TestPlatform platform;
    QDir().mkpath(platform.path(QStringLiteral("discs")));
    const QString target = platform.path(QStringLiteral("discs/cd"));
    qputenv("VELMARO_CD_WRITERS", target.toUtf8());
    const QString a = platform.path(QStringLiteral("a.wav"));
    const QString b = platform.path(QStringLiteral("b.wav"));
    const QString c = platform.path(QStringLiteral("c.wav"));
    QVERIFY(writeWav(a, 44100, 2, 16, noise(44100, 2, 21)));
    QVERIFY(TestFiles::WriteBytes(b, QByteArray("these are notes, not sound\n")));
    QVERIFY(writeWav(c, 44100, 2, 16, noise(22050, 2, 22)));
    QString records;
    for (const QString& file : {a, b, c})
        records += ToolRows::ListRecord(file);
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), records.toUtf8()));

    lAppIncAudioBurner = 1;  // a profile that offers the burner
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_bPlaySound = g_bOpenDestFolder = g_bNoticeApp = false;
    g_bTurnOffComputer = true;
    frmMain* m = Forms::Get<frmMain>();
    QString status, caption;
    QStringList log;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDBurner*>(form);
        QVERIFY(w);
        chooseLast(w->cboDrv, [w] { w->cboDrv_Click(); });
        QCOMPARE(w->chkTurnOffComputer->Value(), 1);
        w->cmdConvert->click();
        status = w->lblCurrentTrack->text();
        caption = w->Caption();
        log = w->txtLog->toPlainText().split(u'\n');
        w->cmdExit_Click();
    });
    m->RunCommand(QStringLiteral("Audio CD Maker"));
    const QString ending = QStringLiteral("Done. 1 of 3 failed: see the Log.");
    QCOMPARE(status, ending);
    QCOMPARE(caption, ending);
    QVERIFY(log.filter(QStringLiteral(":Cannot add b.wav")).size() == 1);
    QCOMPARE(platform.modal().shown, QStringList{"frmCDBurner"});  // no turn-off countdown
    QCOMPARE(platform.shutdown().calls, 0);

    const QList<QByteArray> burned = readBack(target);
    QCOMPARE(burned.size(), 2);
    QCOMPARE(burned[0], CdAudioOf(a, platform.path(QStringLiteral("expected.wav"))));
    QCOMPARE(burned[1], CdAudioOf(c, platform.path(QStringLiteral("expected.wav"))));
}

// A data track first, then two audio tracks: the data track is passed over with a line in
// the log, the copy holds the two audio tracks sample for sample, and the copy of every
// audio track ends "Done." and takes the ripped files away.
void tst_cdendingsreal::copyOfAMixedModeDisc()
{
    TestPlatform platform;
    QDir().mkpath(platform.path(QStringLiteral("discs")));
    const QString target = platform.path(QStringLiteral("discs/copy"));
    qputenv("VELMARO_CD_WRITERS", target.toUtf8());
    const CdImages::Image source = CdImages::WriteMixed(platform.home(), QStringLiteral("game"), {300, 150, 225}, 5);
    qputenv("VELMARO_CD_IMAGES", source.cue.toUtf8());

    lAppIncCDDuplicator = 1;  // a profile that offers the duplicator
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_bPlaySound = g_bOpenDestFolder = g_bNoticeApp = g_bTurnOffComputer = false;
    frmMain* m = Forms::Get<frmMain>();
    platform.messages().answerAll = vbOK;
    QString log;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmAudioCDDuplicator*>(form);
        QVERIFY(w);
        chooseLast(w->cboDevices, [w] { w->cboDevices_Click(true); });
        chooseLast(w->cboDrv, [w] { w->cboDrv_Click(); });
        QCOMPARE(w->lblCDStatus->text(), QStringLiteral("OK: 3 CDA tracks"));
        QPointer<frmAudioCDDuplicator> alive(w);
        connect(w->txtLog, &QPlainTextEdit::textChanged, w, [&, w] { log = w->txtLog->toPlainText(); });
        w->cmdConvert->click();
        QTRY_VERIFY_WITH_TIMEOUT(!alive, 120000);
    });
    m->RunCommand(QStringLiteral("Audio CD Duplicator"));
    QVERIFY(log.contains(QStringLiteral(":Track01.cda holds data, not sound: it is not copied.")));
    QVERIFY(!log.contains(QStringLiteral("Error")));
    QCOMPARE(platform.messages().shown.size(), 1);
    QCOMPARE(platform.messages().shown[0].prompt, QStringLiteral("Done.") + QString(19, u' '));

    const QList<QByteArray> copied = readBack(target);
    QCOMPARE(copied.size(), 2);
    QVERIFY2(copied[0] == source.track(1), "track 1 of the copy differs");
    QVERIFY2(copied[1] == source.track(2), "track 2 of the copy differs");
    QVERIFY(QDir(platform.path(QStringLiteral("duptmp"))).entryList(QDir::Files).isEmpty());
}

QTEST_MAIN(tst_cdendingsreal)
#include "tst_cdendingsreal.moc"
