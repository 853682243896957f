// Adding files to a list: the rows the add-files window makes, files it skips or reports,
// the open dialog and drops on the grid and its notice, a thousand real WAV files, and a
// main window that takes no list command until the run has ended.
#include "common/mdlCommDialog.h"
#include "common/mdlFileSystem.h"
#include "common/mdlFileTime.h"
#include "common/mdlFunctions.h"
#include "common/mdlSupportedFormats.h"
#include "components/cGrid/cGrid.h"
#include "components/cProgressBar/cProgressBar.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmStat.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListsTree.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/AudioFixtures.h"

#include <QDateTime>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QSemaphore>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <sys/stat.h>
#include <memory>

using namespace ListsTest;

namespace {

QString gridNames(cGrid* g)
{
    QStringList names;
    for (qint32 r = 1; r <= g->Rows(); ++r)
        names << RowText(g, r, "Item Name");
    return names.join(u' ');
}

QString fileNames(const QString& list)
{
    QStringList names;
    for (const QString& r : fileRecords(list))
        names << GetTagValue("Item Name", r);
    return names.join(u' ');
}

// A converter that lets the test see when the add-files window probes a file (the hook
// runs on the thread that probes).
class HookedConverter : public FakeAudioConverter
{
public:
    using FakeAudioConverter::FakeAudioConverter;
    std::function<void(const QString&)> hook;
    qint32 ReadFileInfo(const QString& FileName) override
    {
        if (hook)
            hook(FileName);
        return FakeAudioConverter::ReadFileInfo(FileName);
    }
};

// Drops local files on a widget as the desktop does.
void dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

} // namespace

class tst_AddFiles : public QObject
{
    Q_OBJECT
private slots:
    void supportAudioFile_data();
    void supportAudioFile();
    void itemNames_data();
    void itemNames();
    void rowsFromTheOpenDialog();
    void tagsFromSourceOrDefaults();
    void skippedAndReported();
    void fortyRefusedFilesOneBox();
    void nothingAddedToAnEmptyList();
    void drops();
    void refusedOnCDAndGroupNodes();
    void thousandWavFiles();
    void noListCommandWhileAdding_data();
    void noListCommandWhileAdding();
};

void tst_AddFiles::supportAudioFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("supported");
    QTest::newRow("wav") << "song.wav" << true;
    QTest::newRow("capitals") << "/x/SONG.WAV" << true;
    QTest::newRow("mp3") << "a.b.mp3" << true;
    QTest::newRow("no extension") << "noext" << true;
    QTest::newRow("part of the filter text") << "x.au" << true;
    QTest::newRow("text") << "notes.txt" << false;
    QTest::newRow("flac") << "song.flac" << false;
}

void tst_AddFiles::supportAudioFile()
{
    QFETCH(QString, name);
    QFETCH(bool, supported);
    TestPlatform platform;
    QCOMPARE(g_frmStat()->SupportAudioFile(name), supported);
}

void tst_AddFiles::itemNames_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "song.wav" << "song.wav";
    QTest::newRow("two colons keep the second") << "a:b:c.wav" << "ab:c.wav";
    QTest::newRow("one of each") << "a?b<c>d\\e*f|g.wav" << "abcdefg.wav";
    QTest::newRow("double quote stays") << "say \"hi\".mp3" << "say \"hi\".mp3";
}

void tst_AddFiles::itemNames()
{
    QFETCH(QString, file);
    QFETCH(QString, name);
    TestPlatform platform;
    QCOMPARE(g_frmStat()->getLegaName(file), name);
}

