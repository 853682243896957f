// The audio joiner over the real join component, from the main window's command: a WAV,
// a range of a FLAC at another rate and an MP3 (made by sox and lame) joined into one WAV
// holding exactly their samples in order and into one MP3, tagged from the first row,
// with the "Add" lines, the overwrite question, the Done balloon and the end actions;
// then a join aborted in the same window, which leaves nothing behind; an entry that
// holds no audio, named in the join's error; and an entry cut short while it is read.
#include "common/mdlModes.h"
#include "components/audio/MediaProbe.h"
#include "components/cAudioJoin/cAudioJoin.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cSysTray/cSysTray.h"
#include "lists/mdlItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/JobLog.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/converters/frmJoiner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;
using namespace ToolTexts;

namespace {

bool joinAndWait(frmJoiner* w)
{
    w->cmdConvert_Click();
    return QTest::qWaitFor([w] { return !w->IsBusy(); }, 120000);
}

} // namespace

class tst_joinreal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void joinsFromTheMainWindow();
    void entryWithoutAudioIsNamed();
    void entryCutShortWhileJoined();

private:
    QString source(const QString& name) const { return m_dir.path() + u'/' + name; }
    QTemporaryDir m_dir;
};

void tst_joinreal::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString error;
    QVERIFY2(ExternalTools::SoxSynth(source("one.wav"), 44100, 2, 16, QStringLiteral("2"),
                                     QStringLiteral("sine 440 whitenoise"), &error),
             qPrintable(error));
    QVERIFY2(ExternalTools::SoxSynth(source("two.flac"), 22050, 1, 16, QStringLiteral("3"), QStringLiteral("sine 300"), &error),
             qPrintable(error));
    QVERIFY2(ExternalTools::Run(QStringLiteral("ffmpeg"),
                                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                                 QStringLiteral("-i"), QStringLiteral("sine=frequency=1000:duration=2:sample_rate=44100"),
                                 QStringLiteral("-ac"), QStringLiteral("2"), source("three.wav")},
                                source("three.wav"), &error),
             qPrintable(error));
    QVERIFY2(ExternalTools::Lame128(source("three.wav"), source("three.mp3"), &error), qPrintable(error));
    QVERIFY(writeWav(source("long.wav"), 44100, 2, 16, noise(30 * 44100, 2, 5)));
}

void tst_joinreal::joinsFromTheMainWindow()
{
    TestPlatform platform;
    InitProductProfile();
    lAppIncJoin = 1;  // the joiner is reached by its key; this build's menus leave it out
    QString records;
    const QString range = QStringLiteral("<COL_RANGE_ALL>0</COL_RANGE_ALL><COL_RANGE_START_TIME>1</COL_RANGE_START_TIME>"
                                         "<COL_RANGE_LENGTH_TIME>1</COL_RANGE_LENGTH_TIME>");
    for (const QString& name : QStringList{"one.wav", "two.flac", "three.mp3"})
        records += ToolRows::ListRecord(source(name), true, name == QLatin1String("two.flac") ? range : QString());
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), records.toUtf8()));
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_lSamplesWAV = 44100;
    g_lBitrateWAV = 16;
    g_lChannelsWAV = 1;  // stereo
    frmMain* m = Forms::Get<frmMain>();
    const QString dest = platform.path(QStringLiteral("joined/"));
    QDir().mkpath(dest);
    TestFiles::WriteBytes(dest + "all.wav", "an older file");

    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmJoiner*>(form);
        QVERIFY(w);
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("3 items to join."));
        // The tags each row asks for; the joined file takes the first row's.
        for (qint32 row = 1; row <= 3; ++row) {
            SetRowText(w->cGrid1, row, QStringLiteral("COL_TAG_TITLE"), QStringLiteral("Title of [TRACK_NUM]"));
            SetRowText(w->cGrid1, row, QStringLiteral("COL_TAG_ARTIST"), QStringLiteral("Artist %1").arg(row));
        }
        w->txtToPath->setEditText(dest);
        w->txtJoinedFileName->setText(QStringLiteral("all.[dest_extension]"));
        w->chkPlaySound->SetValue(1);
        w->chkOpenDestFolder->SetValue(1);

        // Into WAV, over the older file after the question.
        SelectListText(w->cboTargetFormat, kWav);
        platform.messages().answers.enqueue(vbYes);
        QVERIFY(joinAndWait(w));
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
        QCOMPARE(platform.messages().shown.size(), 1);
        QCOMPARE(platform.messages().shown[0].prompt,
                 kOverwrite.arg(dest + "all.wav"));
        QStringList log = JobLogLines(w->txtLog);
        QCOMPARE(log, (QStringList{"Preparing to join: 3 tracks.", "Destination format: WAV", "File already exists.",
                                   "Overwrite it...", "Add one.wav...", "Add two.flac...", "Add three.mp3...", "Done."}));
        QCOMPARE(w->prgTotal->Value(), 300);
        QCOMPARE(w->windowTitle(), DisplayName());

        // Into MP3, a second join in the same window.
        SelectListText(w->cboTargetFormat, kMp3);
        QVERIFY(joinAndWait(w));
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
        // The second job's lines follow a blank line, and nothing after its end.
        log = JobLogLines(w->txtLog);
        QCOMPARE(log.mid(8), (QStringList{"", "Preparing to join: 3 tracks.", "Destination format: MP3",
                                          "Add one.wav...", "Add two.flac...", "Add three.mp3...", "Done."}));

        // A long join aborted at once: nothing is written.
        SetRowText(w->cGrid1, 1, QStringLiteral("COL_FILE"), source("long.wav"));
        SetRowText(w->cGrid1, 2, QStringLiteral("COL_FILE"), source("long.wav"));
        w->txtJoinedFileName->setText(QStringLiteral("aborted.[dest_extension]"));
        w->cmdConvert_Click();
        platform.messages().answers.enqueue(vbYes);
        w->cmdAbort_Click();
        QVERIFY(QTest::qWaitFor([w] { return !w->IsBusy(); }, 120000));
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
        QCOMPARE(JobLogLines(w->txtLog).filter(QStringLiteral("Aborted.")).size(), 1);
        w->cmdExit_Click();
    });
    m->m_cMenu_Click(m->m_cMenu->IndexForKey(QStringLiteral("Audio Joiner")));
    QCOMPARE(platform.modal().shown, QStringList{QStringLiteral("frmJoiner")});

    // The WAV: one.wav's samples unchanged, one second of two.flac resampled to 44.1 kHz
    // stereo (both channels alike), then exactly the MP3's decoded samples.
    const QByteArray data = wavData(dest + "all.wav");
    const QByteArray first = wavData(source("one.wav"));
    const Pcm16 last = decodePcm16(source("three.mp3"));
    QVERIFY(data.startsWith(first));
    QVERIFY(data.endsWith(last.bytes));
    const QByteArray middle = data.mid(first.size(), data.size() - first.size() - last.bytes.size());
    QVERIFY2(qAbs(middle.size() / 4 - 44100) <= 64, qPrintable(QString::number(middle.size() / 4)));
    const auto* s = reinterpret_cast<const qint16*>(middle.constData());
    for (qsizetype i = 0; i < middle.size() / 4; ++i)
        QCOMPARE(s[2 * i], s[2 * i + 1]);
    QCOMPARE(ReadMediaTags(dest + "all.wav").Artist, QStringLiteral("Artist 1"));

    const Decoded mp3 = decode(dest + "all.mp3");
    QCOMPARE(mp3.rate, 44100);
    QVERIFY(qAbs(mp3.frames() - (first.size() / 4 + 44100 + last.frames())) <= 2 * 1152);
    const AudioTags tags = ReadMediaTags(dest + "all.mp3");
    QCOMPARE(tags.Title, QStringLiteral("Title of 1"));
    QCOMPARE(tags.Artist, QStringLiteral("Artist 1"));

    QCOMPARE(QDir(dest).entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{"all.mp3", "all.wav"}));
    QCOMPARE(m->cSysTray1->Balloons().size(), 3);
    QCOMPARE(m->cSysTray1->Balloons()[0].message, QStringLiteral("Done."));
    QCOMPARE(m->cSysTray1->Balloons()[1].message, QStringLiteral("Done."));
    QCOMPARE(m->cSysTray1->Balloons()[2].message, QStringLiteral("Aborted."));
    QCOMPARE(platform.sound().played.size(), 2);
    QCOMPARE(platform.shell().opened, (QStringList{dest, dest}));
}

