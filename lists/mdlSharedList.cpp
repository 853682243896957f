// A list file written by more than one running copy: the edit of this copy made again on
// what another copy wrote meanwhile, under the lock of the lists folder.
#include "lists/mdlSharedList.h"

#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListFile.h"
#include "lists/mdlListPaths.h"
#include "lists/mdlListsTree.h"
#include "platform/WriterLock.h"

#include <QHash>

#include <algorithm>

ListFileBase TakeListBase(cGrid* grid, const QString& text)
{
    ListFileBase base;
    base.text = text;
    if (!grid)
        return base;
    for (qint32 row = 1; row <= grid->Rows(); ++row) {
        base.records << ListRecordText(grid, row);
        grid->SetRowItemData(row, row);
    }
    return base;
}

QList<ListRow> GridListRows(cGrid* grid)
{
    QList<ListRow> rows;
    if (!grid)
        return rows;
    for (qint32 row = 1; row <= grid->Rows(); ++row)
        rows.append({grid->RowItemData(row), ListRecordText(grid, row)});
    return rows;
}

namespace {

// The positions (in seq) of a longest strictly increasing run of values in seq, the others
// left out.
QList<bool> longestIncreasing(const QList<qsizetype>& seq)
{
    QList<qsizetype> tails;     // tails[k]: position in seq of the smallest end of a run of k + 1
    QList<qsizetype> before(seq.size(), -1);
    for (qsizetype i = 0; i < seq.size(); ++i) {
        const auto at = std::lower_bound(tails.begin(), tails.end(), seq[i],
                                         [&seq](qsizetype pos, qsizetype value) { return seq[pos] < value; });
        const qsizetype k = at - tails.begin();
        before[i] = k > 0 ? tails[k - 1] : -1;
        if (at == tails.end())
            tails.append(i);
        else
            *at = i;
    }
    QList<bool> inRun(seq.size(), false);
    for (qsizetype i = tails.isEmpty() ? -1 : tails.last(); i >= 0; i = before[i])
        inRun[i] = true;
    return inRun;
}

QString fileOf(const QString& record)
{
    return GetTagValue(QStringLiteral("COL_FILE"), record);
}

} // namespace

bool ReapplyListEdit(const QStringList& base, const QList<ListRow>& mine, const QStringList& theirs,
                     QStringList& merged)
{
    merged.clear();
    // Where each record of base stands in theirs: the k-th copy of a text in base is the
    // k-th copy of it there.
    QHash<QString, QList<qsizetype>> places;
    for (qsizetype j = 0; j < theirs.size(); ++j)
        places[theirs[j]].append(j);
    QHash<QString, qsizetype> taken;
    QList<qsizetype> found(base.size(), -1);
    QList<bool> claimed(theirs.size(), false);
    for (qsizetype o = 0; o < base.size(); ++o) {
        const QList<qsizetype> at = places.value(base[o]);
        const qsizetype k = taken[base[o]]++;
        if (k < at.size()) {
            found[o] = at[k];
            claimed[at[k]] = true;
        }
    }

    // The base record each of this copy's rows stands for (-1: a new row; a record given
    // to two rows goes to the first).
    QList<qsizetype> origin(mine.size(), -1);
    QList<bool> stays(base.size(), false);
    for (qsizetype i = 0; i < mine.size(); ++i) {
        const qsizetype o = mine[i].origin - 1;
        if (o >= 0 && o < base.size() && !stays[o]) {
            stays[o] = true;
            origin[i] = o;
        }
    }
    // Rows that moved: those off a longest run of rows still in the order of base.
    QList<qsizetype> order;
    QList<qsizetype> orderRow;
    for (qsizetype i = 0; i < mine.size(); ++i)
        if (origin[i] >= 0) {
            order.append(origin[i]);
            orderRow.append(i);
        }
    QList<bool> moved(mine.size(), false);
    const QList<bool> inOrder = longestIncreasing(order);
    for (qsizetype k = 0; k < order.size(); ++k)
        moved[orderRow[k]] = !inOrder[k];

    // Each row this copy changed or moved must still be there as base had it; a row changed
    // in the very same way there needs nothing more.
    for (qsizetype i = 0; i < mine.size(); ++i) {
        const qsizetype o = origin[i];
        if (o < 0 || found[o] >= 0)
            continue;
        const bool changed = mine[i].record != base[o];
        if (!changed && !moved[i])
            continue;  // removed or changed there: theirs holds
        if (changed && !moved[i]) {
            const QList<qsizetype> same = places.value(mine[i].record);
            const auto free = std::find_if(same.begin(), same.end(), [&claimed](qsizetype j) { return !claimed[j]; });
            if (free != same.end()) {
                found[o] = *free;
                claimed[*free] = true;
                continue;
            }
        }
        return false;
    }
    // A row this copy removed that is gone there too is gone; one whose file a record there
    // still holds was most likely changed there, and is not removed unasked.
    for (qsizetype o = 0; o < base.size(); ++o) {
        if (stays[o] || found[o] >= 0)
            continue;
        const QString file = fileOf(base[o]);
        for (qsizetype j = 0; j < theirs.size(); ++j)
            if (!claimed[j] && fileOf(theirs[j]) == file)
                return false;
    }

    // Theirs, with the rows this copy removed or moved taken out and the ones it changed
    // replaced; new and moved rows go after the row they follow in this copy's order,
    // before everything when nothing is before them, after everything when only new or
    // moved rows follow them.
    QList<bool> dropped(theirs.size(), false);
    QList<qsizetype> changedTo(theirs.size(), -1);
    for (qsizetype o = 0; o < base.size(); ++o)
        if (!stays[o] && found[o] >= 0)
            dropped[found[o]] = true;
    qsizetype lastAnchor = -1;
    for (qsizetype i = 0; i < mine.size(); ++i) {
        const qsizetype o = origin[i];
        if (o < 0 || found[o] < 0)
            continue;
        if (moved[i])
            dropped[found[o]] = true;
        else {
            changedTo[found[o]] = i;
            lastAnchor = i;
        }
    }
    QStringList atStart;
    QStringList atEnd;
    QList<QStringList> after(theirs.size());
    QStringList* place = &atStart;
    for (qsizetype i = 0; i < mine.size(); ++i) {
        const qsizetype o = origin[i];
        const bool floating = o < 0 || moved[i];
        if (!floating) {
            if (found[o] >= 0)
                place = &after[found[o]];
            continue;
        }
        if (i > lastAnchor)
            place = &atEnd;
        place->append(mine[i].record);
    }
    merged = atStart;
    for (qsizetype j = 0; j < theirs.size(); ++j) {
        if (!dropped[j])
            merged.append(changedTo[j] >= 0 ? mine[changedTo[j]].record : theirs[j]);
        merged.append(after[j]);
    }
    merged.append(atEnd);
    return true;
}

