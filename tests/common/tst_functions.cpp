// The shared helpers: paths and names, safe names, time texts, text files, the path
// history, size texts, the format lists and the file and window helpers.
#include "common/mdlFileSystem.h"
#include "common/mdlFileTime.h"
#include "common/mdlFunctions.h"
#include "common/mdlSupportedDestination.h"
#include "common/mdlSupportedFormats.h"
#include "common/mdlWindowHelpers.h"
#include "components/cBalloonTip/cBalloonTip.h"
#include "platform/Forms.h"
#include "platform/Services.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <csignal>

namespace {

QStringList items(const QComboBox& c)
{
    QStringList out;
    for (int i = 0; i < c.count(); ++i)
        out << c.itemText(i);
    return out;
}

// Saves the path history with the given newest entry, in a child process (this test program
// started with "--save-path-history") that stops half-way through its temporary file
// and waits there until it is killed.
struct StalledHistorySave {
    QProcess child;
    bool start(const QString& text, const QString& marker)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELMARO_TEST_STALL_WRITE"), marker);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-path-history"), text});
        return child.waitForStarted() && QTest::qWaitFor([&] { return QFile::exists(marker); }, 20000);
    }
    ~StalledHistorySave()
    {
        if (child.state() != QProcess::NotRunning) {
            ::kill(pid_t(child.processId()), SIGKILL);
            child.waitForFinished();
        }
    }
};

QStringList historyTemps()
{
    return QFileInfo(PathHistoryFile()).dir().entryList({QStringLiteral(".PathHistory.tmp-*")},
                                                        QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class tst_Functions : public QObject
{
    Q_OBJECT
private slots:
    void pathParts_data();
    void pathParts();
    void nameParts_data();
    void nameParts();
    void makeSafeName_data();
    void makeSafeName();
    void illegalCharacters();
    void validateNameKey();
    void secondsToTime_data();
    void secondsToTime();
    void timeToSeconds_data();
    void timeToSeconds();
    void readTextFile_data();
    void readTextFile();
    void writeTextFileAndCombo();
    void pathHistory_data();
    void pathHistory();
    void pathHistoryMissingFile();
    void pathHistoryLeftovers();
    void makePath();
    void addLog();
    void formatFileSize_data();
    void formatFileSize();
    void destinationFormats_data();
    void destinationFormats();
    void sourceFilter();
    void fileTimeToDate();
    void fileTimes();
    void killFileAndFileExists_data();
    void killFileAndFileExists();
    void transparency();
    void onTopKeepsModalWindowOpen();
};

void tst_Functions::pathParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("pathOfFile");
    QTest::newRow("absolute file") << "/music/song.wav" << "song.wav" << "/music/" << "/music/";
    QTest::newRow("file in root") << "/song.wav" << "song.wav" << "/" << "/";
    QTest::newRow("folder with slash") << "/music/dir/" << "" << "/music/dir/" << "";
    QTest::newRow("bare name") << "song.wav" << "song.wav" << "" << "";
    QTest::newRow("empty") << "" << "" << "" << "";
    QTest::newRow("relative") << "a/b/c.wav" << "c.wav" << "a/b/" << "a/b/";
    QTest::newRow("backslash is a name character") << "/x/a\\b.wav" << "a\\b.wav" << "/x/" << "/x/";
    QTest::newRow("doubled separator keeps the root") << "/x//y/z.wav" << "z.wav" << "/x//y/" << "/x//y/";
    // The file name also standing earlier in the path must not cut the folder short.
    QTest::newRow("name repeated in folder") << "/x/ab/b" << "b" << "/x/ab/" << "/x/ab/";
}

void tst_Functions::pathParts()
{
    QFETCH(QString, path);
    QFETCH(QString, fileName);
    QFETCH(QString, folder);
    QFETCH(QString, pathOfFile);
    QCOMPARE(GetFileName(path), fileName);
    QCOMPARE(GetFolder(path), folder);
    QCOMPARE(GetPathOfFile(path), pathOfFile);
}

void tst_Functions::nameParts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("noExt");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("ext12");
    QTest::newRow("simple") << "song.wav" << "song" << "wav" << "wav";
    QTest::newRow("several dots") << "my.list.flst" << "mylist" << "flst" << "flst";
    QTest::newRow("a.b.wav") << "a.b.wav" << "ab" << "wav" << "wav";
    QTest::newRow("no dot") << "README" << "" << "" << "";
    QTest::newRow("long extension") << "a.abcdefghijklmnop" << "a" << "abcdefghijklmnop" << "abcdefghijkl";
    QTest::newRow("trailing dot") << "name." << "name" << "" << "";
}

