// The audio converter over the real conversion component: sources made by other programs
// (sox, lame) converted to every target format under template names and with their tags,
// a range converting only its samples, the whole road from the main window's menu, and a
// source cut short while it is converted.
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cToolbar/cToolbar.h"
#include "lists/mdlItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/JobLog.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/converters/frmConverter.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;
using namespace ToolTexts;

namespace {

constexpr qint64 kFrames = 3 * 44100;


// The tags every row asks for: the item's name as its title.
void tagRow(cGrid* grid, qint32 row)
{
    SetRowText(grid, row, QStringLiteral("COL_TAG_TITLE"), QStringLiteral("[ITEM_NAME]"));
    SetRowText(grid, row, QStringLiteral("COL_TAG_ARTIST"), QStringLiteral("The Testers"));
    SetRowText(grid, row, QStringLiteral("COL_TAG_TRACK"), QStringLiteral("[TRACK_NUM]"));
}

// A converter window on the real component, as the launch loads it.
struct Session {
    TestPlatform platform;
    MainHostStandIn host;
    frmConverter* w = nullptr;
    QString dest = platform.path(QStringLiteral("converted/"));

    explicit Session(const QString& format)
    {
        InitProductProfile();
        Forms::Get<frmOptions>();
        Forms::Get<frmAudioProp>();
        g_lSamplesWAV = 44100;
        g_lBitrateWAV = 16;
        g_lChannelsWAV = 1;
        w = g_frmConverter();
        w->txtToPath->setEditText(dest);
        QDir().mkpath(dest);
        // OGG is not offered in this build's list; the component still writes it.
        if (!SelectListText(w->cboTargetFormat, format)) {
            w->cboTargetFormat->addItem(format);
            SelectListText(w->cboTargetFormat, format);
        }
        w->cboFileName->setCurrentIndex(2);  // "[file_name]_[123].[dest_extension]"
    }
    void addRow(const QString& file, const QString& time = QStringLiteral("00:00:03"))
    {
        tagRow(w->cGrid1, ToolRows::Add(w->cGrid1, file, time));
    }
    bool convert()
    {
        w->cmdConvert_Click();
        if (!QTest::qWaitFor([this] { return !w->IsBusy(); }, 120000))
            return false;
        return w->lblCurrentTrack->text() == QLatin1String("Done.");
    }
    QStringList files() const { return QDir(dest).entryList(QDir::Files, QDir::Name); }
};

AudioTags readTags(const QString& file)
{
    std::unique_ptr<cAudioConverter> c(CreateAudioConverter(nullptr));
    c->ReadTags(file);
    return c->Tags();
}

} // namespace

class tst_convertreal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyTargetFormat_data();
    void everyTargetFormat();
    void rangeConvertsOnlyItsSamples();
    void fromTheMainWindow_data();
    void fromTheMainWindow();
    void rowsOfOneNameIntoOneFolder_data();
    void rowsOfOneNameIntoOneFolder();
    void sourceCutShortWhileConverted();

private:
    QString source(const QString& name) const { return m_dir.path() + u'/' + name; }
    QStringList sources() const
    {
        return {source(QStringLiteral("one.wav")), source(QStringLiteral("two.mp3")), source(QStringLiteral("three.flac"))};
    }
    QTemporaryDir m_dir;
};

void tst_convertreal::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // 3 s of a tone and noise made by sox; an MP3 of it by lame, a FLAC of it by sox.
    const QString wav = source(QStringLiteral("one.wav"));
    QString error;
    QVERIFY2(ExternalTools::SoxSynth(wav, 44100, 2, 16, QStringLiteral("3"), QStringLiteral("sine 440 whitenoise"), &error),
             qPrintable(error));
    QVERIFY2(ExternalTools::Lame128(wav, source(QStringLiteral("two.mp3")), &error), qPrintable(error));
    QVERIFY2(ExternalTools::Run(QStringLiteral("sox"), {wav, source(QStringLiteral("three.flac"))},
                                source(QStringLiteral("three.flac")), &error),
             qPrintable(error));
}

