// The main window's preview of the current row: starting and stopping the player.
#include "mainwindow/frmMain.h"

#include "components/cAudioGraph/cAudioGraph.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cToolbar/cToolbar.h"

void frmMain::StartPlay()
{
    // Playing the current row from the player bar comes with the preview player; until
    // then the button starts nothing.
}

void frmMain::StopPlay()
{
    tlbrPlayButtons->SetButtonEnabled(QStringLiteral("Play"), true);
    tlbrPlayButtons->SetButtonChecked(QStringLiteral("Pause"), false);
    if (!cPlayer1->IsPlaying())
        return;
    cPlayer1->StopPlay();
    cAudioGraphFreq->Clear();
    cAudioGraphAmp->Clear();
    SetRowUnBold();
}

void frmMain::StopPreviewPlayer()
{
    if (cPlayer1->IsPaused())
        cPlayer1->Resume();
    if (cPlayer1->IsPlaying())
        StopPlay();
}
