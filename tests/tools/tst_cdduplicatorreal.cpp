// The audio CD duplicator as a new user meets it, on the real components: a generated
// three-track image drive of uniform random samples as the source and an image target as
// the writer. Opened from its key (and from its tools-bar button in a profile that offers
// it), it lists the source, follows it when the image is swapped, and copies it: the
// target's BIN holds the source's bytes, read back through the CD reader it holds the
// source's table of contents and samples, and "duptmp" is emptied. A source cut short gives
// a target of the tracks it holds in full, none padded.
#include "common/mdlModes.h"
#include "components/audio/CdDrives.h"
#include "components/cAudioBurner/cAudioBurner.h"
#include "components/cGrid/cGrid.h"
#include "components/cToolbar/cToolbar.h"
#include "lists/mdlItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tests/support/CdImages.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tools/disc/frmAudioCDDuplicator.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

// Chooses the last entry (the image drive or target, after any real one) as the user does.
void chooseLast(QComboBox* box, const std::function<void()>& click)
{
    if (box->currentIndex() != box->count() - 1) {
        box->setCurrentIndex(box->count() - 1);
        click();
    }
}

// The source image as the one CD drive, an image target in "discs" as the one writer, and
// a profile that offers the duplicator (its key is then known) with no end-of-job actions
// and every box answered OK. Gives the target's path.
QString copyingProfile(TestPlatform& platform, const CdImages::Image& source)
{
    QDir().mkpath(platform.path(QStringLiteral("discs")));
    const QString target = platform.path(QStringLiteral("discs/copy"));
    qputenv("VELMARO_CD_WRITERS", target.toUtf8());
    qputenv("VELMARO_CD_IMAGES", source.cue.toUtf8());
    InitProductProfile();
    lAppIncCDDuplicator = 1;
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_bPlaySound = g_bOpenDestFolder = g_bNoticeApp = g_bTurnOffComputer = false;
    platform.messages().answerAll = vbOK;
    return target;
}

// The bytes of a track of the target, as its BIN holds them.
QByteArray burnedTrack(const QString& target, const CdTrack& track)
{
    return TestFiles::ReadBytes(target + ".bin")
        .mid(qsizetype(track.firstSector) * CdImages::kSectorBytes, qsizetype(track.sectors) * CdImages::kSectorBytes);
}

QStringList column(cGrid* g, const char* key)
{
    QStringList out;
    for (qint32 r = 1; r <= g->Rows(); ++r)
        out << RowText(g, r, QLatin1String(key));
    return out;
}

} // namespace

class tst_cdduplicatorreal : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        lAppIncCDDuplicator = 0;
        qunsetenv("VELMARO_CD_WRITERS");
        qunsetenv("VELMARO_CD_IMAGES");
    }
    void copiesAnImageDriveOntoAnImageTarget();
    void aSourceCutShortBurnsOnlyWholeTracks();
    void toolsBarButtonOpensIt();
};

void tst_cdduplicatorreal::copiesAnImageDriveOntoAnImageTarget()
{
    TestPlatform platform;
    const CdImages::Image source = CdImages::WriteUniform(platform.home(), QStringLiteral("album"), {300, 150, 225}, 9);
    const QString target = copyingProfile(platform, source);
    frmMain* m = Forms::Get<frmMain>();
    m->tmrCDs.start();

    QString status, title;
    QStringList tracks, refilled, log;
    bool polling = true, enabledEmpty = true, enabledAgain = false;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmAudioCDDuplicator*>(form);
        QVERIFY(w);
        polling = m->tmrCDs.isActive();
        title = w->windowTitle();
        chooseLast(w->cboDevices, [w] { w->cboDevices_Click(true); });
        chooseLast(w->cboDrv, [w] { w->cboDrv_Click(); });
        status = w->lblCDStatus->text();
        tracks = column(w->cGrid1, "Item Name");
        // The poll follows the image drive: a disc without audio, then the album again.
        CdImages::Write(platform.home(), QStringLiteral("album"), {{300, true}}, 7);
        w->tmrState_Timer();
        enabledEmpty = w->cmdConvert->isEnabled();
        CdImages::WriteUniform(platform.home(), QStringLiteral("album"), {300, 150, 225}, 9);
        w->tmrState_Timer();
        enabledAgain = w->cmdConvert->isEnabled();

        QPointer<frmAudioCDDuplicator> alive(w);
        connect(w->cAudioBurner1, &cAudioBurner::WritingTrack, w, [&, w] {
            if (refilled.isEmpty())
                refilled = column(w->cGrid1, "Item Name");
        });
        connect(w->txtLog, &QPlainTextEdit::textChanged, w, [&, w] { log = w->txtLog->toPlainText().split(u'\n'); });
        w->cmdConvert->click();
        QTRY_VERIFY_WITH_TIMEOUT(!alive, 120000);
    });
    m->RunCommand(QStringLiteral("Audio CD Duplicator"));
    QCOMPARE(platform.modal().shown, QStringList{"frmAudioCDDuplicator"});
    QVERIFY(!polling);
    QCOMPARE(title, QStringLiteral("Audio CD Duplicator"));
    QCOMPARE(status, QStringLiteral("OK: 3 CDA tracks"));
    QCOMPARE(tracks, (QStringList{"Track01.cda", "Track02.cda", "Track03.cda"}));
    QVERIFY(!enabledEmpty);
    QVERIFY(enabledAgain);
    QCOMPARE(refilled, (QStringList{"1.wav", "2.wav", "3.wav"}));

    const auto count = [&](const QString& text) {
        return log.filter(QRegularExpression(":" + QRegularExpression::escape(text) + "$")).size();
    };
    QCOMPARE(count(QStringLiteral("Preparing to copy: 3 tracks.")), 1);
    QCOMPARE(log.filter(QStringLiteral("Start to rip: Track0")).size(), 3);
    QCOMPARE(count(QStringLiteral("Writing track...")), 3);
    QCOMPARE(count(QStringLiteral("Closing session, please wait...")), 1);
    QCOMPARE(count(QStringLiteral("Finished.")), 1);
    QCOMPARE(log.filter(QStringLiteral("Error")).size(), 0);
    QCOMPARE(platform.messages().shown.size(), 1);
    QCOMPARE(platform.messages().shown[0].prompt, QStringLiteral("Done.") + QString(19, u' '));

    // The target holds the source's tracks, sector for sector: in its BIN as they are in the
    // source's, and as the CD reader reads them back.
    QString error;
    const auto disc = CdDisc::open(CdDrive{QStringLiteral("X:"), target + ".cue", true}, error);
    QVERIFY2(disc, qPrintable(error));
    QCOMPARE(disc->tracks().size(), 3);
    for (int t = 0; t < 3; ++t) {
        const CdTrack& tr = disc->tracks()[t];
        const QByteArray expected = source.track(t);
        QCOMPARE(tr.firstSector, source.starts[t]);
        QCOMPARE(qint64(tr.sectors) * CdImages::kSectorBytes, qint64(expected.size()));
        QVERIFY2(burnedTrack(target, tr) == expected,
                 qPrintable(QStringLiteral("the target's BIN differs in track %1").arg(t + 1)));
        auto reader = CdDisc::openReader(disc->drive(), tr.firstSector, tr.sectors, error);
        QVERIFY2(reader, qPrintable(error));
        QByteArray got(expected.size(), '\0');
        QCOMPARE(reader->read(reinterpret_cast<qint16*>(got.data()), tr.sectors * 588, error), tr.sectors * 588);
        QVERIFY2(got == expected, qPrintable(QStringLiteral("track %1 differs").arg(t + 1)));
    }
    QVERIFY(QDir(platform.path(QStringLiteral("duptmp"))).entryList(QDir::Files).isEmpty());
}