void tst_Functions::nameParts()
{
    QFETCH(QString, name);
    QFETCH(QString, noExt);
    QFETCH(QString, ext);
    QFETCH(QString, ext12);
    QCOMPARE(GetNameNoExt(name), noExt);
    QCOMPARE(GetFileExt(name), ext);
    QCOMPARE(GetFileExt12(name), ext12);
}

void tst_Functions::makeSafeName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("safe");
    QTest::newRow("list name") << "My List (2)" << "My-List--2-";
    QTest::newRow("kept characters") << "a.b-c_d09" << "a.b-c_d09";
    QTest::newRow("all 37") << QStringLiteral("!/\\;:, $+&[](){}?*|<>\u05D6\uF893\u20AC@\u00A8~\u00B4`=%\u00BD#\u00A3'\"\u05D9")
                            << QString(37, u'-');
    QTest::newRow("letters beyond ASCII stay") << "Café Ü" << "Café-Ü";
}

void tst_Functions::makeSafeName()
{
    QFETCH(QString, text);
    QFETCH(QString, safe);
    QCOMPARE(MakeSafeName(text), safe);
}

void tst_Functions::illegalCharacters()
{
    QCOMPARE(kIllegalNameChars.size(), 9);
    for (QChar c : kIllegalNameChars)
        QVERIFY2(!IsLegalFileName(QStringLiteral("a") + c + QStringLiteral("b")), qPrintable(QString(c)));
    QVERIFY(IsLegalFileName(QStringLiteral("a-b.c (1) & ' %")));
    QVERIFY(IsLegalFileName(QString()));
}

void tst_Functions::validateNameKey()
{
    TestPlatform platform;
    QLineEdit box;
    cBalloonTip::ResetLastShown();
    int key = 'a';
    ValidateNameKey(&box, key);
    QCOMPARE(key, int('a'));
    QCOMPARE(cBalloonTip::LastShown().count, 0);

    for (QChar c : kIllegalNameChars) {
        key = c.unicode();
        ValidateNameKey(&box, key);
        QCOMPARE(key, 0);
    }
    QCOMPARE(cBalloonTip::LastShown().count, 9);
    QCOMPARE(cBalloonTip::LastShown().text,
             QStringLiteral("Illegal name.\n\nThe chars:   /\\:?*<>\"|   are not legal."));
    QCOMPARE(cBalloonTip::LastShown().target.data(), &box);
    QCOMPARE(cBalloonTip::LastShown().style, 1);
}

void tst_Functions::secondsToTime_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0:00:00";
    QTest::newRow("59") << 59 << "0:00:59";
    QTest::newRow("1h 125s") << 3725 << "1:02:05";
    QTest::newRow("100 h") << 360000 << "100:00:00";
}

void tst_Functions::secondsToTime()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(SecondsToTime(seconds), text);
    QCOMPARE(TimeToSeconds(text), seconds);
}

void tst_Functions::timeToSeconds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");
    QTest::newRow("h:mm:ss") << "0:03:25" << 205;
    QTest::newRow("hh:mm:ss") << "01:02:03" << 3723;
    QTest::newRow("not a time of day") << "100:00:00" << 360000;
    QTest::newRow("time of day without seconds") << "1:02" << 3720;
    QTest::newRow("pm") << "2:30 PM" << 52200;
    QTest::newRow("12 am") << "12:00:05 AM" << 5;
    QTest::newRow("two pieces, not a time") << "25:61" << 0;
    QTest::newRow("not a number") << "a:b:c" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("fraction rounds to even") << "0:00:2.5" << 2;
}

void tst_Functions::timeToSeconds()
{
    QFETCH(QString, text);
    QFETCH(int, seconds);
    QCOMPARE(TimeToSeconds(text), seconds);
}

