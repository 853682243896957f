// The splitter window over the real conversion component, from the Split button to the
// files on disk: WAV parts that put end to end are the source, every target format,
// sources made by other programs (sox, lame, ffmpeg), and an MP3 without an info frame
// added to a list and split as a user does it.
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cSysTray/cSysTray.h"
#include "lists/mdlItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace AudioFixtures;
using namespace ToolTexts;

namespace {

constexpr qint64 kFrames = 321930;  // 7.3 s at 44.1 kHz: parts never fall on whole seconds at its end


// A splitter opened on a source, as the launch opens it, writing into a fresh folder.
struct Session {
    TestPlatform platform;
    MainHostStandIn host;
    frmSplitter* w = nullptr;
    QString dest = platform.path(QStringLiteral("parts/"));

    explicit Session(const QString& source, const QString& format)
    {
        InitProductProfile();
        Forms::Get<frmOptions>();
        Forms::Get<frmAudioProp>();
        // WAV parts as the sources are: 44.1 kHz, 16 bits, stereo.
        g_lSamplesWAV = 44100;
        g_lBitrateWAV = 16;
        g_lChannelsWAV = 1;
        w = g_frmSplitter();
        w->g_sFileToSplit = source;
        ToolRows::Add(w->cGrid1, source);
        w->txtToPath->setEditText(dest);
        // OGG is not offered in this build's list; the component still writes it.
        if (!SelectListText(w->cboTargetFormat, format)) {
            w->cboTargetFormat->addItem(format);
            SelectListText(w->cboTargetFormat, format);
        }
    }
    // Splits into parts of `seconds`, or into `parts` parts; true when the job said "Done.".
    bool split(int parts, int seconds)
    {
        if (seconds > 0) {
            w->ptnSplitBySecs->click();
            w->txtSplitSecs->setText(QString::number(seconds));
        } else {
            w->txtSplitParts->setText(QString::number(parts));
        }
        w->cmdConvert_Click();
        if (!QTest::qWaitFor([this] { return !w->IsBusy(); }, 120000))
            return false;
        return w->lblCurrentTrack->text() == QLatin1String("Done.");
    }
    QStringList files() const { return QDir(dest).entryList(QDir::Files, QDir::Name); }
};

} // namespace

class tst_splitreal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void wavPartsAreTheSource_data();
    void wavPartsAreTheSource();
    void targetFormats_data();
    void targetFormats();
    void sourcesOfOtherPrograms_data();
    void sourcesOfOtherPrograms();
    void fromTheMainWindow();
    void vbrMp3WithoutInfoFrameFromAList();
    void sourceChangedBetweenParts_data();
    void sourceChangedBetweenParts();
    void sourceCutShortDuringAPart();
    void sourceWithoutAudioSaysSo();

private:
    QString source(const QString& name) const { return m_dir.path() + u'/' + name; }
    QTemporaryDir m_dir;
};

void tst_splitreal::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // A tone on the left, noise on the right: every encoder has something to keep, and a
    // misplaced cut shows in the noise.
    const QString wav = source(QStringLiteral("song.wav"));
    QString error;
    const bool made =
        ExternalTools::SoxSynth(wav, 44100, 2, 16, QStringLiteral("7.3"), QStringLiteral("sine 440 whitenoise"), &error);
    QVERIFY2(made, qPrintable(error));
    QCOMPARE(wavData(wav).size(), kFrames * 4);
    struct Tool {
        QString output;
        QString program;
        QStringList arguments;
    };
    const QList<Tool> tools{
        {QStringLiteral("song.mp3"), QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), wav}},
        {QStringLiteral("song.ogg"), QStringLiteral("ffmpeg"),
         {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), wav, QStringLiteral("-c:a"),
          QStringLiteral("libvorbis"), QStringLiteral("-q:a"), QStringLiteral("4")}},
        {QStringLiteral("song.flac"), QStringLiteral("sox"), {wav}},
        {QStringLiteral("song-ima.wav"), QStringLiteral("sox"), {wav, QStringLiteral("-e"), QStringLiteral("ima-adpcm")}},
    };
    for (const Tool& t : tools) {
        QStringList args = t.arguments;
        args << source(t.output);
        QVERIFY2(ExternalTools::Run(t.program, args, source(t.output), &error), qPrintable(error));
    }
}

void tst_splitreal::wavPartsAreTheSource_data()
{
    QTest::addColumn<int>("parts");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("into 3 parts") << 3 << 0
                                  << QStringList{"Part_1_song.WAV", "Part_2_song.WAV", "Part_3_song.WAV"};
    QTest::newRow("parts of 2 s") << 0 << 2
                                  << QStringList{"Part_1_song.WAV", "Part_2_song.WAV", "Part_3_song.WAV",
                                                 "Part_4_song.WAV"};
}

