// The procedures every tool window shares, on the splitter: the frame as it loads, the
// destination with its history, the sub-folder, the target format and its defaults, the
// tags with their placeholders, the events options link and the external program.
#include "common/mdlModes.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTabControl/cTabControl.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFrame>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

struct Fixture {
    TestPlatform platform;
    FakeAudioFactories fakes;
    MainHostStandIn host;
    frmSplitter* w = nullptr;

    // storedFormat: the default target format in the settings store, read as the
    // options window loads ("" for none, as in a store an older version laid down).
    explicit Fixture(const QString& storedFormat = QString())
    {
        InitProductProfile();
        g_sTargetFormat.clear();
        if (!storedFormat.isEmpty())
            TestFiles::StoreText(QStringLiteral("General"), QStringLiteral("cboTargetFormat"), storedFormat);
        else
            TestFiles::ProductKey(QStringLiteral("General")).DeleteValue(QStringLiteral("cboTargetFormat"));
        Forms::Get<frmOptions>();
        Forms::Get<frmAudioProp>();
    }
    frmSplitter* open()
    {
        w = g_frmSplitter();
        return w;
    }
    const EncoderSettings& settings() const { return w->cAudioConverter1->Settings(); }
    QStringList history() const
    {
        return QString::fromUtf8(TestFiles::ReadBytes(platform.path(QStringLiteral("PathHistory"))))
            .split(u'\n', Qt::SkipEmptyParts);
    }
    void writeHistory(const QStringList& lines) const
    {
        TestFiles::WriteBytes(platform.path(QStringLiteral("PathHistory")), lines.join(u'\n').toUtf8() + '\n');
    }
};

} // namespace

class tst_toolwindow : public QObject
{
    Q_OBJECT
private slots:
    void loadsTheFrame_data();
    void loadsTheFrame();
    void destinationDefaults();
    void pageSwitch();
    void setDestination_data();
    void setDestination();
    void placeholders_data();
    void placeholders();
    void tagsOfARow();
    void subFolder_data();
    void subFolder();
    void browseForDestination();
    void defaultDestination();
    void openDestinationFolder_data();
    void openDestinationFolder();
    void defaultFormat();
    void editTargetFormat();
    void eventsOptionsResetTheBoxes();
    void externalProgramWithoutAShell_data();
    void externalProgramWithoutAShell();
    void findRowByItemData_data();
    void findRowByItemData();
};

void tst_toolwindow::loadsTheFrame_data()
{
    QTest::addColumn<QString>("stored");  // the default format in the settings store
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("offerAsDefault");  // the "Set as default" link
    const QString wav = QStringLiteral("WAV - Waveform Audio Format (*.wav)");
    const QString mp3 = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    QTest::newRow("none stored: the first format, not yet the default") << "" << wav << true;
    QTest::newRow("MP3 stored: MP3, already the default") << mp3 << mp3 << false;
    QTest::newRow("a format no longer offered: the first") << "FLAC - Free Lossless (*.flac)" << wav << true;
}

