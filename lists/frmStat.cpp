// The add-files window and the routine that makes the items grid's rows of new files.
#include "lists/frmStat.h"

#include "common/mdlFileSystem.h"
#include "common/mdlFileTime.h"
#include "common/mdlFunctions.h"
#include "common/mdlSupportedFormats.h"
#include "common/mdlWindowHelpers.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "components/cProgressBar/cProgressBar.h"
#include "lists/ListsHost.h"
#include "lists/mdlFileProbe.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListPaths.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The row of one accepted file, cell by cell, from what the converter read of it.
void writeAddedRow(cGrid* grid, qint32 row, const QString& path, const QString& name, qint64 bytes,
                   const FileProbe& probe)
{
    auto col = [grid](const char* key) { return grid->ColumnIndex(QString::fromLatin1(key)); };
    grid->SetCell(row, col("Inc"), QString(), cGrid::kIconCellFormat, kIconMarked);
    grid->SetCell(row, col("Type"), QString(), cGrid::kIconCellFormat, kIconAudio);
    grid->SetCell(row, col("Item Name"), name);

    const double seconds = std::nearbyint(probe.durationMs / 1000.0);
    grid->SetCell(row, col("Time"), cAudioConverter::SecondsToTimeText(qint32(seconds)));
    grid->SetCell(row, col("Size"), FormatFileSize(double(bytes)));
    grid->SetCell(row, col("COL_FILE"), path);
    const VbDate created = GetFileCreationDate(path);
    if (created != 0)
        grid->SetCell(row, col("Created"), DateTimeFromDate(created));
    grid->SetCell(row, col("Range"), QStringLiteral("All"));
    grid->SetCell(row, col("COL_RANGE_ALL"), QStringLiteral("1"));
    // The whole length: files of 2 GB and more keep their size.
    grid->SetCell(row, col("COL_BYTES_SIZE"), QString::number(bytes));

    const QStringList tags = probe.tags.size() == 7
        ? probe.tags
        : QStringList{g_sTagAlbum, g_sTagArtist, g_sTagComment, g_sTagGenre, g_sTagYear, g_sTagSong, g_sTagTrack};
    static const char* const tagKeys[] = {"COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT", "COL_TAG_GEN",
                                          "COL_TAG_YEAR",  "COL_TAG_TITLE",  "COL_TAG_TRACK"};
    for (int i = 0; i < 7; ++i)
        grid->SetCell(row, col(tagKeys[i]), tags[i]);
}

// Why a path cannot be added, before any probe ("" when it goes on to the probe), and its
// length. Only a regular file that can be opened is probed: a pipe would hold the probe
// until something writes to it, and a device (a link to one too) could be read without end.
QString refusalBeforeProbe(frmStat* form, const QString& path, qint64& bytes)
{
    bytes = 0;
    if (IsUnusablePath(path))
        return QStringLiteral("it was not found");
    const QByteArray native = NativePath(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? QStringLiteral("it was not found") : SystemErrorText(errno);
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a regular file");
    if (st.st_size == 0)
        return QStringLiteral("it is empty");
    if (!form->SupportAudioFile(path))
        return QStringLiteral("it is not of a supported audio format");
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return SystemErrorText(errno);
    ::close(fd);
    bytes = qint64(st.st_size);
    return QString();
}

// The main window takes no list command while files are added; every way out of the run,
// the window going away included, gives the commands back.
class AddingFilesState
{
public:
    AddingFilesState()
    {
        if (ListsHost* host = g_ListsHost())
            host->SetAddingFiles(true);
    }
    ~AddingFilesState()
    {
        if (ListsHost* host = g_ListsHost())
            host->SetAddingFiles(false);
    }
    AddingFilesState(const AddingFilesState&) = delete;
    AddingFilesState& operator=(const AddingFilesState&) = delete;
};

} // namespace