void tst_splitreal::wavPartsAreTheSource()
{
    QFETCH(int, parts);
    QFETCH(int, seconds);
    const QString wav = source(QStringLiteral("song.wav"));
    Session s(wav, kWav);
    QVERIFY(s.split(parts, seconds));
    QTEST(s.files(), "names");
    QByteArray joined;
    for (const QString& name : s.files())
        joined += wavData(s.dest + name);
    QCOMPARE(joined.size(), kFrames * 4);
    QVERIFY(joined == wavData(wav));
    QCOMPARE(s.host.BalloonMessages(), QStringList{QStringLiteral("Done.")});
    QVERIFY(!s.w->txtLog->toPlainText().contains(QStringLiteral("Error")));
}

void tst_splitreal::targetFormats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<int>("tolerance");  // frames a part may differ by (encoder frames and padding)
    QTest::newRow("MP3") << kMp3 << "MP3" << 1152;
    QTest::newRow("OGG") << kOgg << "OGG" << 64;
    QTest::newRow("WMA") << kWma << "WMA" << 2 * 2048 + 2900;
    QTest::newRow("ACM IMA ADPCM") << kAcm << "ACM" << 1017;
}

void tst_splitreal::targetFormats()
{
    QFETCH(QString, format);
    QFETCH(QString, extension);
    QFETCH(int, tolerance);
    Session s(source(QStringLiteral("song.wav")), format);
    g_sACMTag = QStringLiteral("IMA ADPCM");
    g_sACMFormat = QStringLiteral("44100 Hz, 4 Bit, Stereo");
    QVERIFY(s.split(0, 3));
    const QStringList names = s.files();
    QCOMPARE(names.size(), 3);
    const qint64 expected[] = {3 * 44100, 3 * 44100, kFrames - 6 * 44100};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(names[i], QStringLiteral("Part_%1_song.%2").arg(i + 1).arg(extension));
        const Decoded d = decode(s.dest + names[i]);
        QCOMPARE(d.rate, 44100);
        QCOMPARE(d.channels, 2);
        QVERIFY2(qAbs(d.frames() - expected[i]) <= tolerance,
                 qPrintable(QStringLiteral("%1: %2 frames").arg(names[i]).arg(d.frames())));
    }
    QVERIFY(!s.w->txtLog->toPlainText().contains(QStringLiteral("Error")));
}

void tst_splitreal::sourcesOfOtherPrograms_data()
{
    QTest::addColumn<QString>("file");
    // Parts of a lossy source hold its decoded samples rounded to 16 bits, so only their
    // length and their alignment can be compared with the decoder's own output.
    QTest::addColumn<bool>("exact");     // decoded parts end to end are the decoded source
    QTest::addColumn<int>("tolerance");  // frames the parts may differ by in all
    QTest::newRow("MP3 from lame") << "song.mp3" << false << 0;
    QTest::newRow("OGG from ffmpeg") << "song.ogg" << false << 0;
    QTest::newRow("FLAC from sox") << "song.flac" << true << 0;
    QTest::newRow("IMA ADPCM WAV from sox") << "song-ima.wav" << true << 0;
}

void tst_splitreal::sourcesOfOtherPrograms()
{
    QFETCH(QString, file);
    QFETCH(bool, exact);
    QFETCH(int, tolerance);
    const QString path = source(file);
    Session s(path, kWav);
    QVERIFY(s.split(2, 0));
    const QStringList names = s.files();
    const QString stem = file.left(file.lastIndexOf(u'.'));
    QCOMPARE(names, (QStringList{QStringLiteral("Part_1_%1.WAV").arg(stem), QStringLiteral("Part_2_%1.WAV").arg(stem)}));

    const Decoded whole = decode(path);
    QVector<float> joined;
    for (const QString& name : names)
        joined += decode(s.dest + name).samples;
    const qsizetype second = decode(s.dest + names[0]).samples.size();  // where part 2 begins
    QVERIFY2(qAbs(joined.size() / 2 - whole.frames()) <= tolerance,
             qPrintable(QStringLiteral("%1 frames of %2").arg(joined.size() / 2).arg(whole.frames())));
    if (exact) {
        // 16-bit parts of a 16-bit source: the same samples, bit for bit.
        QVERIFY(joined == whole.samples);
    } else {
        // Both parts sit where they belong: no lag at the start of either.
        for (const qsizetype at : {qsizetype(0), second}) {
            double correlation = 0;
            const int lag = bestLag(mono(whole.samples.mid(at), 2), mono(joined.mid(at), 2), 1200, 8192, &correlation);
            QCOMPARE(lag, 0);
            QVERIFY(correlation > 0.9);
        }
    }
}