void tst_toolwindow::loadsTheFrame()
{
    QFETCH(QString, stored);
    Fixture f(stored);
    g_bPlaySound = true;
    g_bTurnOffComputer = true;
    g_bOpenDestFolder = false;
    g_bNoticeApp = false;
    frmSplitter* w = f.open();
    g_bPlaySound = g_bTurnOffComputer = false;

    QCOMPARE(w->windowTitle(), QStringLiteral("Audio Splitter"));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Ready."));
    cTabControl* tabs = w->cTabControl1;
    QCOMPARE(tabs->TabCount(), 3);
    const QStringList keys{"Settings", "Events", "Log"};
    const QStringList captions{"Settings        ", "Events        ", "Log             "};
    const QList<qint32> images{9, 10, 36};
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(tabs->TabKey(i), keys[i - 1]);
        QCOMPARE(tabs->TabCaption(i), captions[i - 1]);
        QCOMPARE(tabs->TabImage(i), images[i - 1]);
    }
    QVERIFY(w->TabSettings->isVisibleTo(w));
    QVERIFY(!w->TabEvents->isVisibleTo(w));
    QVERIFY(!w->TabLog->isVisibleTo(w));

    // The tool grid holds the items grid row's columns in the same order.
    QCOMPARE(w->cGrid1->Columns(), ItemsGridColumns().size());
    for (int i = 0; i < ItemsGridColumns().size(); ++i)
        QCOMPARE(w->cGrid1->ColumnKey(i + 1), ItemsGridColumns()[i].key);
    QVERIFY(!w->cGrid1->ColumnVisible(w->cGrid1->ColumnIndex(QStringLiteral("COL_FILE"))));
    QCOMPARE(w->cGrid1->ImageList(), &f.host.menuImages);

    QCOMPARE(w->cStatusBar1->PanelKey(1), QStringLiteral("Total Size"));
    QCOMPARE(w->cStatusBar1->PanelKey(2), QStringLiteral("Total Time"));
    QCOMPARE(w->chkPlaySound->Value(), 1);
    QCOMPARE(w->chkTurnOffComputer->Value(), 1);
    QCOMPARE(w->chkOpenDestFolder->Value(), 0);
    QCOMPARE(w->chkNoticeApp->Value(), 0);
    QCOMPARE(w->chkOverWrite->Value(), 0);
    QVERIFY(!w->txtUndeForlder->isEnabled());
    QVERIFY(!w->lblSetAsDefaultDestination->isEnabled());
    QCOMPARE(w->cboTargetFormat->count(), 4);
    // The stored default format is chosen, and the link offers to make the shown format
    // the default only when it is not already.
    QTEST(w->cboTargetFormat->currentText(), "shown");
    QTEST(w->lblSetAsDefaultFormat->isEnabled(), "offerAsDefault");
}

void tst_toolwindow::destinationDefaults()
{
    {
        Fixture f;
        QCOMPARE(f.open()->txtToPath->currentText(), f.platform.path(QStringLiteral("Main/")));
    }
    Fixture f;
    f.writeHistory({QStringLiteral("/music/parts/"), QStringLiteral("/music/old/")});
    frmSplitter* w = f.open();
    QCOMPARE(w->txtToPath->currentText(), QStringLiteral("/music/parts/"));
    QCOMPARE(w->txtToPath->count(), 2);
}

void tst_toolwindow::pageSwitch()
{
    Fixture f;
    frmSplitter* w = f.open();
    for (const QString& key : {QStringLiteral("Events"), QStringLiteral("Log"), QStringLiteral("Settings")}) {
        w->cTabControl1->SelectTab(key);
        w->cTabControl1_TabClick(0);
        QCOMPARE(w->TabSettings->isVisibleTo(w), key == QLatin1String("Settings"));
        QCOMPARE(w->TabEvents->isVisibleTo(w), key == QLatin1String("Events"));
        QCOMPARE(w->TabLog->isVisibleTo(w), key == QLatin1String("Log"));
    }
}

void tst_toolwindow::setDestination_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("format");
    QTest::addColumn<QString>("logged");
    QTest::newRow("WAV") << "WAV - Waveform Audio Format (*.wav)" << 1 << "Destination format: WAV";
    QTest::newRow("ACM") << "ACM - Waveform ACM Codecs (*.wav)" << 2 << "Destination format: ACM WAV";
    QTest::newRow("MP3") << "MP3 - MPEG-1 Audio Layer 3 (*.mp3)" << 3 << "Destination format: MP3";
    QTest::newRow("WMA") << "WMA - Windows Media Audio files (*.wma)" << 4 << "Destination format: WMA";
    QTest::newRow("OGG") << "OGG - Ogg Media Format (*.ogg)" << 5 << "Destination format: OGG";
    QTest::newRow("APE") << "APE - Monkey 's Audio (*.ape)" << 6 << "Destination format: APE";
    QTest::newRow("lower-case code") << "mp3 - something" << 3 << "Destination format: MP3";
    QTest::newRow("unknown text is WAV") << "FLAC - Free Lossless" << 1 << "Destination format: WAV";
}

