// The main window's preview player: its panel, playing the current row with pause, stop
// and restart, the position slider and labels, the audio graphs, the playing row in bold
// and going on with the next marked row when a file ends.
#include "mainwindow/frmMain.h"

#include "common/mdlFunctions.h"
#include "components/cAudioGraph/cAudioGraph.h"
#include "components/cGrid/cGrid.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cSlider/cSlider.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cToolbarHost/cToolbarHost.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <QLabel>

#include <cmath>

namespace {

const QString kMainPanel = QStringLiteral("Main");
constexpr qint32 kImagePlaying = 38;
constexpr qint32 kImageReady = 47;

}  // namespace

void frmMain::BuildPlayerPanel()
{
    // The panel is 3495 x 1215 twips: the position slider along its top (the layout
    // places it and the panel; m_layout keeps their sizes), under it the play buttons,
    // the position over the length, and the two graphs.
    cSlider1 = new cSlider(picPlayer);
    cSlider1->setObjectName(QStringLiteral("cSlider1"));
    cToolbarHostPlayer = new cToolbarHost(picPlayer);
    tlbrPlayButtons = new cToolbar(cToolbarHostPlayer);
    tlbrPlayButtons->setObjectName(QStringLiteral("tlbrPlayButtons"));
    PlaceTwips(cToolbarHostPlayer, 40, 520, 1680, 500);
    lblCurrentPositionSec = MakeLabel(picPlayer, QStringLiteral("0:00:00"), 1740, 540, 780, 240);
    lbTotalLengthSec = MakeLabel(picPlayer, QStringLiteral("0:00:00"), 1740, 780, 780, 240);
    cAudioGraphAmp = new cAudioGraph(cAudioGraph::Amplitude, picPlayer);
    cAudioGraphFreq = new cAudioGraph(cAudioGraph::Frequency, picPlayer);
    PlaceTwips(cAudioGraphAmp, 2550, 500, 450, 620);
    PlaceTwips(cAudioGraphFreq, 3030, 500, 450, 620);

    cPlayer1 = CreatePlayer(this);

    tmrPlayer.setInterval(200);
    tmSlider.setInterval(200);
    tmrAudioData.setInterval(100);
    connect(tlbrPlayButtons, &cToolbar::ButtonClick, this, &frmMain::tlbrPlayButtons_ButtonClick);
    connect(cPlayer1, &cPlayer::PlayDone, this, &frmMain::cPlayer1_PlayDone);
    connect(cSlider1, &cSlider::ThumbPressed, this, &frmMain::cSlider1_ThumbPressed);
    connect(cSlider1, &cSlider::ThumbReleased, this, &frmMain::cSlider1_ThumbReleased);
    connect(&tmrPlayer, &QTimer::timeout, this, &frmMain::tmrPlayer_Timer);
    connect(&tmSlider, &QTimer::timeout, this, &frmMain::tmSlider_Timer);
    connect(&tmrAudioData, &QTimer::timeout, this, &frmMain::tmrAudioData_Timer);
}

void frmMain::StartPlay()
{
    if (cGrid1->Rows() == 0)
        return;
    // A paused play goes on.
    if (cPlayer1->IsPaused()) {
        cPlayer1->Resume();
        tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), false);
        return;
    }
    // "Play" while a file plays: stop it now and start the current row from tmrPlayer's
    // tick, once the end of this play has been handled.
    if (!tmrPlayer.isActive() && cPlayer1->IsPlaying()) {
        cPlayer1->StopPlay();
        tmrPlayer.start();
        return;
    }
    const qint32 row = cGrid1->CurrentRow();
    QString file = RowText(cGrid1, row, QStringLiteral("COL_FILE"));
    if (!QFileInfo(file).isFile()) {
        // The list is read again from its file, which shows what is missing now.
        MsgBox(file + QStringLiteral(" is not existed."), vbInformation + vbOKOnly);
        cTreeView1_NodeClick(cTreeView1->SelectedItem());
        return;
    }
    qint32 device = g_lDeviceIndex;
    qint32 result = cPlayer1->Play(file, device);
    if (result != 0) {
        MsgBox(QStringLiteral("Cannot play ") + file + QStringLiteral("\r\n\r\n") + cPlayer1->GetErrorText(result),
               vbInformation + vbOKOnly);
        return;
    }
    cStatusBar1->SetPanelText(kMainPanel, QStringLiteral("Playing"));
    cStatusBar1->SetPanelImage(kMainPanel, kImagePlaying);
    const qint32 length = qint32(std::nearbyint(cPlayer1->Length()));
    cSlider1->SetMax(std::max<qint32>(length, 1));
    m_playingNode = cTreeView1->SelectedItem();
    if (m_playingNode)
        m_playingNode->SetItemFlag25(true);
    lbTotalLengthSec->setText(cPlayer::FormatTime(length));
    tmSlider.start();
    tmrAudioData.start();
    SetRowBold(row, true);
}

