// Cue sheets read before libcdio's BIN/CUE driver gets them, and the cleaned copies it is
// handed in place of a sheet it would misread.
#include "components/audio/CueSheet.h"

#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <array>
#include <cctype>

#include <cdio/memory.h>

namespace {

constexpr qint64 kMaxSheetBytes = 1 << 20;  // the sheet of a 99-track disc takes a few KiB
const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

// A FILE line of a sheet: the file it names and that file's type ("BINARY", "WAVE", ...).
struct FileLine {
    qsizetype index = -1;  // the line's place among the sheet's lines
    QByteArray name;
    QByteArray type;
    bool quoted = false;
};

// `FILE "name" TYPE`, or `FILE name TYPE` without the quotes; false for any other line.
bool parseFileLine(const QByteArray& line, FileLine& file)
{
    const QByteArray t = line.trimmed();
    if (t.size() < 5 || qstrnicmp(t.constData(), "FILE", 4) != 0 || !std::isspace(uchar(t[4])))
        return false;
    const QByteArray rest = t.mid(5).trimmed();
    const qsizetype close = rest.startsWith('"') ? rest.indexOf('"', 1) : -1;
    if (close > 0) {
        file.name = rest.mid(1, close - 1);
        file.type = rest.mid(close + 1).trimmed();
        file.quoted = true;
        return true;
    }
    // Unquoted, the type is the last word and the name all before it.
    qsizetype blank = rest.size() - 1;
    while (blank > 0 && !std::isspace(uchar(rest[blank])))
        --blank;
    file.name = blank > 0 ? rest.left(blank).trimmed() : rest;
    file.type = blank > 0 ? rest.mid(blank + 1) : QByteArray();
    return true;
}

// The data file the driver reads for a sheet of its own accord ("x.cue" gives "x.bin",
// "X.CUE" gives "X.BIN"); "" for a sheet whose name it does not take for one.
QString driverDataFile(const QString& sheet)
{
    char* bin = cdio_is_cuefile(QFile::encodeName(sheet).constData());
    const QString path = bin ? QFile::decodeName(bin) : QString();
    cdio_free(bin);
    return path;
}

// The driver over a sheet (`cue` names the user's sheet in the reason).
CdIo_t* openWithDriver(const QString& sheet, const QString& cue, QString& why)
{
    CdIo_t* cdio = cdio_open(QFile::encodeName(sheet).constData(), DRIVER_BINCUE);
    if (!cdio)
        why = QStringLiteral("The cue sheet %1 does not describe a CD image that can be read.").arg(cue);
    return cdio;
}

// The sheet as the driver can read it, in a private folder of its own: no byte-order mark,
// the one FILE line naming "image.bin" in quotes, and "image.bin" a link to the data file.
CdIo_t* openCleanCopy(QList<QByteArray> lines, const FileLine* file, const QString& dataFile, const QString& cue,
                      QString& why)
{
    // A folder only the user can enter, in the system's temporary folder; removed with
    // everything in it when this returns.
    QTemporaryDir folder(QDir(QDir::tempPath()).filePath(QStringLiteral("velmaro-cue-XXXXXX")));
    const auto failed = [&](const QString& reason) {
        why = QStringLiteral("A readable copy of the cue sheet %1 could not be made: %2").arg(cue, reason);
        return nullptr;
    };
    if (!folder.isValid())
        return failed(folder.errorString());
    const QByteArray fileLine =
        "FILE \"image.bin\" " + (file && !file->type.isEmpty() ? file->type : QByteArrayLiteral("BINARY"));
    if (file)
        lines[file->index] = fileLine;
    else
        lines.prepend(fileLine);
    const QString sheet = folder.filePath(QStringLiteral("image.cue"));
    QFile copy(sheet);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(lines.join('\n')) < 0 || !copy.flush())
        return failed(copy.errorString());
    copy.close();
    QFile data(dataFile);
    if (!data.link(folder.filePath(QStringLiteral("image.bin"))))
        return failed(data.errorString());
    CdIo_t* cdio = openWithDriver(sheet, cue, why);
    // The driver keeps its data file open from the first read on, through the link to the
    // file itself: read the first sector now, and the folder can go.
    if (cdio) {
        std::array<char, CDIO_CD_FRAMESIZE_RAW> sector{};
        cdio_read_audio_sector(cdio, sector.data(), 0);
    }
    return cdio;
}

} // namespace

CdIo_t* OpenCueImage(const QString& cue, QString& why, QString* dataFile)
{
    const QFileInfo sheet(cue);
    // The driver reads with blocking calls: a FIFO or a device under the sheet's name or
    // its data file's would hold the caller for ever.
    if (!sheet.exists()) {
        why = QStringLiteral("The cue sheet %1 does not exist.").arg(cue);
        return nullptr;
    }
    if (!sheet.isFile() || sheet.size() > kMaxSheetBytes) {
        why = QStringLiteral("%1 is not a cue sheet.").arg(cue);
        return nullptr;
    }
    QFile f(cue);
    if (!f.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("The cue sheet %1 cannot be read: %2").arg(cue, f.errorString());
        return nullptr;
    }
    QByteArray text = f.read(kMaxSheetBytes);
    const bool marked = text.startsWith(kByteOrderMark);
    if (marked)
        text.remove(0, kByteOrderMark.size());
    const QList<QByteArray> lines = text.split('\n');
    QList<FileLine> files;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        FileLine file;
        if (parseFileLine(lines[i], file)) {
            file.index = i;
            files << file;
        }
    }
    // The driver places every track in one data file: the tracks of a second file would
    // be read from the wrong place.
    if (files.size() > 1) {
        why = QStringLiteral("The cue sheet %1 names %2 data files; only an image of one data file can be read.")
                  .arg(cue)
                  .arg(files.size());
        return nullptr;
    }
    // The data file the sheet names, beside it unless the name is absolute, read as UTF-8
    // or, when it is not, as the Windows code page a sheet written there uses; a sheet
    // that names none is read from the file the driver takes by itself.
    const QString own = driverDataFile(sheet.absoluteFilePath());
    QString data = own;
    if (!files.isEmpty()) {
        const QString name = DecodeText(files.first().name);
        data = QFileInfo(name).isAbsolute() ? name : sheet.absoluteDir().filePath(name);
    }
    if (data.isEmpty()) {
        why = QStringLiteral("The cue sheet %1 names no data file.").arg(cue);
        return nullptr;
    }
    const QFileInfo dataInfo(data);
    if (!dataInfo.exists()) {
        why = QStringLiteral("The data file %1 of the cue sheet %2 does not exist.").arg(data, cue);
        return nullptr;
    }
    if (!dataInfo.isFile()) {
        why = QStringLiteral("The data file %1 of the cue sheet %2 is not a regular file.").arg(data, cue);
        return nullptr;
    }
    if (dataFile)
        *dataFile = dataInfo.absoluteFilePath();
    // A sheet the driver reads right as it stands is handed over as it is.
    const bool asItStands = !marked && !own.isEmpty()
                            && QFileInfo(own).canonicalFilePath() == dataInfo.canonicalFilePath()
                            && (files.isEmpty() || files.first().quoted);
    if (asItStands)
        return openWithDriver(sheet.absoluteFilePath(), cue, why);
    return openCleanCopy(lines, files.isEmpty() ? nullptr : &files.first(), dataInfo.absoluteFilePath(), cue, why);
}
