// The main window's preview with the real player on SDL's disk output: the row's file
// reaches the device, the slider and position follow the play, pause holds them, stop
// resets the display, the graphs show the tone that plays, and selecting other rows
// (which probes their files) leaves the playing file's length and position alone.
#include "components/cAudioGraph/cAudioGraph.h"
#include "components/cGrid/cGrid.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cSlider/cSlider.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cToolbar/cToolbar.h"
#include "lists/mdlItemsGrid.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/AudioFixtures.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace ListsTest;

namespace {

void click(frmMain* m, const char* key)
{
    m->tlbrPlayButtons_ButtonClick(m->tlbrPlayButtons->ButtonIndex(QString::fromLatin1(key)));
}

QString mainPanel(frmMain* m)
{
    return m->cStatusBar1->PanelText(QStringLiteral("Main"));
}

// The main window over real WAV files, played by the real player.
struct PlayFixture {
    Fixture f;

    PlayFixture() { SetPlayerFactory({}); }

    // A WAV file of these samples in the audio folder; the list code reads its length and
    // format through the scripted converter.
    QString wav(const QString& name, int rate, int channels, const QVector<qint16>& samples)
    {
        const QString path = f.platform.path("audio/" + name);
        if (!AudioFixtures::writeWav(path, rate, channels, 16, samples))
            return QString();
        const qint32 ms = qint32(samples.size() / channels * 1000LL / rate);
        f.audio[path] = FakeFileScript{0, ms, rate, qint16(channels), 16, {}};
        return path;
    }

    frmMain* start(const QStringList& files)
    {
        QString text;
        for (const QString& path : files)
            text += record(QStringLiteral("0"), QFileInfo(path).fileName(), path);
        f.addListText(QStringLiteral("Songs"), text);
        return f.start();
    }
};

} // namespace

class tst_previewplay : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_out;

    void playInto(const QString& name)
    {
        qputenv("SDL_DISKAUDIOFILE", m_out.filePath(name).toUtf8());
    }