void tst_toolwindow::setDestination()
{
    QFETCH(QString, text);
    QFETCH(qint32, format);
    Fixture f;
    frmSplitter* w = f.open();
    g_lSamplesWAV = 22050;
    g_lChannelsWAV = 0;
    g_lBitrateWAV = 8;
    g_sACMTag = QStringLiteral("IMA ADPCM");
    g_sACMFormat = QStringLiteral("22050 Hz, 4 Bit, Mono");
    g_lMP3Bitrate = 192;
    g_lWMACodecs = 1;
    g_lWMAFormat = 2;
    g_bOggBit = true;
    g_lOggBitNom = 160;
    g_lAPELevel = 3;
    w->cboTargetFormat->addItem(text);
    w->cboTargetFormat->setCurrentIndex(w->cboTargetFormat->count() - 1);
    w->SetDestination();
    g_bOggBit = false;

    const EncoderSettings& s = f.settings();
    QCOMPARE(s.OutputFormat, format);
    QTEST(w->txtLog->toPlainText().section(u':', 3).trimmed(), "logged");
    switch (format) {
    case 1:
        QCOMPARE(s.WAV.SamplesPerSec, 22050);
        QCOMPARE(s.WAV.Channels, qint16(1));
        QCOMPARE(s.WAV.BitsPerSample, qint16(8));
        break;
    case 2:
        QCOMPARE(s.ACMTag, QStringLiteral("IMA ADPCM"));
        QCOMPARE(s.ACMFormat, QStringLiteral("22050 Hz, 4 Bit, Mono"));
        break;
    case 3:
        QCOMPARE(s.MP3.Bitrate, 192);
        break;
    case 4:
        QCOMPARE(s.WMA.CodecIndex, 1);
        QCOMPARE(s.WMA.FormatIndex, 2);
        break;
    case 5:
        QCOMPARE(s.OGG.Mode, 2);
        QCOMPARE(s.OGG.Bitrate, 160);
        QCOMPARE(s.OGG.Quality, 0);
        break;
    case 6:
        QCOMPARE(s.APELevel, 3);
        break;
    }
}

void tst_toolwindow::placeholders_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("currentRow");
    QTest::addColumn<QString>("expected");
    const QString year = QString::number(QDate::currentDate().year());
    QTest::newRow("first row without a current row") << "Track [TRACK_NUM]" << 0 << "Track 1";
    QTest::newRow("first row current") << "Track [TRACK_NUM]" << 1 << "Track 1";
    QTest::newRow("third row current") << "[TRACK_NUM]/[TRACK_NUM]" << 3 << "3/3";
    QTest::newRow("program") << "[PROG_NAME] [PROG_VERSION]" << 0 << "Velmaro 1.2";
    QTest::newRow("year") << "(c) [YEAR]" << 0 << "(c) " + year;
    QTest::newRow("date") << "[DATE]" << 0 << QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    QTest::newRow("lower case stays") << "[track_num] [Year]" << 0 << "[track_num] [Year]";
    QTest::newRow("no placeholder") << "Live at [the] Hall" << 0 << "Live at [the] Hall";
    QTest::newRow("empty") << "" << 0 << "";
}

void tst_toolwindow::placeholders()
{
    QFETCH(QString, text);
    QFETCH(qint32, currentRow);
    Fixture f;
    frmSplitter* w = f.open();
    for (qint32 row = 1; row <= 3; ++row)
        SetRowText(w->cGrid1, row, QStringLiteral("Item Name"), QStringLiteral("x"));
    if (currentRow > 0)
        w->cGrid1->SetCurrentRow(currentRow);
    QTEST(w->CreateID3TagsString(text), "expected");
}

