// The two data burners against image targets: the ISO each writes is read back with the
// ISO tools (volume descriptors, Joliet and Rock Ridge names, extracted bytes), what an
// 80-minute CD-R cannot take and a full disk end in the burner's error, and every burn,
// good or failed, ends with exactly one terminal event.
#include "components/cAudioDataBurner/DataDiscBurn.h"
#include "components/cAudioDataBurner/cAudioDataBurner.h"
#include "components/cBurner/cBurner.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/TestFiles.h"
#include "tests/support/SmallDisk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// The events of one burn, by name (arguments joined after a colon).
struct EventLog {
    QStringList names;
    void attach(cAudioDataBurner* b)
    {
        QObject::connect(b, &cAudioDataBurner::Started, [this] { names << "Started"; });
        QObject::connect(b, &cAudioDataBurner::Progress, [this](qint16) {
            if (names.isEmpty() || names.last() != "Progress")
                names << "Progress";
        });
        QObject::connect(b, &cAudioDataBurner::ClosingSession, [this] { names << "ClosingSession"; });
        QObject::connect(b, &cAudioDataBurner::Finished, [this] { names << "Finished"; });
        QObject::connect(b, &cAudioDataBurner::Error, [this](qint32, const QString& t) { names << "Error:" + t; });
    }
    void attach(cBurner* b)
    {
        QObject::connect(b, &cBurner::Initializing, [this] { names << "Initializing"; });
        QObject::connect(b, &cBurner::FileCounts, [this](qint32 f, qint32 d) {
            names << QStringLiteral("FileCounts:%1,%2").arg(f).arg(d);
        });
        QObject::connect(b, &cBurner::AddingFile, [this](const QString& f) { names << "AddingFile:" + QFileInfo(f).fileName(); });
        QObject::connect(b, &cBurner::StartBurning, [this] { names << "StartBurning"; });
        QObject::connect(b, &cBurner::Progress, [this](qint32) {
            if (names.isEmpty() || names.last() != "Progress")
                names << "Progress";
        });
        QObject::connect(b, &cBurner::Finalization, [this] { names << "Finalization"; });
        QObject::connect(b, &cBurner::Completed, [this] { names << "Completed"; });
        QObject::connect(b, &cBurner::DoneBurn, [this] { names << "DoneBurn"; });
        QObject::connect(b, &cBurner::BurnEnd, [this] { names << "BurnEnd"; });
        QObject::connect(b, &cBurner::Message, [this](const QString& d, const QString& t) { names << "Message:" + t + " (" + d + ")"; });
    }
    int terminals() const
    {
        int n = 0;
        for (const QString& e : names)
            n += e == "Finished" || e.startsWith("Error:") || e == "BurnEnd" || e.startsWith("Message:");
        return n;
    }
};

QByteArray noise(int bytes, quint32 seed)
{
    QByteArray b(bytes, '\0');
    QRandomGenerator g(seed);
    for (char& c : b)
        c = char(g.generate());
    return b;
}

} // namespace

