// The common dialogs: filters in Qt's form, the open dialog's results and its remembered
// last file, the save dialog's results, the colour dialog and its custom colours, and the
// folder browser.
#include "common/mdlCommDialog.h"
#include "common/mdlUserSettings.h"
#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace {

QString nul(const char* text)
{
    return QString::fromLatin1(text).replace(u'|', QChar(0));
}

} // namespace

class tst_CommDialog : public QObject
{
    Q_OBJECT
private slots:
    void init() { g_OFN = OPENFILENAME{}; }
    void filters_data();
    void filters();
    void openOneFileRemembersIt();
    void openSeveralFiles_data();
    void openSeveralFiles();
    void openFilesOfSeveralFolders_data();
    void openFilesOfSeveralFolders();
    void openCancelled();
    void save();
    void colour();
    void folder();
};

void tst_CommDialog::filters_data()
{
    QTest::addColumn<QString>("ofn");
    QTest::addColumn<QString>("qt");
    QTest::newRow("three pairs with blanks after ';'")
        << nul("media files (*.wav; *.mp3)|*.wav; *.mp3|mp3 (*.mp3)|*.mp3|wav (*.wav)|*.wav|")
        << "media files (*.wav *.mp3);;mp3 (*.mp3);;wav (*.wav)";
    QTest::newRow("one pair without a final NUL") << nul("MP3 Audio Files (*.mp3)|*.mp3") << "MP3 Audio Files (*.mp3)";
    QTest::newRow("the save request's pair") << nul("flac Audio Files (*.flac)|*.flac") << "flac Audio Files (*.flac)";
    QTest::newRow("*.* means every file") << nul("All Files (*.*)|*.*|") << "All Files (*)";
    QTest::newRow("description without patterns") << nul("Sounds|*.wav;*.WAV|") << "Sounds (*.wav *.WAV)";
    QTest::newRow("already in Qt's form") << "Audio (*.wav *.mp3);;All (*)" << "Audio (*.wav *.mp3);;All (*)";
    QTest::newRow("empty") << QString() << QString();
}

void tst_CommDialog::filters()
{
    QFETCH(QString, ofn);
    QFETCH(QString, qt);
    QCOMPARE(QtFilterFromOfn(ofn), qt);
}

void tst_CommDialog::openOneFileRemembersIt()
{
    TestPlatform platform;
    auto& d = platform.dialogs();
    g_OFN.lpstrFilter = nul("wav (*.wav)|*.wav|");
    g_OFN.lpstrTitle = QStringLiteral("Add audio files");

    // A user who never chose a file starts in the home folder.
    d.openAnswers.enqueue({QStringLiteral("/srv/Music/a b.wav")});
    const FileDialogResult r = ShowOpen(nullptr, true);
    QCOMPARE(d.openRequests.size(), 1);
    QCOMPARE(d.openRequests[0].initialPath, QDir::homePath());
    QCOMPARE(d.openRequests[0].title, QStringLiteral("Add audio files"));
    QCOMPARE(d.openRequests[0].filter, QStringLiteral("wav (*.wav)"));
    QVERIFY(d.openRequests[0].multiSelect);
    QVERIFY(d.openRequests[0].centreOnOwner);
    QVERIFY(!r.Cancelled);
    QCOMPARE(r.FileCount, 1);
    QCOMPARE(r.FileNames.value(1), QStringLiteral("a b.wav"));
    QCOMPARE(r.FileNames.value(0), QStringLiteral("/srv/Music/a b.wav"));
    QCOMPARE(r.FolderName, QStringLiteral("/srv/Music"));

    // The file is remembered in the per-user store, in the user's configuration folder.
    const QString store = platform.home() + QStringLiteral("/.config/velmaro/Velmaro.ini");
    QCOMPARE(UserSettingsFile(kCommDialogAppName), store);
    QVERIFY(QFile::exists(store));
    QCOMPARE(QSettings(store, QSettings::IniFormat).value(QStringLiteral("path/last_path")).toString(),
             QStringLiteral("/srv/Music/a b.wav"));
    // ... and the next open dialog starts there, also after a restart.
    d.openAnswers.enqueue({QStringLiteral("/b.wav")});
    const FileDialogResult r2 = ShowOpen(nullptr, false);
    QCOMPARE(d.openRequests[1].initialPath, QStringLiteral("/srv/Music/a b.wav"));
    QCOMPARE(g_OFN.lpstrInitialDir, QStringLiteral("/srv/Music/a b.wav"));
    QVERIFY(!d.openRequests[1].centreOnOwner);
    QCOMPARE(r2.FolderName, QString());  // a file in the root: the folder without its "/"
    QCOMPARE(r2.FileNames.value(1), QStringLiteral("b.wav"));
    QCOMPARE(GetSetting(kCommDialogAppName, QStringLiteral("path"), QStringLiteral("last_path")),
             QStringLiteral("/b.wav"));
}

