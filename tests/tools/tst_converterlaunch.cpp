// Launching the audio converter and the ACM converter from the main window: the guards,
// the hand-over of the marked rows with their totals, the ACM converter's codec sources,
// and a conversion from the menu and from the tools bar.
#include "common/mdlFunctions.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tools/converters/frmACMConverter.h"
#include "tools/converters/frmConverter.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace ListsTest;

namespace {

const QString kMarkToConvert = QStringLiteral("Mark the items to convert.") + QString(29, u' ');

QStringList items(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

} // namespace

class tst_converterlaunch : public QObject
{
    Q_OBJECT
private slots:
    void guards_data();
    void guards();
    void handsOverTheMarkedRows();
    void acmConverterSources_data();
    void acmConverterSources();
    void convertsFromTheMenuAndTheButton_data();
    void convertsFromTheMenuAndTheButton();
};

void tst_converterlaunch::guards_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message");
    QTest::newRow("group node") << "Audio Converter" << "group"
                                << QStringLiteral("Select the Items List.") + QString(40, u' ');
    QTest::newRow("nothing marked") << "Audio Converter" << "unmarked" << kMarkToConvert;
    QTest::newRow("empty list asks for files") << "Audio Converter" << "empty" << QString();
    QTest::newRow("ACM converter, nothing marked") << "ACM Converter" << "unmarked" << kMarkToConvert;
}

void tst_converterlaunch::guards()
{
    QFETCH(QString, tool);
    QFETCH(QString, situation);
    QFETCH(QString, message);
    Fixture f;
    f.addList("Songs", {"a.wav", "b.wav"});
    f.addListText("Empty", QString());
    frmMain* m = f.start();
    if (situation == QLatin1String("group")) {
        cTreeItem* group = m->cTreeView1->Nodes().Item(1);
        group->SetItemFlag67(true);
        m->cTreeView1_NodeClick(group);
    } else if (situation == QLatin1String("empty")) {
        m->cTreeView1_NodeClick(listNode(m, "Empty"));
    } else {
        m->cTreeView1_NodeClick(listNode(m, "Songs"));
    }
    if (!message.isEmpty())
        f.platform.messages().answers.enqueue(vbOK);
    command(m, qPrintable(tool));
    if (message.isEmpty()) {
        QVERIFY(f.platform.messages().shown.isEmpty());
        QCOMPARE(f.platform.dialogs().openRequests.size(), 1);  // "Add Files", cancelled
    } else {
        QCOMPARE(f.platform.messages().shown.size(), 1);
        QCOMPARE(f.platform.messages().shown[0].prompt, message);
        QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    }
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmConverter>());
    QVERIFY(!Forms::IsLoaded<frmACMConverter>());
}

void tst_converterlaunch::handsOverTheMarkedRows()
{
    Fixture f;
    const QString a = f.addAudio("a.wav", 2048, 62000);
    const QString b = f.addAudio("b.wav", 100, 30000);
    const QString c = f.addAudio("c.mp3", 1024, 125000);
    const QString range = QStringLiteral(
        "<COL_RANGE_ALL>0</COL_RANGE_ALL><COL_RANGE_START_TIME>10</COL_RANGE_START_TIME>"
        "<COL_RANGE_LENGTH_TIME>40</COL_RANGE_LENGTH_TIME><COL_TAG_ARTIST>Someone</COL_TAG_ARTIST>");
    f.addListText("My List!", record("1", "a.wav", a) + record("0", "b.wav", b) + record("1", "c.mp3", c, range));
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "My List!"));
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmConverter*>(form);
        QVERIFY(w);
        shown = true;
        QVERIFY(!m->tmrCDs.isActive());
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("2 items to convert."));
        QCOMPARE(w->g_ltmrItemSecsTotal, 62 + 40);
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:01:42"));
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Time")), QStringLiteral("Total Size: 3.00 KB"));
        QCOMPARE(w->txtUndeForlder->text(), QStringLiteral("My-List-"));
        QCOMPARE(w->cGrid1->Rows(), 2);
        QCOMPARE(RowText(w->cGrid1, 1, QStringLiteral("COL_FILE")), a);
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_FILE")), c);
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_RANGE_START_TIME")), QStringLiteral("10"));
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_TAG_ARTIST")), QStringLiteral("Someone"));
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
        w->cmdExit_Click();
    });
    command(m, "Audio Converter");
    QVERIFY(shown);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmConverter"});
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!Forms::IsLoaded<frmConverter>());
}

void tst_converterlaunch::acmConverterSources_data()
{
    QTest::addColumn<int>("current");  // the main grid's current row
    QTest::addColumn<QString>("chosen");
    QTest::newRow("current row unmarked, still chosen") << 2 << "b.wav";
    QTest::newRow("current row marked") << 3 << "c.mp3";
    QTest::newRow("a path listed twice: its first entry") << 4 << "a.wav";
}

