// Image drives whose cue sheets other programs wrote: a byte-order mark, blanks and letters
// beyond ASCII in the names, a sheet naming a data file of another name or in the Windows
// code page. Each is listed with its tracks and ripped to the data file's bytes, nothing of
// the way it was read is left in the temporary folder; an image that cannot be read says why.
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cAudioCDRipper/CDRipperImpl.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/CdDrivesFixture.h"
#include "tests/support/CdImages.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QLabel>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using CdImages::Image;

namespace {

// The tracks of every image here, in sectors: 2, 5 and 4 seconds.
const QList<int> kSectors{150, 375, 300};

// An image written as another program would: the data file `bin`, the sheet `cue` whose
// FILE line is `fileLine` with %1 for the data file's name, with or without a byte-order
// mark, with CR LF line ends, in the Windows code page in place of UTF-8.
struct ForeignImage {
    Image image;
    QString cue, bin;
    QByteArray cueBytes;
};

ForeignImage writeForeign(const QString& dir, const QString& cue, const QString& bin, const QString& fileLine,
                          bool mark = false, bool crlf = false, bool windowsCodePage = false)
{
    ForeignImage f;
    f.image = CdImages::WriteAudio(dir, QStringLiteral("made"), kSectors, 41);
    QString text = QString::fromUtf8(TestFiles::ReadBytes(f.image.cue));
    text.replace(QStringLiteral("FILE \"made.bin\" BINARY"), QString(fileLine).replace(QStringLiteral("%1"), bin));
    if (crlf)
        text.replace(u'\n', QStringLiteral("\r\n"));
    QByteArray bytes = windowsCodePage ? QStringEncoder(QStringEncoder::Latin1)(text) : text.toUtf8();
    if (mark)
        bytes.prepend("\xEF\xBB\xBF");
    f.cue = QDir(dir).filePath(cue);
    f.bin = QDir(dir).filePath(bin);
    f.cueBytes = bytes;
    QFile::remove(f.image.cue);
    if (bin != QLatin1String("made.bin"))
        QFile::rename(QDir(dir).filePath(QStringLiteral("made.bin")), f.bin);
    TestFiles::WriteBytes(f.cue, bytes);
    f.image.cue = f.cue;
    return f;
}

// Rips track `track` of the drive to a CD-format WAV file; the events, "|"-joined.
QString ripToWav(qint32 device, qint32 track, const QString& out)
{
    CDRipperImpl r;
    QStringList events;
    QObject::connect(&r, &cAudioCDRipper::Done, [&] { events << QStringLiteral("Done"); });
    QObject::connect(&r, &cAudioCDRipper::Aborted, [&] { events << QStringLiteral("Aborted"); });
    QObject::connect(&r, &cAudioCDRipper::Error,
                     [&](qint32 code, const QString& d) { events << QStringLiteral("Error %1 %2").arg(code).arg(d); });
    const EncoderSettings s = AudioFixtures::wavSettings(44100, 2, 16);
    r.SetDeviceIndex(device);
    r.SetTrackNumber(track);
    r.SetOutputFormat(s.OutputFormat);
    WAVSettings w = s.WAV;
    r.SetWAVSettings(w);
    r.SetOutputFile(out);
    r.StartRip();
    if (!QTest::qWaitFor([&] { return !events.isEmpty(); }, 60000))
        return QStringLiteral("timeout");
    return events.join(u'|');
}

// Points the system's temporary folder at `dir` while it lives.
class TempFolderScope
{
public:
    explicit TempFolderScope(const QString& dir) : m_saved(qgetenv("TMPDIR")), m_had(qEnvironmentVariableIsSet("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(dir));
    }
    ~TempFolderScope()
    {
        if (m_had)
            qputenv("TMPDIR", m_saved);
        else
            qunsetenv("TMPDIR");
    }

private:
    QByteArray m_saved;
    bool m_had;
};

} // namespace

class tst_CdImages : public QObject
{
    Q_OBJECT
private slots:
    void foreignSheetsAreRead_data();
    void foreignSheetsAreRead();
    void unreadableImagesSayWhy_data();
    void unreadableImagesSayWhy();
    void listedInTheMainWindow();
    void unreadableImageSaysWhyInTheMainWindow();
};

void tst_CdImages::foreignSheetsAreRead_data()
{
    QTest::addColumn<QString>("cue");
    QTest::addColumn<QString>("bin");
    QTest::addColumn<QString>("fileLine");
    QTest::addColumn<bool>("mark");
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<bool>("windowsCodePage");
    const QString quoted = QStringLiteral("FILE \"%1\" BINARY");
    const QString unicode = QStringLiteral("\u00dcn\u00efcode");
    QTest::newRow("byte-order mark") << "disc.cue" << "disc.bin" << quoted << true << false << false;
    QTest::newRow("byte-order mark, CR LF") << "disc.cue" << "disc.bin" << quoted << true << true << false;
    QTest::newRow("a blank in both names") << "my disc.cue" << "my disc.bin" << quoted << false << false << false;
    QTest::newRow("letters beyond ASCII in both names")
        << unicode + ".cue" << unicode + ".bin" << quoted << false << false << false;
    QTest::newRow("data file of another name") << "disc.cue" << "other.bin" << quoted << false << false << false;
    QTest::newRow("data file with a blank") << "disc.cue" << "my disc.bin" << quoted << false << false << false;
    QTest::newRow("data file with letters beyond ASCII")
        << "disc.cue" << unicode + ".bin" << quoted << false << true << false;
    QTest::newRow("data file named without quotes")
        << "disc.cue" << "my disc.bin" << QStringLiteral("FILE %1 BINARY") << false << false << false;
    QTest::newRow("sheet in the Windows code page")
        << "disc.cue" << unicode + ".bin" << quoted << false << true << true;
    QTest::newRow("byte-order mark and another name")
        << unicode + ".cue" << "my disc.bin" << quoted << true << false << false;
    QTest::newRow("sheet named .Cue") << "Disc.Cue" << "Disc.bin" << quoted << false << false << false;
}

// The image is listed with its tracks and its rips are the data file's bytes; the sheet and
// the data file stay as they were, and the temporary folder is left empty.
void tst_CdImages::foreignSheetsAreRead()
{
    QFETCH(QString, cue);
    QFETCH(QString, bin);
    QFETCH(QString, fileLine);
    QFETCH(bool, mark);
    QFETCH(bool, crlf);
    QFETCH(bool, windowsCodePage);
    QTemporaryDir dir, temp, out;
    const ForeignImage f = writeForeign(dir.path(), cue, bin, fileLine, mark, crlf, windowsCodePage);
    const CdImages::ListedAsDrives listed({f.cue});
    const TempFolderScope tempScope(temp.path());

    CDRipperImpl r;
    const qint32 device = r.GetDeviceCount() - 1;
    QVERIFY(r.GetDeviceName(device).endsWith(u' ' + cue));
    QVERIFY(r.SelectDevice(device));
    QVERIFY(r.IsAudioCD());
    QCOMPARE(r.GetTrackCount(), 3);
    for (qint32 t = 1; t <= 3; ++t) {
        qint32 n = t;
        QCOMPARE(r.GetTrackLength(n), kSectors[t - 1] / 75);
    }
    // Nothing of the reading is kept while the disc is open.
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());

