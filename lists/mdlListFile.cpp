// Items list files: record writer, field reader and the list loader.
#include "lists/mdlListFile.h"

#include "common/mdlFileSystem.h"
#include "common/mdlFileTime.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListPaths.h"
#include "platform/AtomicFile.h"
#include "platform/TextCodec.h"

#include <QFileInfo>

#include <cmath>

const QStringList& ListFileFields()
{
    static const QStringList fields{
        QStringLiteral("Inc"),
        QStringLiteral("Type"),
        QStringLiteral("Item Name"),
        QStringLiteral("COL_FILE"),
        QStringLiteral("COL_RANGE_ALL"),
        QStringLiteral("COL_RANGE_START_TIME"),
        QStringLiteral("COL_RANGE_LENGTH_TIME"),
        QStringLiteral("COL_TAG_ALBUM"),
        QStringLiteral("COL_TAG_ARTIST"),
        QStringLiteral("COL_TAG_COMMENT"),
        QStringLiteral("COL_TAG_GEN"),
        QStringLiteral("COL_TAG_YEAR"),
        QStringLiteral("COL_TAG_TITLE"),
        QStringLiteral("COL_TAG_TRACK"),
    };
    return fields;
}

QString EscapeListValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'\r':
            out += QStringLiteral("&#13;");
            break;
        case u'\n':
            out += QStringLiteral("&#10;");
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

QString UnescapeListValue(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'&') {
            out += c;
            ++i;
            continue;
        }
        const qsizetype semi = text.indexOf(u';', i + 1);
        const QString name = semi > i && semi - i <= 10 ? text.mid(i + 1, semi - i - 1) : QString();
        QString decoded;
        if (name == QLatin1String("amp"))
            decoded = QStringLiteral("&");
        else if (name == QLatin1String("lt"))
            decoded = QStringLiteral("<");
        else if (name == QLatin1String("gt"))
            decoded = QStringLiteral(">");
        else if (name.startsWith(u'#') && name.size() > 1) {
            bool ok = false;
            const uint code = name.at(1) == u'x' || name.at(1) == u'X' ? name.mid(2).toUInt(&ok, 16)
                                                                        : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
                const char32_t cp = char32_t(code);
                decoded = QString::fromUcs4(&cp, 1);
            }
        }
        if (decoded.isEmpty()) {
            out += c;  // not an entity of ours: a plain "&"
            ++i;
        } else {
            out += decoded;
            i = semi + 1;
        }
    }
    return out;
}

bool CutTagValue(const QString& tag, const QString& record, QString& value)
{
    const QString open = u'<' + tag + u'>';
    const QString close = QStringLiteral("</") + tag + u'>';
    const qsizetype o = record.indexOf(open);
    if (o < 0)
        return false;
    const qsizetype start = o + open.size();
    const qsizetype c = record.indexOf(close);
    if (c < start)
        return false;
    value = UnescapeListValue(record.mid(start, c - start));
    return true;
}

QString GetTagValue(const QString& tag, const QString& record)
{
    QString value;
    return CutTagValue(tag, record, value) ? value : QString();
}

QString ListRecordText(cGrid* grid, qint32 row)
{
    QString record = QStringLiteral("<ITEM>");
    for (const QString& field : ListFileFields()) {
        QString value;
        if (field == QLatin1String("Inc"))
            value = QString::number(RowIcon(grid, row, field));
        else if (field == QLatin1String("Type"))
            value = QStringLiteral("Audio");
        else
            value = RowText(grid, row, field);
        record += u'<' + field + u'>' + EscapeListValue(value) + QStringLiteral("</") + field + u'>';
    }
    record += QStringLiteral("</ITEM>");
    return record;
}

QString ListFileText(cGrid* grid)
{
    QString text;
    if (!grid)
        return text;
    for (qint32 row = 1; row <= grid->Rows(); ++row)
        text += ListRecordText(grid, row);
    return text;
}