void frmMain::StopPlay()
{
    tlbrPlayButtons->SetButtonEnabled(QStringLiteral("Play"), true);
    tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), false);
    if (!cPlayer1->IsPlaying())
        return;
    tmrAudioData.stop();
    cPlayer1->StopPlay();
    cAudioGraphFreq->Clear();
    cAudioGraphAmp->Clear();
    // With no playing node the end of this play goes on with no other row.
    if (m_playingNode)
        m_playingNode->SetItemFlag25(false);
    m_playingNode = nullptr;
    tmSlider.stop();
}

void frmMain::StopPreviewPlayer()
{
    if (cPlayer1->IsPaused())
        cPlayer1->Resume();
    if (cPlayer1->IsPlaying())
        StopPlay();
}

void frmMain::StopPreviewForCommand()
{
    // A restart that "Play" left pending is dropped too, with the node of the play it
    // stopped: nothing may start playing under a window the command opens.
    tmrPlayer.stop();
    StopPreviewPlayer();
    if (m_playingNode)
        m_playingNode->SetItemFlag25(false);
    m_playingNode = nullptr;
}

cTreeItem* frmMain::PlayingNode() const
{
    return m_playingNode;
}

void frmMain::cPlayer1_PlayDone()
{
    tmrAudioData.stop();
    tmSlider.stop();
    cSlider1->SetValue(0);
    cAudioGraphFreq->Clear();
    cAudioGraphAmp->Clear();
    lblCurrentPositionSec->setText(QStringLiteral("0:00:00"));
    StopPreviewPlayer();
    cStatusBar1->SetPanelText(kMainPanel, QStringLiteral("Ready."));
    cStatusBar1->SetPanelImage(kMainPanel, kImageReady);
    SetRowUnBold();
    cTreeView1->SetTreeOption4F(true);
    // A play that was stopped has no playing node: it never goes on with another row.
    if (!m_playingNode)
        return;
    m_playingNode->SetItemFlag25(false);
    if (!g_bGoToNextItem || tmrPlayer.isActive() || cGrid1->CurrentRow() >= cGrid1->Rows())
        return;
    for (qint32 r = cGrid1->CurrentRow() + 1; r <= cGrid1->Rows(); ++r) {
        if (cGrid1->Cell(r, 1).IconIndex() == kIconMarked) {
            cGrid1->SetCurrentRow(r);
            StartPlay();
            return;
        }
    }
}

void frmMain::tlbrPlayButtons_ButtonClick(qint32 Index)
{
    const QString key = tlbrPlayButtons->ButtonKey(Index);
    if (key == QLatin1String("Play")) {
        StartPlay();
    } else if (key == QLatin1String("Pause")) {
        if (!cPlayer1->IsPlaying())
            tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), false);
        else if (tlbrPlayButtons->ButtonChecked(QStringLiteral("Pause")))
            cPlayer1->Pause();
        else
            cPlayer1->Resume();
    } else if (key == QLatin1String("Stop")) {
        StopPreviewPlayer();
    }
}

void frmMain::cSlider1_ThumbPressed()
{
    // The thumb is the user's while held: the position timer leaves it alone.
    if (cPlayer1->IsPlaying())
        tmSlider.stop();
}

void frmMain::cSlider1_ThumbReleased()
{
    if (!cPlayer1->IsPlaying())
        return;
    cPlayer1->SetPosition(cSlider1->Value());
    tmSlider.start();
}

void frmMain::tmrPlayer_Timer()
{
    tmrPlayer.stop();
    StartPlay();
}

void frmMain::tmSlider_Timer()
{
    cSlider1->SetValue(cPlayer1->GetPosition());
    lblCurrentPositionSec->setText(cPlayer::FormatTime(cPlayer1->GetPosition()));
}

void frmMain::tmrAudioData_Timer()
{
    if (!cPlayer1->IsPlaying())
        return;
    cAudioGraphAmp->SetAudioData(cPlayer1->AudioData());
    cAudioGraphAmp->Draw();
    cAudioGraphFreq->SetAudioData(cPlayer1->AudioData());
    cAudioGraphFreq->Draw();
}

void frmMain::SetRowBold(qint32 lRow, bool bBold)
{
    for (qint32 c = 1; c <= cGrid1->Columns(); ++c) {
        QFont f(QStringLiteral("Tahoma"), 8);
        f.setBold(bBold);
        f.setItalic(cGrid1->CellFont(lRow, c).italic());  // a missing file's italics stay
        cGrid1->SetCellFont(lRow, c, f);
    }
}
