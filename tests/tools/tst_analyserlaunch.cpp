// The "Audio Analyser" command of the main window over the real components: a WAV row opens
// in the editor at once, any other row is converted into "tmpeditor.wav" first; an abort,
// a failed conversion or a closed conversion window open nothing; "Add Selection" puts the
// new file into the current list.
#include "common/mdlFunctions.h"
#include "components/cAudioEditor/cAudioEditor.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tools/splitter/frmAudioEditor.h"
#include "tools/splitter/frmAudioEditorProc.h"

#include <QLabel>
#include <QTest>

using namespace ListsTest;

namespace {

const QString kMarkToEdit = QStringLiteral("Mark the item to edit.") + QString(29, u' ');

// A list of real audio files (the real components read them); "name*" is marked.
struct LaunchFixture : Fixture {
    LaunchFixture() { SetAudioConverterFactory({}); }
    QString wav(const QString& name, int rate = 22050, int seconds = 2)
    {
        const QString path = platform.path("audio/" + name);
        AudioFixtures::writeWav(path, rate, 1, 16, AudioFixtures::noise(qint64(rate) * seconds, 1, 3));
        audio[path] = FakeFileScript{0, seconds * 1000, rate, 1, 16, {}};
        return path;
    }
    QString tmpEditor() const { return platform.path("tmpeditor.wav"); }
};

frmAudioEditor* editorOf(VForm* form)
{
    auto* e = qobject_cast<frmAudioEditor*>(form);
    if (e && !QTest::qWaitFor([e] { return e->cAudioEditor1->IsLoaded(); }, 10000))
        return nullptr;
    return e;
}

} // namespace

class tst_analyserlaunch : public QObject
{
    Q_OBJECT
private slots:
    void nothingMarked();
    void wavOpensAtOnce_data();
    void wavOpensAtOnce();
    void otherFilesAreConvertedFirst_data();
    void otherFilesAreConvertedFirst();
    void noEditorWithoutAWellEndedConversion_data();
    void noEditorWithoutAWellEndedConversion();
    void addSelectionPutsTheFileIntoTheList();
    void aConversionWindowClosedBeforeItBeganLeavesNoTargetBehind();
};

void tst_analyserlaunch::nothingMarked()
{
    LaunchFixture f;
    f.wav("a.wav");
    f.addList("Songs", {"a.wav"});
    frmMain* m = f.start();
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio Analyser");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, kMarkToEdit);
    QVERIFY(f.platform.modal().shown.isEmpty());
}

void tst_analyserlaunch::wavOpensAtOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("wav") << "song.wav";
    QTest::newRow("WAV") << "LOUD.WAV";
    QTest::newRow("Wav") << "Mixed.Wav";
}

void tst_analyserlaunch::wavOpensAtOnce()
{
    QFETCH(QString, name);
    LaunchFixture f;
    const QString path = f.wav(name);
    f.addList("Songs", {name + u'*'});
    frmMain* m = f.start();
    m->tmrCDs.start();
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        frmAudioEditor* e = editorOf(form);
        QVERIFY(e);
        shown = true;
        QVERIFY(!m->tmrCDs.isActive());
        QCOMPARE(e->windowTitle(), name);
        QCOMPARE(e->txtWavFile->text(), path);
        QCOMPARE(e->cAudioEditor1->FileName(), path);
        QCOMPARE(e->lblInfoSamples->text(), QStringLiteral("22050"));
        QCOMPARE(e->lblTimeEnd->text(), QStringLiteral("2000 ms [0:00:02]"));
        e->cmdExit_Click();
    });
    command(m, "Audio Analyser");
    QVERIFY(shown);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmAudioEditor"});
    QVERIFY(!QFile::exists(f.tmpEditor()));
    QVERIFY(!Forms::IsLoaded<frmAudioEditor>());
}

void tst_analyserlaunch::otherFilesAreConvertedFirst_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tool");  // what makes the item from a WAV file
    QTest::newRow("mp3 by lame") << "song.mp3" << "lame";
    QTest::newRow("wave") << "song.wave" << "copy";
    QTest::newRow("no dot") << "recording" << "copy";
}