void tst_toolwindow::tagsOfARow()
{
    Fixture f;
    frmSplitter* w = f.open();
    const QStringList keys{"COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT", "COL_TAG_GEN",
                           "COL_TAG_TITLE", "COL_TAG_TRACK",  "COL_TAG_YEAR"};
    for (const QString& key : keys)
        SetRowText(w->cGrid1, 1, key, key.mid(8) + QStringLiteral(" [TRACK_NUM]"));
    qint32 row = 1;
    w->SetID3Tags(row);
    const AudioTags& t = w->cAudioConverter1->Tags();
    QCOMPARE(t.Album, QStringLiteral("ALBUM 1"));
    QCOMPARE(t.Artist, QStringLiteral("ARTIST 1"));
    QCOMPARE(t.Comment, QStringLiteral("COMMENT 1"));
    QCOMPARE(t.Genre, QStringLiteral("GEN 1"));
    QCOMPARE(t.Title, QStringLiteral("TITLE 1"));
    QCOMPARE(t.Track, QStringLiteral("TRACK 1"));
    QCOMPARE(t.Year, QStringLiteral("YEAR 1"));
}

void tst_toolwindow::subFolder_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sub");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("folder");
    QTest::newRow("ticked with a name") << true << "My-List" << "My-List/" << "/out/" << "/out/My-List/";
    QTest::newRow("ticked, empty name") << true << "" << "" << "/out/" << "/out/";
    QTest::newRow("not ticked") << false << "My-List" << "" << "/out/" << "/out/";
    QTest::newRow("destination without slash") << true << "A" << "A/" << "/out" << "/out/A/";
}

void tst_toolwindow::subFolder()
{
    QFETCH(bool, ticked);
    QFETCH(QString, name);
    QFETCH(QString, destination);
    Fixture f;
    frmSplitter* w = f.open();
    w->txtUndeForlder->setText(name);
    w->chkCreateSubFolder->SetValue(ticked ? 1 : 0);
    QCOMPARE(w->txtUndeForlder->isEnabled(), ticked);
    w->txtToPath->setEditText(destination);
    QTEST(w->GetSubFolder(), "sub");
    QTEST(w->OutputFolder(), "folder");
}

void tst_toolwindow::browseForDestination()
{
    Fixture f;
    frmSplitter* w = f.open();
    const QString before = w->txtToPath->currentText();
    w->cmdSelectPath_Click();  // cancelled
    QCOMPARE(w->txtToPath->currentText(), before);
    QCOMPARE(f.platform.dialogs().folderPrompts, QStringList{QStringLiteral("Select a new directory")});
    QCOMPARE(f.platform.dialogs().folderInitials, QStringList{before});

    f.platform.dialogs().folderAnswers.enqueue(QStringLiteral("/music/new"));
    w->cmdSelectPath_Click();
    QCOMPARE(w->txtToPath->currentText(), QStringLiteral("/music/new/"));
    QCOMPARE(f.history().first(), QStringLiteral("/music/new/"));
}

void tst_toolwindow::defaultDestination()
{
    Fixture f;
    f.writeHistory({QStringLiteral("/a/"), QStringLiteral("/b/"), QStringLiteral("/c/")});
    frmSplitter* w = f.open();
    w->txtToPath->setCurrentIndex(0);
    w->txtToPath_Click();
    QVERIFY(!w->lblSetAsDefaultDestination->isEnabled());
    w->txtToPath->setCurrentIndex(2);
    w->txtToPath_Click();
    QVERIFY(w->lblSetAsDefaultDestination->isEnabled());
    w->lblSetAsDefaultDestination_Click();
    QVERIFY(!w->lblSetAsDefaultDestination->isEnabled());
    QCOMPARE(f.history(), (QStringList{QStringLiteral("/c/"), QStringLiteral("/a/"), QStringLiteral("/b/")}));
    QCOMPARE(w->txtToPath->currentText(), QStringLiteral("/c/"));
}