void tst_convertreal::everyTargetFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<int>("tolerance");  // frames an output may differ by (encoder frames, padding)
    QTest::addColumn<bool>("tags");      // the format carries the tags
    QTest::newRow("MP3") << kMp3 << "mp3" << 1152 << true;
    QTest::newRow("WAV") << kWav << "wav" << 0 << false;
    QTest::newRow("OGG") << kOgg << "ogg" << 64 << true;
    QTest::newRow("WMA") << kWma << "wma" << 2 * 2048 + 2900 << true;
}

void tst_convertreal::everyTargetFormat()
{
    QFETCH(QString, format);
    QFETCH(QString, extension);
    QFETCH(int, tolerance);
    QFETCH(bool, tags);
    Session s(format);
    for (const QString& file : sources())
        s.addRow(file);
    QVERIFY(s.convert());
    QVERIFY2(!s.w->txtLog->toPlainText().contains(QStringLiteral("Error")), qPrintable(s.w->txtLog->toPlainText()));
    const QStringList names{"one_1." + extension, "three_3." + extension, "two_2." + extension};
    QCOMPARE(s.files(), names);
    for (const QString& name : names) {
        const Decoded d = decode(s.dest + name);
        QCOMPARE(d.rate, 44100);
        QCOMPARE(d.channels, 2);
        QVERIFY2(qAbs(d.frames() - kFrames) <= tolerance,
                 qPrintable(QStringLiteral("%1: %2 frames").arg(name).arg(d.frames())));
        if (tags) {
            const AudioTags t = readTags(s.dest + name);
            const QString source = name.startsWith(QLatin1String("one")) ? QStringLiteral("one.wav")
                                   : name.startsWith(QLatin1String("two")) ? QStringLiteral("two.mp3")
                                                                           : QStringLiteral("three.flac");
            QCOMPARE(t.Title, source);
            QCOMPARE(t.Artist, QStringLiteral("The Testers"));
        }
    }
    // A 16-bit WAV of a 16-bit WAV or FLAC holds its samples unchanged.
    if (extension == QLatin1String("wav")) {
        QVERIFY(wavData(s.dest + "one_1.wav") == wavData(source(QStringLiteral("one.wav"))));
        QVERIFY(wavData(s.dest + "three_3.wav") == wavData(source(QStringLiteral("one.wav"))));
    }
    QCOMPARE(s.host.BalloonMessages(), QStringList{QStringLiteral("Done.")});
}

void tst_convertreal::rangeConvertsOnlyItsSamples()
{
    Session s(kWav);
    s.addRow(source(QStringLiteral("one.wav")));
    ToolRows::SetRange(s.w->cGrid1, 1, QStringLiteral("1"), QStringLiteral("1"));
    s.addRow(source(QStringLiteral("three.flac")));
    QVERIFY(s.convert());
    const QByteArray whole = wavData(source(QStringLiteral("one.wav")));
    // Second 1 to 2 of the source, sample for sample; the whole row after it stays whole.
    QVERIFY(wavData(s.dest + "one_1.wav") == whole.mid(44100 * 4, 44100 * 4));
    QVERIFY(wavData(s.dest + "three_2.wav") == whole);
}

void tst_convertreal::fromTheMainWindow_data()
{
    QTest::addColumn<bool>("button");
    QTest::newRow("menu") << false;
    QTest::newRow("tools bar") << true;
}