// A grid of 5 rows gets its new rows from row 6 on; a file the converter refuses is
// reported and the next file takes its row. Everything is in the list file at once.
void tst_AddFiles::rowsFromTheOpenDialog()
{
    Fixture f;
    const QString list = f.addList("a", {"1", "2", "3", "4", "5"});
    const QString good = f.addAudio("good.wav", 999, 90500);
    const QString bad = f.platform.path("audio/bad.wav");
    TestFiles::WriteBytes(bad, "not audio at all");
    const QString next = f.addAudio("next.WAV", 2048, 1500);
    frmMain* m = f.start();
    m->cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Busy"));
    f.platform.dialogs().openAnswers.enqueue({good, bad, next});
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Add Files");

    const FileRequest& request = f.platform.dialogs().openRequests.last();
    QCOMPARE(request.title, QStringLiteral("Add audio files"));
    QCOMPARE(request.filter, QtFilterFromOfn(GetSupportedFormatsFilter()));
    QVERIFY(request.multiSelect);
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, "Cannot add " + bad + ": it holds no audio that can be read.");
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);

    cGrid* g = m->cGrid1;
    QCOMPARE(gridNames(g), QStringLiteral("1 2 3 4 5 good.wav next.WAV"));
    QCOMPARE(fileNames(list), gridNames(g));
    // The row of a new file.
    QVERIFY(IsRowMarked(g, 6));
    QCOMPARE(RowIcon(g, 6, "Type"), kIconAudio);
    QCOMPARE(RowText(g, 6, "Time"), QStringLiteral("00:01:30"));  // 90.5 s: a half goes to the even second
    QCOMPARE(RowText(g, 7, "Time"), QStringLiteral("00:00:02"));
    QCOMPARE(RowText(g, 6, "Size"), QStringLiteral("999 bytes"));
    QCOMPARE(RowText(g, 6, "COL_BYTES_SIZE"), QStringLiteral("999"));
    QCOMPARE(RowText(g, 7, "Size"), QStringLiteral("2.00 KB"));
    QCOMPARE(RowText(g, 6, "COL_FILE"), good);
    QCOMPARE(RowText(g, 6, "Range"), QStringLiteral("All"));
    QCOMPARE(RowText(g, 6, "COL_RANGE_ALL"), QStringLiteral("1"));
    QVERIFY(RowText(g, 6, "COL_RANGE_START_TIME").isEmpty());
    QVERIFY(RowText(g, 6, "COL_RANGE_LENGTH_TIME").isEmpty());
    const VbDate created = GetFileCreationDate(good);
    QVERIFY(created != 0);
    QCOMPARE(RowText(g, 6, "Created"), QLocale().toString(DateTimeFromDate(created), QLocale::ShortFormat));
    QCOMPARE(fileField(list, 6, "Inc"), QStringLiteral("1"));
    QCOMPARE(fileField(list, 7, "COL_FILE"), next);

    // The end of the run: first row current, information grid, status panels, no window.
    QCOMPARE(g->CurrentRow(), 1);
    QCOMPARE(g->CurrentColumn(), 2);
    QCOMPARE(m->cGridInfo->Cell(1, 2).Text(), QStringLiteral("1"));
    QVERIFY(m->picEmptyMsg->isHidden());
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")), ListSummary(g));
    QVERIFY(m->cStatusBar1->PanelText(QStringLiteral("Notes")).startsWith(QStringLiteral("Notes [")));
    QVERIFY(!Forms::IsLoaded<frmStat>());
    QVERIFY(!m->AddingFiles());

    // With the select-the-last-item option the last row is current.
    g_bSelectTheLastItem = true;
    f.platform.dialogs().openAnswers.enqueue({good});
    command(m, "Add Files");
    QCOMPARE(g->Rows(), 8);
    QCOMPARE(g->CurrentRow(), 8);
    QCOMPARE(fileRecords(list).size(), 8);
    // A cancelled dialog adds nothing.
    command(m, "Add Files");
    QCOMPARE(g->Rows(), 8);
}

