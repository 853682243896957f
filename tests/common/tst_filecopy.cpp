// File copy: the chunked copy and its percentage, a copy onto the source itself refused,
// failures (disk full, a missing or changing source) that leave the destination as it
// was and no partial file, a large copy that keeps the event loop turning, and the
// file-copy window from its start timer to closing itself.
#include "common/FileCopyClass.h"
#include "common/frmFileCopy.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray randomBytes(qint64 n, quint32 seed)
{
    QByteArray b(n, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (qint64 i = 0; i < n; ++i)
        b[i] = char(gen.generate() & 0xFF);
    return b;
}

// Every name in the folder: a failed copy must leave no temporary file behind.
QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Records the copy's percentage at every turn it gives the event loop.
struct TurnRecorder {
    explicit TurnRecorder(const FileCopyClass& copy)
    {
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [this, &copy] {
            percents << copy.PercentREady();
            if (clock.isValid())
                longestGapMs = qMax(longestGapMs, clock.restart());
            else
                clock.start();
        });
        timer.start();
    }
    QTimer timer;
    QList<int> percents;
    QElapsedTimer clock;
    qint64 longestGapMs = 0;
};

// Limits the size of files this process may write, as a full disk does.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old;
        lim.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    rlimit old {};
    void (*oldHandler)(int) = nullptr;
};

} // namespace

class tst_FileCopy : public QObject
{
    Q_OBJECT
private slots:
    void chunks_data();
    void chunks();
    void replacesExistingDestination();
    void longestNames_data();
    void longestNames();
    void ontoItself_data();
    void ontoItself();
    void missingSource();
    void diskFull();
    void sourceChangesDuringCopy();
    void destinationAppearsDuringCopy();
    void noSuchFolder();
    void largeCopyKeepsTurning();
    void windowCopies();
    void windowRefusesClosingWhileCopying();
    void windowReportsFailure();
};

void tst_FileCopy::chunks_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("cache");
    QTest::addColumn<QList<int>>("percents");  // at the turn given to the event loop after each chunk
    QTest::newRow("20000 in 8000s: written in 16000 and 4000") << qint64(20000) << 8000 << QList<int>{0, 80, 80};
    QTest::newRow("exactly one chunk: one read, written at the end") << qint64(8000) << 8000 << QList<int>{0};
    QTest::newRow("two chunks") << qint64(16000) << 8000 << QList<int>{0, 100};
    QTest::newRow("shorter than a chunk: one read and write") << qint64(5000) << 8000 << QList<int>{};
    QTest::newRow("empty source") << qint64(0) << 8000 << QList<int>{};
    QTest::newRow("default chunk of 32000") << qint64(100000) << 0 << QList<int>{0, 64, 64, 100};
    QTest::newRow("odd sizes") << qint64(8001) << 4000 << QList<int>{0, 100, 100};
}

void tst_FileCopy::chunks()
{
    QFETCH(qint64, size);
    QFETCH(int, cache);
    QFETCH(QList<int>, percents);
    QTemporaryDir dir;
    const QByteArray data = randomBytes(size, quint32(size));
    TestFiles::WriteBytes(dir.filePath(QStringLiteral("src.bin")), data);
    FileCopyClass copy;
    QCOMPARE(copy.PercentREady(), 0);
    QVERIFY(!copy.Sucessfull());
    copy.SetCacheSize(cache);
    TurnRecorder turns(copy);
    copy.Copy(dir.filePath(QStringLiteral("src.bin")), dir.filePath(QStringLiteral("dst.bin")));
    QVERIFY(copy.Sucessfull());
    QCOMPARE(copy.ErrorText(), QString());
    // The turns while reading show the percentages; any further turns, while the copy
    // waits for the disk, show the last one.
    QVERIFY(turns.percents.size() >= percents.size());
    QCOMPARE(turns.percents.mid(0, percents.size()), percents);
    for (int i = int(percents.size()); i < turns.percents.size(); ++i)
        QCOMPARE(turns.percents[i], percents.isEmpty() ? 0 : percents.last());
    QCOMPARE(TestFiles::ReadBytes(dir.filePath(QStringLiteral("dst.bin"))), data);
    QCOMPARE(copy.SecondsTaken(), 0);
    QCOMPARE(entries(dir.path()), (QStringList{"dst.bin", "src.bin"}));
}

