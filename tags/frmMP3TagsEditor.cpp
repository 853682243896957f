// The MP3 tags editor window: its controls, its loading, the version choice with the tabs
// it offers, the file dialog and closing. Reading and writing the tags is in
// frmMP3TagsEditor_Tags.cpp.
#include "tags/frmMP3TagsEditor.h"

#include "common/MainHost.h"
#include "common/mdlCommDialog.h"
#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "components/cTabControl/cTabControl.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"
#include "tools/frame/ToolWindow.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <limits>

namespace {

// Window size in twips.
constexpr int kWidth = 7215;
constexpr int kHeight = 6900;

// Where the boxes of a page begin, and how far apart the lines are (twips).
constexpr int kBoxLeft = 1680;
constexpr int kLine = 360;

// A caption and its one-line box on a page line. No box limits its text: a value longer
// than a line box would otherwise hold would be cut when it is written back.
TextBox* captionedBox(QWidget* page, const QString& caption, int line, int width, QLabel*& label)
{
    label = MakeLabel(page, caption, 120, 150 + line * kLine, kBoxLeft - 180);
    TextBox* box = MakeTextBox(page, kBoxLeft, 120 + line * kLine, width);
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QPlainTextEdit* linesBox(QWidget* page)
{
    auto* box = new QPlainTextEdit(page);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    return box;
}

} // namespace

frmMP3TagsEditor::frmMP3TagsEditor()
{
    setWindowTitle(QStringLiteral("MP3 Tags Editor"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint);
    setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    setFont(QFont(QStringLiteral("Tahoma")));

    lblTitleMain = MakeTitleStrip(this, kWidth, QStringLiteral("MP3 Tags Editor"), picTitle);

    lblSourceFIle = MakeLabel(this, QStringLiteral("Source File:"), 120, 720, 1080);
    sSourceFile = MakeTextBox(this, 1200, 690, kWidth - 1200 - 720);
    sSourceFile->setReadOnly(true);  // it shows the file chosen with "..."
    cmdSelectFile = MakeButton(this, QStringLiteral("..."), kWidth - 600, 680, 480, 315);
    Label1 = MakeLabel(this, QStringLiteral("Version:"), 120, 1125, 1080);
    cboID3 = MakeList(this, {}, 1200, 1080, 1800);

    cTabControl1 = new cTabControl(this);
    PlaceTwips(cTabControl1, 120, 1530, kWidth - 240, 4560);
    // Created after the tab strip, so the pages lie over it.
    froGeneral = new QFrame(this);
    froAdvanced = new QFrame(this);
    froLyric = new QFrame(this);
    for (QFrame* page : {froGeneral, froAdvanced, froLyric})
        page->setAutoFillBackground(true);

    const int wide = kWidth - 240 - kBoxLeft - 240;
    txtTitle = captionedBox(froGeneral, QStringLiteral("Title"), 0, wide, lblTitle);
    txtArtist = captionedBox(froGeneral, QStringLiteral("Artist"), 1, wide, lblArtist);
    txtAlbum = captionedBox(froGeneral, QStringLiteral("Album"), 2, wide, lblAlbum);
    txtYear = captionedBox(froGeneral, QStringLiteral("Year"), 3, 1200, lblYear);
    lblGenre = MakeLabel(froGeneral, QStringLiteral("Genre"), 120, 150 + 4 * kLine, kBoxLeft - 180);
    cboGenre = new QComboBox(froGeneral);
    cboGenre->setEditable(true);
    // Typed text stays as typed: no completion, and nothing typed becomes a list item.
    cboGenre->setCompleter(nullptr);
    cboGenre->setInsertPolicy(QComboBox::NoInsert);
    cboGenre->setMaxVisibleItems(16);
    cboGenre->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    PlaceTwips(cboGenre, kBoxLeft, 120 + 4 * kLine, 3000, 315);
    txtTrackNum = captionedBox(froGeneral, QStringLiteral("Track Number"), 5, 1200, lblTrackNum);
    lblDescription = MakeLabel(froGeneral, QStringLiteral("Comment"), 120, 150 + 6 * kLine, kBoxLeft - 180);
    txtDescription = linesBox(froGeneral);

    txtOriginalArtist = captionedBox(froAdvanced, QStringLiteral("Original Artist"), 0, wide, lblOriginalArtist);
    txtURL = captionedBox(froAdvanced, QStringLiteral("URL"), 1, wide, lblURL);
    txtEncodedBy = captionedBox(froAdvanced, QStringLiteral("Encoded By"), 2, wide, lblEncodedBy);
    txtCopyright = captionedBox(froAdvanced, QStringLiteral("Copyright"), 3, wide, lblCopyright);

    lblLyric = MakeLabel(froLyric, QStringLiteral("Lyrics"), 120, 150, 3000);
    txtLyric = linesBox(froLyric);

    cmdApply = MakeButton(this, QStringLiteral("Apply"), kWidth - 2880, 6270, 1335, 375);
    cmdApply->setEnabled(false);
    cmdClose = MakeButton(this, QStringLiteral("Close"), kWidth - 1440, 6270, 1335, 375);

    connect(cboID3, &QComboBox::activated, this, &frmMP3TagsEditor::cboID3_Click);
    connect(cmdSelectFile, &QPushButton::clicked, this, &frmMP3TagsEditor::cmdSelectFile_Click);
    connect(cTabControl1, &cTabControl::TabClick, this, &frmMP3TagsEditor::cTabControl1_TabClick);
    connect(cmdApply, &QPushButton::clicked, this, &frmMP3TagsEditor::cmdApply_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmMP3TagsEditor::cmdClose_Click);
}

frmMP3TagsEditor::~frmMP3TagsEditor() = default;

void frmMP3TagsEditor::Form_Load()
{
    SetFormIcon(this, QStringLiteral("text_align_left"), true);

    // Colours and pictures: the title strip the application's, the window and its pages
    // the product's view colour when it has one (otherwise the design colours stay).
    PaintTitleStrip(picTitle, lblTitleMain);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok)
        for (QWidget* w : std::initializer_list<QWidget*>{this, froGeneral, froAdvanced, froLyric})
            SetBackColor(w, back);
    if (!g_sViewBackPicture.isEmpty())
        for (QWidget* w : std::initializer_list<QWidget*>{this, froGeneral, froAdvanced, froLyric})
            LoadViewPicture(w, g_sViewBackPicture);

    // Both versions at first; no file is chosen yet, so nothing is read.
    cboID3->addItems({QStringLiteral("ID3 v1"), QStringLiteral("ID3 v2"), QStringLiteral("ID3 v1+v2")});
    cboID3->setCurrentIndex(2);
    cboID3_Click();

    // The genre list: the empty item for no genre, then every code that has a name, in
    // code order, each holding its code.
    cboGenre->addItem(QString(), 255);
    for (int code = 0; code <= 255; ++code)
        if (!cMP3ID3v1::GenreName(quint8(code)).isEmpty())
            cboGenre->addItem(cMP3ID3v2::GenreName(quint8(code)), code);
    cboGenre->setCurrentIndex(0);

    // The pages over the tab strip's client area, reaching a little further left.
    for (QFrame* page : {froGeneral, froAdvanced, froLyric})
        PlaceTwips(page, cTabControl1->ClientLeft() - 50, cTabControl1->ClientTop(), cTabControl1->ClientWidth() + 50,
                   cTabControl1->ClientHeight());
    const int pageWidth = froGeneral->width() * kTwipsPerPixel;
    const int pageHeight = froGeneral->height() * kTwipsPerPixel;
    PlaceTwips(txtDescription, kBoxLeft, 120 + 6 * kLine, pageWidth - kBoxLeft - 240,
               pageHeight - (120 + 6 * kLine) - 180);
    PlaceTwips(txtLyric, 120, 480, pageWidth - 360, pageHeight - 480 - 180);
    froAdvanced->hide();
    froLyric->hide();
    froGeneral->show();
}

void frmMP3TagsEditor::cboID3_Click()
{
    // "ID3 v1", "ID3 v2" or "ID3 v1+v2": a version is read and written together. Version 1
    // has room for the General page's values only.
    const int version = cboID3->currentIndex();
    m_bWriteID3v1 = m_bLoadID3v1 = version == 0 || version == 2;
    m_bWriteID3v2 = m_bLoadID3v2 = version == 1 || version == 2;
    cTabControl1->ClearTabs();
    cTabControl1->AddTab(QStringLiteral("General"), -1, -1, QStringLiteral("General"));
    if (m_bWriteID3v2) {
        cTabControl1->AddTab(QStringLiteral("Advanced"), -1, -1, QStringLiteral("Advanced"));
        cTabControl1->AddTab(QStringLiteral("Lyrics"), -1, -1, QStringLiteral("Lyrics"));
    }
    cTabControl1_TabClick(cTabControl1->SelectedTab());

    if (!sSourceFile->text().isEmpty())
        LoadTagsFromFile(sSourceFile->text());
}

void frmMP3TagsEditor::cTabControl1_TabClick(qint32)
{
    froGeneral->hide();
    froAdvanced->hide();
    froLyric->hide();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    if (key == QLatin1String("General"))
        froGeneral->show();
    else if (key == QLatin1String("Advanced"))
        froAdvanced->show();
    else if (key == QLatin1String("Lyrics"))
        froLyric->show();
}

void frmMP3TagsEditor::cmdSelectFile_Click()
{
    g_OFN.lpstrFilter = QStringLiteral("MP3 Audio Files (*.mp3)") + QChar(0) + QStringLiteral("*.mp3");
    g_OFN.lpstrTitle = QStringLiteral("Open MP3 audio file");
    const FileDialogResult result = ShowOpen(this, true);
    if (result.Cancelled)
        return;
    // The dialog lets several files be chosen; the editor takes the first of them.
    const QString file = result.FileCount == 1
                             ? result.FileNames.value(0)
                             : result.FolderName + (result.FolderName.endsWith(u'/') ? QString() : QStringLiteral("/")) +
                                   result.FileNames.value(1);
    sSourceFile->setText(file);
    cmdApply->setEnabled(true);
    LoadTagsFromFile(sSourceFile->text());
}

void frmMP3TagsEditor::cmdClose_Click()
{
    Forms::Unload(this);
}