// A WAV file of a header and no samples among the entries: the join fails before it
// writes anything, and its error names that file.
void tst_joinreal::entryWithoutAudioIsNamed()
{
    TestPlatform platform;
    MainHostStandIn host;
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    const QString empty = source(QStringLiteral("empty.wav"));
    QVERIFY(TestFiles::WriteBytes(empty, wavBytes(44100, 2, 16, {})));
    frmJoiner* w = g_frmJoiner();
    for (const QString& file : {source(QStringLiteral("one.wav")), empty})
        ToolRows::Add(w->cGrid1, file);
    const QString dest = platform.path(QStringLiteral("joined/"));
    w->txtToPath->setEditText(dest);
    w->txtJoinedFileName->setText(QStringLiteral("all.[dest_extension]"));
    SelectListText(w->cboTargetFormat, kWav);
    QVERIFY(joinAndWait(w));

    QCOMPARE(JobLogLines(w->txtLog).last(), QStringLiteral("Error: The WAV file \"%1\" holds no audio.(2)").arg(empty));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Failed: see the Log."));
    QCOMPARE(host.BalloonMessages(), QStringList{QStringLiteral("Failed: see the Log.")});
    QVERIFY(QDir(dest).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// The second of two entries, a 30-second WAV, is cut to 5 seconds while it is joined into
// an MP3 (as soon as its first progress shows): the join fails with "The source file
// changed during the job." and leaves no file, neither under its name nor hidden.
void tst_joinreal::entryCutShortWhileJoined()
{
    TestPlatform platform;
    MainHostStandIn host;
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    const QString cut = platform.path(QStringLiteral("cut.wav"));
    QVERIFY(QFile::copy(source(QStringLiteral("long.wav")), cut));
    frmJoiner* w = g_frmJoiner();
    for (const QString& file : {source(QStringLiteral("one.wav")), cut})
        ToolRows::Add(w->cGrid1, file);
    const QString dest = platform.path(QStringLiteral("joined/"));
    w->txtToPath->setEditText(dest);
    w->txtJoinedFileName->setText(QStringLiteral("all.[dest_extension]"));
    SelectListText(w->cboTargetFormat, kMp3);
    bool truncated = false;
    QObject::connect(w->cAudioJoin1, &cAudioJoin::Progress, w, [&](qint32 entry, qint32 percent) {
        if (!truncated && entry == 2 && percent >= 1)
            truncated = QFile(cut).resize(44 + 5 * 44100 * 4);
    });
    QVERIFY(joinAndWait(w));

    QVERIFY(truncated);
    QCOMPARE(JobLogLines(w->txtLog).mid(2), (QStringList{"Add one.wav...", "Add cut.wav...",
                                                         "Error: The source file changed during the job.(14)"}));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Failed: see the Log."));
    QCOMPARE(host.BalloonMessages(), QStringList{QStringLiteral("Failed: see the Log.")});
    QVERIFY(QDir(dest).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_MAIN(tst_joinreal)
#include "tst_joinreal.moc"