void tst_FileCopy::replacesExistingDestination()
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("a.wav"));
    const QString dst = dir.filePath(QStringLiteral("b.wav"));
    TestFiles::WriteBytes(src, "short");
    TestFiles::WriteBytes(dst, randomBytes(50000, 1));
    QFile::setPermissions(dst, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    FileCopyClass copy;
    copy.SetCacheSize(8000);
    copy.Copy(src, dst);
    QVERIFY(copy.Sucessfull());
    QCOMPARE(TestFiles::ReadBytes(dst), QByteArray("short"));
    // The replaced file keeps its permissions.
    const QFileDevice::Permissions unixBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
        | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
        | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions(dst) & unixBits, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
}

// A copy may be saved under any name the file system allows, up to 255 bytes: the
// temporary file beside it is named short.
void tst_FileCopy::longestNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("244 bytes") << QString(240, u'a') + QStringLiteral(".wav");
    QTest::newRow("255 bytes") << QString(251, u'b') + QStringLiteral(".wav");
}

void tst_FileCopy::longestNames()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("a.wav"));
    const QByteArray bytes = randomBytes(20000, 3);
    TestFiles::WriteBytes(src, bytes);
    FileCopyClass copy;
    copy.Copy(src, dir.filePath(name));
    QVERIFY(copy.Sucessfull());
    QCOMPARE(TestFiles::ReadBytes(dir.filePath(name)), bytes);
    QCOMPARE(entries(dir.path()), (QStringList{QStringLiteral("a.wav"), name}));
}

void tst_FileCopy::ontoItself_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("the same path") << "same";
    QTest::newRow("through another folder name") << "dotdot";
    QTest::newRow("through a link to it") << "symlink";
    QTest::newRow("a second name of the same file") << "hardlink";
}

void tst_FileCopy::ontoItself()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    QDir().mkdir(dir.filePath(QStringLiteral("sub")));
    const QString src = dir.filePath(QStringLiteral("song.wav"));
    const QByteArray data = randomBytes(40000, 7);
    TestFiles::WriteBytes(src, data);
    QString dst = src;
    if (how == QLatin1String("dotdot"))
        dst = dir.filePath(QStringLiteral("sub/../song.wav"));
    else if (how == QLatin1String("symlink"))
        QVERIFY(QFile::link(src, dst = dir.filePath(QStringLiteral("link.wav"))));
    else if (how == QLatin1String("hardlink"))
        QCOMPARE(::link(QFile::encodeName(src).constData(),
                        QFile::encodeName(dst = dir.filePath(QStringLiteral("hard.wav"))).constData()),
                 0);
    const QStringList before = entries(dir.path());
    FileCopyClass copy;
    copy.SetCacheSize(8000);
    copy.Copy(src, dst);
    QVERIFY(!copy.Sucessfull());
    QVERIFY(copy.SameFile());
    QVERIFY(copy.ErrorText().contains(QLatin1String("onto itself")));
    QCOMPARE(TestFiles::ReadBytes(src), data);
    QCOMPARE(entries(dir.path()), before);
}

