// Temporary files written beside a file: names of any length the folder allows, the
// leftovers of writers that are gone cleared by the next save in the folder while the
// files of running writers stay, and the last rename, which replaces a file only where
// that was agreed, and only the file agreed to.
#include "platform/AtomicFile.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <unistd.h>

namespace {

// What /proc says of a process: its start time (clock ticks after the machine started).
quint64 startTicks(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    return stat.mid(stat.lastIndexOf(')') + 2).split(' ').value(19).toULongLong();
}

QByteArray bootId()
{
    QFile f(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().left(8) : QByteArray("00000000");
}

// The hidden temporary name a writer gives a file beside `name`.
QString tempName(const QString& name, qint64 pid, quint64 start, const QByteArray& boot, const QString& ending = QString())
{
    return QStringLiteral(".%1.tmp-%2-%3-%4-AbC123%5")
        .arg(name)
        .arg(pid)
        .arg(QString::number(start, 36), QString::fromLatin1(boot), ending);
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class tst_TempFiles : public QObject
{
    Q_OBJECT
private slots:
    void leftoversOfGoneWriters();
    void longestNamesAreWritten_data();
    void longestNamesAreWritten();
    void renameIntoPlace_data();
    void renameIntoPlace();
    void replaceAgreedFile_data();
    void replaceAgreedFile();
};

// The next save in a folder removes the temporary files of writers that are gone, by their
// names, and keeps those of writers still running and whatever it did not name itself.
void tst_TempFiles::leftoversOfGoneWriters()
{
    QTemporaryDir dir;
    QProcess running;
    running.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    QVERIFY(running.waitForStarted());
    QProcess ended;
    ended.start(QStringLiteral("true"), QStringList());
    QVERIFY(ended.waitForStarted());
    const qint64 endedPid = ended.processId();
    const quint64 endedStart = startTicks(endedPid);
    QVERIFY(ended.waitForFinished());

    const qint64 self = ::getpid();
    const quint64 selfStart = startTicks(self);
    QVERIFY(selfStart > 0);
    const QByteArray boot = bootId();
    const QByteArray otherBoot = boot == "feedface" ? "deadbeef" : "feedface";
    struct Case {
        const char* what;
        QString name;
        bool removed;
    };
    const QList<Case> cases{
        {"this process's", tempName("PathHistory", self, selfStart, boot), false},
        {"a running process's", tempName("Notes", running.processId(), startTicks(running.processId()), boot), false},
        {"a running process's output", tempName("Part_1_a.MP3", running.processId(), startTicks(running.processId()), boot, ".part"), false},
        {"an ended process's", tempName("PathHistory", endedPid, endedStart, boot), true},
        {"an ended process's output", tempName("Part_2_a.MP3", endedPid, endedStart, boot, ".part"), true},
        {"its id now another process's", tempName("Notes", self, selfStart + 1, boot), true},
        {"before the machine started", tempName("a.flst", self, selfStart, otherBoot), true},
        {"another program's, not hidden", tempName("x", endedPid, endedStart, boot).mid(1), false},
        {"an earlier version's, naming no writer", QStringLiteral(".PathHistory.tmp-AbC123"), false},
        {"a name cut short", tempName("y", endedPid, endedStart, boot).chopped(1), false},
    };
    for (const Case& c : cases)
        QVERIFY(TestFiles::WriteBytes(dir.filePath(c.name), "half"));
    // Only files: a folder or a link under such a name is not a temporary file.
    const QString folder = tempName("folder", endedPid, endedStart, boot);
    const QString link = tempName("link", endedPid, endedStart, boot);
    QVERIFY(QDir(dir.path()).mkdir(folder));
    QVERIFY(QFile::link(QStringLiteral("PathHistory"), dir.filePath(link)));

    QString error;
    QVERIFY2(WriteFileAtomically(dir.filePath(QStringLiteral("PathHistory")), "/music\n", &error), qPrintable(error));
    for (const Case& c : cases)
        QVERIFY2(QFileInfo::exists(dir.filePath(c.name)) != c.removed, c.what);
    QVERIFY(QFileInfo(dir.filePath(folder)).isDir());
    QVERIFY(QFileInfo(dir.filePath(link)).isSymLink());
    QCOMPARE(TestFiles::ReadBytes(dir.filePath(QStringLiteral("PathHistory"))), QByteArray("/music\n"));
    running.kill();
    running.waitForFinished();
}

// A file of any name the file system allows, up to 255 bytes, is saved: its temporary
// file's name is short.
void tst_TempFiles::longestNamesAreWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("241 bytes") << QString(236, u'a') + QStringLiteral(".flst");
    QTest::newRow("255 bytes") << QString(250, u'b') + QStringLiteral(".flst");
    QTest::newRow("255 bytes of two-byte characters") << QString(125, QChar(0x00E9)) + QStringLiteral("a.txt");
}

void tst_TempFiles::longestNamesAreWritten()
{
    QFETCH(QString, name);
    QCOMPARE(QFile::encodeName(name).size() >= 241, true);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(WriteFileAtomically(dir.filePath(name), "<ITEM>\n", &error), qPrintable(error));
    QCOMPARE(TestFiles::ReadBytes(dir.filePath(name)), QByteArray("<ITEM>\n"));
    QCOMPARE(entries(dir.path()), QStringList{name});
}

void tst_TempFiles::renameIntoPlace_data()
{
    QTest::addColumn<QString>("there");  // what has the target's name: nothing, a file, a dangling link
    QTest::addColumn<bool>("replace");
    QTest::addColumn<bool>("placed");
    QTest::newRow("no file, not agreed") << "nothing" << false << true;
    QTest::newRow("no file, agreed") << "nothing" << true << true;
    QTest::newRow("a file, not agreed") << "file" << false << false;
    QTest::newRow("a file, agreed") << "file" << true << true;
    QTest::newRow("a link to nothing, not agreed") << "link" << false << false;
}

void tst_TempFiles::renameIntoPlace()
{
    QFETCH(QString, there);
    QFETCH(bool, replace);
    QFETCH(bool, placed);
    QTemporaryDir dir;
    const QString temp = dir.filePath(QStringLiteral(".out.wav.tmp-1-1-00000000-AbC123.part"));
    const QString target = dir.filePath(QStringLiteral("out.wav"));
    QVERIFY(TestFiles::WriteBytes(temp, "new"));
    if (there == QLatin1String("file"))
        QVERIFY(TestFiles::WriteBytes(target, "another job's"));
    else if (there == QLatin1String("link"))
        QVERIFY(QFile::link(QStringLiteral("nowhere"), target));
    errno = 0;
    QCOMPARE(RenameIntoPlace(QFile::encodeName(temp), QFile::encodeName(target), replace), placed);
    if (placed) {
        QCOMPARE(TestFiles::ReadBytes(target), QByteArray("new"));
        QVERIFY(!QFileInfo::exists(temp));
        return;
    }
    QCOMPARE(errno, EEXIST);
    QCOMPARE(TestFiles::ReadBytes(temp), QByteArray("new"));
    if (there == QLatin1String("file"))
        QCOMPARE(TestFiles::ReadBytes(target), QByteArray("another job's"));
    else
        QCOMPARE(QFileInfo(target).symLinkTarget(), dir.filePath(QStringLiteral("nowhere")));
}

void tst_TempFiles::replaceAgreedFile_data()
{
    QTest::addColumn<QString>("before");     // what had the name when replacing it was agreed: a file, a link to one, nothing
    QTest::addColumn<QString>("meanwhile");  // what became of the name since
    QTest::addColumn<bool>("placed");
    QTest::newRow("the file, unchanged") << "file" << "" << true;
    QTest::newRow("a link to a file, unchanged") << "link" << "" << true;
    QTest::newRow("the file, removed") << "file" << "removed" << true;
    QTest::newRow("the file, then another job's") << "file" << "another" << false;
    QTest::newRow("the file, rewritten in place") << "file" << "rewritten" << false;
    QTest::newRow("nothing, then another job's") << "nothing" << "another" << false;
}

// The finished file takes the place of the file agreed to as it was then; another file
// that took the name since, or the same file rewritten, stays as it is and the temporary
// file is kept for the caller, with EEXIST.
void tst_TempFiles::replaceAgreedFile()
{
    QFETCH(QString, before);
    QFETCH(QString, meanwhile);
    QFETCH(bool, placed);
    QTemporaryDir dir;
    const QString temp = dir.filePath(QStringLiteral(".out.wav.tmp-1-1-00000000-AbC123.part"));
    const QString target = dir.filePath(QStringLiteral("out.wav"));
    const QString linked = dir.filePath(QStringLiteral("linked.wav"));
    QVERIFY(TestFiles::WriteBytes(temp, "new"));
    if (before == QLatin1String("file")) {
        QVERIFY(TestFiles::WriteBytes(target, "the user's old file"));
    } else if (before == QLatin1String("link")) {
        QVERIFY(TestFiles::WriteBytes(linked, "the user's old file"));
        QVERIFY(QFile::link(linked, target));
    }
    const FileIdentity agreed = ReadFileIdentity(target);
    QByteArray there;
    if (meanwhile == QLatin1String("removed")) {
        QVERIFY(QFile::remove(target));
    } else if (meanwhile == QLatin1String("another")) {
        QFile::remove(target);
        there = "another job's";
    } else if (meanwhile == QLatin1String("rewritten")) {
        there = "the user's old file, rewritten by another program";
    }
    if (!there.isEmpty()) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(there), there.size());
    }
    errno = 0;
    QCOMPARE(ReplaceAgreedFile(QFile::encodeName(temp), QFile::encodeName(target), agreed), placed);
    if (placed) {
        QCOMPARE(TestFiles::ReadBytes(target), QByteArray("new"));
        QVERIFY(!QFileInfo(target).isSymLink());
        QCOMPARE(entries(dir.path()), before == QLatin1String("link") ? (QStringList{"linked.wav", "out.wav"})
                                                                      : QStringList{"out.wav"});
        return;
    }
    QCOMPARE(errno, EEXIST);
    QCOMPARE(TestFiles::ReadBytes(temp), QByteArray("new"));
    QCOMPARE(TestFiles::ReadBytes(target), there);
}

QTEST_GUILESS_MAIN(tst_TempFiles)
#include "tst_tempfiles.moc"