void tst_Functions::readTextFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("two lines") << QByteArray("a\nb\n") << "a\r\nb";
    QTest::newRow("crlf lines") << QByteArray("a\r\nb\r\n") << "a\r\nb";
    QTest::newRow("no final break") << QByteArray("a\nb") << "a\r\nb";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("one empty line") << QByteArray("\n") << "\r\n";
    QTest::newRow("utf-8") << QByteArray("Prøbe\n") << "Prøbe";
}

void tst_Functions::readTextFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("t.txt"));
    TestFiles::WriteBytes(path, bytes);
    QCOMPARE(ReadTextFile(path), text);
    QCOMPARE(ReadTextFile(platform.path(QStringLiteral("missing.txt"))), QString());
    QCOMPARE(ReadTextFile(platform.home()), QString());  // a folder is not a text file
}

void tst_Functions::writeTextFileAndCombo()
{
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("FileNameFormats.txt"));
    WriteTextFile(QStringLiteral("[file_name]\n\n[123]_[file_name]"), path);
    QCOMPARE(TestFiles::ReadBytes(path), QByteArray("[file_name]\n\n[123]_[file_name]\n"));
    QComboBox combo;
    combo.addItem(QStringLiteral("old"));
    FillComboFromFile(path, &combo);
    QCOMPARE(items(combo), (QStringList{"[file_name]", "[123]_[file_name]"}));
    FillComboFromFile(platform.path(QStringLiteral("none")), &combo);
    QCOMPARE(combo.count(), 0);
}

void tst_Functions::pathHistory_data()
{
    QTest::addColumn<QStringList>("old");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("result");
    const QStringList abc{"/a", "/b", "/c"};
    QTest::newRow("existing entry moves to the top") << abc << "/b" << QStringList{"/b", "/a", "/c"};
    QTest::newRow("new entry on top") << abc << "/d" << QStringList{"/d", "/a", "/b", "/c"};
    QTest::newRow("case counts") << abc << "/A" << QStringList{"/A", "/a", "/b", "/c"};
    QStringList sixteen;
    for (int i = 1; i <= 16; ++i)
        sixteen << QStringLiteral("/f%1").arg(i);
    QStringList dropped = QStringList{"/new"} + sixteen.mid(0, 15);
    QTest::newRow("sixteen kept, oldest dropped") << sixteen << "/new" << dropped;
    QTest::newRow("sixteen, existing entry") << sixteen << "/f16"
                                             << (QStringList{"/f16"} + sixteen.mid(0, 15));
}

void tst_Functions::pathHistory()
{
    QFETCH(QStringList, old);
    QFETCH(QString, text);
    QFETCH(QStringList, result);
    TestPlatform platform;
    QByteArray bytes;
    for (const QString& l : old)
        bytes += l.toUtf8() + "\r\n";
    TestFiles::WriteBytes(PathHistoryFile(), bytes);
    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText(text);
    SavePathHistory(&combo);
    QComboBox reload;
    reload.setEditable(true);
    LoadPathHistory(&reload);
    QCOMPARE(items(reload), result);
    QCOMPARE(reload.currentText(), result.first());
}

void tst_Functions::pathHistoryMissingFile()
{
    TestPlatform platform;
    QComboBox combo;
    combo.setEditable(true);
    LoadPathHistory(&combo);
    QVERIFY(QFile::exists(PathHistoryFile()));
    QCOMPARE(combo.count(), 0);
    QCOMPARE(combo.currentIndex(), -1);

    QFile::remove(PathHistoryFile());
    combo.setEditText(QStringLiteral("/music/out"));
    SavePathHistory(&combo);
    QCOMPARE(TestFiles::ReadBytes(PathHistoryFile()), QByteArray("/music/out\n"));
}

// A history save killed half-way leaves its hidden temporary file; the next save removes
// it, but never the file of a save still under way in another running copy.
void tst_Functions::pathHistoryLeftovers()
{
    TestPlatform platform;
    TestFiles::WriteBytes(PathHistoryFile(), "/old\n");
    StalledHistorySave running, killed;
    QVERIFY(running.start(QStringLiteral("/running"), platform.path(QStringLiteral("running"))));
    const QStringList runningTemp = historyTemps();
    QCOMPARE(runningTemp.size(), 1);
    QVERIFY(killed.start(QStringLiteral("/killed"), platform.path(QStringLiteral("killed"))));
    ::kill(pid_t(killed.child.processId()), SIGKILL);
    QVERIFY(killed.child.waitForFinished());
    QCOMPARE(historyTemps().size(), 2);

    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText(QStringLiteral("/music/new"));
    SavePathHistory(&combo);
    QCOMPARE(TestFiles::ReadBytes(PathHistoryFile()), QByteArray("/music/new\n/old\n"));
    QCOMPARE(historyTemps(), runningTemp);
}

