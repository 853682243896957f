// Output-name templates: the template lists of the windows that name output files (the
// options window, the converters, the CD ripper, the data disc burner), the file
// "FileNameFormats.txt" that replaces the built-in templates, the default template, and
// the expansion of a template into a file name.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class QComboBox;

// The six built-in templates, in list order; the second is the fallback default.
const QStringList& BuiltInFileNameFormats();

// "FileNameFormats.txt" beside the program.
QString FileNameFormatsFile();

// Gives a template list its built-in templates, none chosen (the state a window is built in).
void FillBuiltInFileNameFormats(QComboBox* cboFileName);
// Replaces the list's templates by the non-empty lines of "FileNameFormats.txt" when that
// file exists (an empty file leaves the list empty); otherwise the list stays as it is.
void LoadFileNameFormats(QComboBox* cboFileName);
// Chooses the default template when a window loads: the stored default when it is set
// (none chosen when the list lacks it), else the list's second template (none when the
// list is shorter).
void SelectDefaultFileNameFormat(QComboBox* cboFileName);

// What one output name is made from.
struct FileNameValues {
    qint32 row = 0;            // [123]: the item's row, from 1
    QString sourceFile;        // [file_name]: its file name without the extension
    QString itemName;          // [item_name], and [source_extension] from its last dot on
    QString targetFormatText;  // [dest_extension], [convert_extension]: the letters before " -"
    QString fixedExtension;    // when not empty, [dest_extension] and [convert_extension] give it
    bool copiedAsIs = false;   // the file is copied unchanged: those two give the source file's own extension
    QDateTime now;             // [time], [date]; when invalid, the clock is read at each step
};

// The template with its placeholders put in, each placeholder (written exactly so) in a
// fixed order: [123], [file_name], [source_extension], [dest_extension],
// [convert_extension], [time], [date], [item_name]. A value put in by one step is searched
// again by the later steps. An item without an extension leaves no two dots in a row:
// "[file_name].[source_extension].[dest_extension]" gives "song.mp3". Inside a value a "/" or a NUL becomes "-", so a value can never
// reach into another folder. A format text without " -" leaves [dest_extension] and
// [convert_extension] as they are.
QString ExpandFileNameFormat(const QString& Template, const FileNameValues& values);

// The joiner's expansion of its own name text: [source_extension] (from the text's own last
// dot on), [dest_extension], [time] and [date]; nothing else is a placeholder there.
QString ExpandJoinedFileName(const QString& Template, const QString& targetFormatText, const QDateTime& now = {});

// The lower-cased letters of a target-format text before its first " -" ("MP3 - ..." gives
// "mp3"); false when the text has no " -".
bool TargetFormatExtension(const QString& targetFormatText, QString& extension);

// A file name without its extension (the text before its last dot; the whole name when it
// has no dot, or only a leading one).
QString FileNameWithoutExtension(const QString& fileName);
