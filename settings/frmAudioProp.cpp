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

void ShowAudioPropOnFormat(const QString& key, QWidget* owner)
{
    Q_UNUSED(key)
    g_frmAudioProp()->Show(vbModal, owner);
}