void tst_Functions::makePath()
{
    TestPlatform platform;
    const QString deep = platform.path(QStringLiteral("new/deeper/"));
    QCOMPARE(MakePath(deep), 0);
    QVERIFY(IsFolder(platform.path(QStringLiteral("new/deeper"))));
    QCOMPARE(MakePath(deep), 0);  // already there
    // A file standing where a folder should be is a failure.
    TestFiles::WriteBytes(platform.path(QStringLiteral("file")), "x");
    QVERIFY(MakePath(platform.path(QStringLiteral("file/sub/"))) != 0);
    QVERIFY(!IsFolder(platform.path(QStringLiteral("file"))));
    QVERIFY(!IsFolder(platform.path(QStringLiteral("missing"))));
    QVERIFY(!IsFolder(QString()));
}

void tst_Functions::addLog()
{
    QPlainTextEdit log;
    AddLog(QStringLiteral("Preparing to split: a.wav"), &log);
    AddLog(QStringLiteral("Done."), &log);
    const QStringList lines = log.toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 3);  // two lines and the break after the last
    QVERIFY(lines[0].endsWith(QStringLiteral(":Preparing to split: a.wav")));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:Done\\.$")).match(lines[1]).hasMatch());
    QCOMPARE(log.textCursor().position(), log.toPlainText().size());
}

void tst_Functions::formatFileSize_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0.0 << "0 bytes";
    QTest::newRow("999") << 999.0 << "999 bytes";
    QTest::newRow("1000") << 1000.0 << "0.98 KB";
    QTest::newRow("1024") << 1024.0 << "1.00 KB";
    QTest::newRow("10 KB") << 10240.0 << "10.0 KB";
    QTest::newRow("999 KB") << 999.0 * 1024 << "999 KB";
    QTest::newRow("one byte more") << 999.0 * 1024 + 1 << "0.98 MB";
    QTest::newRow("1 MB") << 1048576.0 << "1.00 MB";
    QTest::newRow("5e9") << 5e9 << "4.66 GB";
    QTest::newRow("negative") << -5.0 << "-5 bytes";
    QTest::newRow("beyond ZB") << 1e24 * 1.2 << "0.99 YB";
}

void tst_Functions::formatFileSize()
{
    QFETCH(double, size);
    QFETCH(QString, text);
    QCOMPARE(FormatFileSize(size), text);
}

void tst_Functions::destinationFormats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("WAV") << "WAV - Waveform Audio Format (*.wav)" << 0;
    QTest::newRow("ACM") << "ACM - Waveform ACM Codecs (*.wav)" << 1;
    QTest::newRow("mp3 small letters") << "mp3 - whatever" << 2;
    QTest::newRow("WMA") << "WMA - Windows Media Audio files (*.wma)" << 3;
    QTest::newRow("OGG") << "OGG - Ogg Media Format (*.ogg)" << 4;
    QTest::newRow("APE") << "APE - Monkey 's Audio (*.ape)" << 5;
    QTest::newRow("other") << "FLA - nothing" << 0;
    QTest::newRow("short") << "MP" << 0;
    QTest::newRow("empty") << "" << 0;
}

void tst_Functions::destinationFormats()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(GetDestFormatIndex(text), code);

    QComboBox combo;
    combo.addItem(QStringLiteral("stale"));
    QCOMPARE(combo.currentIndex(), 0);
    FillDestinationFormats(&combo);
    QCOMPARE(combo.currentIndex(), -1);  // no item selected: the caller chooses
    QCOMPARE(items(combo), (QStringList{"WAV - Waveform Audio Format (*.wav)", "ACM - Waveform ACM Codecs (*.wav)",
                                        "MP3 - MPEG-1 Audio Layer 3 (*.mp3)",
                                        "WMA - Windows Media Audio files (*.wma)"}));
    QCOMPARE(g_lDestOGG, 0);
    QCOMPARE(g_lDestAPE, 0);
}

