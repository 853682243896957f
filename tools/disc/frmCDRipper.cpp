// The CD ripper window: its drive row and disc status line, the eject box of its Events
// page, and what the items job asks of its ripper component.
#include "tools/disc/frmCDRipper.h"

#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

ToolWindow::Design ripperDesign()
{
    ToolWindow::Design d;
    d.caption = QStringLiteral("Audio CD Ripper");
    d.icon = QStringLiteral("cd_music");
    d.settingsTab = QStringLiteral("Ripper Options    ");
    d.settingsTabImage = 25;
    d.startCaption = QStringLiteral("Rip");
    d.gridImages = true;
    return d;
}

// Colours of the status line.
constexpr qint32 kRed = 255;
constexpr qint32 kBlack = 0;

} // namespace

frmCDRipper::frmCDRipper() : ItemsToolWindow(ripperDesign())
{
    cAudioCDRipper1 = CreateAudioCDRipper(this);
    AttachComponent(cAudioCDRipper1);

    // The drive row and the disc's status above the output block.
    MakeLabel(TabSettings, QStringLiteral("Audio CD:"), 240, 180, 1600);
    cboDevices = new QComboBox(TabSettings);
    PlaceTwips(cboDevices, 1920, 120, 4000, 315);
    cmdOpenCD = MakeButton(TabSettings, QStringLiteral("Open"), 5980, 120, 735, 315);
    lblCDStatus = MakeLabel(TabSettings, QStringLiteral("Ready."), 1920, 480, 6000);
    BuildFileNameBlock(BuildOutputBlock(840));

    // "Eject the CD door" stands between the external program and the turn-off, ticked
    // from the start.
    const int step = chkNoticeApp->y() - chkOpenDestFolder->y();
    chkOpenCDdrive = MakeCheck(TabEvents, QStringLiteral("Eject the CD door"), 480, 0, 4000);
    chkOpenCDdrive->move(chkTurnOffComputer->pos());
    chkOpenCDdrive->SetValue(1);
    chkTurnOffComputer->move(chkTurnOffComputer->x(), chkTurnOffComputer->y() + step);
    lblEventsSettings->move(lblEventsSettings->x(), lblEventsSettings->y() + step);

    connect(cboDevices, &QComboBox::activated, this, &frmCDRipper::cboDevices_Click);
    connect(cmdOpenCD, &QPushButton::clicked, this, &frmCDRipper::cmdOpenCD_Click);
}

frmCDRipper::~frmCDRipper() = default;

void frmCDRipper::Form_Load()
{
    ItemsToolWindow::Form_Load();
    FillCDDevices();
}

void frmCDRipper::FillCDDevices()
{
    const qint32 n = cAudioCDRipper1->GetDeviceCount();
    for (qint32 i = 0; i < n; ++i)
        cboDevices->addItem(cAudioCDRipper1->GetDeviceName(i));
    if (cboDevices->count() < 1)
        return;
    cboDevices->setCurrentIndex(0);
    cboDevices_Click();
}

void frmCDRipper::cboDevices_Click()
{
    const qint32 index = cboDevices->currentIndex();
    const QString drive = cboDevices->currentText().left(2);
    // The first test that fails decides; the line only informs, the Rip button stays.
    QString text;
    if (!cAudioCDRipper1->SelectDevice(index))
        text = QStringLiteral("Cannot select '") + drive + QStringLiteral("\\' as an Audio CD.");
    else if (!cAudioCDRipper1->IsAudioCD())
        text = QStringLiteral("'") + drive + QStringLiteral("\\' is not an Audio CD.");
    else if (cAudioCDRipper1->GetTrackCount() < 1)
        text = QStringLiteral("'") + drive + QStringLiteral("\\' has no CDA tracks.");
    if (!text.isEmpty()) {
        SetForeColor(lblCDStatus, kRed);
        lblCDStatus->setText(text);
        return;
    }
    SetForeColor(lblCDStatus, kBlack);
    lblCDStatus->setText(QStringLiteral("OK: ") + QString::number(cAudioCDRipper1->GetTrackCount()) +
                         QStringLiteral(" CDA tracks"));
}

void frmCDRipper::cmdOpenCD_Click()
{
    cAudioCDRipper1->OpenTray();
}

void frmCDRipper::DoEndEvents()
{
    PlayEndSound();
    OpenEndFolder();
    StartNoticeApp();
    if (chkOpenCDdrive->Value() == 1)
        cAudioCDRipper1->OpenTray();
    StartTurnOffAfterJob();
}

AudioJobComponent* frmCDRipper::JobComponent()
{
    return cAudioCDRipper1;
}

void frmCDRipper::CloseComponents()
{
    cAudioCDRipper1->CloseDevice();
}

QList<QWidget*> frmCDRipper::PaintedControls() const
{
    return {chkOpenCDdrive};
}

bool frmCDRipper::TakesRow(qint32 Row)
{
    return IsRowMarked(cGrid1, Row);
}

void frmCDRipper::StartingJob()
{
    cAudioCDRipper1->SetDeviceIndex(cboDevices->currentIndex());
}

void frmCDRipper::PutRowTags(qint32 Row)
{
    // A new track is ripped whole until the row's range is set.
    cAudioCDRipper1->SetTrackNumber(Row);
    SetID3Tags(Row);
}

QString frmCDRipper::RowSourceFile(qint32)
{
    return QString();
}

void frmCDRipper::StartComponent()
{
    cAudioCDRipper1->StartRip();
}
