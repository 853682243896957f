#include "settings/frmAudioProp.h"

#include "common/mdlFunctions.h"

frmAudioProp::frmAudioProp()
{
    setWindowTitle(QStringLiteral("Audio Properties"));
}

void frmAudioProp::Form_Load()
{
}

void frmAudioProp::Form_Unload(int& Cancel)
{
    if (!g_bExitApp) {
        Cancel = 1;
        Hide();
    }
}