void tst_Functions::sourceFilter()
{
    const QString filter = GetSupportedFormatsFilter();
    QVERIFY(filter.endsWith(QChar(u'\0')));
    const QStringList parts = filter.split(QChar(u'\0'));
    QCOMPARE(parts.size(), 11);  // ten elements and the empty piece after the last NUL
    QCOMPARE(parts[0], QStringLiteral("All supported audio files (*.acm;*.wav;*.mp3;*.wav;*.wma;)"));
    QCOMPARE(parts[1], QStringLiteral("*.acm;*.wav;*.mp3;*.wav;*.wma;"));
    QCOMPARE(parts[9], QStringLiteral("*.wma"));
    // The add-files test looks for an extension anywhere in the lower-cased text.
    for (const char* ext : {"wav", "mp3", "wma", "acm", "audio"})
        QVERIFY(filter.toLower().contains(QLatin1String(ext)));
}

void tst_Functions::fileTimeToDate()
{
    QCOMPARE(DateTimeFromDate(FileTimeToDate(0, 0)), QDateTime(QDate(1601, 1, 1), QTime(0, 0)));
    // 1 January 1970 00:00 is 116444736000000000 steps after the origin.
    const quint64 t1970 = 116444736000000000ULL;
    const VbDate d = FileTimeToDate(quint32(t1970 & 0xFFFFFFFF), quint32(t1970 >> 32));
    QCOMPARE(d, 25569.0);
    QCOMPARE(DateTimeFromDate(d), QDateTime(QDate(1970, 1, 1), QTime(0, 0)));
    // 06:30:15 on 2 January 1601.
    const quint64 t = (quint64(86400 + 6 * 3600 + 30 * 60 + 15)) * 10000000ULL + 1234567;
    QCOMPARE(DateTimeFromDate(FileTimeToDate(quint32(t & 0xFFFFFFFF), quint32(t >> 32))),
             QDateTime(QDate(1601, 1, 2), QTime(6, 30, 15)));
}

void tst_Functions::fileTimes()
{
    TestPlatform platform;
    VbDate c = 7, a = 8, w = 9;
    QCOMPARE(GetFileTimes(platform.path(QStringLiteral("missing")), c, a, w, true), qint16(-1));
    QCOMPARE(c, 7.0);
    QCOMPARE(a, 8.0);
    QCOMPARE(w, 9.0);
    QCOMPARE(GetFileCreationDate(platform.path(QStringLiteral("missing"))), 0.0);

    const QString file = platform.path(QStringLiteral("f.wav"));
    TestFiles::WriteBytes(file, "x");
    QCOMPARE(GetFileTimes(file, c, a, w, false), qint16(0));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime written = DateTimeFromDate(w);
    QVERIFY(qAbs(written.secsTo(QDateTime(now.date(), now.time()))) < 120);
    QVERIFY(c <= w + 1e-6);
    QVERIFY(GetFileCreationDate(file) > 40000);  // some day this century
}

Q_DECLARE_METATYPE(NameMatch)

void tst_Functions::killFileAndFileExists_data()
{
    // The folder holds: "a1.tmp", "a2.tmp", "a*.tmp" (a star in its name), ".hidden" and
    // the folder "dir.tmp".
    QTest::addColumn<QString>("name");
    QTest::addColumn<NameMatch>("match");
    QTest::addColumn<QStringList>("found");  // what the name stands for, in the folder
    QTest::newRow("plain name") << "a1.tmp" << NameMatch::Exact << QStringList{"a1.tmp"};
    QTest::newRow("hidden file") << ".hidden" << NameMatch::Exact << QStringList{".hidden"};
    QTest::newRow("star is a character") << "a*.tmp" << NameMatch::Exact << QStringList{"a*.tmp"};
    QTest::newRow("question mark is a character") << "a?.tmp" << NameMatch::Exact << QStringList();
    QTest::newRow("folder is no file") << "dir.tmp" << NameMatch::Exact << QStringList();
    QTest::newRow("missing") << "missing" << NameMatch::Exact << QStringList();
    QTest::newRow("empty path") << "" << NameMatch::Exact << QStringList();
    QTest::newRow("pattern asked for") << "a?.tmp" << NameMatch::Pattern << QStringList{"a*.tmp", "a1.tmp", "a2.tmp"};
    QTest::newRow("digit pattern") << "a[0-9].tmp" << NameMatch::Pattern << QStringList{"a1.tmp", "a2.tmp"};
    QTest::newRow("star pattern") << "a*.tmp" << NameMatch::Pattern << QStringList{"a*.tmp", "a1.tmp", "a2.tmp"};
    QTest::newRow("pattern without match") << "b*" << NameMatch::Pattern << QStringList();
}