void tst_toolwindow::openDestinationFolder_data()
{
    QTest::addColumn<QString>("where");  // "exists", "missing", "blocked" (a file in the way)
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("created");
    QTest::newRow("existing opens at once") << "exists" << 0 << true << true;
    QTest::newRow("missing, No") << "missing" << vbNo << false << false;
    QTest::newRow("missing, Yes") << "missing" << vbYes << true << true;
    QTest::newRow("cannot be created, Yes") << "blocked" << vbYes << true << false;
}

void tst_toolwindow::openDestinationFolder()
{
    QFETCH(QString, where);
    QFETCH(int, answer);
    QFETCH(bool, opened);
    QFETCH(bool, created);
    Fixture f;
    frmSplitter* w = f.open();
    QString base = f.platform.path(QStringLiteral("dest"));
    if (where == QLatin1String("exists"))
        QDir().mkpath(base + QStringLiteral("/Sub"));
    if (where == QLatin1String("blocked"))
        QVERIFY(TestFiles::WriteBytes(base, "a file"));
    w->txtToPath->setEditText(base);
    w->chkCreateSubFolder->SetValue(1);
    w->txtUndeForlder->setText(QStringLiteral("Sub"));
    const QString folder = base + QStringLiteral("/Sub/");
    if (answer)
        f.platform.messages().answers.enqueue(answer);
    if (where == QLatin1String("blocked"))
        f.platform.messages().answers.enqueue(vbOK);
    w->lblOpenDestinationDestinationFolder_Click();

    QCOMPARE(w->txtToPath->currentText().endsWith(u'/'), true);
    const auto& shown = f.platform.messages().shown;
    if (where == QLatin1String("exists")) {
        QVERIFY(shown.isEmpty());
    } else {
        QCOMPARE(shown[0].prompt, QStringLiteral("The folder ") + folder + QStringLiteral(" does not exist.")
                                      + QString(44, u' ') + QStringLiteral("\r\n\r\nWould you like to create it?"));
        QCOMPARE(shown[0].buttons, vbYesNo + vbInformation);
    }
    if (where == QLatin1String("blocked")) {
        QCOMPARE(shown[1].prompt, QStringLiteral("The path: ") + folder + QStringLiteral(" cannot be created."));
        QCOMPARE(shown[1].buttons, vbOKOnly);
    }
    QCOMPARE(f.platform.shell().opened, opened ? QStringList{folder} : QStringList{});
    QCOMPARE(QFileInfo(folder).isDir(), created);
    if (where == QLatin1String("missing") && answer == vbYes)
        QCOMPARE(f.history().first(), base + u'/');
}

void tst_toolwindow::defaultFormat()
{
    Fixture f;
    frmSplitter* w = f.open();
    const QString mp3 = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    const QString first = w->cboTargetFormat->currentText();
    g_sTargetFormat = first;
    SelectListText(w->cboTargetFormat, mp3);
    w->cboTargetFormat_Click();
    QVERIFY(w->lblSetAsDefaultFormat->isEnabled());
    w->lblSetAsDefaultFormat_Click();
    QVERIFY(!w->lblSetAsDefaultFormat->isEnabled());
    QCOMPARE(g_sTargetFormat, mp3);
    QCOMPARE(TestFiles::StoredText(QStringLiteral("General"), QStringLiteral("cboTargetFormat")), mp3);
    QCOMPARE(Forms::Get<frmOptions>()->cboTargetFormat->currentText(), mp3);
    SelectListText(w->cboTargetFormat, first);
    w->cboTargetFormat_Click();
    QVERIFY(w->lblSetAsDefaultFormat->isEnabled());
    SelectListText(w->cboTargetFormat, mp3);
    w->cboTargetFormat_Click();
    QVERIFY(!w->lblSetAsDefaultFormat->isEnabled());
}

