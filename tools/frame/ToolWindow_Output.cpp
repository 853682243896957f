// The tool windows' output block: destination folder with its history, sub-folder,
// target format with its encoder settings, and the tags every output file receives.
#include "tools/frame/ToolWindow.h"

#include "common/mdlModes.h"
#include "common/mdlDestination.h"
#include "common/mdlFunctions.h"
#include "common/mdlSupportedDestination.h"
#include "components/audio/AudioJobComponent.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

int ToolWindow::BuildOutputBlock(int top, bool targetFormat)
{
    QWidget* page = TabSettings;
    MakeLabel(page, QStringLiteral("Destination:"), 240, top + 60, 1600);
    txtToPath = MakeDestinationBox(page);
    PlaceTwips(txtToPath, 1920, top, 4000, 315);
    cmdSelectPath = MakeButton(page, QStringLiteral("..."), 5980, top, 435, 315);
    cmdSelectPath->setToolTip(QStringLiteral("Select a new directory"));
    lblSetAsDefaultDestination = MakeLink(page, QStringLiteral("Set as default"), 6500, top + 60, 1600);
    lblSetAsDefaultDestination->setToolTip(QStringLiteral("Set as default destination"));
    lblSetAsDefaultDestination->setEnabled(false);

    chkCreateSubFolder = MakeCheck(page, QStringLiteral("Under a new directory name:"), 1920, top + 420, 3000);
    txtUndeForlder = MakeTextBox(page, 4980, top + 400, 2940);
    lblOpenDestinationDestinationFolder =
        MakeLink(page, QStringLiteral("Open destination folder"), 1920, top + 800, 3000);

    int next = top + 1200;
    if (targetFormat) {
        MakeLabel(page, QStringLiteral("Audio Format:"), 240, top + 1260, 1600);
        // The list grows to its longest format name in the desktop's font (the window's
        // text fitting does it); the button and the link beside it leave it the room.
        cboTargetFormat = new QComboBox(page);
        PlaceTwips(cboTargetFormat, 1920, top + 1200, 4000, 315);
        cmdEditTargetFormat = MakeButton(page, QStringLiteral("Edit"), 5980, top + 1200, 600, 315);
        cmdEditTargetFormat->setToolTip(QStringLiteral("Edit Target Audio Formats"));
        lblSetAsDefaultFormat = MakeLink(page, QStringLiteral("Set as default"), 6640, top + 1260, 1300);
        lblSetAsDefaultFormat->setToolTip(QStringLiteral("Set as default format"));
        lblSetAsDefaultFormat->setEnabled(false);
        next += 480;
    }
    if (chkOverWrite) {
        PlaceTwips(chkOverWrite, 1920, next, 3500, 255);
        next += 360;
    }

    connect(txtToPath, &QComboBox::activated, this, &ToolWindow::txtToPath_Click);
    connect(cmdSelectPath, &QPushButton::clicked, this, &ToolWindow::cmdSelectPath_Click);
    connect(lblSetAsDefaultDestination, &LinkLabel::Click, this, &ToolWindow::lblSetAsDefaultDestination_Click);
    connect(chkCreateSubFolder, &CheckBox::Click, this, &ToolWindow::chkCreateSubFolder_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::Click, this,
            &ToolWindow::lblOpenDestinationDestinationFolder_Click);
    if (targetFormat) {
        connect(cboTargetFormat, &QComboBox::activated, this, &ToolWindow::cboTargetFormat_Click);
        connect(cmdEditTargetFormat, &QPushButton::clicked, this, &ToolWindow::cmdEditTargetFormat_Click);
        connect(lblSetAsDefaultFormat, &LinkLabel::Click, this, &ToolWindow::lblSetAsDefaultFormat_Click);
    }
    return next;
}

void ToolWindow::SetDestination()
{
    SetDestinationCode(GetDestFormatIndex(TargetFormatText()));
}

QString ToolWindow::TargetFormatText() const
{
    return DestinationFormatTexts().at(GetDestFormatIndex(cboTargetFormat ? cboTargetFormat->currentText() : QString()));
}

void ToolWindow::SetDestinationCode(qint32 code)
{
    if (!HandTargetFormat(JobComponent(), code))
        return;
    static const char* const names[] = {"WAV", "ACM WAV", "MP3", "WMA", "OGG", "APE"};
    AddLog(QStringLiteral("Destination format: ") + QLatin1String(names[code]), txtLog);
}

bool HandTargetFormat(AudioJobComponent* c, qint32 code)
{
    if (!c || code < 0 || code > 5)
        return false;
    c->SetOutputFormat(code + 1);
    switch (code) {
    case 0: {
        WAVSettings s = BuildWAVSettings();
        c->SetWAVSettings(s);
        break;
    }
    case 1: {
        ACMSettingsTexts t = BuildACMSettings();
        c->SetACMSettings(t.TagName, t.FormatName);
        break;
    }
    case 2: {
        MP3Settings s = BuildMP3Settings();
        c->SetMP3Settings(s);
        break;
    }
    case 3: {
        WMASettings s = BuildWMASettings();
        c->SetWMASettings(s);
        break;
    }
    case 4: {
        OGGSettings s = BuildOGGSettings();
        c->SetOGGSettings(s);
        break;
    }
    case 5: {
        qint32 level = BuildAPESettings();
        c->SetAPESettings(level);
        break;
    }
    }
    return true;
}

