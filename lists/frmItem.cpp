// The item properties dialog.
#include "lists/frmItem.h"

#include "common/mdlModes.h"
#include "common/MainHost.h"
#include "common/mdlFunctions.h"
#include "common/mdlWindowHelpers.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cDateTimePick/cDateTimePick.h"
#include "components/cGrid/cGrid.h"
#include "components/cTabControl/cTabControl.h"
#include "lists/ListsHost.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "platform/TextFit.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlOptions.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTime>

bool ReadTimeOfDay(const QString& text, QTime& time)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2}):(\\d{1,2})\\s*$"));
    const auto m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!t.isValid())
        return false;
    time = t;
    return true;
}

namespace {

QLabel* valueLabel(QWidget* page, int top)
{
    QLabel* l = MakeLabel(page, QString(), 1560, top, 4680);
    l->setTextFormat(Qt::PlainText);
    return l;
}

qint32 secondsOfDay(const cDateTimePick* picker)
{
    return TimeToSeconds(picker->SelDate().time().toString(QStringLiteral("HH:mm:ss")));
}

void setTimeOfDay(cDateTimePick* picker, const QTime& time)
{
    picker->SetSelDate(QDateTime(picker->SelDate().date(), time));
}

} // namespace

frmItem::frmItem()
{
    setWindowTitle(QStringLiteral("Item Properties"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Tahoma")));
    setFixedSize(TwipsToPixels(6840), TwipsToPixels(6240));

    picTitle = new QWidget(this);
    picTitle->setAutoFillBackground(true);
    PlaceTwips(picTitle, 0, 0, 6840, 495);
    lblTitle = MakeLabel(picTitle, QStringLiteral("App Name"), 240, 120, 6400, 285);
    lblTitle->setTextFormat(Qt::PlainText);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);

    cTabControl1 = new cTabControl(this);
    PlaceTwips(cTabControl1, 120, 600, 6600, 4860);
    TabInfo = new QWidget(this);
    TabRange = new QWidget(this);
    TabTags = new QWidget(this);
    for (QWidget* page : {TabInfo, TabRange, TabTags})
        page->setAutoFillBackground(true);

    // Information.
    MakeLabel(TabInfo, QStringLiteral("Item Name"), 120, 180, 1380);
    txtItemName = MakeTextBox(TabInfo, 1560, 150, 4680);
    struct Line {
        QLabel** name;
        const char* caption;
    };
    const Line lines[] = {{&lblFileNameNM, "File Name"}, {&lblTotalTimeNM, "Total Time"},
                          {&lblTotalSizeNM, "Total Size"}, {&lblCreatedNM, "Created"},
                          {&lblFormatNM, "Format"},        {&lblSamplesNM, "Samples"},
                          {&lblBitrateNM, "Bitrate"},      {&lblChannelsNM, "Channels"}};
    int top = 600;
    for (const Line& l : lines) {
        *l.name = MakeLabel(TabInfo, QString::fromLatin1(l.caption), 120, top, 1380);
        top += 330;
    }
    lblFileName = MakeLink(TabInfo, QString(), 1560, 600, 4680);
    lblFileName->setTextFormat(Qt::PlainText);
    lblFileName->setToolTip(QStringLiteral("Open file with external player"));
    lblTotalTime = valueLabel(TabInfo, 930);
    lblTotalSize = valueLabel(TabInfo, 1260);
    lblCreated = valueLabel(TabInfo, 1590);
    lblFormat = valueLabel(TabInfo, 1920);
    lblSamples = valueLabel(TabInfo, 2250);
    lblSamples->setText(QStringLiteral("44100"));
    lblBitrate = valueLabel(TabInfo, 2580);
    lblBitrate->setText(QStringLiteral("16"));
    lblChannels = valueLabel(TabInfo, 2910);
    lblChannels->setText(QStringLiteral("STEREO"));
    MakeLabel(TabInfo, QStringLiteral("Location"), 120, 3240, 1380);
    lblPath = MakeLink(TabInfo, QString(), 1560, 3240, 4680);
    lblPath->setTextFormat(Qt::PlainText);
    lblPath->setToolTip(QStringLiteral("Open directory"));

    // Range.
    ptnAllFile = new QRadioButton(QStringLiteral("Process all the file range"), TabRange);
    PlaceTwips(ptnAllFile, 240, 240, 5400, 285);
    ptnAllFile->setChecked(true);
    ptnConvertByTime = new QRadioButton(QStringLiteral("Process range by time"), TabRange);
    PlaceTwips(ptnConvertByTime, 240, 600, 5400, 285);
    Label20 = MakeLabel(TabRange, QStringLiteral("Start after:"), 600, 1140, 1200);
    dtStartAfter = new cDateTimePick(TabRange);
    PlaceTwips(dtStartAfter, 1860, 1080, 1500, 345);
    cmdGoTSoStart = MakeButton(TabRange, QStringLiteral("<<"), 3480, 1080, 600, 345);
    cmdGoTSoStart->setToolTip(QStringLiteral("Go to start"));
    Label21 = MakeLabel(TabRange, QStringLiteral("Until:"), 600, 1620, 1200);
    dtUntil = new cDateTimePick(TabRange);
    PlaceTwips(dtUntil, 1860, 1560, 1500, 345);
    cmdGoToEnd = MakeButton(TabRange, QStringLiteral(">>"), 3480, 1560, 600, 345);
    cmdGoToEnd->setToolTip(QStringLiteral("Go to end"));

    // Tags.
    MakeLabel(TabTags, QStringLiteral("Artist:"), 120, 120, 3000);
    txtTagArtist = MakeTextBox(TabTags, 120, 360, 3000);
    MakeLabel(TabTags, QStringLiteral("Song:"), 3300, 120, 3000);
    txtTagSong = MakeTextBox(TabTags, 3300, 360, 3000);
    MakeLabel(TabTags, QStringLiteral("Album:"), 120, 780, 3000);
    txtTagAlbum = MakeTextBox(TabTags, 120, 1020, 3000);
    MakeLabel(TabTags, QStringLiteral("Year:"), 3300, 780, 1400);
    txtTagYear = MakeTextBox(TabTags, 3300, 1020, 1400);
    MakeLabel(TabTags, QStringLiteral("Genre:"), 120, 1440, 3000);
    txtTagGenre = MakeTextBox(TabTags, 120, 1680, 3000);
    MakeLabel(TabTags, QStringLiteral("Track:"), 3300, 1440, 1400);
    txtTagTrack = MakeTextBox(TabTags, 3300, 1680, 1400);
    MakeLabel(TabTags, QStringLiteral("Comment:"), 120, 2100, 3000);
    txtTagComment = new QPlainTextEdit(TabTags);
    txtTagComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PlaceTwips(txtTagComment, 120, 2340, 6180, 1020);
    lblDefaultID3Tags = MakeLink(TabTags, QStringLiteral("Default ID3 Tags Options..."), 120, 3540, 3000);
    lblDefaultID3Tags->setToolTip(QStringLiteral("Parameters"));
    lblID3TagParameters = MakeLink(TabTags, QStringLiteral("Parameters"), 3300, 3540, 1500);
    lblID3TagParameters->setToolTip(QStringLiteral("Parameters"));

    cmdBack = MakeButton(this, QStringLiteral("<<"), 120, 5640, 600, 375);
    cmdBack->setToolTip(QStringLiteral("Previous item"));
    cmdNext = MakeButton(this, QStringLiteral(">>"), 780, 5640, 600, 375);
    cmdNext->setToolTip(QStringLiteral("Next item"));
    cmdOk = MakeButton(this, QStringLiteral("OK"), 2280, 5640, 1380, 375);
    cmdOk->setDefault(true);
    cmdApply = MakeButton(this, QStringLiteral("Apply"), 3780, 5640, 1380, 375);
    cmdExit = MakeButton(this, QStringLiteral("Exit"), 5280, 5640, 1380, 375);

    cAudioConverter1 = CreateAudioConverter(this);

    txtItemName->installEventFilter(this);
    connect(cTabControl1, &cTabControl::TabClick, this, &frmItem::cTabControl1_TabClick);
    connect(cmdBack, &QPushButton::clicked, this, &frmItem::cmdBack_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmItem::cmdNext_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmItem::cmdOk_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmItem::cmdApply_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmItem::cmdExit_Click);
    connect(cmdGoTSoStart, &QPushButton::clicked, this, &frmItem::cmdGoTSoStart_Click);
    connect(cmdGoToEnd, &QPushButton::clicked, this, &frmItem::cmdGoToEnd_Click);
    connect(dtStartAfter, &cDateTimePick::DateChanged, this, &frmItem::dtStartAfter_DateChanged);
    connect(dtUntil, &cDateTimePick::DateChanged, this, &frmItem::dtUntil_DateChanged);
    // Either option, clicked or chosen by the row, sets the time controls.
    connect(ptnAllFile, &QRadioButton::toggled, this, [this] { UpdateRangeControls(); });
    connect(ptnConvertByTime, &QRadioButton::toggled, this, [this] { UpdateRangeControls(); });
    connect(lblDefaultID3Tags, &LinkLabel::Click, this, &frmItem::lblDefaultID3Tags_Click);
    connect(lblID3TagParameters, &LinkLabel::Click, this, &frmItem::lblID3TagParameters_Click);
    connect(lblFileName, &LinkLabel::Click, this, &frmItem::lblFileName_Click);
    connect(lblPath, &LinkLabel::Click, this, &frmItem::lblPath_Click);
}

void frmItem::Form_Load()
{
    // The window's icon, then the colours and pictures of the product and the options.
    SetFormIcon(this, QStringLiteral("document_music"), true);
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok)
        for (QWidget* w : {static_cast<QWidget*>(this), TabInfo, TabRange, TabTags,
                           static_cast<QWidget*>(ptnAllFile), static_cast<QWidget*>(ptnConvertByTime)})
            SetBackColor(w, back);
    if (!g_sViewBackPicture.isEmpty())
        for (QWidget* w : {static_cast<QWidget*>(this), TabInfo, TabRange, TabTags})
            LoadViewPicture(w, g_sViewBackPicture);
    LoadViewPicture(picTitle, g_sViewTitlePicture);
    // The three tabs, each with its page over the tab control's client area widened to
    // the left; the information page shows first.
    if (MainHost* host = g_MainHost())
        cTabControl1->SetImageList(host->MenuImageList());
    cTabControl1->AddTab(QStringLiteral("Item Information"), 39, -1, QStringLiteral("Item Information"));
    cTabControl1->AddTab(QStringLiteral("Range To Process"), 23, -1, QStringLiteral("Range"));
    cTabControl1->AddTab(QStringLiteral("Destination ID3 Tags  "), 18, -1, QStringLiteral("ID3 Tags"));
    // Every tab shows its whole caption: the window widens by what the strip lacks, and
    // the buttons on the right move along.
    if (const int lack = cTabControl1->Bar()->sizeHint().width() - cTabControl1->width(); lack > 0) {
        setFixedSize(width() + lack, height());
        for (QWidget* w : {picTitle, static_cast<QWidget*>(cTabControl1)})
            w->resize(w->width() + lack, w->height());
        for (QWidget* w : {cmdOk, cmdApply, cmdExit})
            w->move(w->x() + lack, w->y());
    }
    for (QWidget* page : {TabInfo, TabRange, TabTags}) {
        PlaceTwips(page, cTabControl1->ClientLeft() - 50, cTabControl1->ClientTop(), cTabControl1->ClientWidth() + 50,
                   cTabControl1->ClientHeight());
        page->raise();
    }
    HideTabPages();
    TabInfo->setVisible(true);
    // The main grid's current row is the row shown; its cells fill the pages.
    ListsHost* host = g_ListsHost();
    m_grid = host ? host->ItemsGrid() : nullptr;
    lItem = m_grid ? m_grid->CurrentRow() : 0;
    l_lGridRowNum = lItem;
    GetFileInfo();
    UpdateRangeControls();
    GetRangeOptions();
    SetIDvTags();
    UpdateStepButtons(lItem);
}

