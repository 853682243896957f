// The settings store file: its text form, refusal of damaged files, and safety against
// a writer killed mid-write and two processes writing at once; what it leaves alone is
// written back byte for byte; pipes, devices and odd locks never hold it up; failed
// writes on a full or read-only disk say why.
#include "platform/RegistryStore.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <functional>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(RegValue)
Q_DECLARE_METATYPE(RegistryStore::Status)

namespace {

const QString kRoot = QStringLiteral("HKEY_LOCAL_MACHINE");

// Child process: writes count values "<prefix><n>" into the General key of the store.
int runChildWriter(const QStringList& args)
{
    const QString path = args.value(0);
    const QString prefix = args.value(1);
    const int count = args.value(2).toInt();
    RegistryStore store(path, kRoot);
    for (int i = 0; i < count; ++i) {
        if (!store.setValue(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Events"), prefix + QString::number(i),
                            RegValue::fromString(QString::number(i))))
            return 1;
    }
    return 0;
}

const QString kGeneral = QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\General");

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Runs work on a thread of its own and waits for it. A call that blocks on a pipe is set
// free by opening the pipe's other end, so the test fails instead of hanging; one that
// does not return otherwise ends the test program.
bool finishesWithin(int ms, const std::function<void()>& work, const QString& pipeToRelease)
{
    QThread* thread = QThread::create(work);
    thread->start();
    const bool finished = thread->wait(ms);
    if (!finished && !pipeToRelease.isEmpty()) {
        for (int i = 0; i < 100 && !thread->isFinished(); ++i) {
            const int fd = ::open(QFile::encodeName(pipeToRelease).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            thread->wait(100);
        }
    }
    if (!thread->wait(10000))
        qFatal("a call on the settings store never returned");
    delete thread;
    return finished;
}

// The General key with "lWidth"="1" in front of the given text, as a stored file might
// hold it; the rows of untouchedBytesSurviveAWrite build their files on it.
QByteArray storeWith(const QByteArray& before, const QByteArray& after, const QByteArray& nl = "\n")
{
    return before + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ostrany\\Velmaro\\General]" + nl + "\"lWidth\"=\"1\"" + nl
        + after;
}

} // namespace

class tst_RegistryStore : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void keysAreCaseInsensitiveAndParentsExist();
    void writesNeedAnExistingKey();
    void deleteValueCodes();
    void damagedFileIsRefusedAndKept_data();
    void damagedFileIsRefusedAndKept();
    void seesChangesMadeByOthers();
    void killedWriterLeavesPreviousFile();
    void concurrentWritersLoseNothing();
    void untouchedBytesSurviveAWrite_data();
    void untouchedBytesSurviveAWrite();
    void longHexValueOverManyLines();
    void storeThatIsNoFileNeverBlocks_data();
    void storeThatIsNoFileNeverBlocks();
    void lockThatCannotBeTakenFailsAtOnce_data();
    void lockThatCannotBeTakenFailsAtOnce();
    void failedWritesOnASmallDiskSayWhy_data();
    void failedWritesOnASmallDiskSayWhy();
};

void tst_RegistryStore::roundTrip_data()
{
    QTest::addColumn<RegValue>("value");
    QTest::newRow("plain text") << RegValue::fromString(QStringLiteral("13140"));
    QTest::newRow("quotes and backslashes") << RegValue::fromString(QStringLiteral("C:\\a \"b\"\\"));
    QTest::newRow("empty text") << RegValue::fromString(QString());
    QTest::newRow("text with line breaks") << RegValue::fromString(QStringLiteral("a\r\nb\nc"));
    QTest::newRow("utf-8 text") << RegValue::fromString(QStringLiteral("Prøbe – ü"));
    QTest::newRow("data size 0") << RegValue{REG_SZ, QByteArray()};
    QTest::newRow("dword -1") << RegValue::fromDword(-1);
    QTest::newRow("binary") << RegValue::fromBinary(QByteArray("\x00\x01\xff", 3));
    QTest::newRow("multi") << RegValue{REG_MULTI_SZ, QByteArray("a\0b\0\0", 5)};
    QTest::newRow("expand") << RegValue::fromString(QStringLiteral("%HOME%/x"), REG_EXPAND_SZ);
}