// As a user does it: a list holding the WAV, its row marked, "Audio Splitter" from the
// menu, 6 parts to MP3 into a folder of one's own, Split.
void tst_splitreal::fromTheMainWindow()
{
    TestPlatform platform;
    InitProductProfile();
    const QString wav = source(QStringLiteral("song.wav"));
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), ToolRows::ListRecord(wav).toUtf8()));
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    frmMain* m = Forms::Get<frmMain>();
    const QString dest = platform.path(QStringLiteral("my parts/"));
    int barsMoved = 0;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* s = qobject_cast<frmSplitter*>(form);
        QVERIFY(s);
        connect(s->cAudioConverter1, &cAudioConverter::Progress, s, [&barsMoved] { ++barsMoved; });
        s->txtToPath->setEditText(dest);
        SelectListText(s->cboTargetFormat, kMp3);
        s->cmdConvert_Click();
        QVERIFY(QTest::qWaitFor([s] { return !s->IsBusy(); }, 120000));
        QCOMPARE(s->lblCurrentTrack->text(), QStringLiteral("Done."));
        QVERIFY(s->prgTotal->Value() > 500);
        QVERIFY(s->prgCurrnet->Value() > 0);
        s->cmdExit_Click();
    });
    m->m_cMenu_Click(m->m_cMenu->IndexForKey(QStringLiteral("Audio Splitter")));
    QCOMPARE(platform.modal().shown, QStringList{QStringLiteral("frmSplitter")});
    QStringList expected;
    for (int i = 1; i <= 6; ++i)
        expected << QStringLiteral("Part_%1_song.MP3").arg(i);
    QCOMPARE(QDir(dest).entryList(QDir::Files, QDir::Name), expected);
    qint64 frames = 0;
    for (const QString& name : expected)
        frames += decode(dest + name).frames();
    QVERIFY2(qAbs(frames - kFrames) <= 6 * 1152, qPrintable(QString::number(frames)));
    QVERIFY(barsMoved > 0);
    QCOMPARE(m->cSysTray1->Balloons().size(), 1);
    QCOMPARE(m->cSysTray1->Balloons()[0].message, QStringLiteral("Done."));
}

// As a new user does it: a VBR MP3 written without an info frame (its bit rate swings from
// noise to silence, so a guess from its first frames makes it 3 s long) is added to a list,
// whose row shows its true length; split into 3 parts as WAV, the parts put end to end are
// one decode of the whole file.
void tst_splitreal::vbrMp3WithoutInfoFrameFromAList()
{
    TestPlatform platform;
    InitProductProfile();
    QString error;
    const QString mp3 = ExternalTools::NoLengthSource(m_dir.path(), QStringLiteral("vbr, noise first"), &error);
    QVERIFY2(!mp3.isEmpty(), qPrintable(error));
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), "\n"));
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    g_lSamplesWAV = 44100;
    g_lBitrateWAV = 16;
    g_lChannelsWAV = 1;  // stereo
    frmMain* m = Forms::Get<frmMain>();
    platform.dialogs().openAnswers.enqueue({mp3});
    m->m_cMenu_Click(m->m_cMenu->IndexForKey(QStringLiteral("Add Files")));
    QCOMPARE(m->cGrid1->Rows(), 1);
    QCOMPARE(RowText(m->cGrid1, 1, QStringLiteral("Time")), QStringLiteral("00:00:10"));

    const QString dest = platform.path(QStringLiteral("parts/"));
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* s = qobject_cast<frmSplitter*>(form);
        QVERIFY(s);
        s->txtToPath->setEditText(dest);
        SelectListText(s->cboTargetFormat, kWav);
        s->txtSplitParts->setText(QStringLiteral("3"));
        s->cmdConvert_Click();
        QVERIFY(QTest::qWaitFor([s] { return !s->IsBusy(); }, 120000));
        QCOMPARE(s->lblCurrentTrack->text(), QStringLiteral("Done."));
        QVERIFY2(!s->txtLog->toPlainText().contains(QStringLiteral("Error")), qPrintable(s->txtLog->toPlainText()));
        s->cmdExit_Click();
    });
    m->m_cMenu_Click(m->m_cMenu->IndexForKey(QStringLiteral("Audio Splitter")));
    QCOMPARE(platform.modal().shown, QStringList{QStringLiteral("frmSplitter")});
    const QStringList names = QDir(dest).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names, (QStringList{QStringLiteral("Part_1_vbr--noise-first.WAV"), QStringLiteral("Part_2_vbr--noise-first.WAV"),
                                 QStringLiteral("Part_3_vbr--noise-first.WAV")}));
    QByteArray joined;
    for (const QString& name : names)
        joined += wavData(dest + name);
    const Pcm16 whole = decodePcm16(mp3);
    QCOMPARE(whole.rate, 44100);
    QCOMPARE(whole.channels, 2);
    QCOMPARE(joined.size(), whole.bytes.size());
    QVERIFY(joined == whole.bytes);
}