// As a user does it: a list of a WAV, an MP3 and a FLAC, all marked; "Audio Converter"
// from the menu or its button; MP3 named "[file_name]_[123]" into a folder of one's own.
void tst_convertreal::fromTheMainWindow()
{
    QFETCH(bool, button);
    TestPlatform platform;
    InitProductProfile();
    QString records;
    for (const QString& file : sources())
        records += ToolRows::ListRecord(file);
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), records.toUtf8()));
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    frmMain* m = Forms::Get<frmMain>();
    const QString dest = platform.path(QStringLiteral("my songs/"));
    QStringList captions;
    QString timeLeft;
    int totalSeen = 0;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmConverter*>(form);
        QVERIFY(w);
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("3 items to convert."));
        QCOMPARE(w->g_ltmrItemSecsTotal, 9);
        for (qint32 row = 1; row <= 3; ++row)
            tagRow(w->cGrid1, row);
        connect(w->cAudioConverter1, &cAudioConverter::Progress, w, [&, w](qint32 percent) {
            if (percent < 1)
                return;
            captions << w->windowTitle();
            totalSeen = qMax(totalSeen, w->prgTotal->Value());
            // One tick of the estimate with the job's real values.
            w->Timer1_Timer();
            if (w->lblTimeLeft->text() != QLatin1String("Time Left: 00:00:00"))
                timeLeft = w->lblTimeLeft->text();
        });
        w->txtToPath->setEditText(dest);
        w->chkCreateSubFolder->SetValue(1);
        w->txtUndeForlder->clear();
        SelectListText(w->cboTargetFormat, kMp3);
        w->cboFileName->setCurrentIndex(2);
        w->cmdConvert_Click();
        QVERIFY(QTest::qWaitFor([w] { return !w->IsBusy(); }, 120000));
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
        QCOMPARE(w->prgTotal->Value(), 300);
        QCOMPARE(w->prgCurrnet->Value(), 100);
        const QString log = w->txtLog->toPlainText();
        QCOMPARE(log.count(QStringLiteral(":Done.\n")), 3);
        QVERIFY2(!log.contains(QStringLiteral("Error")), qPrintable(log));
        w->cmdExit_Click();
    });
    if (button)
        m->tlbrRecorder->ButtonClick(m->tlbrRecorder->ButtonIndex(QStringLiteral("Audio Converter")));
    else
        m->m_cMenu_Click(m->m_cMenu->IndexForKey(QStringLiteral("Audio Converter")));
    QCOMPARE(platform.modal().shown, QStringList{QStringLiteral("frmConverter")});
    QCOMPARE(QDir(dest).entryList(QDir::Files, QDir::Name),
             (QStringList{"one_1.mp3", "three_3.mp3", "two_2.mp3"}));
    QCOMPARE(readTags(dest + "two_2.mp3").Title, QStringLiteral("two.mp3"));
    QCOMPARE(readTags(dest + "three_3.mp3").Track, QStringLiteral("3"));
    QVERIFY(!captions.isEmpty());
    QVERIFY2(captions.first().startsWith(QStringLiteral("Converting... [ ")), qPrintable(captions.first()));
    QVERIFY(totalSeen > 200);
    QVERIFY2(timeLeft.startsWith(QStringLiteral("Time Left: ")), qPrintable(timeLeft));
    QCOMPARE(m->cSysTray1->Balloons().size(), 1);
    QCOMPARE(m->cSysTray1->Balloons()[0].message, QStringLiteral("Done."));
}

void tst_convertreal::rowsOfOneNameIntoOneFolder_data()
{
    QTest::addColumn<bool>("intoFirstFolder");  // the destination is the first row's folder
    QTest::newRow("into a folder of their own") << false;
    QTest::newRow("into the first row's folder") << true;
}

