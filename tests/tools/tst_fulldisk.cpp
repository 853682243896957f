// The splitter, the two converters and the joiner over their real components, writing
// onto a small disk of the test's own that is read-only, full, or has room for only part
// of the job: what each item left on the disk, the log's error lines, and how the job
// ends on the status line, in the caption and in the balloon.
#include "common/mdlModes.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/JobLog.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tools/frame/ToolWindow.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;

class tst_fulldisk : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void endings_data();
    void endings();

private:
    QString source(const QString& name) const { return m_dir.path() + u'/' + name; }
    QTemporaryDir m_dir;
};

void tst_fulldisk::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Mono 8 kHz 16-bit noise, 16000 bytes a second: 6 s is 96 KB, a third of the disk;
    // 30 s (480 KB) never fits; 18 s splits into three parts of 6 s.
    QVERIFY(writeWav(source("short.wav"), 8000, 1, 16, noise(6 * 8000, 1, 3)));
    QVERIFY(writeWav(source("long.wav"), 8000, 1, 16, noise(30 * 8000, 1, 4)));
    QVERIFY(writeWav(source("eighteen.wav"), 8000, 1, 16, noise(18 * 8000, 1, 5)));
}

void tst_fulldisk::endings_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("disk");     // read-only, full, or "room" (empty, 256 KB)
    QTest::addColumn<QStringList>("kept");  // the files on the disk afterwards
    QTest::addColumn<int>("errors");        // error lines in the log
    QTest::addColumn<QString>("ending");
    const QString all = QStringLiteral("Failed: see the Log.");
    for (const char* tool : {"splitter", "converter", "ACM converter", "joiner"}) {
        const int items = QByteArray(tool) == "splitter" ? 3 : QByteArray(tool) == "joiner" ? 1 : 2;
        QTest::addRow("%s, read-only", tool) << tool << "read-only" << QStringList{} << items << all;
        QTest::addRow("%s, full", tool) << tool << "full" << QStringList{"filler"} << items << all;
    }
    QTest::newRow("splitter, room for two parts")
        << "splitter" << "room" << QStringList{"Part_1_eighteen.WAV", "Part_2_eighteen.WAV"} << 1
        << "Done. 1 of 3 failed: see the Log.";
    QTest::newRow("converter, room for the short row")
        << "converter" << "room" << QStringList{"short.wav"} << 1 << "Done. 1 of 2 failed: see the Log.";
    QTest::newRow("ACM converter, room for the short row")
        << "ACM converter" << "room" << QStringList{"short.wav"} << 1 << "Done. 1 of 2 failed: see the Log.";
}

void tst_fulldisk::endings()
{
    QFETCH(QString, tool);
    QFETCH(QString, disk);
    QFETCH(QStringList, kept);
    QFETCH(int, errors);
    QFETCH(QString, ending);
    TestPlatform platform;
    MainHostStandIn host;
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    // WAV as the sources are.
    g_lSamplesWAV = 8000;
    g_lBitrateWAV = 16;
    g_lChannelsWAV = 0;
    const QString dest = platform.path(QStringLiteral("small/"));
    QVERIFY(QDir().mkpath(dest));
    SmallDisk small;
    QString why;
    if (!small.mount(dest, why))
        QSKIP(qPrintable("This machine gives the test no disk of its own (" + why + ")"));

    ToolWindow* w = ToolRows::OpenItemsTool(tool, source(QStringLiteral("eighteen.wav")), 3);
    const QStringList names = tool == QLatin1String("splitter") ? QStringList{QStringLiteral("eighteen.wav")}
                                                                : QStringList{QStringLiteral("short.wav"), QStringLiteral("long.wav")};
    for (const QString& name : names)
        ToolRows::Add(w->cGrid1, source(name));
    QVERIFY(ToolRows::WriteWav(w, dest, QStringLiteral("8000 Hz, 16 Bit, Mono")));

    if (disk == QLatin1String("full"))
        small.fill();
    else if (disk == QLatin1String("read-only"))
        QVERIFY(small.readOnly());
    w->cmdConvert->click();
    QVERIFY(QTest::qWaitFor([w] { return !w->IsBusy(); }, 120000));

    const QStringList log = JobLogLines(w->txtLog);
    QCOMPARE(log.filter(QStringLiteral("Error: ")).size(), errors);
    QCOMPARE(w->lblCurrentTrack->text(), ending);
    QCOMPARE(w->windowTitle(), ending);
    QCOMPARE(host.BalloonMessages(), QStringList{ending});
    // What was written is whole; nothing else is left behind.
    QCOMPARE(QDir(dest).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
    for (const QString& name : kept)
        if (name != QLatin1String("filler"))
            QCOMPARE(wavData(dest + name).size(), qsizetype(6 * 16000));
}

QTEST_MAIN(tst_fulldisk)
#include "tst_fulldisk.moc"