void tst_CommDialog::openSeveralFiles_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("two") << 2;
    QTest::newRow("1500: past a thousand, no empty names") << 1500;
}

void tst_CommDialog::openSeveralFiles()
{
    QFETCH(int, count);
    TestPlatform platform;
    SaveSetting(kCommDialogAppName, QStringLiteral("path"), QStringLiteral("last_path"), QStringLiteral("/old/x.wav"));
    QStringList chosen;
    for (int i = 1; i <= count; ++i)
        chosen << QStringLiteral("/srv/Music/track %1.wav").arg(i);
    platform.dialogs().openAnswers.enqueue(chosen);
    const FileDialogResult r = ShowOpen(nullptr, true);
    QVERIFY(!r.Cancelled);
    QCOMPARE(r.FileCount, count);
    QCOMPARE(r.FileNames.size(), count + 1);
    QCOMPARE(r.FolderName, QStringLiteral("/srv/Music"));
    QCOMPARE(r.FileNames[0], QStringLiteral("/srv/Music"));
    for (int i = 1; i <= count; ++i)
        QCOMPARE(r.FileNames[i], QStringLiteral("track %1.wav").arg(i));
    // Several files leave the remembered one as it was.
    QCOMPARE(GetSetting(kCommDialogAppName, QStringLiteral("path"), QStringLiteral("last_path")),
             QStringLiteral("/old/x.wav"));
}

void tst_CommDialog::openFilesOfSeveralFolders_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("folder");
    QTest::newRow("sister folders") << QStringList{"/srv/Music/a.wav", "/srv/Talk/b.wav"} << "/srv";
    QTest::newRow("one below the other")
        << QStringList{"/srv/Music/a.wav", "/srv/Music/Live/b.wav", "/srv/Music/c.wav"} << "/srv/Music";
    QTest::newRow("folder names sharing a beginning") << QStringList{"/srv/ab/a.wav", "/srv/a/b.wav"} << "/srv";
    QTest::newRow("nothing shared but the root") << QStringList{"/home/u/a.wav", "/media/cd/b.wav"} << "/";
    QTest::newRow("one file at the root") << QStringList{"/a.wav", "/srv/b.wav"} << "/";
}

void tst_CommDialog::openFilesOfSeveralFolders()
{
    QFETCH(QStringList, chosen);
    QFETCH(QString, folder);
    TestPlatform platform;
    platform.dialogs().openAnswers.enqueue(chosen);
    const FileDialogResult r = ShowOpen(nullptr, true);
    QCOMPARE(r.FileCount, chosen.size());
    QCOMPARE(r.FolderName, folder);
    // The folder and each name make the chosen file's full path, as callers join them.
    const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
    for (int i = 1; i <= r.FileCount; ++i)
        QCOMPARE(base + r.FileNames.value(i), chosen[i - 1]);
}

void tst_CommDialog::openCancelled()
{
    TestPlatform platform;
    const FileDialogResult r = ShowOpen(nullptr, true);
    QVERIFY(r.Cancelled);
    QCOMPARE(r.FileCount, 0);
    QVERIFY(r.FileNames.isEmpty());
    QCOMPARE(r.FolderName, QString());
    QVERIFY(!QFile::exists(UserSettingsFile(kCommDialogAppName)));
}