void tst_Functions::killFileAndFileExists()
{
    QFETCH(QString, name);
    QFETCH(NameMatch, match);
    QFETCH(QStringList, found);
    TestPlatform platform;
    const QString folder = platform.path(QStringLiteral("f"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/dir.tmp")));
    const QStringList files{"a*.tmp", ".hidden", "a1.tmp", "a2.tmp"};
    for (const QString& f : files)
        QVERIFY(TestFiles::WriteBytes(folder + u'/' + f, "x"));
    const QString path = name.isEmpty() ? QString() : folder + u'/' + name;

    QCOMPARE(FileExists(path, match), !found.isEmpty());
    QCOMPARE(KillFile(path, match), !found.isEmpty());
    // Exactly the files the name stands for are gone; the others and the folder stay.
    QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QStringList expected;
    for (const QString& f : files)
        if (!found.contains(f))
            expected << f;
    expected.sort();
    QCOMPARE(left, expected);
    QVERIFY(IsFolder(folder + QStringLiteral("/dir.tmp")));
    QVERIFY(!FileExists(path, match));
    QVERIFY(!KillFile(path, match));  // nothing left to delete
}

void tst_Functions::transparency()
{
    TestPlatform platform;
    QWidget w;
    w.show();
    // The window's own opacity, as the desktop is asked to draw it.
    auto alpha = [&w] { return qRound(w.windowHandle()->opacity() * 255); };
    QCOMPARE(MakeTransparent(&w, 256), 1);
    QCOMPARE(MakeTransparent(&w, -1), 1);
    QVERIFY(!IsLayered(&w));
    QCOMPARE(alpha(), 255);
    QCOMPARE(MakeTransparent(&w, 0), 0);
    QVERIFY(IsLayered(&w));
    QCOMPARE(alpha(), 0);
    for (int a : {1, 10, 128, 254, 255}) {
        QCOMPARE(MakeTransparent(&w, a), 0);
        QCOMPARE(alpha(), a);
        QCOMPARE(WindowAlpha(&w), a);
    }
    QCOMPARE(MakeOpaque(&w), 0);
    QVERIFY(!IsLayered(&w));
    QCOMPARE(alpha(), 255);
    w.hide();

    // On top shows a hidden window.
    QVERIFY(!w.isVisible());
    SetFormOnTop(&w, true);
    QVERIFY(w.isVisible());
    QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    SetFormOnTop(&w, false);
    QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void tst_Functions::onTopKeepsModalWindowOpen()
{
    TestPlatform platform;
    Services::setModal(nullptr);  // the real modal loop
    VForm form;
    QStringList log;
    QTimer::singleShot(0, &form, [&] {
        SetFormOnTop(&form, true);
        // Let the loop run once more: a window that was hidden in between has ended it.
        QTimer::singleShot(0, &form, [&] {
            log << QStringLiteral("still modal: %1").arg(form.IsShownModal());
            SetFormOnTop(&form, false);
            QTimer::singleShot(0, &form, [&] {
                log << QStringLiteral("still modal: %1").arg(form.IsShownModal());
                form.Hide();
            });
        });
    });
    form.Show(vbModal);
    log << QStringLiteral("returned");
    QCOMPARE(log, (QStringList{"still modal: 1", "still modal: 1", "returned"}));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (argc > 2 && qstrcmp(argv[1], "--save-path-history") == 0) {
        QComboBox combo;
        combo.setEditable(true);
        combo.setEditText(QString::fromLocal8Bit(argv[2]));
        SavePathHistory(&combo);
        return 0;
    }
    tst_Functions t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}
#include "tst_functions.moc"
