// The tags editor window: how it opens, the tabs of each version choice, which tag fills
// which box for each version, the file dialog, closing, and its command in the main window.
#include "TagsEditorFixture.h"

#include "common/mdlWindowHelpers.h"
#include "components/cTabControl/cTabControl.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tests/mainwindow/MainWindowFixture.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>

using namespace TagsEditorTest;

namespace {

QStringList tabs(cTabControl* t)
{
    QStringList out;
    for (qint32 i = 1; i <= t->TabCount(); ++i)
        out << t->TabCaption(i) + u'=' + t->TabKey(i);
    return out;
}

// The pages shown, by name.
QStringList shownPages(frmMP3TagsEditor* w)
{
    QStringList out;
    if (w->froGeneral->isVisibleTo(w))
        out << "General";
    if (w->froAdvanced->isVisibleTo(w))
        out << "Advanced";
    if (w->froLyric->isVisibleTo(w))
        out << "Lyrics";
    return out;
}

} // namespace

class tst_TagsEditor : public QObject
{
    Q_OBJECT
private slots:
    void opensReady();
    void genreList();
    void tabsOfEachVersion_data();
    void tabsOfEachVersion();
    void boxesOfEachVersion_data();
    void boxesOfEachVersion();
    void genreCodesLoaded_data();
    void genreCodesLoaded();
    void unreadableFileLoadsNothing();
    void fileDialog();
    void closeUnloads();
    void mainWindowCommand();
};

void tst_TagsEditor::opensReady()
{
    Editor e;
    frmMP3TagsEditor* w = e.w;
    QCOMPARE(w->windowTitle(), QStringLiteral("MP3 Tags Editor"));
    QCOMPARE(w->lblTitleMain->text(), QStringLiteral("MP3 Tags Editor"));
    QVERIFY(!w->windowIcon().isNull());
    const QList<QPair<QLabel*, const char*>> captions{
        {w->lblSourceFIle, "Source File:"}, {w->Label1, "Version:"},
        {w->lblTitle, "Title"},             {w->lblArtist, "Artist"},
        {w->lblAlbum, "Album"},             {w->lblYear, "Year"},
        {w->lblGenre, "Genre"},             {w->lblTrackNum, "Track Number"},
        {w->lblDescription, "Comment"},     {w->lblOriginalArtist, "Original Artist"},
        {w->lblURL, "URL"},                 {w->lblEncodedBy, "Encoded By"},
        {w->lblCopyright, "Copyright"},     {w->lblLyric, "Lyrics"}};
    for (const auto& [label, caption] : captions)
        QCOMPARE(label->text(), QString::fromUtf8(caption));
    QCOMPARE(w->cmdSelectFile->text(), QStringLiteral("..."));
    QCOMPARE(w->cmdApply->text(), QStringLiteral("Apply"));
    QCOMPARE(w->cmdClose->text(), QStringLiteral("Close"));

    QStringList versions;
    for (int i = 0; i < w->cboID3->count(); ++i)
        versions << w->cboID3->itemText(i);
    QCOMPARE(versions, (QStringList{"ID3 v1", "ID3 v2", "ID3 v1+v2"}));
    QVERIFY(!w->cboID3->isEditable());
    QCOMPARE(w->cboID3->currentIndex(), 2);
    QCOMPARE(tabs(w->cTabControl1), (QStringList{"General=General", "Advanced=Advanced", "Lyrics=Lyrics"}));
    QCOMPARE(shownPages(w), QStringList{"General"});
    QVERIFY(w->sSourceFile->text().isEmpty());
    QVERIFY(!w->cmdApply->isEnabled());
    QVERIFY(e.platform.messages().shown.isEmpty());

    // Each page lies over the tab strip's page area, reaching 50 twips further left.
    cTabControl* t = w->cTabControl1;
    for (QFrame* page : {w->froGeneral, w->froAdvanced, w->froLyric}) {
        QCOMPARE(page->x(), TwipsToPixels(t->ClientLeft() - 50));
        QCOMPARE(page->y(), TwipsToPixels(t->ClientTop()));
        QCOMPARE(page->width(), TwipsToPixels(t->ClientWidth() + 50));
        QCOMPARE(page->height(), TwipsToPixels(t->ClientHeight()));
    }
}

void tst_TagsEditor::genreList()
{
    Editor e;
    QComboBox* g = e.w->cboGenre;
    QVERIFY(g->isEditable());
    QCOMPARE(g->count(), 148);
    QCOMPARE(g->itemText(0), QString());
    QCOMPARE(g->itemData(0).toInt(), 255);
    // Every code with a name, in code order, 123 left out.
    int expected = 0;
    for (int i = 1; i < g->count(); ++i, ++expected) {
        if (expected == 123)
            ++expected;
        QCOMPARE(g->itemData(i).toInt(), expected);
        QCOMPARE(g->itemText(i), cMP3ID3v1::GenreName(quint8(expected)));
    }
    QCOMPARE(g->itemText(1), QStringLiteral("Blues"));
    QCOMPARE(g->itemText(123), QStringLiteral("Drum Solo"));
    QCOMPARE(g->itemText(124), QStringLiteral("Euro - House"));
    QCOMPARE(g->itemText(147), QStringLiteral("Synth Pop"));
}