void tst_converterlaunch::acmConverterSources()
{
    QFETCH(int, current);
    QFETCH(QString, chosen);
    Fixture f;
    const QString a = f.addAudio("a.wav", 2048, 62000);
    const QString b = f.addAudio("b.wav", 100, 30000, 1);
    const QString c = f.addAudio("c.mp3", 1024, 125000);
    f.audio[b].sampleRate = 8000;
    f.addListText("My List!", record("1", "a.wav", a) + record("0", "b.wav", b) + record("1", "c.mp3", c) +
                                  record("0", "a again", a));
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "My List!"));
    m->cGrid1->SetCurrentRow(current);
    const QString chosenPath = f.platform.path("audio/" + chosen);
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmACMConverter*>(form);
        QVERIFY(w);
        shown = true;
        // The converter's hand-over.
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("2 items to convert."));
        QCOMPARE(w->g_ltmrItemSecsTotal, 62 + 125);
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:03:07"));
        QCOMPARE(w->txtUndeForlder->text(), QStringLiteral("My-List-"));
        QCOMPARE(w->cGrid1->Rows(), 2);
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_FILE")), c);
        // Every row's file, marked or not, in grid order, a file as often as its rows.
        QCOMPARE(items(w->cboBestAccordItem), (QStringList{"All ACM Codecs", a, b, c, a}));
        QCOMPARE(w->cboBestAccordItem->currentText(), chosenPath);
        // The chosen file's format was read and the codecs it converts to listed, "PCM" chosen.
        auto* conv = qobject_cast<FakeAudioConverter*>(w->cAudioConverter1);
        QCOMPARE(conv->readInfoCalls, QStringList{chosenPath});
        const FakeFileScript& script = f.audio[chosenPath];
        QCOMPARE(conv->enumTagCalls.last(),
                 (QList<qint32>{1, script.sampleRate, script.channels, script.bitsPerSample, 0x100000}));
        QCOMPARE(w->cboTags->count(), conv->acmTags.size());
        QCOMPARE(w->cboTags->currentText(), QStringLiteral("PCM"));
        QCOMPARE(w->cboFormats->currentIndex(), 0);
        w->cmdExit_Click();
    });
    command(m, "ACM Converter");
    QVERIFY(shown);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmACMConverter"});
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!Forms::IsLoaded<frmACMConverter>());
}

void tst_converterlaunch::convertsFromTheMenuAndTheButton_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<bool>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("extension");
    QTest::newRow("audio converter, menu") << "Audio Converter" << false << "frmConverter" << "mp3";
    QTest::newRow("audio converter, tools bar") << "Audio Converter" << true << "frmConverter" << "mp3";
    QTest::newRow("ACM converter, menu") << "ACM Converter" << false << "frmACMConverter" << "wav";
    QTest::newRow("ACM converter, tools bar") << "ACM Converter" << true << "frmACMConverter" << "wav";
}

void tst_converterlaunch::convertsFromTheMenuAndTheButton()
{
    QFETCH(QString, tool);
    QFETCH(bool, button);
    QFETCH(QString, window);
    QFETCH(QString, extension);
    Fixture f;
    f.fakes.setupConverter = [&f](FakeAudioConverter* c) {
        c->files = f.audio;
        c->autoFinish = FakeAutoFinish::Done;
    };
    f.addAudio("one.wav", 1000, 60000);
    f.addAudio("two.mp3", 1000, 60000);
    f.addAudio("three.flac", 1000, 60000);
    f.addList("Songs", {"one.wav*", "two.mp3", "three.flac*"});
    frmMain* m = f.start();
    const QString dest = f.platform.path("converted/");
    QList<FakeJobRecord> started;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<ConverterToolWindow*>(form);
        QVERIFY(w);
        w->txtToPath->setEditText(dest);
        w->txtUndeForlder->clear();
        w->chkCreateSubFolder->SetValue(1);
        if (auto* acm = qobject_cast<frmACMConverter*>(w)) {
            QVERIFY(SelectListText(acm->cboTags, QStringLiteral("IMA ADPCM")));
            acm->cboTags_Click();
        } else {
            QVERIFY(SelectListText(w->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)")));
        }
        w->cboFileName->setCurrentIndex(2);  // "[file_name]_[123].[dest_extension]"
        w->cmdConvert_Click();
        QTRY_VERIFY(!w->IsBusy());
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
        started = qobject_cast<FakeAudioConverter*>(w->cAudioConverter1)->started;
        w->cmdExit_Click();
    });
    if (button)
        m->tlbrRecorder->ButtonClick(m->tlbrRecorder->ButtonIndex(tool));
    else
        command(m, qPrintable(tool));
    QCOMPARE(f.platform.modal().shown, QStringList{window});
    QCOMPARE(started.size(), 2);
    QCOMPARE(started[0].output, dest + "one_1." + extension);
    QCOMPARE(started[1].output, dest + "three_2." + extension);
    if (window == QLatin1String("frmACMConverter")) {
        for (const FakeJobRecord& r : started) {
            QCOMPARE(r.format, 2);
            QCOMPARE(r.settings.ACMTag, QStringLiteral("IMA ADPCM"));
            QCOMPARE(r.settings.ACMFormat, QStringLiteral("44100 Hz, 4 Bit, Stereo"));
        }
    }
    QCOMPARE(m->cSysTray1->Balloons().size(), 1);
    QCOMPARE(m->cSysTray1->Balloons()[0].message, QStringLiteral("Done."));
}

QTEST_MAIN(tst_converterlaunch)
#include "tst_converterlaunch.moc"