void tst_AddFiles::tagsFromSourceOrDefaults()
{
    Fixture f;
    const QString list = f.addList("a", {});
    AudioTags tags;
    tags.Album = "Album";
    tags.Artist = "Artist";
    tags.Comment = "Comment";
    tags.Genre = "Genre";
    tags.Year = "1999";
    tags.Title = "Title";
    tags.Track = "7";
    const QString song = f.addAudio("song.mp3", 500, 2000, 2, tags);
    frmMain* m = f.start();
    const char* const keys[] = {"COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT", "COL_TAG_GEN",
                                "COL_TAG_YEAR",  "COL_TAG_TITLE",  "COL_TAG_TRACK"};

    g_bCopyID3FromSource = true;
    f.platform.dialogs().openAnswers.enqueue({song});
    command(m, "Add Files");
    const QStringList fromSource{"Album", "Artist", "Comment", "Genre", "1999", "Title", "7"};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(fileField(list, 1, keys[i]), fromSource[i]);

    // The default tags are stored as they are, placeholders and all.
    g_bCopyID3FromSource = false;
    g_sTagAlbum = "[ALBUM]";
    g_sTagArtist = "Me";
    g_sTagComment = "made [DATE]";
    g_sTagGenre = "Pop";
    g_sTagYear = "2024";
    g_sTagSong = "[FILE_NAME]";
    g_sTagTrack = "[TRACK_NUM]";
    f.platform.dialogs().openAnswers.enqueue({song});
    command(m, "Add Files");
    const QStringList defaults{"[ALBUM]", "Me", "made [DATE]", "Pop", "2024", "[FILE_NAME]", "[TRACK_NUM]"};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(fileField(list, 2, keys[i]), defaults[i]);
}

// Folders, empty files, unsupported extensions, missing files and files that hold no audio
// are left out, and named with why in one box at the end; the others still go in.
void tst_AddFiles::skippedAndReported()
{
    Fixture f;
    const QString list = f.addList("a", {"old"});
    const QString folder = f.platform.path("audio/folder.wav");
    QDir().mkpath(folder);
    const QString empty = f.platform.path("audio/empty.wav");
    TestFiles::WriteBytes(empty, "");
    f.audio[empty] = FakeFileScript{0, 1000, 44100, 2, 16, {}};
    const QString text = f.platform.path("audio/notes.txt");
    TestFiles::WriteBytes(text, "text");
    const QString missing = f.platform.path("audio/gone.wav");
    const QString noExt = f.platform.path("audio/README");
    TestFiles::WriteBytes(noExt, "read me");
    const QString a = f.addAudio("a.wav");
    const QString b = f.addAudio("b.mp3");
    frmMain* m = f.start();
    f.platform.dialogs().openAnswers.enqueue({folder, empty, a, text, missing, noExt, b});
    f.platform.messages().answerAll = vbOK;
    command(m, "Add Files");
    QCOMPARE(gridNames(m->cGrid1), QStringLiteral("old a.wav b.mp3"));
    QCOMPARE(fileNames(list), QStringLiteral("old a.wav b.mp3"));
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             "Cannot add 5 files:\r\n\r\n" + folder + ": it is a folder.\r\n" + empty + ": it is empty.\r\n" + text
                 + ": it is not of a supported audio format.\r\n" + missing + ": it was not found.\r\n" + noExt
                 + ": it holds no audio that can be read.");
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
}

// Forty files that cannot be added, among them pipes and links to devices, dropped at once:
// one box at the end names the first twenty with why and counts the rest; the good files
// between them go in. No pipe or device is ever opened.
void tst_AddFiles::fortyRefusedFilesOneBox()
{
    Fixture f;
    const QString list = f.addList("a", {});
    QStringList dropped;
    QStringList refused;
    QStringList lines;
    auto refuse = [&](const QString& path, const QString& why) {
        dropped << path;
        refused << path;
        lines << path + ": " + why + ".";
    };
    QStringList good;
    for (int i = 1; i <= 40; ++i) {
        const QString path = f.platform.path(QStringLiteral("audio/r%1.wav").arg(i, 2, 10, QChar(u'0')));
        if (i % 8 == 1) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
            refuse(path, "it is not a regular file");
        } else if (i % 8 == 2) {
            QVERIFY(QFile::link(i % 16 == 2 ? "/dev/zero" : "/dev/null", path));
            refuse(path, "it is not a regular file");
        } else if (i % 8 == 3) {
            TestFiles::WriteBytes(path, "");
            refuse(path, "it is empty");
        } else {
            TestFiles::WriteBytes(path, "no audio in here");  // the converter cannot read it
            refuse(path, "it holds no audio that can be read");
        }
        if (i % 10 == 0) {
            good << f.addAudio(QStringLiteral("good%1.wav").arg(i));
            dropped << good.last();
        }
    }
    frmMain* m = f.start();
    f.platform.messages().answers.enqueue(vbOK);
    m->cGrid1_OLEDragDrop(dropped, 1, 1, 0, 0, 0);
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             "Cannot add 40 files:\r\n\r\n" + lines.mid(0, 20).join("\r\n") + "\r\n\r\nand 20 more.");
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QCOMPARE(gridNames(m->cGrid1), QStringLiteral("good10.wav good20.wav good30.wav good40.wav"));
    QCOMPARE(fileNames(list), gridNames(m->cGrid1));
    QVERIFY(!Forms::IsLoaded<frmStat>());
    QVERIFY(!m->AddingFiles());

    // Twenty exactly are all named, with nothing more counted.
    f.platform.messages().answers.enqueue(vbOK);
    m->cGrid1_OLEDragDrop(refused.mid(0, 20), 1, 1, 0, 0, 0);
    QCOMPARE(f.platform.messages().shown.last().prompt,
             "Cannot add 20 files:\r\n\r\n" + lines.mid(0, 20).join("\r\n"));
    QCOMPARE(m->cGrid1->Rows(), 4);
}

