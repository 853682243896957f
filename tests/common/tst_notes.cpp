// The notes window: the "Notes" file beside the program is created when missing, its
// text survives closing and reopening unchanged, and the main window's "Notes" panel
// shows the new summary as soon as the window closes.
#include "common/mdlModes.h"
#include "common/frmNotes.h"
#include "components/cStatusBar/cStatusBar.h"
#include "mainwindow/frmMain.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTest>

#include <unistd.h>

namespace {

// Opens the window as the main window does, and closes it again.
QString openNotes()
{
    return g_frmNotes()->Text1->toPlainText();
}

void closeNotes()
{
    QVERIFY(Forms::Unload(g_frmNotes()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_Notes : public QObject
{
    Q_OBJECT
private slots:
    void firstOpeningCreatesTheFile();
    void emptyFileOpensEmpty();
    void survivesReopening_data();
    void survivesReopening();
    void readsOtherLineBreaks();
    void panelShowsNewSummary();
    void unreadableNotesAreKept();
    void otherEncodings_data();
    void otherEncodings();
    void failedSaveIsSaid_data();
    void failedSaveIsSaid();
};

void tst_Notes::firstOpeningCreatesTheFile()
{
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Notes"));
    QVERIFY(!QFile::exists(path));
    frmNotes* n = g_frmNotes();
    QCOMPARE(n->windowTitle(), QStringLiteral("Notes"));
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(n->Text1->toPlainText(), QString());
    QCOMPARE(n->Text1->pos(), QPoint(0, 0));
    // Closing the box as it opened leaves the file as it is; the next opening is empty again.
    closeNotes();
    QCOMPARE(TestFiles::ReadBytes(path), QByteArray());
    QCOMPARE(openNotes(), QString());
}

void tst_Notes::emptyFileOpensEmpty()
{
    TestPlatform platform;
    TestFiles::WriteBytes(platform.path(QStringLiteral("Notes")), QByteArray());
    QCOMPARE(openNotes(), QString());
    closeNotes();
    QCOMPARE(TestFiles::ReadBytes(platform.path(QStringLiteral("Notes"))), QByteArray());
    // Text typed into the empty box is written with its line break.
    g_frmNotes()->Text1->setPlainText(QStringLiteral("new"));
    closeNotes();
    QCOMPARE(TestFiles::ReadBytes(platform.path(QStringLiteral("Notes"))), QByteArray("new\n"));
}

void tst_Notes::survivesReopening_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one character") << "x";
    QTest::newRow("two lines") << "first\nsecond";
    QTest::newRow("ends in a line break") << "ends here\n";
    QTest::newRow("two line breaks at the end") << "a\n\n";
    QTest::newRow("begins with blank lines") << "\n\nlater";
    QTest::newRow("only a line break") << "\n";
    QTest::newRow("trailing blanks and accents") << "  café  \n\tü ";
}

void tst_Notes::survivesReopening()
{
    QFETCH(QString, text);
    TestPlatform platform;
    g_frmNotes()->Text1->setPlainText(text);
    closeNotes();
    QCOMPARE(TestFiles::ReadBytes(platform.path(QStringLiteral("Notes"))), (text + u'\n').toUtf8());
    QCOMPARE(openNotes(), text);
    // Closing unchanged writes the same file again.
    closeNotes();
    QCOMPARE(openNotes(), text);
}

void tst_Notes::readsOtherLineBreaks()
{
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Notes"));
    TestFiles::WriteBytes(path, "one\r\ntwo\r\n\r\n");
    QCOMPARE(openNotes(), QStringLiteral("one\ntwo\n"));
    closeNotes();
    TestFiles::WriteBytes(path, "no break at the end");
    QCOMPARE(openNotes(), QStringLiteral("no break at the end"));
}

void tst_Notes::panelShowsNewSummary()
{
    TestPlatform platform;
    InitProductProfile();
    frmMain* main = Forms::Get<frmMain>();
    QCOMPARE(main->cStatusBar1->PanelText(QStringLiteral("Notes")), QStringLiteral("Notes [ Empty ]"));
    g_frmNotes()->Text1->setPlainText(QStringLiteral("call back\nsoon"));
    closeNotes();
    QCOMPARE(main->cStatusBar1->PanelText(QStringLiteral("Notes")), QStringLiteral("Notes [ call back soon ]"));
    g_frmNotes()->Text1->clear();
    closeNotes();
    QCOMPARE(main->cStatusBar1->PanelText(QStringLiteral("Notes")), QStringLiteral("Notes [ Empty ]"));
}

void tst_Notes::unreadableNotesAreKept()
{
    // A notes file the window cannot read is not replaced by the empty box on closing.
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Notes"));
    if (::geteuid() == 0) {
        // Every file is readable for root: a folder of that name stands in.
        QVERIFY(QDir().mkdir(path));
        QCOMPARE(openNotes(), QString());
        closeNotes();
        QVERIFY(QFileInfo(path).isDir());
        return;
    }
    TestFiles::WriteBytes(path, "precious\n");
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    QCOMPARE(openNotes(), QString());
    closeNotes();
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(TestFiles::ReadBytes(path), QByteArray("precious\n"));
}

void tst_Notes::otherEncodings_data()
{
    // Bytes another program wrote, and the text the window shows for them.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("Windows-1252 accents") << QByteArray("caf\xe9 \xe0 5 \xb5s\r\nna\xefve\r\n")
                                          << QStringLiteral("café à 5 µs\nnaïve");
    QTest::newRow("Windows-1252 quotes and euro") << QByteArray("\x93quoted\x94 \x80 10")
                                                  << QStringLiteral("\u201Cquoted\u201D \u20AC 10");
    QTest::newRow("UTF-8 with CR LF") << QByteArray("caf\xc3\xa9\r\n\r\n") << QStringLiteral("café\n");
    QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xef\xbb\xbfnote\n") << QStringLiteral("note");
}

void tst_Notes::otherEncodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Notes"));
    TestFiles::WriteBytes(path, bytes);
    QCOMPARE(openNotes(), text);
    // Opening and closing changes nothing in the file.
    closeNotes();
    QCOMPARE(TestFiles::ReadBytes(path), bytes);
    // An edit writes the whole text as UTF-8, the accents read correctly included.
    g_frmNotes()->Text1->appendPlainText(QStringLiteral("more"));
    closeNotes();
    QCOMPARE(TestFiles::ReadBytes(path), (text + QStringLiteral("\nmore\n")).toUtf8());
    QCOMPARE(openNotes(), text + QStringLiteral("\nmore"));
}

void tst_Notes::failedSaveIsSaid_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("why");
    QTest::newRow("a folder named Notes") << "folder" << "Is a directory";
    QTest::newRow("program folder gone") << "gone" << "No such file or directory";
}

void tst_Notes::failedSaveIsSaid()
{
    // Typed notes that do not reach the file are not lost without a word.
    QFETCH(QString, how);
    QFETCH(QString, why);
    TestPlatform platform;
    const QString path = platform.path(QStringLiteral("Notes"));
    if (how == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    g_frmNotes()->Text1->setPlainText(QStringLiteral("call the studio"));
    const QString away = platform.home() + QStringLiteral(".away");
    if (how == QLatin1String("gone"))
        QVERIFY(QDir().rename(platform.home(), away));
    platform.messages().answers.enqueue(vbOK);
    closeNotes();
    if (how == QLatin1String("gone"))
        QVERIFY(QDir().rename(away, platform.home()));
    QCOMPARE(platform.messages().shown.size(), 1);
    QCOMPARE(platform.messages().shown[0].prompt,
             QStringLiteral("The notes could not be saved to ") + path + QStringLiteral(": ") + why + u'.');
    QCOMPARE(platform.messages().shown[0].buttons, vbExclamation + vbOKOnly);
    if (how == QLatin1String("folder"))
        QVERIFY(QFileInfo(path).isDir());
    else
        QCOMPARE(TestFiles::ReadBytes(path), QByteArray());  // as the window made it on opening
}

QTEST_MAIN(tst_Notes)
#include "tst_notes.moc"