    for (qint32 track : {1, 3}) {
        const QString wav = QDir(out.path()).filePath(QStringLiteral("t%1.wav").arg(track));
        QCOMPARE(ripToWav(device, track, wav), QStringLiteral("Done"));
        QVERIFY2(AudioFixtures::wavData(wav) == f.image.track(track - 1), qPrintable(QStringLiteral("track %1").arg(track)));
    }
    r.CloseDevice();
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QCOMPARE(TestFiles::ReadBytes(f.cue), f.cueBytes);
    QCOMPARE(TestFiles::ReadBytes(f.bin), f.image.bin);
    QStringList files{bin, cue};
    files.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files);
}

void tst_CdImages::unreadableImagesSayWhy_data()
{
    QTest::addColumn<QString>("fileLines");  // in place of the sheet's FILE line
    QTest::addColumn<QString>("reason");     // after "Cannot open the CD drive X:. ", %1 the folder
    QTest::newRow("data file missing")
        << "FILE \"gone.bin\" BINARY" << "The data file %1/gone.bin of the cue sheet %1/disc.cue does not exist.";
    QTest::newRow("data file missing, named without quotes")
        << "FILE my gone.bin BINARY" << "The data file %1/my gone.bin of the cue sheet %1/disc.cue does not exist.";
    QTest::newRow("two data files")
        << "FILE \"made.bin\" BINARY\nFILE \"made.bin\" BINARY"
        << "The cue sheet %1/disc.cue names 2 data files; only an image of one data file can be read.";
    QTest::newRow("a sheet of something else")
        << "PLAYLIST \"made.bin\"\nFILE \"made.bin\" BINARY"
        << "The cue sheet %1/disc.cue does not describe a CD image that can be read.";
}