void tst_splitreal::sourceChangedBetweenParts_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("extension");
    QTest::newRow("truncated, WAV parts") << "truncated" << kWav << "WAV";
    QTest::newRow("replaced, MP3 parts") << "replaced" << kMp3 << "MP3";
}

// Parts of 2 s of a 7.3 s source; once part 1 is written the source is cut to 3 s, or
// another file is moved over it, before part 2 starts. Part 2 fails with "The source file
// changed during the job.", no further part is written, and the job says how many failed.
void tst_splitreal::sourceChangedBetweenParts()
{
    QFETCH(QString, change);
    QFETCH(QString, format);
    QFETCH(QString, extension);
    const QString wav = source(QStringLiteral("changing.wav"));
    QFile::remove(wav);
    QVERIFY(QFile::copy(source(QStringLiteral("song.wav")), wav));
    Session s(wav, format);
    // The test's step runs between the end of part 1 and the start of part 2: before the
    // window hears of part 1's end.
    QObject::disconnect(s.w->cAudioConverter1, &cAudioConverter::Done, s.w, nullptr);
    int ends = 0;
    QObject::connect(s.w->cAudioConverter1, &cAudioConverter::Done, s.w, [&] {
        if (++ends != 1)
            return;
        if (change == QLatin1String("truncated")) {
            QVERIFY(QFile(wav).resize(44 + 3 * 44100 * 4));
        } else {
            const QString other = source(QStringLiteral("other.wav"));
            QVERIFY(writeWav(other, 44100, 2, 16, sine(7 * 44100, 2, 44100, 880)));
            QVERIFY(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(wav).constData()) == 0);
        }
    });
    QObject::connect(s.w->cAudioConverter1, &cAudioConverter::Done, s.w, &frmSplitter::cAudioConverter1_Done);
    QVERIFY(!s.split(0, 2));

    QCOMPARE(s.files(), QStringList{QStringLiteral("Part_1_changing.") + extension});
    const QString log = s.w->txtLog->toPlainText();
    QVERIFY2(log.contains(QStringLiteral(":Error: The source file changed during the job.(14)\n")), qPrintable(log));
    QCOMPARE(log.count(QStringLiteral(":Done.\n")), 1);
    const QString ending = QStringLiteral("Done. 3 of 4 failed: see the Log.");
    QCOMPARE(s.w->lblCurrentTrack->text(), ending);
    QCOMPARE(s.host.BalloonMessages(), QStringList{ending});
}

// A 60-second WAV split into 6 MP3 parts is cut to 15 seconds while part 2 (10 to 20 s) is
// written, as soon as its first progress shows. Part 2 fails with "The source file changed
// during the job." and is not left under its name, short, nor hidden; no later part is
// written, and the job says 5 of 6 failed.
void tst_splitreal::sourceCutShortDuringAPart()
{
    const QString wav = source(QStringLiteral("cut.wav"));
    QVERIFY(writeWav(wav, 44100, 2, 16, noise(60 * 44100, 2, 9)));
    Session s(wav, kMp3);
    bool truncated = false;
    QObject::connect(s.w->cAudioConverter1, &cAudioConverter::Progress, s.w, [&](qint32 percent) {
        if (!truncated && s.w->g_lPart == 2 && percent >= 1)
            truncated = QFile(wav).resize(44 + 15 * 44100 * 4);
    });
    QVERIFY(!s.split(6, 0));

    QVERIFY(truncated);
    QCOMPARE(QDir(s.dest).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Part_1_cut.MP3")});
    const QString log = s.w->txtLog->toPlainText();
    QCOMPARE(log.count(QStringLiteral(":Error: The source file changed during the job.(14)\n")), 1);
    QCOMPARE(log.count(QStringLiteral(":Done.\n")), 1);
    const QString ending = QStringLiteral("Done. 5 of 6 failed: see the Log.");
    QCOMPARE(s.w->lblCurrentTrack->text(), ending);
    QCOMPARE(s.host.BalloonMessages(), QStringList{ending});
}

// A source named as audio that holds none is refused with the engine's reason, before
// anything is written.
void tst_splitreal::sourceWithoutAudioSaysSo()
{
    const QString zeros = source(QStringLiteral("zeros.mp3"));
    QVERIFY(TestFiles::WriteBytes(zeros, QByteArray(256 * 1024, '\0')));
    Session s(zeros, kWav);
    s.platform.messages().answers.enqueue(vbOK);
    s.w->cmdConvert_Click();
    QCOMPARE(s.platform.messages().shown.size(), 1);
    QCOMPARE(s.platform.messages().shown[0].prompt, QStringLiteral("The file \"%1\" holds no audio that can be read.").arg(zeros));
    QVERIFY(!s.w->IsBusy());
    QVERIFY(s.files().isEmpty());
}

QTEST_MAIN(tst_splitreal)
#include "tst_splitreal.moc"