// The source's data file ends in the middle of track 2: tracks 2 and 3 cannot be read in
// full, so the target holds track 1 alone, as the source has it; nothing is filled in.
void tst_cdduplicatorreal::aSourceCutShortBurnsOnlyWholeTracks()
{
    TestPlatform platform;
    const CdImages::Image source = CdImages::WriteUniform(platform.home(), QStringLiteral("cut"), {150, 150, 150}, 17);
    QVERIFY(source.cutTo(225));
    const QString target = copyingProfile(platform, source);
    const CdImages::Deadline deadline(150000, "the copy of a source cut short");
    frmMain* m = Forms::Get<frmMain>();
    QStringList log;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmAudioCDDuplicator*>(form);
        QVERIFY(w);
        chooseLast(w->cboDevices, [w] { w->cboDevices_Click(true); });
        chooseLast(w->cboDrv, [w] { w->cboDrv_Click(); });
        QPointer<frmAudioCDDuplicator> alive(w);
        connect(w->txtLog, &QPlainTextEdit::textChanged, w, [&, w] { log = w->txtLog->toPlainText().split(u'\n'); });
        w->cmdConvert->click();
        // The job ends when the window closes itself, or when it is idle again.
        QTRY_VERIFY_WITH_TIMEOUT(!alive || !alive->IsBusy(), 120000);
        if (alive)
            alive->cmdExit_Click();
    });
    m->RunCommand(QStringLiteral("Audio CD Duplicator"));
    QVERIFY(!Forms::IsLoaded<frmAudioCDDuplicator>());

    QString error;
    const auto disc = CdDisc::open(CdDrive{QStringLiteral("X:"), target + ".cue", true}, error);
    QVERIFY2(disc, qPrintable(error));
    QCOMPARE(disc->tracks().size(), 1);
    const CdTrack& tr = disc->tracks()[0];
    const QByteArray expected = source.track(0);
    QCOMPARE(qint64(tr.sectors) * CdImages::kSectorBytes, qint64(expected.size()));
    QVERIFY(burnedTrack(target, tr) == expected);
    QCOMPARE(log.filter(QStringLiteral("ends past the end of the disc image.")).size(), 2);
}

void tst_cdduplicatorreal::toolsBarButtonOpensIt()
{
    TestPlatform platform;
    InitProductProfile();
    lAppIncCDDuplicator = 1;  // a profile that offers the duplicator
    frmMain* m = Forms::Get<frmMain>();
    QString title;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmAudioCDDuplicator*>(form);
        QVERIFY(w);
        title = w->lblTitle->text();
        w->cmdExit_Click();
    });
    const QString key = QStringLiteral("Audio CD Duplicator");
    m->tlbrRecorder->ButtonClick(m->tlbrRecorder->ButtonIndex(key));
    QCOMPARE(platform.modal().shown, QStringList{"frmAudioCDDuplicator"});
    QCOMPARE(title, key);
    QVERIFY(!Forms::IsLoaded<frmAudioCDDuplicator>());
}

QTEST_MAIN(tst_cdduplicatorreal)
#include "tst_cdduplicatorreal.moc"