// The reason comes with the error of a rip from the drive, which the ripper shows; the
// drive cannot be selected.
void tst_CdImages::unreadableImagesSayWhy()
{
    QFETCH(QString, fileLines);
    QFETCH(QString, reason);
    QTemporaryDir dir, out;
    const ForeignImage f = writeForeign(dir.path(), QStringLiteral("disc.cue"), QStringLiteral("made.bin"),
                                        fileLines);
    const CdImages::ListedAsDrives listed({f.cue});
    CDRipperImpl r;
    const qint32 device = r.GetDeviceCount() - 1;
    QVERIFY(!r.SelectDevice(device));
    QCOMPARE(r.GetTrackCount(), 0);
    const QString wav = QDir(out.path()).filePath(QStringLiteral("t.wav"));
    QCOMPARE(ripToWav(device, 1, wav), QStringLiteral("Error %1 Cannot open the CD drive %2. %3")
                                           .arg(kErrDevice)
                                           .arg(r.GetDeviceName(device).left(2), reason.arg(dir.path())));
    QVERIFY(!QFileInfo::exists(wav));
}

// The main window lists the tracks of an image whose sheet begins with a byte-order mark
// and names a data file of another name, as it does any disc.
void tst_CdImages::listedInTheMainWindow()
{
    QTemporaryDir dir;
    ListsTest::CDFixture f;
    SetAudioCDRipperFactory({});
    const ForeignImage image = writeForeign(dir.path(), QStringLiteral("disc.cue"), QStringLiteral("my disc.bin"),
                                            QStringLiteral("FILE \"%1\" BINARY"), true, true);
    const CdImages::ListedAsDrives listed({image.cue});
    frmMain* m = f.start();
    cTreeItem* drive = f.imageNode(QStringLiteral("disc.cue"));
    QVERIFY(drive);
    m->cTreeView1_NodeClick(drive);
    QStringList rows;
    for (qint32 r = 1; r <= m->cGrid1->Rows(); ++r)
        rows << RowText(m->cGrid1, r, QStringLiteral("Item Name"));
    QCOMPARE(rows, (QStringList{"Track01.cda", "Track02.cda", "Track03.cda"}));
    QVERIFY(f.platform.messages().shown.isEmpty());
}

// An image drive that cannot be read shows the reason where the main window asks for a
// disc; nothing is listed and no box interrupts the user.
void tst_CdImages::unreadableImageSaysWhyInTheMainWindow()
{
    QTemporaryDir dir;
    ListsTest::CDFixture f;
    SetAudioCDRipperFactory({});
    const ForeignImage image = writeForeign(dir.path(), QStringLiteral("disc.cue"), QStringLiteral("made.bin"),
                                            QStringLiteral("FILE \"gone.bin\" BINARY"));
    const CdImages::ListedAsDrives listed({image.cue});
    frmMain* m = f.start();
    cTreeItem* drive = f.imageNode(QStringLiteral("disc.cue"));
    QVERIFY(drive);
    m->cTreeView1_NodeClick(drive);
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(m->picEmptyMsg->isVisibleTo(m));
    QCOMPARE(m->lblAddorDrag->text(),
             QStringLiteral("Cannot open the CD drive %1. The data file %2/gone.bin of the cue sheet %2/disc.cue does not exist.")
                 .arg(drive->Text().left(2), dir.path()));
    QVERIFY(f.platform.messages().shown.isEmpty());
}

QTEST_MAIN(tst_CdImages)
#include "tst_cdimages.moc"
