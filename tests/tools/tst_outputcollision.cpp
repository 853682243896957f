// The tool windows over the real components when another job (of this copy of the program
// or another) takes an output's name while the job runs. A name that was free when the
// item began is never replaced by it: the item fails saying so and the other file stays.
// An agreement to replace (the overwrite box ticked, or Yes to the question) holds for the
// file that had the name when it was given: another file that took the name since is not
// replaced either. The audio editor's save keeps the same rule.
#include "common/mdlModes.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cAudioEditor/cAudioEditor.h"
#include "components/cToolbar/cToolbar.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/JobLog.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tools/frame/ToolWindow.h"
#include "tools/splitter/frmAudioEditor.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;

namespace {

const QByteArray kOther = "another job's output";

QString takenText(const QString& path)
{
    return QStringLiteral("The output file \"%1\" was not written: a file of that name appeared while the job ran, "
                          "and it is left as it is.")
        .arg(path);
}

} // namespace

class tst_outputcollision : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void nameTakenWhileTheItemRuns_data();
    void nameTakenWhileTheItemRuns();
    void editorSaveOntoANameTakenMeanwhile_data();
    void editorSaveOntoANameTakenMeanwhile();

private:
    QString source(const QString& name) const { return m_dir.path() + u'/' + name; }
    QTemporaryDir m_dir;
};

void tst_outputcollision::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Mono 8 kHz 16-bit noise, 16000 bytes a second.
    QVERIFY(writeWav(source("short.wav"), 8000, 1, 16, noise(3 * 8000, 1, 3)));
    QVERIFY(writeWav(source("other.wav"), 8000, 1, 16, noise(2 * 8000, 1, 4)));
}

void tst_outputcollision::nameTakenWhileTheItemRuns_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("before");   // "": the name is free; "ticked": a file was there and the box
                                           // ticked (Yes for the joiner); "asked": Yes to the question
    QTest::addColumn<bool>("whileAsked");  // another job takes the name while the question is open
    QTest::addColumn<QString>("output");   // the first item's output
    QTest::addColumn<QString>("ending");
    for (const char* tool : {"splitter", "converter", "ACM converter", "joiner"}) {
        const QByteArray t(tool);
        const QString output = t == "splitter" ? "Part_1_short.WAV" : t == "joiner" ? "all.wav" : "short.wav";
        const QString ending = t == "splitter" ? "Done. 1 of 3 failed: see the Log."
                               : t == "joiner" ? "Failed: see the Log."
                                               : "Done. 1 of 2 failed: see the Log.";
        QTest::addRow("%s, a free name taken meanwhile", tool) << tool << "" << false << output << ending;
        QTest::addRow("%s, a file agreed to, then another", tool) << tool << "ticked" << false << output << ending;
        QTest::addRow("%s, a file asked about, another while asked", tool) << tool << "asked" << true << output << ending;
    }
}

void tst_outputcollision::nameTakenWhileTheItemRuns()
{
    QFETCH(QString, tool);
    QFETCH(QString, before);
    QFETCH(bool, whileAsked);
    QFETCH(QString, output);
    QFETCH(QString, ending);
    TestPlatform platform;
    MainHostStandIn host;
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    // WAV as the sources are.
    g_lSamplesWAV = 8000;
    g_lBitrateWAV = 16;
    g_lChannelsWAV = 0;
    const QString dest = platform.path(QStringLiteral("out/"));
    QVERIFY(QDir().mkpath(dest));
    const QString path = dest + output;
    if (!before.isEmpty())
        QVERIFY(TestFiles::WriteBytes(path, "the user's old file"));
    auto takeTheName = [&path] {
        QFile::remove(path);
        QVERIFY(TestFiles::WriteBytes(path, kOther));
    };

    ToolWindow* w = ToolRows::OpenItemsTool(tool, source(QStringLiteral("short.wav")), 3);
    const QStringList names = tool == QLatin1String("splitter") ? QStringList{QStringLiteral("short.wav")}
                                                                : QStringList{QStringLiteral("short.wav"), QStringLiteral("other.wav")};
    for (const QString& name : names)
        ToolRows::Add(w->cGrid1, source(name));
    if (before == QLatin1String("asked") || (before == QLatin1String("ticked") && !w->chkOverWrite))
        platform.messages().answers.enqueue(vbYes);  // "... already exists. Overwrite it?"
    if (whileAsked)
        platform.messages().whileShown = takeTheName;
    QVERIFY(ToolRows::WriteWav(w, dest, QStringLiteral("8000 Hz, 16 Bit, Mono")));
    if (before == QLatin1String("ticked") && w->chkOverWrite)
        w->chkOverWrite->SetValue(1);

    w->cmdConvert->click();
    QVERIFY(w->IsBusy());
    if (!whileAsked) {
        // The first item runs; no event of it has been delivered. Another job writes its name.
        takeTheName();
    }
    QVERIFY(QTest::qWaitFor([w] { return !w->IsBusy(); }, 120000));

    const QStringList errors = JobLogLines(w->txtLog).filter(QStringLiteral("Error: "));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].endsWith(QStringLiteral("Error: %1(%2)").arg(takenText(path)).arg(kErrOutputUnwritable)),
             qPrintable(errors[0]));
    QCOMPARE(TestFiles::ReadBytes(path), kOther);
    QCOMPARE(w->lblCurrentTrack->text(), ending);
    QCOMPARE(QDir(dest).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".part")), QStringList());
}

void tst_outputcollision::editorSaveOntoANameTakenMeanwhile_data()
{
    QTest::addColumn<bool>("agreed");  // a file was there when the name was chosen
    QTest::newRow("a free name taken meanwhile") << false;
    QTest::newRow("a file chosen to be replaced, then another") << true;
}

void tst_outputcollision::editorSaveOntoANameTakenMeanwhile()
{
    QFETCH(bool, agreed);
    TestPlatform platform;
    MainHostStandIn host;
    InitProductProfile();
    const QString path = platform.path(QStringLiteral("selection.wav"));
    if (agreed)
        QVERIFY(TestFiles::WriteBytes(path, "the user's old file"));
    frmAudioEditor* e = g_frmAudioEditor();
    e->txtWavFile->setText(source(QStringLiteral("short.wav")));
    e->cAudioEditor1->OpenFile(e->txtWavFile->text());
    QVERIFY(QTest::qWaitFor([e] { return e->cAudioEditor1->IsLoaded(); }, 20000));
    e->cAudioEditor1->SetSelection(0, 8000);
    platform.dialogs().saveAnswers.enqueue(path);  // the dialog asked about a file there
    platform.messages().answers.enqueue(vbOK);
    e->tlbrList_ButtonClick(e->tlbrList->ButtonIndex(QStringLiteral("Save Selection")));
    // The save runs; no event of it has been delivered. Another job writes its name.
    QVERIFY(e->cAudioEditor1->IsSaving());
    QFile::remove(path);
    QVERIFY(TestFiles::WriteBytes(path, kOther));
    QVERIFY(QTest::qWaitFor([e] { return e->cmdAddSelection->isEnabled(); }, 20000));
    QStringList boxes;
    for (const auto& box : platform.messages().shown)
        boxes << box.prompt;
    QCOMPARE(boxes, QStringList{takenText(path)});
    QCOMPARE(TestFiles::ReadBytes(path), kOther);
}

QTEST_MAIN(tst_outputcollision)
#include "tst_outputcollision.moc"