void tst_TagsEditor::tabsOfEachVersion_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("tabs");
    const QStringList all{"General=General", "Advanced=Advanced", "Lyrics=Lyrics"};
    QTest::newRow("ID3 v1") << int(V1) << QStringList{"General=General"};
    QTest::newRow("ID3 v2") << int(V2) << all;
    QTest::newRow("ID3 v1+v2") << int(V1V2) << all;
}

void tst_TagsEditor::tabsOfEachVersion()
{
    QFETCH(int, version);
    QFETCH(QStringList, tabs);
    Editor e;
    frmMP3TagsEditor* w = e.w;
    // Start from another choice with the Lyrics page up, so the rebuild shows.
    e.version(version == V1 ? V2 : V1);
    e.version(V2);
    w->cTabControl1->Bar()->setCurrentIndex(2);
    QCOMPARE(shownPages(w), QStringList{"Lyrics"});

    e.version(version);
    QCOMPARE(::tabs(w->cTabControl1), tabs);
    QCOMPARE(shownPages(w), QStringList{"General"});
    // A click on each tab shows its page alone.
    for (int i = tabs.size() - 1; i >= 0; --i) {
        w->cTabControl1->Bar()->setCurrentIndex(i);
        QCOMPARE(shownPages(w), QStringList{tabs[i].section(u'=', 1)});
    }
}

void tst_TagsEditor::boxesOfEachVersion_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("ID3 v1") << int(V1)
                            << QStringList{"V1 Title", "V1 Artist", "V1 Album", "1999", "Jazz", "", "V1 comment",
                                           "",         "",          "",         "",     ""};
    QTest::newRow("ID3 v2") << int(V2)
                            << QStringList{"V2 Title ☺", "",        "V2 Album", "2005",     "Rock",
                                           "7/9",         "V2 comment", "Original", "http://example.org/",
                                           "Encoder",     "2005 Someone", "Line 1\nLine 2"};
    // Each value version 2 holds replaces version 1's; the artist it lacks stays.
    QTest::newRow("ID3 v1+v2") << int(V1V2)
                               << QStringList{"V2 Title ☺", "V1 Artist", "V2 Album", "2005", "Rock",
                                              "7/9",         "V2 comment", "Original", "http://example.org/",
                                              "Encoder",     "2005 Someone", "Line 1\nLine 2"};
}

void tst_TagsEditor::boxesOfEachVersion()
{
    QFETCH(int, version);
    QFETCH(QStringList, boxes);
    Editor e;
    const QString file = BothTagsFile(e.platform.path("both.mp3"));
    e.choose(file);
    QCOMPARE(e.w->sSourceFile->text(), file);
    QVERIFY(e.w->cmdApply->isEnabled());

    // Edits not applied are lost when the version choice reads the file again.
    e.w->txtTitle->setText("typed");
    e.w->txtTrackNum->setText("99");
    e.w->txtLyric->setPlainText("typed");
    e.version(version);
    QCOMPARE(e.boxes(), boxes);
    QVERIFY(e.platform.messages().shown.isEmpty());
}

void tst_TagsEditor::genreCodesLoaded_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0") << 0 << "Blues";
    QTest::newRow("122") << 122 << "Drum Solo";
    QTest::newRow("123 has no name") << 123 << "";
    QTest::newRow("124") << 124 << "Euro - House";
    QTest::newRow("147") << 147 << "Synth Pop";
    QTest::newRow("148 has no name") << 148 << "";
    QTest::newRow("255 is no genre") << 255 << "";
}

void tst_TagsEditor::genreCodesLoaded()
{
    QFETCH(int, code);
    QFETCH(QString, shown);
    Editor e;
    e.version(V1);
    // The file before had a genre in the box: a code without a name empties it.
    const QString jazz = e.platform.path("jazz.mp3");
    Make(jazz, Music() + V1Block("", "", "", "", "", 0, 8));
    e.choose(jazz);
    QCOMPARE(e.w->cboGenre->currentText(), QStringLiteral("Jazz"));

    const QString file = e.platform.path("genre.mp3");
    Make(file, Music() + V1Block("T", "", "", "", "", 0, quint8(code)));
    e.choose(file);
    QCOMPARE(e.w->cboGenre->currentText(), shown);
    if (shown.isEmpty())
        QCOMPARE(e.w->cboGenre->currentIndex(), 0);
}

