// The registry class over the settings store, and start with the desktop session.
#include "common/mdlModes.h"
#include "common/RegistryRoutines.h"
#include "common/mdlRunOnStart.h"
#include "platform/AutostartService.h"
#include "platform/RegistryStore.h"
#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <cstring>

namespace {

RegistryRoutines productKey(const QString& subkey = QStringLiteral("General"))
{
    RegistryRoutines r;
    r.setHkey(HKEY_LOCAL_MACHINE);
    r.setKeyRoot(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro"));
    r.setSubkey(subkey);
    return r;
}

// Stores a raw value, as another program (or an older version) might have left it.
void putRaw(const QString& name, const RegValue& v)
{
    QVERIFY(RegistryStore::forRoot(QStringLiteral("HKEY_LOCAL_MACHINE"))
                .setValue(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\General"), name, v));
}

} // namespace

Q_DECLARE_METATYPE(RegValue)

class tst_RegistryRoutines : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitProductProfile(); }
    void keyExists();
    void readByType_data();
    void readByType();
    void missingValuesGiveTheDefault();
    void writeAndReadBack();
    void writeIntoMissingKeyFails();
    void failedWritesAreSaidOnce_data();
    void failedWritesAreSaidOnce();
    void deleteValue();
    void emptySubkeyNamesTheKeyRoot();
    void otherMembers();
    void trimNull();
    void runOnStart();
    void runOnStartCommandLine_data();
    void runOnStartCommandLine();
    void runOnStartUnreadableIsNotRegistered_data();
    void runOnStartUnreadableIsNotRegistered();
};

void tst_RegistryRoutines::keyExists()
{
    TestPlatform platform;
    for (const char* sub : {"General", "Events", "ID3 Tags", "Display", "Formats\\WAV", "Formats\\ACM", "Formats\\MP3",
                            "Formats\\WMA", "Formats\\OGG", "Formats\\APE"})
        QVERIFY2(productKey(QLatin1String(sub)).KeyExists(), sub);
    QVERIFY(!productKey(QStringLiteral("Nope")).KeyExists());
    RegistryRoutines noRoot;
    noRoot.setKeyRoot(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro"));
    QVERIFY(!noRoot.KeyExists());
}

void tst_RegistryRoutines::readByType_data()
{
    QTest::addColumn<RegValue>("stored");
    QTest::addColumn<QVariant>("expected");
    const QVariant dflt(QStringLiteral("default"));
    QTest::newRow("text") << RegValue::fromString(QStringLiteral("abc")) << QVariant(QStringLiteral("abc"));
    QTest::newRow("text of data size 1") << RegValue{REG_SZ, QByteArray("\0", 1)} << QVariant(QString());
    QTest::newRow("text of data size 0") << RegValue{REG_SZ, QByteArray()} << dflt;
    QTest::newRow("long text") << RegValue::fromString(QString(3000, u'x')) << QVariant(QString(3000, u'x'));
    QTest::newRow("dword -1") << RegValue::fromDword(-1) << QVariant(qint32(-1));
    QTest::newRow("dword") << RegValue::fromDword(13140) << QVariant(qint32(13140));
    QTest::newRow("binary") << RegValue::fromBinary(QByteArray("\x01\x02", 2)) << QVariant(QByteArray("\x01\x02", 2));
    QTest::newRow("multi a b") << RegValue{REG_MULTI_SZ, QByteArray("a\0b\0\0", 5)}
                               << QVariant(QString::fromLatin1("a\0b", 3));
    QTest::newRow("multi, first string empty") << RegValue{REG_MULTI_SZ, QByteArray("\0b\0\0", 4)} << dflt;
    QTest::newRow("expand") << RegValue::fromString(QStringLiteral("%VELMARO_TEST_X%/y %UNSET_NAME_Q%"), REG_EXPAND_SZ)
                            << QVariant(QStringLiteral("xx/y %UNSET_NAME_Q%"));
    QTest::newRow("unknown type") << RegValue{11, QByteArray(8, 'a')} << dflt;
}

void tst_RegistryRoutines::readByType()
{
    QFETCH(RegValue, stored);
    QFETCH(QVariant, expected);
    TestPlatform platform;
    qputenv("VELMARO_TEST_X", "xx");
    putRaw(QStringLiteral("v"), stored);
    QCOMPARE(productKey().GetRegistryValue(QStringLiteral("v"), QStringLiteral("default")), expected);
}

void tst_RegistryRoutines::missingValuesGiveTheDefault()
{
    TestPlatform platform;
    QCOMPARE(productKey().GetRegistryValue(QStringLiteral("nothing"), 13140), QVariant(13140));
    QVERIFY(!productKey().GetRegistryValue(QStringLiteral("nothing")).isValid());
    QCOMPARE(productKey(QStringLiteral("Missing")).GetRegistryValue(QStringLiteral("x"), QStringLiteral("d")),
             QVariant(QStringLiteral("d")));
}

void tst_RegistryRoutines::writeAndReadBack()
{
    TestPlatform platform;
    RegistryRoutines r = productKey();
    QVERIFY(r.SetRegistryValue(QStringLiteral("txtToPath"), QStringLiteral("/home/u/Main/"), 1));
    QCOMPARE(r.GetRegistryValue(QStringLiteral("txtToPath")), QVariant(QStringLiteral("/home/u/Main/")));
    QVERIFY(r.SetRegistryValue(QStringLiteral("n"), 0xFFFFFFFFu, 4));
    QCOMPARE(r.GetRegistryValue(QStringLiteral("n")), QVariant(qint32(-1)));
    QVERIFY(r.SetRegistryValue(QStringLiteral("b"), QByteArray("\0\1", 2), 3));
    QCOMPARE(r.GetRegistryValue(QStringLiteral("b")), QVariant(QByteArray("\0\1", 2)));
    QVERIFY(!r.SetRegistryValue(QStringLiteral("t"), QStringLiteral("x"), 99));  // no such type
}

void tst_RegistryRoutines::writeIntoMissingKeyFails()
{
    TestPlatform platform;
    RegistryRoutines r = productKey(QStringLiteral("Missing"));
    QVERIFY(!r.SetRegistryValue(QStringLiteral("x"), QStringLiteral("1"), 1));
    QVERIFY(!r.KeyExists());
    QVERIFY(!r.GetRegistryValue(QStringLiteral("x")).isValid());
}

void tst_RegistryRoutines::failedWritesAreSaidOnce_data()
{
    QTest::addColumn<QString>("subkey");
    QTest::addColumn<bool>("lockIsFolder");
    QTest::addColumn<QString>("why");  // %1 stands for the store's file; empty: nothing to say
    QTest::newRow("written") << "General" << false << QString();
    // The program creates none of its keys: a write into a missing one is lost quietly.
    QTest::newRow("key missing") << "Missing" << false << QString();
    QTest::newRow("lock cannot be taken")
        << "General" << true
        << QStringLiteral("%1 cannot be written: its lock %1.lock cannot be opened: ")
            + QString::fromLocal8Bit(std::strerror(EISDIR));
}

// A group of writes that did not reach the store is said once, with what was not saved,
// the values and why; a group that was written, or went into a missing key, says nothing.
void tst_RegistryRoutines::failedWritesAreSaidOnce()
{
    QFETCH(QString, subkey);
    QFETCH(bool, lockIsFolder);
    QFETCH(QString, why);
    TestPlatform platform;
    const QString store = RegistryStore::rootFilePath(QStringLiteral("HKEY_LOCAL_MACHINE"));
    if (lockIsFolder)
        QVERIFY(QDir().mkdir(store + QStringLiteral(".lock")));
    RegistryRoutines r = productKey(subkey);
    SettingsWriteCheck check;
    for (const char* name : {"lHeight", "lWidth"})
        check.Note(r.SetRegistryValue(QLatin1String(name), QStringLiteral("9000"), 1), r, QLatin1String(name));
    if (why.isEmpty()) {
        QVERIFY(r.LastWriteError().isEmpty());
        QVERIFY(check.Tell(QStringLiteral("The window size")));
        QVERIFY(platform.messages().shown.isEmpty());
        QCOMPARE(r.GetRegistryValue(QStringLiteral("lWidth")).toString(),
                 r.KeyExists() ? QStringLiteral("9000") : QString());
        return;
    }
    const QString reason = why.arg(store);
    QCOMPARE(r.LastWriteError(), reason);
    platform.messages().answers.enqueue(vbOK);
    QVERIFY(!check.Tell(QStringLiteral("The window size")));
    QCOMPARE(platform.messages().shown.size(), 1);
    QCOMPARE(platform.messages().shown[0].prompt,
             QStringLiteral("The window size could not be saved: ") + reason + QStringLiteral(".\r\n\r\nNot saved: lHeight, lWidth."));
    QCOMPARE(platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
}

void tst_RegistryRoutines::deleteValue()
{
    TestPlatform platform;
    RegistryRoutines r = productKey();
    QVERIFY(r.SetRegistryValue(QStringLiteral("x"), QStringLiteral("1"), 1));
    QCOMPARE(r.DeleteValue(QStringLiteral("x")), 0);
    QCOMPARE(r.DeleteValue(QStringLiteral("x")), 2);
    QVERIFY(!r.GetRegistryValue(QStringLiteral("x")).isValid());
}

void tst_RegistryRoutines::emptySubkeyNamesTheKeyRoot()
{
    TestPlatform platform;
    RegistryRoutines r = productKey(QString());
    QVERIFY(r.KeyExists());
    QVERIFY(r.SetRegistryValue(QStringLiteral("top"), QStringLiteral("1"), 1));
    QCOMPARE(RegistryStore::forRoot(QStringLiteral("HKEY_LOCAL_MACHINE"))
                 .value(QStringLiteral("SOFTWARE\\Ostrany\\Velmaro"), QStringLiteral("top"))
                 ->data,
             QByteArray("1", 2));
}

void tst_RegistryRoutines::otherMembers()
{
    TestPlatform platform;
    RegistryRoutines r = productKey(QStringLiteral("New"));
    QCOMPARE(r.CreateKey(), QStringLiteral("0"));
    QVERIFY(r.KeyExists());
    QCOMPARE(r.CreateKey(QStringLiteral("Other\\Deeper")), QStringLiteral("0"));
    QCOMPARE(r.EnumRegistryKeys(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Other")),
             QStringList{QStringLiteral("Deeper")});
    QCOMPARE(r.DeleteKey(QStringLiteral("New")), 0);
    QVERIFY(!r.KeyExists());
    QCOMPARE(r.DeleteKey(QStringLiteral("Never")), 0);

    RegistryRoutines g = productKey(QStringLiteral("Events"));
    g.SetRegistryValue(QStringLiteral("a"), QStringLiteral("1"), 1);
    g.SetRegistryValue(QStringLiteral("b"), QStringLiteral("2"), 1);
    QCOMPARE(g.EnumRegistryValues(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Ostrany\\Velmaro\\Events")),
             (QStringList{"a", "b"}));
    QCOMPARE(g.EnumRegistryKeys(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Nope")), QStringList());

    QCOMPARE(g.ReadRemoteRegistryValue(QStringLiteral("\\\\far-away-host"), HKEY_LOCAL_MACHINE, QStringLiteral("a")),
             QVariant(QStringLiteral("Error!")));
    QCOMPARE(g.ReadRemoteRegistryValue(QString(), HKEY_LOCAL_MACHINE, QStringLiteral("a")),
             QVariant(QStringLiteral("1")));
    QVERIFY(!g.WriteRemoteRegistryValue(QStringLiteral("far-away-host"), HKEY_LOCAL_MACHINE, QStringLiteral("c"),
                                        QStringLiteral("3"), 1));
}

void tst_RegistryRoutines::trimNull()
{
    QString s = QString::fromLatin1("abc\0def", 7);
    QCOMPARE(RegistryRoutines::TrimNull(s), QStringLiteral("abc"));
    QCOMPARE(s, QStringLiteral("abc"));
    QString plain = QStringLiteral("plain");
    QCOMPARE(RegistryRoutines::TrimNull(plain), QStringLiteral("plain"));
}

void tst_RegistryRoutines::runOnStart()
{
    TestPlatform platform;
    QVERIFY(!IsRunOnStart());
    SetRunOnStart(true);
    QVERIFY(IsRunOnStart());
    const QString entry = XdgAutostartService::entryPath(g_sAppName);
    QVERIFY(entry.startsWith(platform.home()));
    QFile f(entry);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    QVERIFY(text.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath() + QStringLiteral("\" -st\n")));
    QVERIFY(RunOnStartCommandLine().endsWith(QStringLiteral("\" -st")));
    SetRunOnStart(false);
    QVERIFY(!QFile::exists(entry));
    QVERIFY(!IsRunOnStart());
}

void tst_RegistryRoutines::runOnStartCommandLine_data()
{
    // The program file, and the command line the desktop entry's Exec holds for it.
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("commandLine");
    QTest::newRow("plain name") << "/opt/velmaro/velmaro" << "\"/opt/velmaro/velmaro\" -st";
    QTest::newRow("name with an extension") << "/opt/velmaro/velmaro.bin" << "\"/opt/velmaro/velmaro.bin\" -st";
    QTest::newRow("dots in name and folder") << "/opt/v.1/velmaro.2.0" << "\"/opt/v.1/velmaro.2.0\" -st";
    QTest::newRow("quote, dollar, backquote, backslash")
        << "/opt/a\"b$c`d\\e/velmaro" << "\"/opt/a\\\"b\\$c\\`d\\\\e/velmaro\" -st";
    QTest::newRow("percent sign") << "/opt/100%/velmaro" << "\"/opt/100%%/velmaro\" -st";
    QTest::newRow("blanks") << "/opt/my tools/velmaro" << "\"/opt/my tools/velmaro\" -st";
}

void tst_RegistryRoutines::runOnStartCommandLine()
{
    QFETCH(QString, program);
    QFETCH(QString, commandLine);
    QCOMPARE(RunOnStartCommandLine(program), commandLine);
}

void tst_RegistryRoutines::runOnStartUnreadableIsNotRegistered_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("registered");
    const QByteArray exec = "Exec=" + RunOnStartCommandLine().replace(u'\\', QStringLiteral("\\\\")).toUtf8() + "\n";
    QTest::newRow("exact") << QByteArray("[Desktop Entry]\nType=Application\n" + exec) << true;
    QTest::newRow("other folder") << QByteArray("[Desktop Entry]\nExec=\"/elsewhere/velmaro\" -st\n") << false;
    QTest::newRow("other case") << QByteArray("[Desktop Entry]\n" + exec.toUpper()) << false;
    QTest::newRow("no Exec") << QByteArray("[Desktop Entry]\nType=Application\n") << false;
    QTest::newRow("binary data") << QByteArray("\0\1\2\3", 4) << false;
    QTest::newRow("disabled") << QByteArray("[Desktop Entry]\n" + exec + "Hidden=true\n") << false;
    QTest::newRow("bad escape") << QByteArray("[Desktop Entry]\nExec=\"/a\\q\" -st\n") << false;
}

void tst_RegistryRoutines::runOnStartUnreadableIsNotRegistered()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, registered);
    TestPlatform platform;
    const QString entry = XdgAutostartService::entryPath(g_sAppName);
    QDir().mkpath(QFileInfo(entry).absolutePath());
    QFile f(entry);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QCOMPARE(IsRunOnStart(), registered);

    // An entry that cannot be opened at all is not registered either.
    if (registered) {
        QFile::setPermissions(entry, QFileDevice::Permissions());
        if (!QFile(entry).open(QIODevice::ReadOnly))  // root reads anything
            QVERIFY(!IsRunOnStart());
    }
}

QTEST_MAIN(tst_RegistryRoutines)
#include "tst_registryroutines.moc"