QString frmItem::Cell(const char* key) const
{
    return RowText(m_grid, lItem, QString::fromLatin1(key));
}

void frmItem::GetFileInfo()
{
    const QString file = Cell("COL_FILE");
    SetElidedText(lblTitle, Cell("Item Name"));
    cAudioConverter1->ReadFileInfo(file);
    txtItemName->setText(Cell("Item Name"));
    lblFileName->setText(GetFileName(file));
    lblTotalSize->setText(Cell("Size"));
    lblTotalTime->setText(Cell("Time"));
    lblCreated->setText(Cell("Created"));
    lblFormat->setText(GetFileExt12(file).toUpper());
    lblSamples->setText(QString::number(cAudioConverter1->SampleRate()));
    lblBitrate->setText(QString::number(cAudioConverter1->BitsPerSample()));
    lblChannels->setText(cAudioConverter1->Channels() == 1 ? QStringLiteral("MONO") : QStringLiteral("STEREO"));
    lblPath->setText(GetPathOfFile(file));
    cAudioConverter1->CloseFile();
    setTimeOfDay(dtStartAfter, QTime(0, 0, 0));
    QTime total;
    if (ReadTimeOfDay(Cell("Time"), total))
        setTimeOfDay(dtUntil, total);
}

void frmItem::SetIDvTags()
{
    txtTagAlbum->setText(Cell("COL_TAG_ALBUM"));
    txtTagArtist->setText(Cell("COL_TAG_ARTIST"));
    txtTagComment->setPlainText(Cell("COL_TAG_COMMENT"));
    txtTagGenre->setText(Cell("COL_TAG_GEN"));
    txtTagSong->setText(Cell("COL_TAG_TITLE"));
    txtTagTrack->setText(Cell("COL_TAG_TRACK"));
    txtTagYear->setText(Cell("COL_TAG_YEAR"));
}