void tst_CommDialog::save()
{
    TestPlatform platform;
    auto& d = platform.dialogs();
    // An open dialog first: the save dialog still asks before overwriting.
    d.openAnswers.enqueue({QStringLiteral("/srv/Music/a.wav")});
    ShowOpen(nullptr, true);
    ShowOpen(nullptr, true);  // cancelled; the remembered file stays the start
    g_OFN.lpstrFilter = nul("wav Audio Files (*.wav)|*.wav");
    g_OFN.lpstrTitle = QStringLiteral("Save As");
    g_OFN.lpstrDefExt = QStringLiteral("wav");
    d.saveAnswers.enqueue(QStringLiteral("/out/x.wav"));
    const FileDialogResult r = ShowSave(nullptr, QStringLiteral("song.wav"), true);
    QCOMPARE(d.saveRequests.size(), 1);
    const FileRequest& req = d.saveRequests[0];
    QVERIFY(req.confirmOverwrite);
    QCOMPARE(req.defaultSuffix, QStringLiteral("wav"));
    QCOMPARE(req.title, QStringLiteral("Save As"));
    QCOMPARE(req.filter, QStringLiteral("wav Audio Files (*.wav)"));
    QCOMPARE(req.initialPath, QStringLiteral("/srv/Music/song.wav"));
    QVERIFY(!r.Cancelled);
    QCOMPARE(r.FileCount, 1);
    QCOMPARE(r.FileNames.value(1), QStringLiteral("/out/x.wav"));
    QCOMPARE(r.FolderName, QStringLiteral("/out/"));
    // The save dialog neither reads nor writes the remembered file.
    QCOMPARE(GetSetting(kCommDialogAppName, QStringLiteral("path"), QStringLiteral("last_path")),
             QStringLiteral("/srv/Music/a.wav"));

    const FileDialogResult c = ShowSave(nullptr, QString(), false);
    QVERIFY(c.Cancelled);
    QCOMPARE(c.FileCount, 0);
    QCOMPARE(c.FolderName, QString());
    QVERIFY(c.FileNames.isEmpty());
    QCOMPARE(d.saveRequests[1].initialPath, QStringLiteral("/srv/Music"));
    QVERIFY(!d.saveRequests[1].centreOnOwner);
}

void tst_CommDialog::colour()
{
    TestPlatform platform;
    auto& d = platform.dialogs();
    CustomColours() = InitialCustomColours();  // as at program start
    d.colourAnswers.enqueue(QColor(255, 128, 0));
    QList<QColor> changed = InitialCustomColours();
    changed[9] = QColor(1, 2, 3);
    d.customColoursAfter = changed;
    const ColorDialogResult r = ShowColor(nullptr, false);
    QVERIFY(!r.Cancelled);
    QCOMPARE(r.Color, 0x0080FF);  // 0x00BBGGRR
    QCOMPARE(d.colourRequests[0].initial, QColor(255, 255, 255));
    QVERIFY(!d.colourRequests[0].centreOnOwner);
    const QList<QColor>& first = d.colourRequests[0].customColours;
    QCOMPARE(first.size(), 16);
    QCOMPARE(first[0], QColor(139, 155, 184));
    QCOMPARE(first[7], QColor(236, 164, 236));
    QCOMPARE(first[8], QColor(160, 160, 160));
    QCOMPARE(first[15], QColor(160, 160, 160));

    // Cancelled: -1; the custom colours the user left are offered again, and the dialog
    // opens on white whatever was chosen before.
    d.customColoursAfter.clear();
    const ColorDialogResult c = ShowColor(nullptr, true);
    QVERIFY(c.Cancelled);
    QCOMPARE(c.Color, -1);
    QCOMPARE(d.colourRequests[1].customColours[9], QColor(1, 2, 3));
    QCOMPARE(d.colourRequests[1].initial, QColor(255, 255, 255));
}

void tst_CommDialog::folder()
{
    TestPlatform platform;
    auto& d = platform.dialogs();
    d.folderAnswers.enqueue(QStringLiteral("/srv/out"));
    QCOMPARE(BrowseForFolder(QStringLiteral("Select a new directory"), QStringLiteral("/srv"), nullptr, true, QString(),
                             true, false),
             QStringLiteral("/srv/out"));
    QCOMPARE(d.folderPrompts, QStringList{QStringLiteral("Select a new directory")});
    QCOMPARE(d.folderInitials, QStringList{QStringLiteral("/srv")});
    QCOMPARE(BrowseForFolder(QStringLiteral("Select a new directory"), QString(), nullptr, true), QString());
}

QTEST_MAIN(tst_CommDialog)
#include "tst_commdialog.moc"
