// The CD database lookup window: the connection check, the lookup's settings, and the
// events that fill the main window's grid and name the drive node.
#include "tools/disc/frmFreeDB.h"

#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cFreeDB/cFreeDB.h"
#include "components/cGrid/cGrid.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/ListsHost.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListsTree.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"
#include "tools/frame/ToolWindow.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kWidth = 5400;
constexpr int kHeight = 2760;

cTreeItem* selectedNode()
{
    ListsHost* host = g_ListsHost();
    return host && host->ListsTree() ? host->ListsTree()->SelectedItem() : nullptr;
}

cGrid* mainGrid()
{
    ListsHost* host = g_ListsHost();
    return host ? host->ItemsGrid() : nullptr;
}

} // namespace

frmFreeDB::frmFreeDB()
{
    setWindowTitle(QStringLiteral("FreeDB"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    setFont(QFont(QStringLiteral("Tahoma")));

    lblTitle = MakeTitleStrip(this, kWidth, QStringLiteral("FreeDB"), picTitle);
    lblCurrentTrack = MakeLabel(this, QStringLiteral("Ready."), 120, 645, kWidth - 240);
    lblArtist = MakeLabel(this, QStringLiteral("Album Name"), 120, 975, kWidth - 240);
    lblAlbumName = MakeLabel(this, QStringLiteral("Album Name"), 120, 1275, kWidth - 240);
    prgCurrnet = new XP_ProgressBar(this);
    PlaceTwips(prgCurrnet, 120, 1650, kWidth - 240, 255);
    cmdAbort = MakeButton(this, QStringLiteral("Abort"), kWidth - 1455, 2160, 1335, 375);
    cFreeDB1 = CreateFreeDB(this);

    connect(cmdAbort, &QPushButton::clicked, this, &frmFreeDB::cmdAbort_Click);
    connect(cFreeDB1, &cFreeDB::StateChanged, this, &frmFreeDB::cFreeDB1_StateChanged);
    connect(cFreeDB1, &cFreeDB::ArtistFound, this, &frmFreeDB::cFreeDB1_ArtistFound);
    connect(cFreeDB1, &cFreeDB::AlbumFound, this, &frmFreeDB::cFreeDB1_AlbumFound);
    connect(cFreeDB1, &cFreeDB::TrackFound, this, &frmFreeDB::cFreeDB1_TrackFound);
    connect(cFreeDB1, &cFreeDB::Done, this, &frmFreeDB::cFreeDB1_Done);
    connect(cFreeDB1, &cFreeDB::Error, this, &frmFreeDB::cFreeDB1_Error);
}

frmFreeDB::~frmFreeDB() = default;

void frmFreeDB::Form_Load()
{
    SetFormIcon(this, QStringLiteral("cd_music"), true);
    PaintTitleStrip(picTitle, lblTitle);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok)
        SetBackColor(this, back);
    prgCurrnet->SetBarColour(g_lAppColor);
    LoadViewPicture(this, g_sViewBackPicture);
}

void frmFreeDB::Form_Unload(int&)
{
    cFreeDB1->Abort();
    cFreeDB1->CloseFreeDB();
}

bool frmFreeDB::GetFreeDB()
{
    lblCurrentTrack->setText(QStringLiteral("Checking connection..."));
    if (!cFreeDB1->IsConnected()) {
        lblCurrentTrack->setText(QStringLiteral("No internet connection!"));
        MsgBox(QStringLiteral("There is no internet connection.\r\n\r\n"
                              "Getting the information about the Audio CD (using the 'FreeDB') has failed."),
               vbInformation + vbOKOnly);
        Forms::Unload(this);
        return false;
    }
    // The host really asked, as the one server setting names it.
    const QString host = FreeDBServerHost();
    lblCurrentTrack->setText(QStringLiteral("Connecting to ") + host + QStringLiteral("..."));
    cTreeItem* node = selectedNode();
    cFreeDB1->SetDrive(node ? GetCDNameNode(node->Key()) : QString());
    cFreeDB1->SetLookupOption(20);
    cFreeDB1->SetServerHost(host);
    cFreeDB1->SetServerPort(8880);
    cFreeDB1->SetGreetingUser(QStringLiteral("clsCDDB"));
    cFreeDB1->SetGreetingHost(QStringLiteral("localhost"));
    cFreeDB1->SetGreetingClient(QStringLiteral("clsCDDB"));
    cFreeDB1->SetGreetingVersion(QStringLiteral("v0.5"));
    cFreeDB1->Query();
    return true;
}

void frmFreeDB::cmdAbort_Click()
{
    Forms::Unload(this);
}

void frmFreeDB::cFreeDB1_StateChanged(const QString& State)
{
    lblCurrentTrack->setText(QStringLiteral("FreeDB State:") + State);
}

void frmFreeDB::cFreeDB1_ArtistFound(const QString& Artist)
{
    lblArtist->setText(Artist);
}

void frmFreeDB::cFreeDB1_AlbumFound(const QString& Album)
{
    lblAlbumName->setText(Album);
}

void frmFreeDB::cFreeDB1_TrackFound(const QString& Artist, qint32 TrackNumber, const QString& Title)
{
    cGrid* grid = mainGrid();
    // A track the grid has no row for changes nothing: a reply never adds rows.
    if (!grid || grid->Rows() < 1 || TrackNumber < 1 || TrackNumber > grid->Rows())
        return;
    SetRowText(grid, TrackNumber, QStringLiteral("Item Name"), Title + QStringLiteral(".cda"));
    SetRowText(grid, TrackNumber, QStringLiteral("COL_TAG_ARTIST"), Artist);
    SetRowText(grid, TrackNumber, QStringLiteral("COL_TAG_ALBUM"), lblAlbumName->text());
    if (TrackNumber != grid->Rows())
        return;
    // The last row: the drive node is named after the disc, as an edit of its label would.
    cTreeItem* node = selectedNode();
    if (node) {
        node->SetText(lblArtist->text() + QStringLiteral(" - ") + lblAlbumName->text());
        if (ListsHost* host = g_ListsHost())
            host->NodeLabelChanged(node);
    }
    Forms::Unload(this);
}

void frmFreeDB::cFreeDB1_Done()
{
    Hide();
}

void frmFreeDB::cFreeDB1_Error(qint32 Code, const QString& Description)
{
    const QString text = Description + QStringLiteral("(") + QString::number(Code) + QStringLiteral(")");
    lblCurrentTrack->setText(text);
    MsgBox(text, vbExclamation + vbOKOnly);
    if (Code == cFreeDB::kErrNoMatch)
        Forms::Unload(this);
}