void ToolWindow::SetID3Tags(qint32& Row)
{
    AudioJobComponent* c = JobComponent();
    if (!c)
        return;
    auto tag = [&](const char* key) { return CreateID3TagsString(RowText(cGrid1, Row, QLatin1String(key))); };
    c->SetTagAlbum(tag("COL_TAG_ALBUM"));
    c->SetTagArtist(tag("COL_TAG_ARTIST"));
    c->SetTagComment(tag("COL_TAG_COMMENT"));
    c->SetTagGenre(tag("COL_TAG_GEN"));
    c->SetTagTitle(tag("COL_TAG_TITLE"));
    c->SetTagTrack(tag("COL_TAG_TRACK"));
    c->SetTagYear(tag("COL_TAG_YEAR"));
}

QString ToolWindow::CreateID3TagsString(const QString& Text)
{
    // The track of the row being worked on, counted from 1; a grid without a current row
    // is working on its first.
    return ExpandTagPlaceholders(Text, qMax(cGrid1->CurrentRow(), 1));
}

QString ExpandTagPlaceholders(const QString& Text, qint32 TrackNumber)
{
    QString out = Text;
    const QDate today = QDate::currentDate();
    out.replace(QStringLiteral("[DATE]"), QLocale().toString(today, QLocale::ShortFormat));
    out.replace(QStringLiteral("[TIME]"), LogTimeText());
    out.replace(QStringLiteral("[TRACK_NUM]"), QString::number(TrackNumber));
    out.replace(QStringLiteral("[PROG_NAME]"), g_sAppName);
    out.replace(QStringLiteral("[PROG_VERSION]"), g_sAppVersion);
    out.replace(QStringLiteral("[YEAR]"), QString::number(today.year()));
    return out;
}

QString ToolWindow::GetSubFolder() const
{
    if (!chkCreateSubFolder || chkCreateSubFolder->Value() != 1 || txtUndeForlder->text().isEmpty())
        return QString();
    return txtUndeForlder->text() + u'/';
}

QString ToolWindow::OutputFolder() const
{
    if (!txtToPath)
        return QString();
    QString folder = txtToPath->currentText();
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder + GetSubFolder();
}

bool ToolWindow::PrepareOutputFolder()
{
    const QString folder = JobFolder();
    if (MakePath(folder) == 0)
        return true;
    const QString text = QStringLiteral("The path: ") + folder + QStringLiteral(" cannot be created.");
    AddLog(text, txtLog);
    MsgBox(text, vbOKOnly + vbInformation);
    return false;
}

void ToolWindow::CheckUnderFolderEna()
{
    if (!chkCreateSubFolder)
        return;
    if (chkCreateSubFolder->Value() == 1) {
        txtUndeForlder->setEnabled(true);
        txtUndeForlder->setFocus();
        txtUndeForlder->selectAll();
    } else {
        txtUndeForlder->setEnabled(false);
    }
}

void ToolWindow::chkCreateSubFolder_Click()
{
    CheckUnderFolderEna();
}

void ToolWindow::cmdSelectPath_Click()
{
    BrowseForDestination(txtToPath, this);
}

void ToolWindow::txtToPath_Click()
{
    lblSetAsDefaultDestination->setEnabled(txtToPath->currentIndex() >= 1);
}

void ToolWindow::lblSetAsDefaultDestination_Click()
{
    SavePathHistory(txtToPath);
    LoadPathHistory(txtToPath);
    lblSetAsDefaultDestination->setEnabled(false);
}

void ToolWindow::lblOpenDestinationDestinationFolder_Click()
{
    OpenDestinationFolder(txtToPath, GetSubFolder(), this);
}

void ToolWindow::cboTargetFormat_Click()
{
    if (lblSetAsDefaultFormat)
        lblSetAsDefaultFormat->setEnabled(cboTargetFormat->currentText() != g_sTargetFormat);
}

void ToolWindow::lblSetAsDefaultFormat_Click()
{
    SetDefaultTargetFormat(cboTargetFormat->currentText());
    lblSetAsDefaultFormat->setEnabled(false);
}

void ToolWindow::cmdEditTargetFormat_Click()
{
    // The format window's OK leaves the format of its open page as the default in the
    // options window, which this window then takes and (where it has the link that makes
    // a format the default) stores. Left any other way, it changed nothing, and the chosen
    // format stays.
    if (!ShowAudioPropOnFormat(cboTargetFormat->currentText().left(3), this))
        return;
    const int position = Forms::Get<frmOptions>()->cboTargetFormat->currentIndex();
    if (position < 0 || position >= cboTargetFormat->count())
        return;
    cboTargetFormat->setCurrentIndex(position);
    cboTargetFormat_Click();
    if (lblSetAsDefaultFormat)
        lblSetAsDefaultFormat_Click();
}
