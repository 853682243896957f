// The settings store file: its text form, refusal of damaged files, and safety against
// a writer killed mid-write and two processes writing at once.
#include "platform/RegistryStore.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>

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