void frmItem::GetRangeOptions()
{
    if (Cell("COL_RANGE_ALL") == QLatin1String("1"))
        ptnAllFile->setChecked(true);
    const QString startText = Cell("COL_RANGE_START_TIME");
    if (startText.isEmpty())
        return;
    ptnConvertByTime->setChecked(true);
    double start = 0;
    if (!ReadNumber(startText, start))
        return;
    double length = 0;
    const QString lengthText = Cell("COL_RANGE_LENGTH_TIME");
    if (!lengthText.isEmpty() && !ReadNumber(lengthText, length))
        return;
    QTime t;
    if (start >= 0 && start < 86400 && ReadTimeOfDay(SecondsToTime(qint32(start)), t))
        setTimeOfDay(dtStartAfter, t);
    const double end = start + length;
    if (end >= 0 && end < 86400 && ReadTimeOfDay(SecondsToTime(qint32(end)), t))
        setTimeOfDay(dtUntil, t);
}

void frmItem::UpdateRangeControls()
{
    const bool on = ptnConvertByTime->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(Label20), static_cast<QWidget*>(dtStartAfter),
                       static_cast<QWidget*>(cmdGoTSoStart), static_cast<QWidget*>(Label21),
                       static_cast<QWidget*>(dtUntil), static_cast<QWidget*>(cmdGoToEnd)})
        w->setEnabled(on);
}