private slots:
    void initTestCase()
    {
        // The disk driver writes what plays into our file, in real time. It is chosen when
        // the first play opens the audio system.
        qputenv("SDL_AUDIODRIVER", "disk");
        qunsetenv("SDL_DISKAUDIODELAY");
        g_lDeviceIndex = -1;
        g_bGoToNextItem = false;
    }

    void theRowsFileReachesTheDevice()
    {
        PlayFixture p;
        const QString file = p.wav(QStringLiteral("noise.wav"), 44100, 2, AudioFixtures::noise(44100, 2, 3));
        frmMain* m = p.start({file});
        playInto(QStringLiteral("noise.raw"));
        click(m, "Play");
        QCOMPARE(mainPanel(m), QStringLiteral("Playing"));
        QTRY_COMPARE_WITH_TIMEOUT(mainPanel(m), QStringLiteral("Ready."), 10000);
        QFile out(m_out.filePath(QStringLiteral("noise.raw")));
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QString wrong = AudioFixtures::checkPlayedOutput(out.readAll(), AudioFixtures::wavData(file), 44100 * 4);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void sliderFollowsPauseHoldsStopResets()
    {
        PlayFixture p;
        const QString file =
            p.wav(QStringLiteral("tone.wav"), 22050, 1, AudioFixtures::sine(22050 * 4, 1, 22050, 440, 0.5));
        frmMain* m = p.start({file});
        playInto(QStringLiteral("tone.raw"));
        click(m, "Play");
        QCOMPARE(m->cSlider1->Max(), 4);
        QCOMPARE(m->lbTotalLengthSec->text(), QStringLiteral("0:00:04"));

        // The slider and the position label move with the play.
        QTRY_VERIFY_WITH_TIMEOUT(m->cPlayer1->GetPosition() >= 1, 5000);
        m->tmSlider_Timer();
        const qint32 moved = m->cSlider1->Value();
        QVERIFY(moved >= 1);
        QCOMPARE(m->lblCurrentPositionSec->text(), cPlayer::FormatTime(moved));

        // Paused, the position holds however long the timers keep asking.
        m->tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), true);
        click(m, "Pause");
        m->tmSlider_Timer();
        const qint32 held = m->cSlider1->Value();
        const QString heldText = m->lblCurrentPositionSec->text();
        QTest::qWait(1300);
        m->tmSlider_Timer();
        QCOMPARE(m->cSlider1->Value(), held);
        QCOMPARE(m->lblCurrentPositionSec->text(), heldText);
        QCOMPARE(mainPanel(m), QStringLiteral("Playing"));

        // "Play" goes on from there.
        click(m, "Play");
        QTRY_VERIFY_WITH_TIMEOUT(m->cPlayer1->GetPosition() > held, 5000);

        // Stop: once the play has ended, the display is back at rest.
        m->tmrAudioData_Timer();
        click(m, "Stop");
        QVERIFY(!m->cPlayer1->IsPlaying());
        QTRY_COMPARE_WITH_TIMEOUT(mainPanel(m), QStringLiteral("Ready."), 5000);
        QCOMPARE(m->cSlider1->Value(), 0);
        QCOMPARE(m->lblCurrentPositionSec->text(), QStringLiteral("0:00:00"));
        QVERIFY(m->cAudioGraphAmp->IsEmpty());
        QVERIFY(m->cAudioGraphFreq->IsEmpty());
        QVERIFY(!m->cGrid1->CellFont(1, 1).bold());
        QVERIFY(!m->tmSlider.isActive());
        QVERIFY(!m->tmrAudioData.isActive());
    }

    void graphsShowTheTone_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<double>("amplitude");
        QTest::newRow("200 Hz, quiet") << 200.0 << 0.25;
        QTest::newRow("1 kHz, half") << 1000.0 << 0.5;
        QTest::newRow("6 kHz, loud") << 6000.0 << 0.9;
    }

    void graphsShowTheTone()
    {
        QFETCH(double, hz);
        QFETCH(double, amplitude);
        PlayFixture p;
        const QString file =
            p.wav(QStringLiteral("tone.wav"), 44100, 2, AudioFixtures::sine(44100 * 3, 2, 44100, hz, amplitude));
        frmMain* m = p.start({file});
        playInto(QStringLiteral("graphs.raw"));
        click(m, "Play");
        // Once the tone fills the graphs' window, the amplitude graph reads its level on
        // both sides and the frequency graph peaks in the tone's band.
        QTRY_VERIFY_WITH_TIMEOUT((m->tmrAudioData_Timer(), m->cAudioGraphAmp->LevelLeft() > amplitude * 0.9), 5000);
        m->tmrAudioData_Timer();
        QVERIFY(std::abs(m->cAudioGraphAmp->LevelLeft() - amplitude) < 0.01);
        QVERIFY(std::abs(m->cAudioGraphAmp->LevelRight() - amplitude) < 0.01);
        const SpectrumBands& b = m->cAudioGraphFreq->Spectrum();
        const int peak = int(std::max_element(b.Level.begin(), b.Level.end()) - b.Level.begin());
        QVERIFY2(b.LowHz[peak] <= hz && hz < b.HighHz[peak], qPrintable(QString::number(peak)));
        click(m, "Stop");
        QVERIFY(m->cAudioGraphAmp->IsEmpty());
        QVERIFY(m->cAudioGraphFreq->IsEmpty());
    }

    void otherRowsLeaveThePlayAlone()
    {
        // A 3 s file plays; the user selects a 0.5 s file of another rate and format,
        // which the information grid opens for its facts.
        PlayFixture p;
        const QString playing =
            p.wav(QStringLiteral("long.wav"), 22050, 1, AudioFixtures::sine(22050 * 3, 1, 22050, 440, 0.5));
        const QString other =
            p.wav(QStringLiteral("other.wav"), 48000, 2, AudioFixtures::sine(24000, 2, 48000, 880, 0.5));
        frmMain* m = p.start({playing, other});
        playInto(QStringLiteral("rows.raw"));
        click(m, "Play");
        m->cGrid1->SetCurrentRow(2);
        m->cGrid1_RowChanged(2, 2);
        m->LoadRowIntoPlayer();  // as a click on the row does
        QCOMPARE(m->cGridInfo->Cell(6, 2).Text(), QStringLiteral("48000"));
        QCOMPARE(m->cGridInfo->Cell(8, 2).Text(), QStringLiteral("STEREO"));
        QCOMPARE(m->cPlayer1->Length(), 3.0);
        QCOMPARE(m->lbTotalLengthSec->text(), QStringLiteral("0:00:03"));
        QCOMPARE(m->cSlider1->Max(), 3);
        // The position runs on past the selected file's length.
        QTRY_VERIFY_WITH_TIMEOUT(m->cPlayer1->GetPosition() >= 1, 5000);
        m->tmSlider_Timer();
        QVERIFY(m->cSlider1->Value() >= 1);
        QVERIFY(rowsBoldOnlyFirst(m));
        click(m, "Stop");
    }

private:
    static bool rowsBoldOnlyFirst(frmMain* m)
    {
        return m->cGrid1->CellFont(1, 2).bold() && !m->cGrid1->CellFont(2, 2).bold();
    }
};

QTEST_MAIN(tst_previewplay)
#include "tst_previewplay.moc"