QByteArray ListLockFolder(const QString& listPath)
{
    const QByteArray native = NativePath(listPath);
    const qsizetype slash = native.lastIndexOf('/');
    return slash > 0 ? native.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
}

namespace {

// A name beside the list for this copy's version of it that nothing holds yet.
QString keptListPath(const QString& path)
{
    QString stem = path;
    if (stem.endsWith(QLatin1String(".flst")))
        stem.chop(5);
    for (qint64 n = 1;; ++n) {
        const QString candidate = stem + (n == 1 ? QStringLiteral(" (this copy)") : QStringLiteral(" (this copy %1)").arg(n))
            + QStringLiteral(".flst");
        if (!PathEntryExists(candidate))
            return candidate;
    }
}

// The grid loaded again from text; its current row on the same record where it still is.
void showListText(cGrid* grid, const QString& text, cAudioConverter* converter, bool copyTagsFromSource)
{
    const qint32 current = grid->CurrentRow();
    const QString currentRecord = current >= 1 ? ListRecordText(grid, current) : QString();
    grid->SetRedraw(false);
    grid->Clear();
    LoadListText(grid, text, converter, copyTagsFromSource);
    qint32 row = 0;
    for (qint32 r = 1; r <= grid->Rows() && row == 0 && !currentRecord.isEmpty(); ++r)
        if (ListRecordText(grid, r) == currentRecord)
            row = r;
    if (row == 0 && grid->Rows() > 0)
        row = qBound(1, current, grid->Rows());
    if (row > 0)
        grid->SetCurrentRow(row);
    grid->SetRedraw(true);
}

} // namespace

ListSaveResult SaveListEdit(cGrid* grid, const QString& path, ListFileBase& base, cAudioConverter* converter,
                            bool copyTagsFromSource)
{
    ListSaveResult out;
    if (!grid) {
        out.error = QStringLiteral("there is no list to write");
        return out;
    }
    if (IsUnusablePath(path)) {
        out.error = path.isEmpty() ? QStringLiteral("the list has no file") : QStringLiteral("its name holds a NUL character");
        return out;
    }
    // One writer at a time in the folder: what is read next stays what the file holds until
    // this write is done. A folder that cannot be opened lets the write say why it fails.
    WriterLock lock;
    if (lock.takeFolder(ListLockFolder(path), kListsFolderLockWaitMs) == WriterLock::Folder::Busy) {
        out.error = QStringLiteral("another copy of the program is still writing to its folder");
        return out;
    }
    QString onDisk;
    QString unreadable;
    const ListFileRead read = ReadListFile(path, onDisk, &unreadable);
    const QString mine = ListFileText(grid);
    // A file gone meanwhile is written again with this copy's rows: nothing is lost.
    if (read == ListFileRead::Missing || (read == ListFileRead::Ok && onDisk == base.text)) {
        if (!WriteListText(path, mine, &out.error))
            return out;
        base = TakeListBase(grid, mine);
        out.result = ListSave::Written;
        return out;
    }

    // The file changed since this copy read it: the edit is made on what it holds now, read
    // as this copy reads a list, so that the rows nobody touched compare equal.
    if (read == ListFileRead::Unreadable) {
        out.unreadable = true;
        out.error = QStringLiteral("its file cannot be read: ") + unreadable;
    } else {
        cGrid now;
        SetupItemsGrid(&now, nullptr);
        LoadListText(&now, onDisk, converter, copyTagsFromSource);
        QStringList theirs;
        for (qint32 row = 1; row <= now.Rows(); ++row)
            theirs << ListRecordText(&now, row);
        QStringList merged;
        if (ReapplyListEdit(base.records, GridListRows(grid), theirs, merged)) {
            const QString text = merged.join(QString());
            if (!WriteListText(path, text, &out.error))
                return out;
            showListText(grid, text, converter, copyTagsFromSource);
            base = TakeListBase(grid, text);
            out.result = ListSave::Merged;
            return out;
        }
        out.error = QStringLiteral("an item this change acts on is no longer there as it was");
    }

    // Neither version may be lost: this copy's goes to a list of its own beside it.
    const QString kept = keptListPath(path);
    QString why;
    const bool made = CreateEmptyListFile(kept, &why);
    if (!made || !WriteListText(kept, mine, &why)) {
        if (made)
            RemovePathEntry(kept);
        out.error += QStringLiteral(", and this copy's version could not be kept beside it: ") + why;
        return out;
    }
    out.result = ListSave::KeptBeside;
    out.keptPath = kept;
    if (!out.unreadable) {
        showListText(grid, onDisk, converter, copyTagsFromSource);
        base = TakeListBase(grid, onDisk);
    }
    return out;
}