// Two files both named "x.wav" in two folders (different sounds), converted to WAV under
// "[file_name].[dest_extension]" with "Overwrite existing files" ticked, as an unlucky user
// does it. Into a folder of their own: the first row's output is kept, the second row
// fails naming it. Into the first row's folder: neither source is ever replaced; both rows
// fail saying whose file their output is.
void tst_convertreal::rowsOfOneNameIntoOneFolder()
{
    QFETCH(bool, intoFirstFolder);
    Session s(kWav);
    const QString first = s.platform.path(QStringLiteral("a/x.wav"));
    const QString second = s.platform.path(QStringLiteral("b/x.wav"));
    QVERIFY(QDir().mkpath(s.platform.path(QStringLiteral("a"))) && QDir().mkpath(s.platform.path(QStringLiteral("b"))));
    QVERIFY(writeWav(first, 44100, 2, 16, sine(44100, 2, 44100, 440)));
    QVERIFY(writeWav(second, 44100, 2, 16, noise(44100, 2, 7)));
    const QByteArray firstBytes = TestFiles::ReadBytes(first);
    const QByteArray secondBytes = TestFiles::ReadBytes(second);
    s.addRow(first);
    s.addRow(second);
    s.w->cboFileName->setCurrentIndex(0);  // "[file_name].[dest_extension]"
    s.w->chkOverWrite->SetValue(1);
    const QString dest = intoFirstFolder ? s.platform.path(QStringLiteral("a/")) : s.dest;
    s.w->txtToPath->setEditText(dest);
    s.w->cmdConvert_Click();
    QVERIFY(QTest::qWaitFor([&s] { return !s.w->IsBusy(); }, 120000));

    const QString log = s.w->txtLog->toPlainText();
    QCOMPARE(TestFiles::ReadBytes(first), firstBytes);
    QCOMPARE(TestFiles::ReadBytes(second), secondBytes);
    if (intoFirstFolder) {
        QVERIFY2(log.contains(QStringLiteral("Error: The output file \"%1x.wav\" is the source file itself; it is left "
                                             "untouched.(4)").arg(dest)),
                 qPrintable(log));
        QVERIFY2(log.contains(QStringLiteral("Error: The output file \"%1x.wav\" is the source file of row 1 (x.wav); it "
                                             "is left untouched.(4)").arg(dest)),
                 qPrintable(log));
        QCOMPARE(s.w->lblCurrentTrack->text(), QStringLiteral("Failed: see the Log."));
    } else {
        QCOMPARE(s.files(), QStringList{QStringLiteral("x.wav")});
        QVERIFY(wavData(dest + QStringLiteral("x.wav")) == wavData(first));
        QVERIFY2(log.contains(QStringLiteral("Error: The output file \"%1x.wav\" was written by row 1 (x.wav) of this "
                                             "job; it is not replaced.(5)").arg(dest)),
                 qPrintable(log));
        QCOMPARE(s.w->lblCurrentTrack->text(), QStringLiteral("Done. 1 of 2 failed: see the Log."));
    }
    QVERIFY(s.platform.messages().shown.isEmpty());
}

// A 30-second WAV is cut to 5 seconds while it is converted to MP3 (as soon as its first
// progress shows), then a second row follows. The cut row fails with "The source file
// changed during the job." and leaves no file, neither under its name nor hidden; the
// next row is converted, and the job ends saying one of two failed.
void tst_convertreal::sourceCutShortWhileConverted()
{
    Session s(kMp3);
    const QString cut = s.platform.path(QStringLiteral("cut.wav"));
    QVERIFY(writeWav(cut, 44100, 2, 16, noise(30 * 44100, 2, 11)));
    s.addRow(cut, QStringLiteral("00:00:30"));
    s.addRow(source(QStringLiteral("one.wav")));
    bool truncated = false;
    QObject::connect(s.w->cAudioConverter1, &cAudioConverter::Progress, s.w, [&](qint32 percent) {
        if (truncated || percent < 1 || s.w->CurrentRow() != 1)
            return;
        truncated = QFile(cut).resize(44 + 5 * 44100 * 4);
    });
    QVERIFY(!s.convert());

    QVERIFY(truncated);
    const QStringList log = JobLogLines(s.w->txtLog);
    QCOMPARE(log.filter(QStringLiteral("Error: ")), QStringList{"Error: The source file changed during the job.(14)"});
    QCOMPARE(log.count(QStringLiteral("Done.")), 1);
    QCOMPARE(s.w->lblCurrentTrack->text(), QStringLiteral("Done. 1 of 2 failed: see the Log."));
    QCOMPARE(QDir(s.dest).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("one_2.mp3")});
}

QTEST_MAIN(tst_convertreal)
#include "tst_convertreal.moc"