frmStat::frmStat()
{
    setWindowTitle(QStringLiteral("Add Files"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Tahoma")));
    setFixedSize(TwipsToPixels(5520), TwipsToPixels(1575));

    lblStat = MakeLabel(this, QStringLiteral("Adding"), 120, 120, 5280, 285);
    lblStat->setTextFormat(Qt::PlainText);
    cProgressBar1 = new cProgressBar(this);
    PlaceTwips(cProgressBar1, 120, 480, 5280, 255);
    cmdCancel = MakeButton(this, QStringLiteral("Cancel"), 4080, 960, 1320, 375);
    cAudioConverter1 = CreateAudioConverter(this);

    connect(cmdCancel, &QPushButton::clicked, this, &frmStat::cmdCancel_Click);
}

QString RefusedFilesText(const QList<AddRefusal>& refused)
{
    if (refused.isEmpty())
        return QString();
    if (refused.size() == 1)
        return QStringLiteral("Cannot add ") + refused[0].path + QStringLiteral(": ") + refused[0].why + u'.';
    constexpr qsizetype kNamed = 20;
    QStringList lines;
    for (qsizetype i = 0; i < refused.size() && i < kNamed; ++i)
        lines << refused[i].path + QStringLiteral(": ") + refused[i].why + u'.';
    QString text = QStringLiteral("Cannot add ") + QString::number(refused.size()) + QStringLiteral(" files:\r\n\r\n")
        + lines.join(QStringLiteral("\r\n"));
    if (refused.size() > kNamed)
        text += QStringLiteral("\r\n\r\nand ") + QString::number(refused.size() - kNamed) + QStringLiteral(" more.");
    return text;
}

bool CheckFileToAdd(const QString& path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile()) {
        MsgBox(QStringLiteral("The file:") + path + QStringLiteral(" was not found."), vbInformation + vbOKOnly);
        return false;
    }
    if (file.size() <= 64) {
        MsgBox(QStringLiteral("The file:") + path + QStringLiteral(" is empty."), vbInformation + vbOKOnly);
        return false;
    }
    return true;
}

void frmStat::Form_Load()
{
    SetFormIcon(this, QStringLiteral("replace2"), true);
    g_bCancelAddFiles = false;
}

void frmStat::Form_QueryUnload(int& Cancel, int)
{
    // Closed while files are being added: the run stops at the next file and then
    // closes the window itself.
    if (m_bRunning) {
        g_bCancelAddFiles = true;
        Cancel = 1;
    }
}

void frmStat::Form_Unload(int&)
{
    g_bCancelAddFiles = true;
}

void frmStat::cmdCancel_Click()
{
    g_bCancelAddFiles = true;
}

bool frmStat::SupportAudioFile(const QString& sFileName)
{
    const QString ext = GetFileExt(sFileName).toLower();
    return GetSupportedFormatsFilter().toLower().contains(ext);
}

QString frmStat::getLegaName(const QString& sPath)
{
    QString name = sPath;
    for (QChar c : QStringLiteral(":?<>\\/*|")) {
        const int at = name.indexOf(c);
        if (at >= 0)
            name.remove(at, 1);
    }
    return name;
}

void frmStat::AddFilesToList(const QStringList& Data, cGrid* cGrid1, VForm* frm, bool& bHide,
                             const QList<AddRefusal>& refusedBefore)
{
    Q_UNUSED(bHide)
    if (m_bRunning)
        return;
    QPointer<frmStat> self(this);
    QPointer<cGrid> grid(cGrid1);
    const AddingFilesState adding;
    m_bRunning = true;

    // Over its owner, which takes no input until the run ends (Cancel and the close box
    // of this window still work).
    if (frm && parentWidget() != frm)
        setParent(frm, windowFlags());
    setWindowModality(Qt::WindowModal);
    Show(vbModeless, frm);

    // One progress step per path; the new rows follow the grid's last row.
    cProgressBar1->SetMin(1);
    cProgressBar1->SetMax(qint32(Data.size()) + 1);
    cProgressBar1->SetValue(1);
    if (grid)
        grid->SetRedraw(false);
    const qint32 first = grid ? grid->Rows() : 0;
    qint32 n = 0;
    // The files left out are told once, at the end: forty unreadable files give one box.
    QList<AddRefusal> refused = refusedBefore;
    auto stopped = [&] { return g_bCancelAddFiles || !self || !grid; };

    for (qint32 i = 1; i <= Data.size(); ++i) {
        QCoreApplication::processEvents();
        if (stopped())
            break;
        const QString& path = Data[i - 1];
        qint64 bytes = 0;
        if (const QString why = refusalBeforeProbe(this, path, bytes); !why.isEmpty()) {
            refused.append({path, why});
            cProgressBar1->SetValue(i);
            continue;
        }
        // The component reads the file away from the window's thread: the windows keep
        // answering and Cancel acts at once, however long the file takes.
        FileProbe probe;
        if (!ProbeAudioFile(cAudioConverter1, path, g_bCopyID3FromSource, stopped, probe)) {
            if (self)
                cAudioConverter1 = CreateAudioConverter(this);  // the one given up is deleted with its probe
            break;
        }
        if (!self || !grid)
            break;
        cAudioConverter1->CloseFile();
        if (probe.code != 0) {
            refused.append({path, QStringLiteral("it holds no audio that can be read")});
            cProgressBar1->SetValue(i);
            continue;
        }
        ++n;
        lblStat->setText(QStringLiteral("Adding ") + path);
        setWindowTitle(QStringLiteral("Adding ") + path);
        writeAddedRow(grid, first + n, path, getLegaName(GetFileName(path)), bytes, probe);
        cProgressBar1->SetValue(i);
    }
    if (!self)
        return;

    // The grid draws again; its current row and information, and the status bar, show
    // the rows added (or the empty-list notice when there are none).
    ListsHost* host = g_ListsHost();
    if (grid) {
        grid->SetRedraw(true);
        cGrid* mainGrid = host ? host->ItemsGrid() : nullptr;
        if (grid->Rows() == 0) {
            if (host)
                host->ShowEmptyNotice(true);
        } else {
            grid->SetCurrentRow(g_bSelectTheLastItem ? grid->Rows() : 1);
            if (host)
                host->GetFileInfoToGridInfo();
            grid->SetCurrentColumn(2);
            if (host) {
                host->ShowEmptyNotice(false);
                // The row count goes where the list summary that the callers write next
                // will stand; "Ready." to the state panel.
                host->SetListsPanelText(QStringLiteral("Items List Properties"),
                                        QString::number(mainGrid ? mainGrid->Rows() : 0) + QStringLiteral(" Items."));
                host->SetListsPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
            }
        }
    }

    m_bRunning = false;
    Forms::Unload(this);
    if (!refused.isEmpty())
        MsgBox(RefusedFilesText(refused), vbInformation + vbOKOnly);
}