void tst_analyserlaunch::otherFilesAreConvertedFirst()
{
    QFETCH(QString, name);
    QFETCH(QString, tool);
    LaunchFixture f;
    const QString source = f.wav(QStringLiteral("source.wav"), 44100, 2);
    const QString item = f.platform.path("audio/" + name);
    QString why;
    if (tool == QLatin1String("lame"))
        QVERIFY2(ExternalTools::Run(QStringLiteral("lame"), {QStringLiteral("--quiet"), source, item}, item, &why),
                 qPrintable(why));
    else
        QVERIFY(QFile::copy(source, item));
    f.audio[item] = FakeFileScript{0, 2000, 44100, 1, 16, {}};
    f.addList("Songs", {name + u'*'});
    // What an earlier conversion left behind is never what opens.
    QVERIFY(TestFiles::WriteBytes(f.tmpEditor(), AudioFixtures::wavBytes(8000, 1, 8, QVector<qint16>(800, 0))));
    frmMain* m = f.start();
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        QVERIFY(qobject_cast<frmAudioEditorProc*>(form));
        QVERIFY(!QFile::exists(f.tmpEditor()));
        QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditorProc>(), 20000);
    });
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        frmAudioEditor* e = editorOf(form);
        QVERIFY(e);
        QCOMPARE(e->windowTitle(), name);
        QCOMPARE(e->txtWavFile->text(), f.tmpEditor());
        QCOMPARE(e->lblInfoChannels->text(), QStringLiteral("1"));
        QCOMPARE(e->lblLength->text(), QStringLiteral("0:00:02"));
        e->cmdExit_Click();
    });
    command(m, "Audio Analyser");
    QCOMPARE(f.platform.modal().shown, (QStringList{"frmAudioEditorProc", "frmAudioEditor"}));
    // A plain WAV file of the source's length.
    const WavLayout w = ParseWavLayout(f.tmpEditor());
    QVERIFY(w.isWav && w.pcm);
    QVERIFY2(std::abs(double(w.frames()) / w.sampleRate - 2.0) < 0.01, qPrintable(QString::number(w.frames())));
}

void tst_analyserlaunch::noEditorWithoutAWellEndedConversion_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Abort") << "abort";
    QTest::newRow("close box while converting") << "close";
    QTest::newRow("failed, then closed") << "fail";
}

void tst_analyserlaunch::noEditorWithoutAWellEndedConversion()
{
    QFETCH(QString, how);
    LaunchFixture f;
    const QString item = f.platform.path("audio/song.mp3");
    if (how == QLatin1String("fail")) {
        QVERIFY(TestFiles::WriteBytes(item, QByteArray(5000, 'z')));
    } else {
        // Long enough that the conversion is still running when the window goes.
        const QString source = f.wav(QStringLiteral("long.wav"), 44100, 120);
        QString why;
        QVERIFY2(ExternalTools::Run(QStringLiteral("lame"), {QStringLiteral("--quiet"), source, item}, item, &why),
                 qPrintable(why));
    }
    f.audio[item] = FakeFileScript{0, 2000, 44100, 1, 16, {}};
    f.addList("Songs", {"song.mp3*"});
    QVERIFY(TestFiles::WriteBytes(f.tmpEditor(), "stale"));
    frmMain* m = f.start();
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* proc = qobject_cast<frmAudioEditorProc*>(form);
        QVERIFY(proc);
        if (how == QLatin1String("fail")) {
            QTRY_VERIFY_WITH_TIMEOUT(proc->lblCurrentTrack->text().endsWith(u')'), 20000);
            QVERIFY(Forms::IsLoaded<frmAudioEditorProc>());  // the error stays on show
            proc->close();
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(proc->cAudioConverter1->IsConverting(), 20000);
            if (how == QLatin1String("abort")) {
                proc->cmdAbort_Click();
                QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditorProc>(), 20000);
            } else {
                proc->close();
            }
        }
        QVERIFY(!Forms::IsLoaded<frmAudioEditorProc>());
    });
    command(m, "Audio Analyser");
    QCOMPARE(f.platform.modal().shown, QStringList{"frmAudioEditorProc"});
    QVERIFY(m->g_bAbortedAudioEditor);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::qWait(50);
    QVERIFY(!QFile::exists(f.tmpEditor()));
    QCOMPARE(QDir(f.platform.home()).entryList({QStringLiteral(".tmpeditor*")}, QDir::Files | QDir::Hidden), QStringList());
}