void frmItem::HideTabPages()
{
    TabInfo->setVisible(false);
    TabRange->setVisible(false);
    TabTags->setVisible(false);
}

void frmItem::UpdateStepButtons(qint32 row)
{
    const qint32 rows = m_grid ? m_grid->Rows() : 0;
    cmdNext->setEnabled(row < rows);
    cmdBack->setEnabled(row > 1);
}

void frmItem::cTabControl1_TabClick(qint32)
{
    HideTabPages();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    if (key == QLatin1String("Item Information"))
        TabInfo->setVisible(true);
    else if (key == QLatin1String("Range"))
        TabRange->setVisible(true);
    else if (key == QLatin1String("ID3 Tags"))
        TabTags->setVisible(true);
}

void frmItem::dtStartAfter_DateChanged(const QDateTime& NewDate)
{
    QTime total;
    if (ReadTimeOfDay(lblTotalTime->text(), total) && total < NewDate.time())
        setTimeOfDay(dtStartAfter, total);
}

void frmItem::dtUntil_DateChanged(const QDateTime& NewDate)
{
    QTime total;
    if (ReadTimeOfDay(lblTotalTime->text(), total) && total < NewDate.time())
        setTimeOfDay(dtUntil, total);
}

void frmItem::cmdGoTSoStart_Click()
{
    setTimeOfDay(dtStartAfter, QTime(0, 0, 0));
}

void frmItem::cmdGoToEnd_Click()
{
    QTime total;
    if (ReadTimeOfDay(lblTotalTime->text(), total))
        setTimeOfDay(dtUntil, total);
}

void frmItem::cmdBack_Click()
{
    --l_lGridRowNum;
    ShowGridRow(l_lGridRowNum);
}

void frmItem::cmdNext_Click()
{
    ++l_lGridRowNum;
    ShowGridRow(l_lGridRowNum);
}

void frmItem::ShowGridRow(qint32& n)
{
    if (!m_grid || n > m_grid->Rows() || n < 1)
        return;
    // Setting the current row in code raises no row change: the main window's information
    // grid is brought to the row here.
    m_grid->SetCurrentRow(n);
    lItem = n;
    if (ListsHost* host = g_ListsHost())
        host->GetFileInfoToGridInfo();
    GetFileInfo();
    SetIDvTags();
    UpdateRangeControls();
    GetRangeOptions();
    UpdateStepButtons(n);
}