void tst_AddFiles::nothingAddedToAnEmptyList()
{
    Fixture f;
    const QString list = f.addList("a", {});
    const QString empty = f.platform.path("audio/empty.wav");
    TestFiles::WriteBytes(empty, "");
    frmMain* m = f.start();
    m->cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Busy"));
    // A drop of only empty files: the window opens and closes, the list stays as it was,
    // and the box says why nothing was added.
    f.platform.messages().answers.enqueue(vbOK);
    m->cGrid1_OLEDragDrop({empty}, 1, 1, 0, 0, 0);
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, "Cannot add " + empty + ": it is empty.");
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(!m->picEmptyMsg->isHidden());
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Main")), QStringLiteral("Busy"));
    QVERIFY(!Forms::IsLoaded<frmStat>());
    QCOMPARE(fileRecords(list).size(), 0);
}

// Files dropped on the grid, its notice or the notice's labels; empty and hidden files
// stay out and are named, as is a path that cannot be read.
void tst_AddFiles::drops()
{
    Fixture f;
    const QString list = f.addList("a", {});
    const QString one = f.addAudio("one.wav");
    const QString two = f.addAudio("two.wav");
    const QString three = f.addAudio("three.wav");
    const QString hidden = f.addAudio(".hidden.wav");
    const QString empty = f.platform.path("audio/empty.wav");
    TestFiles::WriteBytes(empty, "");
    f.audio[empty] = FakeFileScript{0, 1000, 44100, 2, 16, {}};
    const QString missing = f.platform.path("audio/missing.wav");
    frmMain* m = f.start();
    QVERIFY(!m->picEmptyMsg->isHidden());

    // On the notice's label, as the desktop drops.
    f.platform.messages().answers.enqueue(vbOK);
    dropFiles(m->lblAddorDrag, {one, empty, hidden});
    QCOMPARE(f.platform.messages().shown.last().prompt,
             "Cannot add 2 files:\r\n\r\n" + hidden + ": it is a hidden file.\r\n" + empty + ": it is empty.");
    QCOMPARE(gridNames(m->cGrid1), QStringLiteral("one.wav"));
    QVERIFY(m->picEmptyMsg->isHidden());
    QCOMPARE(fileNames(list), QStringLiteral("one.wav"));

    // On the grid itself.
    f.platform.messages().answers.enqueue(vbOK);
    dropFiles(m->cGrid1->View()->viewport(), {missing, two});
    QCOMPARE(f.platform.messages().shown.last().prompt, "Cannot add " + missing + ": it was not found.");
    QCOMPARE(fileNames(list), QStringLiteral("one.wav two.wav"));

    // The other label and the notice itself hand their drops on unchanged.
    m->lblEmptylist_OLEDragDrop({three}, 1, 1, 0, 0, 0);
    m->picEmptyMsg_OLEDragDrop({one}, 1, 1, 0, 0, 0);
    QCOMPARE(fileNames(list), QStringLiteral("one.wav two.wav three.wav one.wav"));
    QCOMPARE(f.platform.messages().shown.size(), 2);
}