void tst_TagsEditor::unreadableFileLoadsNothing()
{
    Editor e;
    e.choose(BothTagsFile(e.platform.path("both.mp3")));
    QCOMPARE(e.w->txtTitle->text(), QStringLiteral("V2 Title ☺"));
    // A file that is gone by the time it is read: every box empty, nothing said.
    const QString gone = e.platform.path("gone/song.mp3");
    e.choose(gone);
    QCOMPARE(e.w->sSourceFile->text(), gone);
    QCOMPARE(e.boxes(), QStringList(12, QString()));
    QVERIFY(e.w->cmdApply->isEnabled());
    QVERIFY(e.platform.messages().shown.isEmpty());
}

void tst_TagsEditor::fileDialog()
{
    Editor e;
    frmMP3TagsEditor* w = e.w;
    // Cancelled before any file: nothing changes.
    w->cmdSelectFile_Click();
    QCOMPARE(e.platform.dialogs().openRequests.size(), 1);
    const FileRequest& request = e.platform.dialogs().openRequests[0];
    QCOMPARE(request.title, QStringLiteral("Open MP3 audio file"));
    QCOMPARE(request.filter, QStringLiteral("MP3 Audio Files (*.mp3)"));
    QVERIFY(request.owner == w && request.centreOnOwner);
    QVERIFY(w->sSourceFile->text().isEmpty());
    QVERIFY(!w->cmdApply->isEnabled());

    // Cancelled after a file: the file, its values and Apply stay.
    const QString file = BothTagsFile(e.platform.path("both.mp3"));
    e.choose(file);
    const QStringList loaded = e.boxes();
    w->cmdSelectFile_Click();
    QCOMPARE(w->sSourceFile->text(), file);
    QCOMPARE(e.boxes(), loaded);
    QVERIFY(w->cmdApply->isEnabled());

    // Of several files chosen at once, the first is opened.
    const QString other = e.platform.path("other.mp3");
    Make(other, Music() + V1Block("Other", "", "", "", "", 0, 0));
    e.platform.dialogs().openAnswers.enqueue({other, file});
    w->cmdSelectFile_Click();
    QCOMPARE(w->sSourceFile->text(), other);
    QCOMPARE(w->txtTitle->text(), QStringLiteral("Other"));
}

void tst_TagsEditor::closeUnloads()
{
    Editor e;
    e.choose(BothTagsFile(e.platform.path("both.mp3")));
    e.version(V2);
    e.w->cmdClose_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Forms::IsLoaded<frmMP3TagsEditor>());
    QVERIFY(e.platform.messages().shown.isEmpty());  // nothing is asked

    // Opened again, it starts afresh.
    frmMP3TagsEditor* w = g_frmMP3TagsEditor();
    QCOMPARE(w->cboID3->currentIndex(), 2);
    QVERIFY(w->sSourceFile->text().isEmpty());
    QVERIFY(w->txtTitle->text().isEmpty());
    QVERIFY(!w->cmdApply->isEnabled());
}

void tst_TagsEditor::mainWindowCommand()
{
    using namespace ListsTest;
    using namespace MainWindowTest;
    {
        // This product does not offer the editor: its key reaches no item.
        Fixture f;
        applyProfile(Profile::Product);
        f.addList("Songs", {"a.wav*"});
        frmMain* m = f.start();
        QCOMPARE(m->m_cMenu->IndexForKey("MP3 Tags Editor"), 0);
        m->RunCommand("MP3 Tags Editor");
        QVERIFY(!Forms::IsLoaded<frmMP3TagsEditor>());
    }
    // A product that offers it: the command opens it beside the main window, not modal,
    // after taking the main window out of the always-on-top state.
    Fixture f;
    applyProfile(Profile::AllTools);
    f.addList("Songs", {"a.wav*"});
    frmMain* m = f.start();
    m->Show();
    SetFormOnTop(m, true);
    m->RunCommand("MP3 Tags Editor");
    QVERIFY(Forms::IsLoaded<frmMP3TagsEditor>());
    frmMP3TagsEditor* editor = g_frmMP3TagsEditor();
    QVERIFY(editor->isVisible());
    QVERIFY(!editor->IsShownModal());
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!m->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
    // One editor: the command again shows the same window with what it holds.
    editor->txtTitle->setText("kept");
    m->RunCommand("MP3 Tags Editor");
    QCOMPARE(g_frmMP3TagsEditor(), editor);
    QCOMPARE(editor->txtTitle->text(), QStringLiteral("kept"));
    // The main window's exit closes it too.
    m->RunCommand("Exit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Forms::IsLoaded<frmMP3TagsEditor>());
}

QTEST_MAIN(tst_TagsEditor)
#include "tst_tagseditor.moc"
