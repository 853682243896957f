// Exactly the parts asked for, from the files users bring: the split's plan over the real
// conversion component, part after part as the splitter drives it, on sources whose
// length is not a whole number of parts and on MP3 streams whose container states no
// length. The parts put end to end are one decode of the whole source.
#include "components/cAudioConverter/AudioConverterImpl.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tools/splitter/mdlSplit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;

class tst_SplitParts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_wav;  // 10.3 s: no count of parts divides it into whole seconds

    // Splits `source` into WAV parts at its own rate and channels, 16 bits, by the plan
    // made from the component's probe, each next part started from the one before's Done
    // as the splitter does. The parts' paths; `events` gets what went wrong.
    QStringList split(const QString& source, bool byParts, const QString& text, QString& events)
    {
        AudioConverterImpl c;
        if (c.ReadFileInfo(source) != 0) {
            events = QStringLiteral("unreadable");
            return {};
        }
        const SplitPlan plan = byParts ? PlanSplitByParts(c.Duration(), text) : PlanSplitBySeconds(c.Duration(), text);
        if (!plan.ok) {
            events = QStringLiteral("refused for %1 ms").arg(c.Duration());
            return {};
        }
        c.SetOutputFormat(kOutputWAV);
        WAVSettings w{c.SampleRate(), c.Channels(), 16};
        c.SetWAVSettings(w);
        QStringList outputs;
        bool ended = false;
        auto start = [&] {
            const qint32 part = qint32(outputs.size()) + 1;
            if (part > plan.partCount) {
                ended = true;
                return;
            }
            c.SetSourceFile(source);
            c.SetRangeStart(plan.PartStart(part));
            c.SetRangeLength(plan.PartLength(part));
            outputs << m_dir.filePath(QStringLiteral("part%1.wav").arg(part));
            QFile::remove(outputs.last());
            c.SetOutputFile(outputs.last());
            c.StartConvert();
        };
        connect(&c, &cAudioConverter::Done, &c, start);
        connect(&c, &cAudioConverter::Error, &c, [&](qint32 code, const QString& d) {
            events += QStringLiteral("Error %1 %2; ").arg(code).arg(d);
            start();  // a failed part does not stop the job
        });
        start();
        if (!QTest::qWaitFor([&] { return ended; }, 120000))
            events += QStringLiteral("timeout");
        return outputs;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_wav = m_dir.filePath(QStringLiteral("odd.wav"));
        QVERIFY(writeWav(m_wav, 44100, 2, 16, noise(qint64(44100 * 10.3), 2, 5)));
    }

    void partsPutTogetherAreTheSource_data()
    {
        QTest::addColumn<QString>("kind");  // "wav", or a kind of source without a stated length
        QTest::addColumn<bool>("byParts");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("parts");
        const QStringList kinds{QStringLiteral("wav"), QStringLiteral("vbr, noise first"), QStringLiteral("vbr, silence first"),
                                QStringLiteral("mpeg-2 vbr mono"), QStringLiteral("cbr without header")};
        for (const QString& kind : kinds) {
            // Every source is a little over 10 s long.
            QTest::newRow(qPrintable(kind + QStringLiteral(", into 4 parts"))) << kind << true << "4" << 4;
            QTest::newRow(qPrintable(kind + QStringLiteral(", into 3 parts"))) << kind << true << "3" << 3;
            QTest::newRow(qPrintable(kind + QStringLiteral(", parts of 3 s"))) << kind << false << "3" << 4;
        }
    }
    void partsPutTogetherAreTheSource()
    {
        QFETCH(QString, kind);
        QFETCH(bool, byParts);
        QFETCH(QString, text);
        QFETCH(int, parts);
        QString error;
        const QString source = kind == QLatin1String("wav") ? m_wav : ExternalTools::NoLengthSource(m_dir.path(), kind, &error);
        QVERIFY2(!source.isEmpty(), qPrintable(error));
        QString events;
        const QStringList outputs = split(source, byParts, text, events);
        QVERIFY2(events.isEmpty(), qPrintable(events));
        QCOMPARE(outputs.size(), parts);

        const QByteArray whole = kind == QLatin1String("wav") ? wavData(source) : decodePcm16(source).bytes;
        QVERIFY(!whole.isEmpty());
        QByteArray joined;
        for (const QString& part : outputs) {
            const QByteArray samples = wavData(part);
            QVERIFY2(!samples.isEmpty(), qPrintable(part));
            joined += samples;
        }
        QCOMPARE(joined.size(), whole.size());
        QVERIFY(joined == whole);
    }
};

QTEST_MAIN(tst_SplitParts)
#include "tst_splitparts.moc"
