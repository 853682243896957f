// A list file that more than one running copy writes: two program folders may share one
// lists folder. Each copy remembers what it last read from or wrote to the file; before
// it writes, under a lock of the lists folder, it looks whether the file still holds that.
// When another copy (or program) changed it meanwhile, the file is never overwritten with
// the old rows: this copy's edit is made again on what the file holds now, or, where it
// cannot be, this copy's version is kept in a list of its own beside it.
//
// The grid's rows carry their origin as item data: row n of a grid just loaded or written
// came from record n of what was read or written then (0: a row added since). So the edit
// can be told apart from the rows: rows added, removed, moved or changed (marks, names,
// ranges, tags).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class cAudioConverter;
class cGrid;

// What a copy last read from or wrote to a list file.
struct ListFileBase {
    QString text;         // the file's text as ReadListFile gives it
    QStringList records;  // record n - 1: row n as the grid held it then
};

// The base of a grid just loaded from, or written as, text: each row becomes its own origin.
ListFileBase TakeListBase(cGrid* grid, const QString& text);

// One row of this copy's grid: where it came from (1-based record of the base, 0 for a new
// row) and its record now.
struct ListRow {
    qint32 origin = 0;
    QString record;
};
QList<ListRow> GridListRows(cGrid* grid);

// Makes on theirs (the records the file holds now) the edit that turned base into mine:
// rows removed, changed or moved, and new rows, each placed after the row it follows in
// mine (new and moved rows at the end or the start stay there). A record of base is found
// in theirs by its text. False when the edit acts on a row that theirs no longer holds as
// base had it (changed or moved there, or removed while another record there holds its
// file): then neither copy's edit may be dropped.
bool ReapplyListEdit(const QStringList& base, const QList<ListRow>& mine, const QStringList& theirs,
                     QStringList& merged);

enum class ListSave {
    Written,     // the file held what this copy last saw: it now holds the grid
    Merged,      // the file had changed: it holds its new rows with this copy's edit made on them
    KeptBeside,  // the edit could not be made there: this copy's rows went to keptPath
    Failed,      // nothing was written (error says why); the file is as it was
};
struct ListSaveResult {
    ListSave result = ListSave::Failed;
    QString error;     // Failed: why; KeptBeside: why the edit could not be made
    QString keptPath;  // KeptBeside: the new list file holding this copy's version
    bool unreadable = false;  // KeptBeside: the file holds no list that can be read
};

// Writes the grid to its list file as the edit of base it is. After Merged and KeptBeside
// (unless the file cannot be read) the grid holds what the file now holds, its current row
// on the same record where it is still there; base follows what was read or written.
ListSaveResult SaveListEdit(cGrid* grid, const QString& path, ListFileBase& base, cAudioConverter* converter,
                            bool copyTagsFromSource);

// The lock list writers hold on the folder of a list file, and how long one waits for it.
inline constexpr int kListsFolderLockWaitMs = 15000;
QByteArray ListLockFolder(const QString& listPath);