void tst_FileCopy::missingSource()
{
    QTemporaryDir dir;
    const QString dst = dir.filePath(QStringLiteral("dst.bin"));
    TestFiles::WriteBytes(dst, "keep me");
    FileCopyClass copy;
    copy.Copy(dir.filePath(QStringLiteral("nothing.bin")), dst);
    QVERIFY(!copy.Sucessfull());
    QVERIFY(copy.ErrorText().contains(QLatin1String("cannot be found")));
    QCOMPARE(TestFiles::ReadBytes(dst), QByteArray("keep me"));
    // A folder is not a file to copy.
    copy.Copy(dir.path(), dir.filePath(QStringLiteral("x")));
    QVERIFY(!copy.Sucessfull());
    QCOMPARE(entries(dir.path()), QStringList{"dst.bin"});
}

void tst_FileCopy::diskFull()
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("big.bin"));
    const QString dst = dir.filePath(QStringLiteral("old.bin"));
    const QByteArray data = randomBytes(300000, 3);
    TestFiles::WriteBytes(src, data);
    TestFiles::WriteBytes(dst, "the old destination");
    FileCopyClass copy;
    copy.SetCacheSize(8000);
    {
        FileSizeLimit full(100000);
        copy.Copy(src, dst);
    }
    QVERIFY(!copy.Sucessfull());
    QVERIFY2(copy.ErrorText().contains(QLatin1String("could not be copied")), qPrintable(copy.ErrorText()));
    // Nothing half-written: the old destination as it was, no temporary file, the source whole.
    QCOMPARE(TestFiles::ReadBytes(dst), QByteArray("the old destination"));
    QCOMPARE(TestFiles::ReadBytes(src), data);
    QCOMPARE(entries(dir.path()), (QStringList{"big.bin", "old.bin"}));
    // A short file that fails in its one write likewise.
    TestFiles::WriteBytes(src, randomBytes(2000, 4));
    {
        FileSizeLimit full(1000);
        copy.Copy(src, dir.filePath(QStringLiteral("new.bin")));
    }
    QVERIFY(!copy.Sucessfull());
    QCOMPARE(entries(dir.path()), (QStringList{"big.bin", "old.bin"}));
}

void tst_FileCopy::sourceChangesDuringCopy()
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src.bin"));
    TestFiles::WriteBytes(src, randomBytes(100000, 5));
    FileCopyClass copy;
    copy.SetCacheSize(8000);
    // Another program cuts the source short while the copy runs.
    QTimer::singleShot(0, [&] { QFile::resize(src, 30000); });
    copy.Copy(src, dir.filePath(QStringLiteral("dst.bin")));
    QVERIFY(!copy.Sucessfull());
    QVERIFY(copy.ErrorText().contains(QLatin1String("changed")));
    QCOMPARE(entries(dir.path()), QStringList{"src.bin"});
}

// A file that takes the destination's name while the copy runs (another program's) is
// left as it is and the copy fails saying so; a destination that was there when the copy
// began was chosen to be replaced, and is, but no other file that took its name since.
void tst_FileCopy::destinationAppearsDuringCopy()
{
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src.bin"));
    const QString dst = dir.filePath(QStringLiteral("dst.bin"));
    const QByteArray data = randomBytes(100000, 6);
    TestFiles::WriteBytes(src, data);
    FileCopyClass copy;
    copy.SetCacheSize(8000);
    // The copy fails saying why, and the other program's file and no other stay.
    const auto leftAlone = [&] {
        QVERIFY(!copy.Sucessfull());
        QCOMPARE(copy.ErrorText(), QStringLiteral("The file '%1' could not be copied to '%2': a file of that name "
                                                  "appeared while it was being copied, and it is left as it is")
                                       .arg(src, dst));
        QCOMPARE(TestFiles::ReadBytes(dst), QByteArray("another program's file"));
        QCOMPARE(entries(dir.path()), (QStringList{"dst.bin", "src.bin"}));
    };
    QTimer::singleShot(0, [&] { TestFiles::WriteBytes(dst, "another program's file"); });
    copy.Copy(src, dst);
    leftAlone();
    if (QTest::currentTestFailed())
        return;

    // Copied again, the destination is there from the start: it is replaced.
    copy.Copy(src, dst);
    QVERIFY2(copy.Sucessfull(), qPrintable(copy.ErrorText()));
    QCOMPARE(TestFiles::ReadBytes(dst), data);
    QCOMPARE(entries(dir.path()), (QStringList{"dst.bin", "src.bin"}));

    // Again, and another program's file takes the name while the copy runs: it stays.
    QTimer::singleShot(0, [&] {
        QFile::remove(dst);
        TestFiles::WriteBytes(dst, "another program's file");
    });
    copy.Copy(src, dst);
    leftAlone();
}

