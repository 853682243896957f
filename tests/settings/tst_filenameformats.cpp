// Output-name templates: the expansion of every placeholder (with the locale pinned), the
// ACM and joiner variants, values that could reach into another folder, the template list
// from "FileNameFormats.txt", and the default chosen when a window loads.
#include "settings/mdlFileNameFormats.h"
#include "settings/mdlOptions.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolTexts.h"

#include <QComboBox>
#include <QLocale>
#include <QTest>

using namespace ToolTexts;

namespace {

// 9 December 2010, 14:05:09.
const QDateTime kNow(QDate(2010, 12, 9), QTime(14, 5, 9));

QStringList items(const QComboBox& c)
{
    QStringList out;
    for (int i = 0; i < c.count(); ++i)
        out << c.itemText(i);
    return out;
}

} // namespace

class tst_FileNameFormats : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void expansion_data();
    void expansion();
    void builtInTemplates();
    void timeAndDateFollowTheLocale_data();
    void timeAndDateFollowTheLocale();
    void joinerNames_data();
    void joinerNames();
    void templateFile_data();
    void templateFile();
    void defaultTemplate_data();
    void defaultTemplate();
};

void tst_FileNameFormats::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_FileNameFormats::cleanup()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    g_sFileNameFormat.clear();
}

void tst_FileNameFormats::expansion_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<qint32>("row");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("fixed");
    QTest::addColumn<QString>("name");

    const QString song = QStringLiteral("/Music/song.wav");
    QTest::newRow("tenth row, no leading zero") << "[123].[dest_extension]" << 10 << song << "song.wav" << kMp3 << ""
                                                << "10.mp3";
    // An item without an extension: never two dots in a row, nor a dot that starts or
    // ends the name.
    QTest::newRow("item name without a dot, in the middle")
        << "[file_name].[source_extension].[dest_extension]" << 1 << song << "song" << kMp3 << "" << "song.mp3";
    QTest::newRow("item name without a dot, at the end")
        << "[file_name]_[123].[source_extension]" << 2 << song << "song" << kMp3 << "" << "song_2";
    QTest::newRow("item name without a dot, at the start")
        << "[source_extension].[file_name]" << 1 << song << "song" << kMp3 << "" << "song";
    QTest::newRow("item name ending in a dot")
        << "[123].[source_extension].[dest_extension]" << 1 << song << "song." << kMp3 << "" << "1.mp3";
    QTest::newRow("source extension from the item name, lower-cased")
        << "[file_name].[source_extension].[dest_extension]" << 1 << "/Music/take.flac" << "TAKE.WAV" << kMp3 << ""
        << "take.wav.mp3";
    QTest::newRow("convert extension is the target's") << "[file_name].[convert_extension]" << 1 << song << "song.wav"
                                                       << kMp3 << "" << "song.mp3";
    QTest::newRow("ACM target in the audio converter gives acm")
        << "[file_name].[dest_extension]" << 1 << song << "song.wav" << kAcm << "" << "song.acm";
    QTest::newRow("the ACM converter's names end in wav")
        << "[file_name].[dest_extension].[convert_extension]" << 1 << song << "song.wav" << "" << "wav"
        << "song.wav.wav";
    QTest::newRow("a format text without \" -\" leaves both extensions")
        << "[file_name].[dest_extension][convert_extension]" << 1 << song << "song.wav" << "" << ""
        << "song.[dest_extension][convert_extension]";
    QTest::newRow("placeholders match with case") << "[FILE_NAME].[dest_extension]" << 1 << song << "song.wav" << kMp3
                                                  << "" << "[FILE_NAME].mp3";
    QTest::newRow("other brackets stay") << "[x]_[file_name]" << 1 << song << "song.wav" << kMp3 << "" << "[x]_song";
    QTest::newRow("every occurrence") << "[123]-[123]-[file_name]-[file_name]" << 3 << song << "song.wav" << kMp3 << ""
                                      << "3-3-song-song";
    QTest::newRow("time and date") << "[date]_[time].[dest_extension]" << 1 << song << "song.wav" << kMp3 << ""
                                   << "12-9-10_14-05-09.mp3";
    QTest::newRow("a file name is expanded again by the later steps")
        << "[file_name].[dest_extension]" << 1 << "/Rec/mix[date].wav" << "mix.wav" << kMp3 << "" << "mix12-9-10.mp3";
    QTest::newRow("the item name is put in last and stays as it is")
        << "[item_name]" << 2 << song << "[123] [date].wav" << kMp3 << "" << "[123] [date].wav";
    QTest::newRow("empty template") << "" << 1 << song << "song.wav" << kMp3 << "" << "";

    // A name keeps what stands before the last dot of the file's name.
    QTest::newRow("dots inside the file name stay")
        << "[file_name].[dest_extension]" << 1 << "/Music/live.at.home.wav" << "live.at.home.wav" << kMp3 << ""
        << "live.at.home.mp3";
    QTest::newRow("a file without an extension keeps its name")
        << "[file_name].[dest_extension]" << 1 << "/Music/song" << "song" << kMp3 << "" << "song.mp3";
    QTest::newRow("a hidden file without an extension")
        << "[file_name].[dest_extension]" << 1 << "/Music/.song" << ".song" << kMp3 << "" << ".song.mp3";

    // Nothing put in may name another folder or cut the name short.
    QTest::newRow("slash in the item name") << "[item_name].[dest_extension]" << 1 << song << "AC/DC - Live" << kMp3
                                            << "" << "AC-DC - Live.mp3";
    QTest::newRow("item name of dots and slashes")
        << "[item_name]" << 1 << song << "../../etc/x" << kMp3 << "" << "..-..-etc-x";
    QTest::newRow("slash in the source extension") << "a.[source_extension]" << 1 << song << "x.b/c" << kMp3 << ""
                                                   << "a.b-c";
    QTest::newRow("NUL in the item name") << "[item_name].mp3" << 1 << song << QString("a") + QChar(0) + "b" << kMp3
                                          << "" << "a-b.mp3";
    QTest::newRow("backslash is a name character") << "[item_name].mp3" << 1 << song << "a\\b" << kMp3 << ""
                                                   << "a\\b.mp3";
}