void tst_AddFiles::refusedOnCDAndGroupNodes()
{
    Fixture f;
    const QString list = f.addList("a", {"x"});
    const QString song = f.addAudio("song.wav");
    frmMain* m = f.start();
    const QByteArray before = TestFiles::ReadBytes(list);

    // A CD drive: the command says why; a drop is ignored without a word.
    cTreeItem* drive = m->cTreeView1->Nodes().Add(nullptr, cTreeItems::tvwLast, "##CDD: Drive", "D:", 25, 25);
    m->cTreeView1_NodeClick(drive);
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Add Files");
    QCOMPARE(f.platform.messages().shown.last().prompt,
             "Adding new items to the Audio CD List is not possible." + QString(20, u' '));
    m->cGrid1_OLEDragDrop({song}, 1, 1, 0, 0, 0);
    dropFiles(m->lblAddorDrag, {song});
    QCOMPARE(m->cGrid1->Rows(), 0);

    // A group node: nothing at all.
    g_nodMainItems->SetItemFlag67(true);
    m->cTreeView1_NodeClick(g_nodMainItems);
    command(m, "Add Files");
    m->cGrid1_OLEDragDrop({song}, 1, 1, 0, 0, 0);
    QCOMPARE(m->cGrid1->Rows(), 0);
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QVERIFY(f.platform.dialogs().openRequests.isEmpty());
    QCOMPARE(TestFiles::ReadBytes(list), before);
    QVERIFY(QDir::current().entryList({"##*"}, QDir::AllEntries).isEmpty());
}

// A thousand small WAV files through the real converter: one row each, all in the list file.
void tst_AddFiles::thousandWavFiles()
{
    Fixture f;
    SetAudioConverterFactory({});  // the real converter
    const QString list = f.addList("a", {});
    const QVector<qint16> samples = AudioFixtures::sine(400, 1, 8000, 440.0);  // 0.05 s
    const QByteArray wav = AudioFixtures::wavBytes(8000, 1, 16, samples);
    QStringList paths;
    for (int i = 0; i < 1000; ++i) {
        const QString path = f.platform.path(QStringLiteral("audio/tone%1.wav").arg(i, 4, 10, QChar(u'0')));
        TestFiles::WriteBytes(path, wav);
        paths << path;
    }
    frmMain* m = f.start();
    f.platform.dialogs().openAnswers.enqueue(paths);
    QElapsedTimer clock;
    clock.start();
    command(m, "Add Files");
    qInfo("1000 files added in %lld ms", clock.elapsed());
    QCOMPARE(m->cGrid1->Rows(), 1000);
    QCOMPARE(RowText(m->cGrid1, 1000, "Item Name"), QStringLiteral("tone0999.wav"));
    QCOMPARE(RowText(m->cGrid1, 1, "Time"), QStringLiteral("00:00:00"));
    QCOMPARE(RowText(m->cGrid1, 1, "COL_BYTES_SIZE"), QString::number(wav.size()));
    const QStringList records = fileRecords(list);
    QCOMPARE(records.size(), 1000);
    QCOMPARE(GetTagValue("COL_FILE", records[999]), paths[999]);
    QVERIFY(f.platform.messages().shown.isEmpty());
}

void tst_AddFiles::noListCommandWhileAdding_data()
{
    QTest::addColumn<QString>("stop");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("close box") << "close";
    QTest::newRow("main window closed") << "exit";
    QTest::newRow("exit from the tray") << "tray exit";
    QTest::newRow("the add-files window goes away") << "gone";
}