void tst_FileCopy::noSuchFolder()
{
    QTemporaryDir dir;
    TestFiles::WriteBytes(dir.filePath(QStringLiteral("src.bin")), "abc");
    FileCopyClass copy;
    copy.Copy(dir.filePath(QStringLiteral("src.bin")), dir.filePath(QStringLiteral("no/such/dst.bin")));
    QVERIFY(!copy.Sucessfull());
    QVERIFY(!copy.ErrorText().isEmpty());
    copy.Copy(dir.filePath(QStringLiteral("src.bin")), dir.path());  // onto a folder
    QVERIFY(!copy.Sucessfull());
    QCOMPARE(entries(dir.path()), QStringList{"src.bin"});
}

void tst_FileCopy::largeCopyKeepsTurning()
{
    // A large sparse source (64 MB here; VELMARO_COPY_TEST_MB=1024 for the full-size run
    // by hand): the percentage climbs steadily and the event loop keeps turning.
    const qint64 mb = qEnvironmentVariableIntValue("VELMARO_COPY_TEST_MB") > 0
        ? qEnvironmentVariableIntValue("VELMARO_COPY_TEST_MB")
        : 64;
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("sparse.bin"));
    {
        QFile f(src);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(mb * 1024 * 1024 - 1));
        QVERIFY(f.seek(mb * 1024 * 1024 - 1));
        QCOMPARE(f.write("!"), 1);
    }
    FileCopyClass copy;
    copy.SetCacheSize(8000);
    TurnRecorder turns(copy);
    QElapsedTimer clock;
    clock.start();
    copy.Copy(src, dir.filePath(QStringLiteral("copy.bin")));
    const qint64 lastGap = turns.clock.elapsed();  // from the last turn to the end of the copy
    QVERIFY2(copy.Sucessfull(), qPrintable(copy.ErrorText()));
    qInfo("%lld MB in %lld ms, %lld turns, longest gap %lld ms, %lld ms after the last turn", mb, clock.elapsed(),
          qint64(turns.percents.size()), turns.longestGapMs, lastGap);
    QVERIFY(turns.percents.size() >= int((mb * 1024 * 1024 + 7999) / 8000));  // a turn after every chunk read
    for (int i = 1; i < turns.percents.size(); ++i)
        QVERIFY(turns.percents[i] >= turns.percents[i - 1]);
    QVERIFY(turns.percents.last() >= 99);
    QVERIFY2(turns.longestGapMs < 1000, "the event loop waited too long for a turn");
    QVERIFY2(lastGap < 1000, "the event loop waited too long at the end of the copy");
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("copy.bin"))).size(), mb * 1024 * 1024);
    QFile c(dir.filePath(QStringLiteral("copy.bin")));
    c.open(QIODevice::ReadOnly);
    c.seek(c.size() - 1);
    QCOMPARE(c.read(1), QByteArray("!"));
}