void tst_FileNameFormats::expansion()
{
    QFETCH(QString, format);
    QFETCH(qint32, row);
    QFETCH(QString, file);
    QFETCH(QString, item);
    QFETCH(QString, target);
    QFETCH(QString, fixed);
    FileNameValues v;
    v.row = row;
    v.sourceFile = file;
    v.itemName = item;
    v.targetFormatText = target;
    v.fixedExtension = fixed;
    v.now = kNow;
    QTEST(ExpandFileNameFormat(format, v), "name");
}

void tst_FileNameFormats::builtInTemplates()
{
    // The same six templates in every list, expanded for one row.
    FileNameValues v;
    v.row = 1;
    v.sourceFile = QStringLiteral("/Music/song.wav");
    v.itemName = QStringLiteral("song.wav");
    v.targetFormatText = kMp3;
    QStringList names;
    for (const QString& format : BuiltInFileNameFormats())
        names << ExpandFileNameFormat(format, v);
    QCOMPARE(names, (QStringList{"song.mp3", "song.wav.mp3", "song_1.mp3", "song_1.wav.mp3", "1.mp3", "1.wav.mp3"}));
}

void tst_FileNameFormats::timeAndDateFollowTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("name");
    QTest::newRow("US: slashes of the date become dashes")
        << QLocale(QLocale::English, QLocale::UnitedStates) << "12-9-10 14-05-09";
    QTest::newRow("German: dotted date, colons of the time")
        << QLocale(QLocale::German, QLocale::Germany) << "09.12.10 14-05-09";
    QTest::newRow("Finnish: the locale's own time separator")
        << QLocale(QLocale::Finnish, QLocale::Finland) << "9.12.2010 14.05.09";
}