// While a file is being probed the windows keep answering: the main window takes no list
// command, so no row lands in another list, and Cancel, the close box, closing the main
// window or the add-files window going away end the run at once, the file being probed
// given up, however long its probe takes. Every way out gives the list commands back.
void tst_AddFiles::noListCommandWhileAdding()
{
    QFETCH(QString, stop);
    Fixture f;
    const QString a = f.addList("a", {"x"});
    const QString b = f.addList("b", {"y"});
    QStringList paths;
    for (int i = 1; i <= 6; ++i)
        paths << f.addAudio(QStringLiteral("f%1.wav").arg(i));

    // The probe of the third file hangs until the test lets it go (at most 3 s); it runs
    // away from the window's thread, so it only tells when it has begun.
    struct Hang {
        std::atomic<bool> begun{false};
        std::atomic<qint64> begunAt{0};
        QSemaphore release;
    };
    auto hang = std::make_shared<Hang>();
    QPointer<HookedConverter> probing;
    SetAudioConverterFactory([&](QObject* parent) -> cAudioConverter* {
        auto* c = new HookedConverter(parent);
        c->files = f.audio;
        if (qobject_cast<frmStat*>(parent) && !probing) {
            probing = c;
            const QString slow = paths[2];
            c->hook = [hang, slow](const QString& file) {
                if (file != slow)
                    return;
                hang->begunAt = QDateTime::currentMSecsSinceEpoch();
                hang->begun = true;
                hang->release.tryAcquire(1, 3000);
            };
        }
        return c;
    });
    frmMain* m = f.start();

    QString during;
    qint64 stoppedAt = 0;
    QTimer act;
    act.setInterval(5);
    connect(&act, &QTimer::timeout, this, [&] {
        if (!hang->begun || !Forms::IsLoaded<frmStat>())
            return;
        act.stop();
        frmStat* stat = g_frmStat();
        QVERIFY(stat->isVisible());
        QCOMPARE(stat->windowModality(), Qt::WindowModal);
        QCOMPARE(stat->parentWidget(), static_cast<QWidget*>(m));
        QCOMPARE(stat->cProgressBar1->Min(), 1);
        QCOMPARE(stat->cProgressBar1->Max(), 7);
        QCOMPARE(stat->cProgressBar1->Value(), 2);
        QCOMPARE(stat->lblStat->text(), "Adding " + paths[1]);
        // Every way to another list, or to this list's rows, is closed.
        m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(2));
        command(m, "New Items List");
        command(m, "Remove Item");
        command(m, "Clear the List");
        command(m, "Add Files");
        m->cGrid1_OLEDragDrop({paths[5]}, 1, 1, 0, 0, 0);
        during = m->GridListFile() + u'|' + QString::number(m->cGrid1->Rows());
        stoppedAt = QDateTime::currentMSecsSinceEpoch();
        if (stop == QLatin1String("cancel"))
            stat->cmdCancel_Click();
        else if (stop == QLatin1String("close"))
            stat->close();
        else if (stop == QLatin1String("exit"))
            m->close();
        else if (stop == QLatin1String("tray exit"))
            command(m, "RC Exit");
        else
            delete stat;
    });
    act.start();
    f.platform.dialogs().openAnswers.enqueue(paths);
    command(m, "Add Files");
    const qint64 returnedAt = QDateTime::currentMSecsSinceEpoch();
    hang->release.release();
    QTRY_VERIFY(probing.isNull());  // the probe given up ends, and its component with it

    QVERIFY(hang->begun);
    QCOMPARE(during, a + "|3");  // still list a, with the two files written so far
    QVERIFY2(returnedAt - hang->begunAt < 1000, qPrintable(QStringLiteral("the run ended %1 ms after the slow probe began")
                                                               .arg(returnedAt - hang->begunAt)));
    QVERIFY(returnedAt - stoppedAt < 1000);
    QCOMPARE(f.platform.dialogs().openRequests.size(), 1);
    QVERIFY(!QFileInfo::exists(f.platform.path("Main/New Items List 1.flst")));
    // The file being probed is given up, and nothing after it is looked at.
    QCOMPARE(fileNames(a), QStringLiteral("x f1.wav f2.wav"));
    QCOMPARE(fileNames(b), QStringLiteral("y"));
    QVERIFY(!Forms::IsLoaded<frmStat>());
    if (stop.endsWith(QLatin1String("exit"))) {
        // The main window closes once the rows are saved.
        QVERIFY(!Forms::IsLoaded<frmMain>());
        return;
    }
    QVERIFY(Forms::IsLoaded<frmMain>());
    QVERIFY(!m->tmrRemove.isActive());
    QVERIFY(!m->AddingFiles());
    // The window takes commands again.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(2));
    QCOMPARE(m->GridListFile(), b);
}

QTEST_MAIN(tst_AddFiles)
#include "tst_addfiles.moc"