qint32 frmItem::ApplyItemChanges()
{
    // The name is stored trimmed; an empty or illegal one is refused. The box holds no more
    // than its longest text: a longer name the user left as the box shows it stays whole.
    QString name = txtItemName->text();
    const QString whole = Cell("Item Name");
    if (whole.size() > txtItemName->maxLength() && name == whole.left(txtItemName->maxLength()))
        name = whole;
    name = name.trimmed();
    txtItemName->setText(name);
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("Empty Item Name.") + QString(42, u' '), vbInformation);
        txtItemName->setFocus();
        return 1;
    }
    if (!IsLegalFileName(name)) {
        MsgBox(QStringLiteral("Illegal Item Name.") + QString(42, u' '), vbInformation);
        txtItemName->setFocus();
        int key = '?';
        ValidateNameKey(txtItemName, key);
        return 1;
    }
    // A range must start before it ends.
    const bool byTime = ptnConvertByTime->isChecked();
    const qint32 s = secondsOfDay(dtStartAfter);
    const qint32 u = secondsOfDay(dtUntil);
    if (byTime && s >= u) {
        MsgBox(QStringLiteral("'Start after' field is more or an equel to the 'Until' field.") + QString(9, u' '),
               vbInformation);
        return 1;
    }
    // The row shown must still be there.
    if (!m_grid || lItem < 1 || lItem > m_grid->Rows())
        return 1;
    // The row takes the name, the range and the tags.
    SetRowText(m_grid, lItem, QStringLiteral("Item Name"), name);
    if (byTime) {
        SetRowText(m_grid, lItem, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("0"));
        SetRowText(m_grid, lItem, QStringLiteral("COL_RANGE_START_TIME"), QString::number(s));
        SetRowText(m_grid, lItem, QStringLiteral("COL_RANGE_LENGTH_TIME"), QString::number(u - s));
        SetRowText(m_grid, lItem, QStringLiteral("Range"),
                   dtStartAfter->SelDate().time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" - ")
                       + dtUntil->SelDate().time().toString(QStringLiteral("HH:mm:ss")));
    } else {
        SetRowText(m_grid, lItem, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("1"));
        SetRowText(m_grid, lItem, QStringLiteral("COL_RANGE_START_TIME"), QString());
        SetRowText(m_grid, lItem, QStringLiteral("COL_RANGE_LENGTH_TIME"), QString());
        SetRowText(m_grid, lItem, QStringLiteral("Range"), QStringLiteral("All"));
    }
    SetRowText(m_grid, lItem, QStringLiteral("COL_TAG_ALBUM"), txtTagAlbum->text());
    SetRowText(m_grid, lItem, QStringLiteral("COL_TAG_ARTIST"), txtTagArtist->text());
    SetRowText(m_grid, lItem, QStringLiteral("COL_TAG_COMMENT"), txtTagComment->toPlainText());
    SetRowText(m_grid, lItem, QStringLiteral("COL_TAG_GEN"), txtTagGenre->text());
    SetRowText(m_grid, lItem, QStringLiteral("COL_TAG_TITLE"), txtTagSong->text());
    SetRowText(m_grid, lItem, QStringLiteral("COL_TAG_TRACK"), txtTagTrack->text());
    SetRowText(m_grid, lItem, QStringLiteral("COL_TAG_YEAR"), txtTagYear->text());
    // The list file takes the row at once; the main window's information grid and list
    // summary show the row as it now is. A file that did not take it is no apply: the
    // dialog stays open with what was typed.
    if (ListsHost* host = g_ListsHost()) {
        if (!host->SaveGridToFile())
            return 1;
        // A list that another copy changed meanwhile was read again: the row shown is
        // where the grid's current row now stands.
        if (m_grid && m_grid->CurrentRow() >= 1)
            lItem = m_grid->CurrentRow();
        host->GetFileInfoToGridInfo();
        host->DisplayGridInfoStatusBar();
    }
    return 0;
}

void frmItem::cmdOk_Click()
{
    if (ApplyItemChanges() == 0)
        Forms::Unload(this);
}

void frmItem::cmdApply_Click()
{
    ApplyItemChanges();
}

void frmItem::cmdExit_Click()
{
    Forms::Unload(this);
}

void frmItem::lblDefaultID3Tags_Click()
{
    ShowOptionsPage(QStringLiteral("ID3 Tags"), this);
}

void frmItem::lblID3TagParameters_Click()
{
    ShowProgParameters(1, this);
}

void frmItem::lblFileName_Click()
{
    if (!m_grid)
        return;
    OpenWithShell(this, RowText(m_grid, m_grid->CurrentRow(), QStringLiteral("COL_FILE")));
}

void frmItem::lblPath_Click()
{
    OpenWithShell(this, lblPath->text());
}

void frmItem::txtItemName_KeyPress(int& KeyAscii)
{
    ValidateNameKey(txtItemName, KeyAscii);
}

bool frmItem::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtItemName && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1) {
            int key = text.at(0).unicode();
            txtItemName_KeyPress(key);
            if (key == 0)
                return true;
        }
    }
    return VForm::eventFilter(watched, event);
}