class tst_DataBurner : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_target;
    QStringList m_files;
    QList<QByteArray> m_bytes;
    QString m_letter;  // the image target's drive letter

    bool haveTools()
    {
        return !QStandardPaths::findExecutable("xorriso").isEmpty() && !QStandardPaths::findExecutable("isoinfo").isEmpty();
    }

    void burnWith(const QString& engine, const QString& volume, EventLog& log)
    {
        if (engine == "cd-only") {
            std::unique_ptr<cAudioDataBurner> b(CreateAudioDataBurner(nullptr));
            log.attach(b.get());
            QVERIFY(b->IsDriveReady(m_letter));
            QVERIFY(b->IsDiscEmpty(m_letter));
            for (QString f : m_files)
                QVERIFY(b->AddFile(f));
            QString same = m_files.first();
            QVERIFY(b->AddFile(same));  // listed once only
            b->SetVolumeName(volume);
            QString app = "Velmaro Test";
            b->SetIdentityText1(app);
            b->SetIdentityText2(app);
            b->Burn(m_letter, 65535);
            // The disc is used once a burn has finished, and only then.
            QCOMPARE(b->IsDiscEmpty(m_letter), log.names.isEmpty() || log.names.last() != "Finished");
        } else {
            std::unique_ptr<cBurner> b(CreateBurner(nullptr));
            log.attach(b.get());
            QCOMPARE(b->DriveCount(), 1);
            QCOMPARE(b->GetDrivePath(0), m_letter + ":\\");
            b->NewCompilation();
            b->SetFileSystemISO(true);
            b->SetFileSystemJoliet(true);
            b->SetVolumeName(volume);
            for (QString f : m_files)
                b->AddFile(f);
            QString same = m_files.first();
            b->AddFile(same);
            b->Burn(0);
        }
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Velmaro Test");
        m_target = m_dir.filePath("target");
        qputenv("VELMARO_CD_IMAGES", "");
        qputenv("VELMARO_CD_WRITERS", m_target.toUtf8());
        QDir(m_dir.path()).mkpath("src");
        QCOMPARE(ListCdWriters().size(), 1);
        m_letter = ListCdWriters().first().id.left(1);
        const QStringList names = {"01 - Plain.mp3", "02 - Ärger über Öl.mp3",
                                   "03 - A title far longer than the sixty-four characters Joliet used to allow.mp3",
                                   "04 - Copy kept.wma"};
        for (int i = 0; i < names.size(); ++i) {
            const QString path = m_dir.filePath("src/" + names[i]);
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            m_bytes << noise(100000 + i * 4097, quint32(i + 1));
            f.write(m_bytes.last());
            m_files << path;
        }
    }

    void cleanup()
    {
        QFile::remove(m_target + ".iso");
        SetDiscBurningLibraryCheck({});
    }

    // Each engine writes the four files, names and bytes whole, through Joliet and Rock
    // Ridge, with the volume id and publisher asked for.
    void writesTheIso_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("cd-only") << "cd-only" << QStringList{"Started", "Progress", "ClosingSession", "Finished"};
        QTest::newRow("cd/dvd") << "cd/dvd"
                                << QStringList{"Initializing", "FileCounts:4,0", "AddingFile:01 - Plain.mp3",
                                               "AddingFile:02 - Ärger über Öl.mp3",
                                               "AddingFile:03 - A title far longer than the sixty-four characters Joliet used to allow.mp3",
                                               "AddingFile:04 - Copy kept.wma", "StartBurning", "Progress",
                                               "Finalization", "Completed", "DoneBurn", "BurnEnd"};
    }
    void writesTheIso()
    {
        if (!haveTools())
            QSKIP("xorriso and isoinfo are needed to read the image back");
        QFETCH(QString, engine);
        QFETCH(QStringList, events);
        EventLog log;
        burnWith(engine, "My Safe List Name", log);
        QCOMPARE(log.names, events);
        const QString iso = m_target + ".iso";
        QVERIFY(QFile::exists(iso));
        // An ordinary file of the user's: the permissions the umask gives a new file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(iso).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());

        const QString pvd = ExternalTools::Output("isoinfo", {"-d", "-i", iso});
        // The primary descriptor holds ISO 9660's upper-case characters only.
        QVERIFY2(pvd.contains("Volume id: MY_SAFE_LIST_NAME"), qPrintable(pvd));
        QVERIFY2(pvd.contains("Publisher id: VELMARO TEST"), qPrintable(pvd));
        QVERIFY(pvd.contains("Joliet"));
        QVERIFY(pvd.contains("Rock Ridge"));

        // Joliet's names printed in Latin-1 (the test's names fit it), Rock Ridge's as the
        // bytes stored, which are UTF-8.
        for (const QString& how : {QStringLiteral("-J"), QStringLiteral("-R")}) {
            QProcess p;
            p.start("isoinfo", how == "-J" ? QStringList{"-J", "-j", "iso8859-1", "-f", "-i", iso}
                                           : QStringList{"-R", "-f", "-i", iso});
            QVERIFY(p.waitForFinished(60000));
            const QByteArray raw = p.readAllStandardOutput();
            const QString list = how == "-J" ? QString::fromLatin1(raw) : QString::fromUtf8(raw);
            for (const QString& f : m_files)
                QVERIFY2(list.contains("/" + QFileInfo(f).fileName()), qPrintable(how + "\n" + list));
        }
        // Joliet names are the plain names, without a version: a reader finds the files by
        // them.
        for (const int i : {0, 2}) {
            const QString name = QFileInfo(m_files[i]).fileName();
            QProcess p;
            p.start("isoinfo", {"-J", "-x", "/" + name, "-i", iso});
            QVERIFY(p.waitForFinished(60000));
            QVERIFY2(p.readAllStandardOutput() == m_bytes[i], qPrintable("isoinfo -J -x /" + name));
        }
        const QString out = m_dir.filePath("out-" + engine.left(2));
        QString error;
        ExternalTools::Output("xorriso", {"-osirrox", "on", "-indev", iso, "-extract", "/", out}, &error);
        for (int i = 0; i < m_files.size(); ++i) {
            QFile f(out + "/" + QFileInfo(m_files[i]).fileName());
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName() + " " + error));
            QVERIFY(f.readAll() == m_bytes[i]);
        }
    }

    // Failures to start end with exactly one terminal event, and a used target stays as it
    // was.
    void failuresEndOnce_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("expected");
        for (const QString e : {"cd-only", "cd/dvd"}) {
            const bool cd = e == "cd-only";
            QTest::newRow(qPrintable(e + " used target")) << e << "used" << (cd ? "Error:The disc in E: is not blank." : "Message:The disc in E: is not blank. (E:)");
            QTest::newRow(qPrintable(e + " library")) << e << "library" << (cd ? "Error:no library here" : "Message:no library here (E:)");
            QTest::newRow(qPrintable(e + " no drive")) << e << "drive" << (cd ? "Error:There is no CD writer X:." : "Message:There is no drive to burn to. (Burn)");
            if (cd)
                QTest::newRow("cd-only no drive letter") << e << "no letter" << "Error:There is no CD writer.";
            QTest::newRow(qPrintable(e + " no files")) << e << "files" << (cd ? "Error:There are no files to burn." : "Message:There are no files to burn. (E:)");
        }
    }
    void failuresEndOnce()
    {
        QFETCH(QString, engine);
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        expected.replace("E:", m_letter + ":");
        const QString iso = m_target + ".iso";
        if (fault == "used") {
            QFile f(iso);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("used disc");
        }
        if (fault == "library")
            SetDiscBurningLibraryCheck([](QString& why) {
                why = "no library here";
                return false;
            });
        EventLog log;
        if (engine == "cd-only") {
            std::unique_ptr<cAudioDataBurner> b(CreateAudioDataBurner(nullptr));
            log.attach(b.get());
            if (fault == "used")
                QVERIFY(!b->IsDiscEmpty(m_letter));
            if (fault != "files")
                for (QString f : m_files)
                    b->AddFile(f);
            b->Burn(fault == "drive" ? "X" : fault == "no letter" ? "" : m_letter, 65535);
        } else {
            std::unique_ptr<cBurner> b(CreateBurner(nullptr));
            log.attach(b.get());
            b->NewCompilation();
            if (fault != "files")
                for (QString f : m_files)
                    b->AddFile(f);
            b->Burn(fault == "drive" ? 5 : 0);
        }
        QCOMPARE(log.terminals(), 1);
        QCOMPARE(log.names.last(), expected);
        QVERIFY(!log.names.contains("BurnEnd") || expected == "BurnEnd");
        if (fault == "used") {
            QFile f(iso);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("used disc"));
        } else {
            QVERIFY(!QFile::exists(iso));
        }
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // An image target is an 80-minute CD-R: a file of 4.5 GB (sparse, so nothing of that
    // size is written) ends in the burner's error before the image is begun.
    void imageTargetTakesEightyMinutes_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::newRow("cd-only") << "cd-only";
        QTest::newRow("cd/dvd") << "cd/dvd";
    }
    void imageTargetTakesEightyMinutes()
    {
        QFETCH(QString, engine);
        QFile big(m_dir.filePath("src/big.wav"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(4500LL * 1000 * 1000));
        big.close();
        const QStringList files = m_files;
        m_files << big.fileName();
        EventLog log;
        burnWith(engine, "Big", log);
        m_files = files;
        QFile::remove(big.fileName());
        QCOMPARE(log.terminals(), 1);
        const QString last = log.names.last();
        const QRegularExpression text(engine == "cd-only"
                                          ? "^Error:The files need (\\d+) sectors; the disc holds 360000\\.$"
                                          : "^Message:The files need (\\d+) sectors; the disc holds 360000\\. \\(.:\\)$");
        const QRegularExpressionMatch m = text.match(last);
        QVERIFY2(m.hasMatch(), qPrintable(last));
        QVERIFY(m.captured(1).toLongLong() > 4500LL * 1000 * 1000 / 2048);
        QVERIFY(!QFile::exists(m_target + ".iso"));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // A full disk under the image target: the burner's error says why, and nothing is left
    // on that disk; a burn that follows at once is not taken for done before it ran.
    void fullDiskSaysWhy_data() { imageTargetTakesEightyMinutes_data(); }
    void fullDiskSaysWhy()
    {
        QFETCH(QString, engine);
        const QString disk = m_dir.filePath("small");
        QVERIFY(QDir().mkpath(disk));
        SmallDisk small;
        QString why;
        if (!small.mount(disk, why))
            QSKIP(qPrintable("This machine gives the test no disk of its own (" + why + ")"));
        small.fill();
        const QString target = m_target;
        m_target = disk + "/target";
        qputenv("VELMARO_CD_WRITERS", m_target.toUtf8());
        EventLog log;
        burnWith(engine, "Full", log);
        m_target = target;
        qputenv("VELMARO_CD_WRITERS", m_target.toUtf8());
        QCOMPARE(log.terminals(), 1);
        const QString iso = disk + "/target.iso";
        const QString reason = QString::fromLocal8Bit(strerror(ENOSPC));
        QCOMPARE(log.names.last(), engine == "cd-only" ? "Error:Cannot write the image " + iso + ": " + reason
                                                       : "Message:Cannot write the image " + iso + ": " + reason + " (" + m_letter + ":)");
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList{"filler"});

        // The next burn, at once, onto a disk with room is written whole.
        EventLog again;
        burnWith(engine, "Again", again);
        QCOMPARE(again.terminals(), 1);
        QCOMPARE(again.names.last(), engine == "cd-only" ? "Finished" : "BurnEnd");
        if (!haveTools())
            return;
        const QString list = ExternalTools::Output("isoinfo", {"-J", "-f", "-i", m_target + ".iso"});
        QVERIFY2(list.contains("/" + QFileInfo(m_files.first()).fileName()), qPrintable(list));
    }

    void volumeIdIsCut()
    {
        QCOMPARE(DataDiscVolumeId(QString(40, 'x')), QString(32, 'x'));
        QCOMPARE(DataDiscVolumeId("short"), QStringLiteral("short"));
    }
};

QTEST_GUILESS_MAIN(tst_DataBurner)
#include "tst_databurner.moc"