void tst_FileCopy::windowCopies()
{
    TestPlatform platform;
    const QString src = platform.path(QStringLiteral("Main/a.wav"));
    const QString dst = platform.path(QStringLiteral("b.wav"));
    const QByteArray data = randomBytes(50000, 9);
    TestFiles::WriteBytes(src, data);

    // What the "Save As" command does: load, hand over, arm the start timer, show modally.
    frmFileCopy* f = g_frmFileCopy();
    QCOMPARE(f->windowTitle(), QStringLiteral("File Copy"));
    QCOMPARE(f->lblState->text(), QStringLiteral("State"));
    f->g_sSourceFile = src;
    f->g_sDestFile = dst;
    f->lblFrom->setText(src);
    f->lblTo->setText(dst);
    f->tmrStart.start();
    QString stateAfter;
    int barAfter = -1;
    platform.modal().handlers.enqueue([&](VForm* w) {
        auto* win = static_cast<frmFileCopy*>(w);
        QTRY_VERIFY(win->lblState->text() == QLatin1String("Ready"));
        stateAfter = win->lblState->text();
        barAfter = win->ProgressBar1->Value();
        QVERIFY(win->cmdExit->isEnabled());
        QVERIFY(win->tmrEnd.isActive());
    });
    f->Show(vbModal);
    // About 100 ms after the copy the window closes itself.
    QTRY_VERIFY(!Forms::IsLoaded<frmFileCopy>());
    QCOMPARE(stateAfter, QStringLiteral("Ready"));
    QCOMPARE(barAfter, 100);
    QCOMPARE(TestFiles::ReadBytes(dst), data);
    QVERIFY(platform.messages().shown.isEmpty());
}

void tst_FileCopy::windowRefusesClosingWhileCopying()
{
    TestPlatform platform;
    const QString src = platform.path(QStringLiteral("src.bin"));
    TestFiles::WriteBytes(src, randomBytes(400000, 11));
    frmFileCopy* f = g_frmFileCopy();
    bool sawCopying = false;
    bool closeRefused = false;
    int barDuring = -1;
    QTimer probe;
    probe.setInterval(0);
    connect(&probe, &QTimer::timeout, this, [&] {
        if (!f->RunningCopy() || sawCopying)
            return;
        sawCopying = true;
        QCOMPARE(f->lblState->text(), QStringLiteral("Copying"));
        QVERIFY(!f->cmdOk->isEnabled() && !f->cmdExit->isEnabled());
        closeRefused = !Forms::Unload(f, vbFormControlMenu);
        f->Timer1_Timer();
        barDuring = f->ProgressBar1->Value();
    });
    probe.start();
    f->FileCopyEx(src, platform.path(QStringLiteral("dst.bin")));
    probe.stop();
    QVERIFY(sawCopying);
    QVERIFY(closeRefused);
    QVERIFY(barDuring >= 0 && barDuring < 100);
    QVERIFY(Forms::IsLoaded<frmFileCopy>());
    QCOMPARE(f->lblState->text(), QStringLiteral("Ready"));
    QCOMPARE(f->ProgressBar1->Value(), 100);
    // Ready, the window may go.
    QVERIFY(Forms::Unload(f, vbFormControlMenu));
}

void tst_FileCopy::windowReportsFailure()
{
    TestPlatform platform;
    const QString src = platform.path(QStringLiteral("song.wav"));
    TestFiles::WriteBytes(src, "the only copy");
    frmFileCopy* f = g_frmFileCopy();
    platform.messages().answers.enqueue(vbOK);
    f->FileCopyEx(src, src);
    QCOMPARE(platform.messages().shown.size(), 1);
    QCOMPARE(platform.messages().shown[0].prompt,
             QStringLiteral("The file '%1' cannot be copied onto itself.").arg(src));
    QCOMPARE(platform.messages().shown[0].buttons, vbInformation);
    QCOMPARE(TestFiles::ReadBytes(src), QByteArray("the only copy"));
    QVERIFY(f->ProgressBar1->Value() < 100);  // not shown as done
    QCOMPARE(f->lblState->text(), QStringLiteral("Ready"));
    QVERIFY(f->tmrEnd.isActive());
    QTRY_VERIFY(!Forms::IsLoaded<frmFileCopy>());
}

QTEST_MAIN(tst_FileCopy)
#include "tst_filecopy.moc"
