// The first run, as a new user meets it: a fresh program folder with the settings store
// the build lays down, nothing changed. Options → General shows a target format and a
// file name format, the output formats hold the values a user expects, and a stereo
// 44.1 kHz WAV split to WAV gives stereo 44.1 kHz 16-bit parts.
#include "common/mdlModes.h"
#include "components/cIconMenu/cIconMenu.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "settings/mdlOptions.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QtEndian>

using namespace AudioFixtures;

namespace {

// The format of a WAV file as its "fmt " chunk gives it; all 0 when there is none.
struct WavFormat {
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

WavFormat wavFormat(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    if (!b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return {};
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const quint32 size = qFromLittleEndian<quint32>(b.constData() + at + 4);
        if (b.mid(at, 4) == "fmt " && at + 8 + 16 <= b.size()) {
            const char* fmt = b.constData() + at + 8;
            return {qFromLittleEndian<quint16>(fmt + 2), int(qFromLittleEndian<quint32>(fmt + 4)),
                    qFromLittleEndian<quint16>(fmt + 14)};
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

} // namespace

class tst_FirstRun : public QObject
{
    Q_OBJECT
private slots:
    void optionsShowDefaults();
    void splitStereoWavToWav();
};

// What Options → General and the output-format window show before the user changes
// anything, and what the tools hand to the encoders.
void tst_FirstRun::optionsShowDefaults()
{
    TestPlatform platform;
    InitProductProfile();
    frmOptions* o = Forms::Get<frmOptions>();
    QCOMPARE(o->cboTargetFormat->currentText(), QStringLiteral("WAV - Waveform Audio Format (*.wav)"));
    QCOMPARE(o->cboFileName->currentText(), QStringLiteral("[file_name].[source_extension].[dest_extension]"));
    QCOMPARE(g_sTargetFormat, o->cboTargetFormat->currentText());
    QCOMPARE(g_sFileNameFormat, o->cboFileName->currentText());

    frmAudioProp* f = Forms::Get<frmAudioProp>();
    const QStringList shown{f->cboSamplesWAV->currentText(), f->cboBitrateWAV->currentText(),
                            f->cboChannelsWAV->currentText(), f->cboMP3Bitrate->currentText(),
                            f->cboMP3Quality->currentText(), f->cboMP3Mode->currentText(),
                            f->cboWMAFormat->currentText().section(u',', 0, 0)};
    QCOMPARE(shown, (QStringList{"44100", "16", "Stereo", "128", "5 ", "JOINT_STEREO_MODE = 1", "128 kbps"}));
    QCOMPARE(f->chkMP3VBRTag->Value(), 0);
    QCOMPARE(f->chkMP3ABR->Value(), 0);
    QVERIFY(f->ptnQualityOGG->isChecked());
    QCOMPARE(f->sldOGG->value(), 50);

    const MP3Settings mp3 = BuildMP3Settings();
    QCOMPARE(mp3.Bitrate, 128);
    QCOMPARE(mp3.Quality, 5);
    QCOMPARE(mp3.VBRMethod, 0);  // constant bit rate
    QCOMPARE(mp3.Mode, 1);
    const OGGSettings ogg = BuildOGGSettings();
    QCOMPARE(ogg.Mode, 0);
    QCOMPARE(ogg.Quality, 50);
}

// The windows load as at start-up and the splitter is opened from the main window; the
// user only presses Split.
void tst_FirstRun::splitStereoWavToWav()
{
    TestPlatform platform;
    InitProductProfile();
    const QString wav = platform.path(QStringLiteral("audio/song.wav"));
    QVERIFY(QDir().mkpath(platform.path(QStringLiteral("audio"))));
    QVERIFY(writeWav(wav, 44100, 2, 16, sine(7 * 44100, 2, 44100, 440)));
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), ToolRows::ListRecord(wav).toUtf8()));
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    frmMain* m = Forms::Get<frmMain>();

    QString dest;
    QString format;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* s = qobject_cast<frmSplitter*>(form);
        QVERIFY(s);
        dest = s->txtToPath->currentText();
        format = s->cboTargetFormat->currentText();
        s->cmdConvert_Click();
        QVERIFY(QTest::qWaitFor([s] { return !s->IsBusy(); }, 120000));
        QCOMPARE(s->lblCurrentTrack->text(), QStringLiteral("Done."));
        s->cmdExit_Click();
    });
    m->m_cMenu_Click(m->m_cMenu->IndexForKey(QStringLiteral("Audio Splitter")));
    QCOMPARE(platform.modal().shown, QStringList{QStringLiteral("frmSplitter")});
    QCOMPARE(format, QStringLiteral("WAV - Waveform Audio Format (*.wav)"));

    const QDir folder(dest);
    const QStringList parts = folder.entryList({QStringLiteral("*.WAV"), QStringLiteral("*.wav")}, QDir::Files);
    QVERIFY2(parts.size() >= 2, qPrintable(dest + ": " + folder.entryList(QDir::Files).join(", ")));
    for (const QString& part : parts) {
        const WavFormat f = wavFormat(folder.filePath(part));
        QVERIFY2(f.channels == 2 && f.rate == 44100 && f.bits == 16,
                 qPrintable(QStringLiteral("%1: %2 channels, %3 Hz, %4 bits").arg(part).arg(f.channels).arg(f.rate).arg(f.bits)));
    }
}

QTEST_MAIN(tst_FirstRun)
#include "tst_firstrun.moc"
