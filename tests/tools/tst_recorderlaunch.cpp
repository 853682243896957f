// The "Audio Recorder" command of the main window: its menu item and its tools-bar button
// open the recorder modally with nothing handed over, whatever the tree shows, with the
// normal pointer and the drive poll left as it was; once it has closed the information
// grid shows the current row again. "Add" puts the recording into the current list and
// its list file at once, and on a group or CD drive node adds nothing and says why.
#include "components/cToolbar/cToolbar.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tools/recording/frmMicRecorder.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace ListsTest;

class tst_recorderlaunch : public QObject
{
    Q_OBJECT
private slots:
    void opensFromItsMenuItemAndButton_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("polling");  // whether the drive poll runs before
        QTest::newRow("menu item") << "menu item" << true;
        QTest::newRow("tools-bar button") << "tools-bar button" << false;
    }

    void opensFromItsMenuItemAndButton()
    {
        QFETCH(QString, how);
        QFETCH(bool, polling);
        Fixture f;
        f.addList("Songs", {"a.wav", "b.wav"});
        frmMain* m = f.start();
        if (polling)
            m->tmrCDs.start();
        m->cGridInfo->Clear();
        bool shown = false;
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* r = qobject_cast<frmMicRecorder*>(form);
            QVERIFY(r);
            shown = true;
            QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
            QCOMPARE(m->tmrCDs.isActive(), polling);
            QVERIFY(r->isVisible());
            QVERIFY(r->txtResults->toPlainText().endsWith(": MeterIn=True.\n"));
            QCOMPARE(r->txtResults->toPlainText().count(u'\n'), 1);
            QCOMPARE(r->cboDevices->currentText(), QStringLiteral("0 - Fake Microphone - 2"));
            QCOMPARE(m->cGridInfo->Rows(), 0);  // refreshed only afterwards
            r->cmdExit->click();
        });
        QVERIFY(launch(m, QStringLiteral("Audio Recorder"), how));
        QVERIFY(shown);
        QCOMPARE(f.platform.modal().shown, QStringList{"frmMicRecorder"});
        QVERIFY(!Forms::IsLoaded<frmMicRecorder>());
        QCOMPARE(m->tmrCDs.isActive(), polling);
        QCOMPARE(m->cGridInfo->Rows(), 9);
        QCOMPARE(m->cGridInfo->Cell(1, 2).Text(), QStringLiteral("a.wav"));
        QVERIFY(f.platform.messages().shown.isEmpty());
    }

    // No list, no rows and no marks are needed.
    void opensWithoutAListOrRows_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("group node") << "group";
        QTest::newRow("empty list") << "empty";
    }

    void opensWithoutAListOrRows()
    {
        QFETCH(QString, situation);
        Fixture f;
        f.addList(situation == "empty" ? "Empty" : "Songs", situation == "empty" ? QStringList() : QStringList{"a.wav"});
        frmMain* m = f.start();
        if (situation == "group") {
            cTreeItem* group = m->cTreeView1->Nodes().Item(1);
            group->SetItemFlag67(true);
            m->cTreeView1_NodeClick(group);
        }
        f.platform.modal().handlers.enqueue([](VForm* form) { qobject_cast<frmMicRecorder*>(form)->cmdExit_Click(); });
        command(m, "Audio Recorder");
        QCOMPARE(f.platform.modal().shown, QStringList{"frmMicRecorder"});
        QVERIFY(f.platform.messages().shown.isEmpty());
        QVERIFY(f.platform.dialogs().openRequests.isEmpty());
    }

    void addPutsTheRecordingIntoTheListAndItsFile()
    {
        Fixture f;
        const QString list = f.addList("Songs", {"a.wav"});
        const QString take = f.addAudio("take.wav", 5000, 3000, 1);
        frmMain* m = f.start();
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* r = qobject_cast<frmMicRecorder*>(form);
            r->txtAudioFile->setText(take);
            r->cmdAdd->click();
            QVERIFY(!Forms::IsLoaded<frmMicRecorder>());
        });
        command(m, "Audio Recorder");
        QCOMPARE(gridItems(m->cGrid1), QStringLiteral("a.wav take.wav*"));
        QCOMPARE(fileItems(list), QStringLiteral("a.wav take.wav*"));
        QCOMPARE(fileField(list, 2, "COL_FILE"), take);
        QVERIFY(f.platform.messages().shown.isEmpty());
    }

    // A path typed relative goes into the list file as the absolute path of the file it
    // names, so the list still finds it when the program starts from another folder.
    void aRelativePathIsListedAsAbsolute()
    {
        Fixture f;
        const QString list = f.addList("Songs", {"a.wav"});
        const QString take = f.addAudio("take.wav", 5000, 3000, 1);
        frmMain* m = f.start();
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QFileInfo(take).path()));
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* r = qobject_cast<frmMicRecorder*>(form);
            r->txtAudioFile->setText(QStringLiteral("take.wav"));
            r->cmdAdd->click();
        });
        command(m, "Audio Recorder");
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(fileField(list, 2, "COL_FILE"), take);
        QCOMPARE(RowText(m->cGrid1, 2, QStringLiteral("COL_FILE")), take);
    }

    // With no list shown, nothing is added or written, the user hears why, and the
    // recorder stays open.
    void addWithoutAList_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("why");
        QTest::newRow("group node") << "group" << " was not added: no items list is selected.";
        QTest::newRow("CD drive") << "cd" << " was not added: new items cannot be added to the Audio CD List.";
    }

    void addWithoutAList()
    {
        QFETCH(QString, node);
        QFETCH(QString, why);
        Fixture f;
        const QString list = f.addList("Songs", {"a.wav"});
        const QByteArray listBytes = TestFiles::ReadBytes(list);
        const QString take = f.addAudio("take.wav", 5000, 3000, 1);
        if (node == "cd") {
            lAppIncCDRipper = 1;
            f.drives = {{"D: Fake Drive", true, {{60, true}}}};
        }
        frmMain* m = f.start();
        cTreeItem* selected = node == "cd" ? g_nodMainCDs->Children().Item(1) : m->cTreeView1->Nodes().Item(1);
        selected->SetItemFlag67(true);
        m->cTreeView1_NodeClick(selected);
        const QString gridBefore = gridItems(m->cGrid1);
        f.platform.messages().answers.enqueue(vbOK);
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* r = qobject_cast<frmMicRecorder*>(form);
            r->txtAudioFile->setText(take);
            r->cmdAdd_Click();
            QVERIFY(Forms::IsLoaded<frmMicRecorder>());
            r->cmdExit_Click();
        });
        command(m, "Audio Recorder");
        lAppIncCDRipper = 0;
        QCOMPARE(f.platform.messages().shown.size(), 1);
        QCOMPARE(f.platform.messages().shown[0].prompt, "The file " + take + why);
        QCOMPARE(gridItems(m->cGrid1), gridBefore);
        QCOMPARE(TestFiles::ReadBytes(list), listBytes);
    }
};

QTEST_MAIN(tst_recorderlaunch)
#include "tst_recorderlaunch.moc"
