// Items list files (".flst"): the record format, its writer and field reader, and the
// loader that turns a list file into grid rows.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class cAudioConverter;
class cGrid;

// The fourteen fields of a record, in the order they are written.
const QStringList& ListFileFields();

// Values are stored escaped ("&", "<", ">" and line breaks as entities), so no value can
// end its field or its record early; reading undoes it. Unknown entities stay as they are.
QString EscapeListValue(const QString& value);
QString UnescapeListValue(const QString& text);

// Cuts the field out of one record: false when its opening tag is missing, or when the
// record's first closing tag of that field comes before the opening tag (even if another
// closing tag follows it).
bool CutTagValue(const QString& tag, const QString& record, QString& value);
// The value of one field of one record; "" when it cannot be cut out.
QString GetTagValue(const QString& tag, const QString& record);

// One record for one grid row, and the whole file text for a grid (without the line
// break the writer adds).
QString ListRecordText(cGrid* grid, qint32 row);
QString ListFileText(cGrid* grid);
// Writes the grid's rows to the list file, atomically: readers see the old or the new
// whole file. A list file that is a symbolic link keeps being the link: the file it points
// to is replaced. A file that already holds this text is not written at all, so a list
// written in another code page stays byte for byte as it was. False (the file as it was,
// *error saying why) when the write fails.
bool WriteListFile(cGrid* grid, const QString& path, QString* error = nullptr);
// The same for a list text (without the line break the writer adds).
bool WriteListText(const QString& path, const QString& text, QString* error = nullptr);

enum class ListFileRead { Ok, Missing, Unreadable };
// The file's text with its lines joined by CR LF (LF or CR LF on disk) and the last
// line break dropped; a file that is not valid UTF-8 is read as Windows-1252. Unreadable
// (with *why) when it cannot be read, is no regular file, or is text that holds no record.
ListFileRead ReadListFile(const QString& path, QString& text, QString* why = nullptr);
// The pieces of a list text split at every "<ITEM>"; no pieces for an empty text.
QStringList SplitListRecords(const QString& text);
// Whether a list file holds at least one record (an unreadable file counts as holding some).
bool ListFileHasRecords(const QString& path);

// What the loader reports.
struct ListLoadResult {
    bool completed = false;  // false: the file could not be read, nothing was loaded
    qint32 pieces = 0;       // pieces after splitting (the progress maximum + 1)
    qint32 rows = 0;         // rows written
    qint32 missing = 0;      // rows whose audio file is missing or unreadable
    QString error;           // why the file could not be read
    QString text;            // the file's text as it was read
};

// Loads a list file into an empty grid set up with the items grid columns. Each record
// whose file exists and the converter reads becomes a full row; a record whose file is
// missing or unreadable becomes a row with the stored fields only (its name in italics),
// so that the next save keeps it. A number that cannot be read counts as 0. A piece
// that holds no file field is skipped. Each row keeps its number as its item data (see
// mdlSharedList.h). progress(n) runs after each row.
ListLoadResult LoadListFile(cGrid* grid, const QString& path, cAudioConverter* converter, bool copyTagsFromSource,
                            const std::function<void(qint32 max)>& start = {},
                            const std::function<void(qint32 n)>& progress = {});
// The same for a list text read already (as ReadListFile gives it).
ListLoadResult LoadListText(cGrid* grid, const QString& text, cAudioConverter* converter, bool copyTagsFromSource,
                            const std::function<void(qint32 max)>& start = {},
                            const std::function<void(qint32 n)>& progress = {});