void tst_toolwindow::editTargetFormat()
{
    Fixture f;
    frmSplitter* w = f.open();
    const QString wma = QStringLiteral("WMA - Windows Media Audio files (*.wma)");
    SelectListText(Forms::Get<frmOptions>()->cboTargetFormat, wma);
    SelectListText(w->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
    QString tab;
    f.platform.modal().handlers.enqueue([&tab](VForm* form) {
        auto* prop = qobject_cast<frmAudioProp*>(form);
        QVERIFY(prop);
        tab = prop->cTabControl1->TabKey(prop->cTabControl1->SelectedTab());
        QVERIFY(prop->froToMP3->isVisibleTo(prop));
    });  // closed without OK
    w->cmdEditTargetFormat_Click();
    QCOMPARE(tab, QStringLiteral("MP3"));
    // Left without OK, the format window changes nothing: the box keeps MP3 and no
    // default is stored.
    QCOMPARE(w->cboTargetFormat->currentText(), QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
    QCOMPARE(g_sTargetFormat, QString());
    QCOMPARE(TestFiles::StoredText(QStringLiteral("General"), QStringLiteral("cboTargetFormat")), QString());
}

void tst_toolwindow::eventsOptionsResetTheBoxes()
{
    Fixture f;
    frmSplitter* w = f.open();
    g_bPlaySound = false;
    g_bNoticeApp = true;
    w->chkPlaySound->SetValue(1);
    w->chkNoticeApp->SetValue(0);
    bool eventsPage = false;
    f.platform.modal().handlers.enqueue([&eventsPage](VForm* form) {
        auto* options = qobject_cast<frmOptions*>(form);
        QVERIFY(options);
        eventsPage = options->froEvents->isVisibleTo(options);
    });
    w->lblEventsSettings_Click();
    g_bNoticeApp = false;
    QVERIFY(eventsPage);
    QCOMPARE(w->chkPlaySound->Value(), 0);
    QCOMPARE(w->chkNoticeApp->Value(), 1);
}

void tst_toolwindow::externalProgramWithoutAShell_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("quoted program and argument")
        << "\"/opt/my tools/notify\" --title \"Split done\" x" << "/opt/my tools/notify"
        << QStringList{"--title", "Split done", "x"};
    QTest::newRow("shell syntax is only text") << "echo done; rm -rf ~ && reboot" << "echo"
                                               << QStringList{"done;", "rm", "-rf", "~", "&&", "reboot"};
    QTest::newRow("nothing to start") << "   " << "" << QStringList{};
}

void tst_toolwindow::externalProgramWithoutAShell()
{
    QFETCH(QString, command);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    Fixture f;
    frmSplitter* w = f.open();
    f.host.noticeCommand = command;
    w->chkNoticeApp->SetValue(1);
    w->DoEndEvents();
    if (program.isEmpty()) {
        QVERIFY(f.platform.shell().started.isEmpty());
        return;
    }
    QCOMPARE(f.platform.shell().started.size(), 1);
    QCOMPARE(f.platform.shell().started[0].program, program);
    QCOMPARE(f.platform.shell().started[0].arguments, arguments);
}

void tst_toolwindow::findRowByItemData_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("row");
    QTest::newRow("first of two equal") << "7" << 2;
    QTest::newRow("not numeric") << "seven" << 0;
    QTest::newRow("no row has it") << "8" << 0;
}

void tst_toolwindow::findRowByItemData()
{
    QFETCH(QString, text);
    Fixture f;
    frmSplitter* w = f.open();
    for (qint32 row = 1; row <= 3; ++row)
        SetRowText(w->cGrid1, row, QStringLiteral("Item Name"), QStringLiteral("x"));
    w->cGrid1->SetRowItemData(2, 7);
    w->cGrid1->SetRowItemData(3, 7);
    QTEST(w->FindRowByItemData(text), "row");
}

QTEST_MAIN(tst_toolwindow)
#include "tst_toolwindow.moc"