ListFileRead ReadListFile(const QString& path, QString& text, QString* why)
{
    text.clear();
    QString reason;
    auto unreadable = [&](const QString& r) {
        if (why)
            *why = r;
        return ListFileRead::Unreadable;
    };
    if (path.isEmpty())
        return ListFileRead::Missing;
    if (IsUnusablePath(path))
        return unreadable(QStringLiteral("its name holds a NUL character"));
    QByteArray bytes;
    // Only a regular file is read: a pipe or device under a list's name is never waited on.
    const FileReadResult r = ReadRegularFile(NativePath(path), bytes, &reason);
    if (r == FileReadResult::Missing)
        return ListFileRead::Missing;
    if (r != FileReadResult::Ok)
        return unreadable(reason);
    const QString all = DecodeText(bytes);
    if (all.isEmpty())
        return ListFileRead::Ok;
    // Text without a single record is some other file under a list's name: it is shown
    // as unreadable and never written over.
    if (!all.trimmed().isEmpty() && !all.contains(QLatin1String("<ITEM>")))
        return unreadable(QStringLiteral("it holds no items list"));
    QStringList lines = all.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();  // the break after the last line
    for (QString& l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    text = lines.join(QStringLiteral("\r\n"));
    return ListFileRead::Ok;
}

bool WriteListText(const QString& path, const QString& text, QString* error)
{
    if (IsUnusablePath(path)) {
        if (error)
            *error = path.isEmpty() ? QStringLiteral("the list has no file") : QStringLiteral("its name holds a NUL character");
        return false;
    }
    const QByteArray target = WriteTarget(NativePath(path));
    QString held;
    if (ReadListFile(PathFromNative(target), held) == ListFileRead::Ok && held == text)
        return true;
    return WriteNativeFileAtomically(target, (text + u'\n').toUtf8(), error);
}

bool WriteListFile(cGrid* grid, const QString& path, QString* error)
{
    if (!grid) {
        if (error)
            *error = QStringLiteral("there is no list to write");
        return false;
    }
    return WriteListText(path, ListFileText(grid), error);
}

QStringList SplitListRecords(const QString& text)
{
    if (text.isEmpty())
        return {};
    return text.split(QStringLiteral("<ITEM>"));
}

bool ListFileHasRecords(const QString& path)
{
    QString text;
    const ListFileRead r = ReadListFile(path, text);
    if (r == ListFileRead::Unreadable)
        return true;
    return SplitListRecords(text).size() > 1;
}

namespace {

// A field read as a whole number; 0 when it is not one.
qint32 wholeOrZero(const QString& text)
{
    double v = 0;
    if (!ReadNumber(text, v))
        return 0;
    v = std::nearbyint(v);
    return v >= -2147483648.0 && v <= 2147483647.0 ? qint32(v) : 0;
}

void writeTags(cGrid* grid, qint32 row, const QString& record, cAudioConverter* fromSource)
{
    static const QStringList keys{QStringLiteral("COL_TAG_ALBUM"),   QStringLiteral("COL_TAG_ARTIST"),
                                  QStringLiteral("COL_TAG_COMMENT"), QStringLiteral("COL_TAG_GEN"),
                                  QStringLiteral("COL_TAG_YEAR"),    QStringLiteral("COL_TAG_TITLE"),
                                  QStringLiteral("COL_TAG_TRACK")};
    QStringList values;
    if (fromSource) {
        values = {fromSource->TagAlbum(), fromSource->TagArtist(), fromSource->TagComment(), fromSource->TagGenre(),
                  fromSource->TagYear(),  fromSource->TagTitle(),  fromSource->TagTrack()};
    } else {
        for (const QString& k : keys)
            values << GetTagValue(k, record);
    }
    for (int i = 0; i < keys.size(); ++i)
        SetRowText(grid, row, keys[i], values[i]);
}

void writeRange(cGrid* grid, qint32 row, const QString& record)
{
    if (GetTagValue(QStringLiteral("COL_RANGE_ALL"), record) == QLatin1String("0")) {
        // A start or length that is no number counts as 0, and is stored so.
        auto number = [&](const QString& key, double& v) {
            const QString text = GetTagValue(key, record);
            v = 0;
            return ReadNumber(text, v) ? text.trimmed() : QStringLiteral("0");
        };
        double start = 0, length = 0;
        const QString startText = number(QStringLiteral("COL_RANGE_START_TIME"), start);
        const QString lengthText = number(QStringLiteral("COL_RANGE_LENGTH_TIME"), length);
        SetRowText(grid, row, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("0"));
        SetRowText(grid, row, QStringLiteral("COL_RANGE_START_TIME"), startText);
        SetRowText(grid, row, QStringLiteral("COL_RANGE_LENGTH_TIME"), lengthText);
        SetRowText(grid, row, QStringLiteral("Range"), RangeText(start, length));
    } else {
        SetRowText(grid, row, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("1"));
        SetRowText(grid, row, QStringLiteral("Range"), QStringLiteral("All"));
    }
}

} // namespace

ListLoadResult LoadListFile(cGrid* grid, const QString& path, cAudioConverter* converter, bool copyTagsFromSource,
                            const std::function<void(qint32 max)>& start, const std::function<void(qint32 n)>& progress)
{
    if (!grid)
        return {};
    QString text;
    QString why;
    if (ReadListFile(path, text, &why) == ListFileRead::Unreadable) {
        ListLoadResult result;
        result.error = why;
        return result;
    }
    return LoadListText(grid, text, converter, copyTagsFromSource, start, progress);
}

ListLoadResult LoadListText(cGrid* grid, const QString& text, cAudioConverter* converter, bool copyTagsFromSource,
                            const std::function<void(qint32 max)>& start, const std::function<void(qint32 n)>& progress)
{
    ListLoadResult result;
    if (!grid)
        return result;
    result.text = text;
    const QStringList pieces = SplitListRecords(text);
    result.pieces = qint32(pieces.size());
    if (start)
        start(result.pieces - 1);

    const qint32 incCol = grid->ColumnIndex(QStringLiteral("Inc"));
    const qint32 typeCol = grid->ColumnIndex(QStringLiteral("Type"));
    const qint32 nameCol = grid->ColumnIndex(QStringLiteral("Item Name"));
    for (const QString& piece : pieces) {
        if (piece.trimmed().isEmpty())
            continue;
        QString file;
        if (!CutTagValue(QStringLiteral("COL_FILE"), piece, file) || file.isEmpty())
            continue;  // no record can be made of it
        // "*" and "?" are ordinary name characters here: the path is looked up as it is.
        const bool readable = QFileInfo(file).isFile() && converter && converter->ReadFileInfo(file) == 0;

        const qint32 n = ++result.rows;
        grid->SetCell(n, incCol, QString(), cGrid::kIconCellFormat, wholeOrZero(GetTagValue(QStringLiteral("Inc"), piece)));
        grid->SetCell(n, typeCol, QString(), cGrid::kIconCellFormat, GetTypeImage(GetTagValue(QStringLiteral("Type"), piece)));
        SetRowText(grid, n, QStringLiteral("Item Name"), GetTagValue(QStringLiteral("Item Name"), piece));
        if (readable) {
            const double seconds = std::nearbyint(converter->Duration() / 1000.0);
            SetRowText(grid, n, QStringLiteral("Time"), cAudioConverter::SecondsToTimeText(qint32(seconds)));
            const qint64 bytes = QFileInfo(file).size();
            SetRowText(grid, n, QStringLiteral("Size"), FormatFileSize(double(bytes)));
            SetRowText(grid, n, QStringLiteral("COL_FILE"), file);
            const VbDate created = GetFileCreationDate(file);
            if (created != 0)
                grid->SetCell(n, grid->ColumnIndex(QStringLiteral("Created")), DateTimeFromDate(created));
            SetRowText(grid, n, QStringLiteral("COL_BYTES_SIZE"), QString::number(bytes));
        } else {
            // The file is gone or cannot be read now (an unmounted disk, a file being
            // written): the item stays in the list, shown in italics, without the facts
            // that only the file can give.
            ++result.missing;
            SetRowText(grid, n, QStringLiteral("COL_FILE"), file);
            SetRowText(grid, n, QStringLiteral("COL_BYTES_SIZE"), QStringLiteral("0"));
            QFont f = grid->CellFont(n, nameCol);
            f.setItalic(true);
            grid->SetCellFont(n, nameCol, f);
        }
        writeRange(grid, n, piece);
        if (readable && copyTagsFromSource) {
            converter->ReadTags(file);
            writeTags(grid, n, piece, converter);
        } else {
            writeTags(grid, n, piece, nullptr);
        }
        if (readable)
            converter->CloseFile();
        grid->SetRowItemData(n, n);
        if (progress)
            progress(n);
    }
    result.completed = true;
    return result;
}