void tst_FileNameFormats::timeAndDateFollowTheLocale()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    FileNameValues v;
    v.now = kNow;
    QTEST(ExpandFileNameFormat(QStringLiteral("[date] [time]"), v), "name");
}

void tst_FileNameFormats::joinerNames_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("name");
    QTest::newRow("the joiner's first name") << "Joined_File-[date]-[time].[dest_extension]" << kWma
                                             << "Joined_File-12-9-10-14-05-09.wma";
    QTest::newRow("item placeholders are not the joiner's")
        << "[123]_[file_name]_[item_name].[convert_extension]" << kMp3
        << "[123]_[file_name]_[item_name].[convert_extension]";
    QTest::newRow("source extension is the text's own") << "[source_extension]-Mix.WAV" << kMp3 << "wav-Mix.WAV";
    QTest::newRow("text without a dot") << "All[source_extension]" << kMp3 << "All";
    QTest::newRow("text ending in a dot") << "All.[dest_extension][source_extension]." << kMp3 << "All.mp3";
    QTest::newRow("no format text") << "Joined.[dest_extension]" << "" << "Joined.[dest_extension]";
}

void tst_FileNameFormats::joinerNames()
{
    QFETCH(QString, format);
    QFETCH(QString, target);
    QTEST(ExpandJoinedFileName(format, target, kNow), "name");
}

void tst_FileNameFormats::templateFile_data()
{
    QTest::addColumn<QVariant>("file");  // invalid: no file
    QTest::addColumn<QStringList>("templates");
    QTest::newRow("no file: the built-in templates") << QVariant() << BuiltInFileNameFormats();
    QTest::newRow("non-empty lines in file order")
        << QVariant(QByteArray("[123]_[file_name].mp3\r\n\r\n[item_name]\r\n[date].[dest_extension]\r\n"))
        << QStringList{"[123]_[file_name].mp3", "[item_name]", "[date].[dest_extension]"};
    QTest::newRow("a line of blanks counts") << QVariant(QByteArray("  \n[123].mp3\n"))
                                             << QStringList{"  ", "[123].mp3"};
    QTest::newRow("empty file: an empty list") << QVariant(QByteArray()) << QStringList();
    QTest::newRow("written by a Windows editor") << QVariant(QByteArray("Caf\xe9_[123].[dest_extension]\r\n"))
                                                 << QStringList{QStringLiteral("Caf\u00e9_[123].[dest_extension]")};
}

void tst_FileNameFormats::templateFile()
{
    QFETCH(QVariant, file);
    TestPlatform platform;
    if (file.isValid())
        QVERIFY(TestFiles::WriteBytes(FileNameFormatsFile(), file.toByteArray()));
    QComboBox list;
    FillBuiltInFileNameFormats(&list);
    QCOMPARE(list.currentIndex(), -1);
    LoadFileNameFormats(&list);
    QTEST(items(list), "templates");
}

void tst_FileNameFormats::defaultTemplate_data()
{
    QTest::addColumn<QStringList>("templates");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("chosen");
    const QStringList builtIn = BuiltInFileNameFormats();
    QTest::newRow("none stored: the second template") << builtIn << "" << builtIn[1];
    QTest::newRow("the stored one") << builtIn << builtIn[4] << builtIn[4];
    QTest::newRow("stored one the list lacks: none") << QStringList{"a", "b"} << builtIn[0] << "";
    QTest::newRow("one template and none stored: none") << QStringList{"a"} << "" << "";
    QTest::newRow("empty list") << QStringList() << "" << "";
}

void tst_FileNameFormats::defaultTemplate()
{
    QFETCH(QStringList, templates);
    QFETCH(QString, stored);
    QComboBox list;
    list.addItems(templates);
    list.setCurrentIndex(0);
    g_sFileNameFormat = stored;
    SelectDefaultFileNameFormat(&list);
    QTEST(list.currentText(), "chosen");
}

QTEST_MAIN(tst_FileNameFormats)
#include "tst_filenameformats.moc"