void tst_RegistryStore::roundTrip()
{
    QFETCH(RegValue, value);
    TestPlatform platform;
    RegistryStore store(platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg")), kRoot);
    const QString key = QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\General");
    QVERIFY(store.setValue(key, QStringLiteral("v \"1\""), value));
    QVERIFY(store.setValue(key, QString(), RegValue::fromString(QStringLiteral("default"))));

    // A fresh reader of the file sees exactly what was written.
    RegistryStore other(store.filePath(), kRoot);
    QCOMPARE(other.status(), RegistryStore::Status::Ok);
    const auto read = other.value(key, QStringLiteral("v \"1\""));
    QVERIFY(read.has_value());
    QCOMPARE(read->type, value.type);
    QCOMPARE(read->data, value.data);
    QCOMPARE(other.value(key, QString())->data, QByteArray("default", 8));
    // The file keeps the layout of an exported registry file.
    const QByteArray text = TestFiles::ReadBytes(store.filePath());
    QVERIFY(text.startsWith("Windows Registry Editor Version 5.00\n"));
    QVERIFY(text.contains("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ostrany\\Velmaro\\Formats\\APE]"));
}

void tst_RegistryStore::keysAreCaseInsensitiveAndParentsExist()
{
    TestPlatform platform;
    RegistryStore& store = RegistryStore::forRoot(kRoot);
    QVERIFY(store.keyExists(QStringLiteral("software\\ostrany\\velmaro\\general")));
    QVERIFY(store.keyExists(QStringLiteral("SOFTWARE\\Ostrany")));  // parent of listed keys
    QVERIFY(store.keyExists(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\")));  // trailing separator
    QVERIFY(!store.keyExists(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Gen")));
    QVERIFY(store.setValue(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Events"), QStringLiteral("lWidth"),
                           RegValue::fromString(QStringLiteral("1"))));
    QVERIFY(store.setValue(QStringLiteral("SOFTWARE\\OSTRANY\\VELMARO\\EVENTS"), QStringLiteral("LWIDTH"),
                           RegValue::fromString(QStringLiteral("2"))));
    QCOMPARE(store.values(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Events")).size(), 1);
    QCOMPARE(store.value(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Events"), QStringLiteral("lwidth"))->data,
             QByteArray("2", 2));
    QCOMPARE(store.subKeys(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Formats")),
             (QStringList{"WAV", "ACM", "MP3", "WMA", "OGG", "APE"}));
}

void tst_RegistryStore::writesNeedAnExistingKey()
{
    TestPlatform platform;
    RegistryStore& store = RegistryStore::forRoot(kRoot);
    const QByteArray before = TestFiles::ReadBytes(store.filePath());
    QVERIFY(!store.setValue(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Missing"), QStringLiteral("x"),
                            RegValue::fromString(QStringLiteral("1"))));
    QCOMPARE(TestFiles::ReadBytes(store.filePath()), before);
    QVERIFY(!store.keyExists(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Missing")));
    QVERIFY(store.createKey(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Missing\\Deeper")));
    QVERIFY(store.keyExists(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Missing")));
}

void tst_RegistryStore::deleteValueCodes()
{
    TestPlatform platform;
    RegistryStore& store = RegistryStore::forRoot(kRoot);
    const QString key = QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\General");
    QVERIFY(store.setValue(key, QStringLiteral("a"), RegValue::fromString(QStringLiteral("1"))));
    QCOMPARE(store.deleteValue(key, QStringLiteral("a")), ERROR_SUCCESS);
    QCOMPARE(store.deleteValue(key, QStringLiteral("a")), ERROR_FILE_NOT_FOUND);
    QCOMPARE(store.deleteValue(QStringLiteral("SOFTWARE\\Nope"), QStringLiteral("a")), ERROR_FILE_NOT_FOUND);
    QVERIFY(!store.value(key, QStringLiteral("a")).has_value());
}

void tst_RegistryStore::damagedFileIsRefusedAndKept_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<RegistryStore::Status>("status");
    QTest::newRow("garbage line") << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ostrany\\Velmaro\\General]\nhello\n")
                                  << RegistryStore::Status::Malformed;
    QTest::newRow("unclosed quote") << QByteArray("[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"abc\n")
                                    << RegistryStore::Status::Malformed;
    QTest::newRow("bad hex") << QByteArray("[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:zz\n") << RegistryStore::Status::Malformed;
    QTest::newRow("other root") << QByteArray("[HKEY_CURRENT_USER\\A]\n") << RegistryStore::Status::Malformed;
    QTest::newRow("value before key") << QByteArray("\"x\"=\"1\"\n") << RegistryStore::Status::Malformed;
    QTest::newRow("binary junk") << QByteArray("\x7f" "ELF\x02\x01\x01", 7) << RegistryStore::Status::Malformed;
}

void tst_RegistryStore::damagedFileIsRefusedAndKept()
{
    QFETCH(QByteArray, text);
    QFETCH(RegistryStore::Status, status);
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    QVERIFY(TestFiles::WriteBytes(path, text));
    RegistryStore store(path, kRoot);
    QCOMPARE(store.status(), status);
    QVERIFY(store.lastError().contains(path));
    QVERIFY(!store.keyExists(QStringLiteral("A")));
    // No write may replace what the user has, damaged or not.
    QVERIFY(!store.createKey(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\General")));
    QVERIFY(!store.setValue(QStringLiteral("A"), QStringLiteral("x"), RegValue::fromString(QStringLiteral("1"))));
    QCOMPARE(TestFiles::ReadBytes(path), text);
}

void tst_RegistryStore::seesChangesMadeByOthers()
{
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    RegistryStore a(path, kRoot);
    RegistryStore b(path, kRoot);
    const QString key = QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\General");
    QVERIFY(!a.value(key, QStringLiteral("x")).has_value());
    QVERIFY(b.setValue(key, QStringLiteral("x"), RegValue::fromString(QStringLiteral("from b"))));
    QCOMPARE(a.value(key, QStringLiteral("x"))->data, QByteArray("from b", 7));
    // a's write starts from the file as b left it.
    QVERIFY(a.setValue(key, QStringLiteral("y"), RegValue::fromString(QStringLiteral("from a"))));
    QVERIFY(b.value(key, QStringLiteral("x")).has_value());
    QVERIFY(b.value(key, QStringLiteral("y")).has_value());
}

void tst_RegistryStore::killedWriterLeavesPreviousFile()
{
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    RegistryStore store(path, kRoot);
    const QString key = QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\General");
    QVERIFY(store.setValue(key, QStringLiteral("kept"), RegValue::fromString(QStringLiteral("yes"))));
    const QByteArray before = TestFiles::ReadBytes(path);

    // A child starts a write, stops half-way through its temporary file and is killed.
    const QString marker = platform.path(QStringLiteral("stalled"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELMARO_TEST_STALL_WRITE"), marker);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-writer"), path, QStringLiteral("lost"),
                                                          QStringLiteral("1")});
    QVERIFY(child.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 20000);
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished());

    QCOMPARE(TestFiles::ReadBytes(path), before);
    QCOMPARE(store.status(), RegistryStore::Status::Ok);
    QCOMPARE(store.value(key, QStringLiteral("kept"))->data, QByteArray("yes", 4));
    QVERIFY(!store.value(key, QStringLiteral("lost0")).has_value());

    // The dead writer's lock and temporary file do not block the next write.
    QVERIFY(store.setValue(key, QStringLiteral("after"), RegValue::fromString(QStringLiteral("1"))));
    QVERIFY(store.value(key, QStringLiteral("kept")).has_value());
    QDir dir(platform.path(QStringLiteral("Registry")));
    QCOMPARE(dir.entryList({QStringLiteral(".*.tmp-*")}, QDir::Files | QDir::Hidden), QStringList());
}

void tst_RegistryStore::concurrentWritersLoseNothing()
{
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    const int count = 120;
    QProcess a, b;
    a.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--child-writer"), path, QStringLiteral("a"), QString::number(count)});
    b.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--child-writer"), path, QStringLiteral("b"), QString::number(count)});
    QVERIFY(a.waitForFinished(120000));
    QVERIFY(b.waitForFinished(120000));
    QCOMPARE(a.exitCode(), 0);
    QCOMPARE(b.exitCode(), 0);

    RegistryStore store(path, kRoot);
    const QString key = QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Events");
    QCOMPARE(store.values(key).size(), 2 * count);
    for (int i = 0; i < count; ++i) {
        QVERIFY(store.value(key, QStringLiteral("a%1").arg(i)).has_value());
        QVERIFY(store.value(key, QStringLiteral("b%1").arg(i)).has_value());
    }
}

void tst_RegistryStore::untouchedBytesSurviveAWrite_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray header = "Windows Registry Editor Version 5.00\n\n";
    QTest::newRow("key name not UTF-8")
        << storeWith(header, "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ostrany\\Velmaro\\Caf\xe9]\n\"x\"=\"1\"\n");
    QTest::newRow("value name not UTF-8") << storeWith(header, "\"Gr\xfc\xdf" "e\"=\"1\"\n");
    QTest::newRow("value name and text not UTF-8") << storeWith(header, "\"\xe0\"=\"M\xfc" "nchen\"\n");
    QTest::newRow("CR LF line ends")
        << storeWith("Windows Registry Editor Version 5.00\r\n\r\n", "\"lHeight\"=\"7440\"\r\n", "\r\n");
    QTest::newRow("comments and blank lines")
        << storeWith(header + "; written by hand\n", "\n\n; the height\n\"lHeight\"=\"7440\"\n\n; end\n");
    QTest::newRow("byte-order mark") << storeWith("\xEF\xBB\xBF" + header, "");
    QTest::newRow("hex over continuation lines")
        << storeWith(header, "\"b\"=hex:00,01,02,03,\\\n  04,05,\\\n  06\n\"m\"=hex(7):61,00,\\\n  00,00\n");
    QTest::newRow("capital hex digits") << storeWith(header, "\"n\"=dword:0000ABCD\n\"b\"=hex:0A,FF\n");
    QTest::newRow("blanks around the equals sign") << storeWith(header, "\"s\" = \"x\"\n");
    QTest::newRow("no line break at the end") << storeWith(header, "\"z\"=\"last\"");
    QTest::newRow("older header") << storeWith("REGEDIT4\n\n", "\"a\"=\"1\"\n");
}

// A write changes the one line it is about; every other byte of the file (names that are
// not UTF-8, comments, line ends, the layout of long values) stays as it was.
void tst_RegistryStore::untouchedBytesSurviveAWrite()
{
    QFETCH(QByteArray, text);
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    QVERIFY(TestFiles::WriteBytes(path, text));
    RegistryStore store(path, kRoot);
    QCOMPARE(store.status(), RegistryStore::Status::Ok);
    QVERIFY(store.setValue(kGeneral, QStringLiteral("lWidth"), RegValue::fromString(QStringLiteral("15000"))));
    QByteArray expected = text;
    expected.replace("\"lWidth\"=\"1\"", "\"lWidth\"=\"15000\"");
    QCOMPARE(TestFiles::ReadBytes(path), expected);
    // Writing a value as it already is leaves the file as it is.
    QVERIFY(store.setValue(kGeneral, QStringLiteral("lWidth"), RegValue::fromString(QStringLiteral("15000"))));
    QCOMPARE(TestFiles::ReadBytes(path), expected);
}

// A long binary value spread over continuation lines, as exported files hold them, is read
// in one pass: a parse that joined the lines one by one took minutes for this size (and
// the first write after it as long). The bound is far above what a linear read needs.
void tst_RegistryStore::longHexValueOverManyLines()
{
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    QByteArray data(400 * 1024, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + 3) & 0xFF);
    QByteArray hex = "\"Blob\"=hex:";
    for (qsizetype i = 0; i < data.size(); ++i) {
        hex += QByteArray::number(static_cast<unsigned char>(data[i]), 16).rightJustified(2, '0');
        if (i + 1 < data.size())
            hex += (i % 25 == 24) ? ",\\\n  " : ",";
    }
    const QByteArray text = storeWith("Windows Registry Editor Version 5.00\n\n", hex + "\n");
    QVERIFY(TestFiles::WriteBytes(path, text));

    QElapsedTimer clock;
    clock.start();
    RegistryStore store(path, kRoot);
    const auto blob = store.value(kGeneral, QStringLiteral("Blob"));
    QVERIFY(blob.has_value());
    QCOMPARE(blob->type, int(REG_BINARY));
    QVERIFY(blob->data == data);
    QVERIFY(store.setValue(kGeneral, QStringLiteral("lWidth"), RegValue::fromString(QStringLiteral("15000"))));
    QVERIFY2(clock.elapsed() < 60000, qPrintable(QString::number(clock.elapsed())));
    QByteArray expected = text;
    expected.replace("\"lWidth\"=\"1\"", "\"lWidth\"=\"15000\"");
    QVERIFY(TestFiles::ReadBytes(path) == expected);
}

void tst_RegistryStore::storeThatIsNoFileNeverBlocks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("pipe") << "pipe";
    QTest::newRow("link to a pipe") << "link to a pipe";
    QTest::newRow("link to an endless device") << "link to /dev/zero";
}

// A pipe or a device under the store's name is refused as unreadable at once: opening a
// pipe waits for a writer that never comes, and a device may never end.
void tst_RegistryStore::storeThatIsNoFileNeverBlocks()
{
    QFETCH(QString, kind);
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    const QString pipe = platform.path(QStringLiteral("pipe"));
    QVERIFY(QFile::remove(path));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    if (kind == "pipe")
        QVERIFY(QFile::rename(pipe, path));
    else
        QVERIFY(QFile::link(kind == "link to a pipe" ? pipe : QStringLiteral("/dev/zero"), path));

    RegistryStore store(path, kRoot);
    RegistryStore::Status status = RegistryStore::Status::Ok;
    bool written = true;
    const bool returned = finishesWithin(
        5000,
        [&] {
            status = store.status();
            written = store.setValue(kGeneral, QStringLiteral("lWidth"), RegValue::fromString(QStringLiteral("1")));
        },
        kind == "pipe" ? path : pipe);
    QVERIFY(returned);
    QCOMPARE(status, RegistryStore::Status::Unreadable);
    QVERIFY(!written);
    QCOMPARE(store.lastError(), path + QStringLiteral(" cannot be read: it is not a regular file"));
    QVERIFY(!store.keyExists(kGeneral));
}

void tst_RegistryStore::lockThatCannotBeTakenFailsAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << "folder";
    QTest::newRow("pipe") << "pipe";
}

// A lock that can never be taken fails the write at once and says why; a wait would only
// hold up the program (at its exit, once per value) and end the same way.
void tst_RegistryStore::lockThatCannotBeTakenFailsAtOnce()
{
    QFETCH(QString, kind);
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    const QString lock = path + QStringLiteral(".lock");
    if (kind == "folder")
        QVERIFY(QDir().mkdir(lock));
    else
        QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0644), 0);
    const QByteArray before = TestFiles::ReadBytes(path);

    RegistryStore store(path, kRoot);
    bool written = true;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(finishesWithin(
        5000,
        [&] {
            written = store.setValue(kGeneral, QStringLiteral("lWidth"), RegValue::fromString(QStringLiteral("2")));
        },
        kind == "pipe" ? lock : QString()));
    QVERIFY(!written);
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    const QString why = kind == "folder" ? QStringLiteral("its lock %1 cannot be opened: %2").arg(lock, systemText(EISDIR))
                                         : QStringLiteral("its lock %1 is not a file").arg(lock);
    QCOMPARE(store.lastError(), path + QStringLiteral(" cannot be written: ") + why);
    QCOMPARE(TestFiles::ReadBytes(path), before);
    // Reading is not held up either.
    QVERIFY(store.keyExists(kGeneral));
}

void tst_RegistryStore::failedWritesOnASmallDiskSayWhy_data()
{
    QTest::addColumn<QString>("disk");
    QTest::addColumn<int>("error");
    QTest::newRow("full disk") << "full" << ENOSPC;
    QTest::newRow("read-only disk") << "read-only" << EROFS;
}

// A write the disk does not take fails with the file and the system's reason, and leaves
// the file and no temporary file behind.
void tst_RegistryStore::failedWritesOnASmallDiskSayWhy()
{
    QFETCH(QString, disk);
    QFETCH(int, error);
    TestPlatform platform;
    const QString folder = platform.path(QStringLiteral("Registry"));
    const QString path = folder + QStringLiteral("/HKEY_LOCAL_MACHINE.reg");
    const QByteArray before = TestFiles::ReadBytes(path);
    SmallDisk small;
    QString why;
    if (!small.mount(folder, why))
        QSKIP(qPrintable("This machine gives the test no disk of its own (" + why + ")"));
    QVERIFY(TestFiles::WriteBytes(path, before));
    RegistryStore store(path, kRoot);
    QVERIFY(store.keyExists(kGeneral));
    if (disk == "full")
        small.fill();
    else
        QVERIFY(small.readOnly());

    QVERIFY(!store.setValue(kGeneral, QStringLiteral("lWidth"), RegValue::fromString(QString(300, u'9'))));
    QVERIFY2(store.lastError().startsWith(path + QStringLiteral(" cannot be written: ")), qPrintable(store.lastError()));
    QVERIFY2(store.lastError().endsWith(systemText(error)), qPrintable(store.lastError()));
    QCOMPARE(TestFiles::ReadBytes(path), before);
    QVERIFY(!store.value(kGeneral, QStringLiteral("lWidth")).has_value()
            || store.value(kGeneral, QStringLiteral("lWidth"))->data != RegValue::fromString(QString(300, u'9')).data);
    QCOMPARE(QDir(folder).entryList({QStringLiteral(".*.tmp-*")}, QDir::Files | QDir::Hidden), QStringList());
}

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--child-writer") == 0) {
        QCoreApplication app(argc, argv);
        return runChildWriter(app.arguments().mid(2));
    }
    QApplication app(argc, argv);
    tst_RegistryStore t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_registrystore.moc"
