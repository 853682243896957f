// The output-format properties window. Loaded hidden at start-up, after the options
// window; its loading fills the format globals.
#pragma once

#include "platform/Forms.h"

class frmAudioProp : public VForm
{
    Q_OBJECT
public:
    frmAudioProp();
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
};

inline frmAudioProp* g_frmAudioProp()
{
    return Forms::Get<frmAudioProp>();
}

// Opens the window modally on the tab of a format ("WAV", "MP3", ...).
void ShowAudioPropOnFormat(const QString& key, QWidget* owner = nullptr);