void tst_analyserlaunch::addSelectionPutsTheFileIntoTheList()
{
    LaunchFixture f;
    f.wav("take.wav", 22050, 3);
    const QString list = f.addList("Takes", {"take.wav*"});
    frmMain* m = f.start();
    const QString totalsBefore = m->cStatusBar1->PanelText(QStringLiteral("Items List Properties"));
    const QString saved = f.platform.path("audio/take part.wav");
    f.platform.dialogs().saveAnswers.enqueue(saved);
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        frmAudioEditor* e = editorOf(form);
        QVERIFY(e);
        e->cAudioEditor1->SetSelection(22050, 44100);
        e->cmdAddSelection_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditor>(), 20000);
    });
    f.platform.modal().allowAny = true;  // the add-files window over the main window
    command(m, "Audio Analyser");
    QCOMPARE(ParseWavLayout(saved).frames(), qint64(22050));
    QCOMPARE(m->cGrid1->Rows(), 2);
    QCOMPARE(RowText(m->cGrid1, 2, QStringLiteral("COL_FILE")), saved);
    QCOMPARE(fileField(list, 2, "COL_FILE"), saved);
    QVERIFY(m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")) != totalsBefore);
}

// The text-to-speech window converts its speech into a target format with the same window;
// closed before its conversion began, that target does not reach the next analyser run,
// whose MP3 item is converted into a plain WAV file that the editor opens.
void tst_analyserlaunch::aConversionWindowClosedBeforeItBeganLeavesNoTargetBehind()
{
    LaunchFixture f;
    const QString source = f.wav(QStringLiteral("source.wav"), 44100, 2);
    const QString item = f.platform.path("audio/song.mp3");
    QString why;
    QVERIFY2(ExternalTools::Run(QStringLiteral("lame"), {QStringLiteral("--quiet"), source, item}, item, &why),
             qPrintable(why));
    f.audio[item] = FakeFileScript{0, 2000, 44100, 1, 16, {}};
    f.addList("Songs", {"song.mp3*"});
    frmMain* m = f.start();

    // As the text-to-speech window asks for an MP3 file; the window is closed at once.
    frmAudioEditorProc::g_bConvertTo = true;
    frmAudioEditorProc::g_sConvertToTarget = QStringLiteral("MP3 - MPEG Layer-3 (*.mp3)");
    frmAudioEditorProc* speech = g_frmAudioEditorProc();
    speech->ConvertFile(source, f.platform.path("speech.mp3"));
    f.platform.modal().handlers.enqueue([](VForm* form) { form->close(); });
    speech->Show(vbModal);
    QVERIFY(!Forms::IsLoaded<frmAudioEditorProc>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!QFile::exists(f.platform.path("speech.mp3")));

    f.platform.modal().handlers.enqueue(
        [](VForm*) { QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditorProc>(), 20000); });
    bool opened = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        frmAudioEditor* e = editorOf(form);
        opened = e != nullptr;
        if (e) {
            QCOMPARE(e->txtWavFile->text(), f.tmpEditor());
            QCOMPARE(e->lblLength->text(), QStringLiteral("0:00:02"));
        }
        form->close();
    });
    command(m, "Audio Analyser");
    QCOMPARE(f.platform.modal().shown,
             (QStringList{"frmAudioEditorProc", "frmAudioEditorProc", "frmAudioEditor"}));
    const WavLayout w = ParseWavLayout(f.tmpEditor());
    QVERIFY2(w.isWav && w.pcm, qPrintable(TestFiles::ReadBytes(f.tmpEditor()).left(4).toHex()));
    QVERIFY(opened);
}

QTEST_MAIN(tst_analyserlaunch)
#include "tst_analyserlaunch.moc"
