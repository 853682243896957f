// The options window. Loaded hidden at start-up; its loading fills the option globals.
#pragma once

#include "platform/Forms.h"

class frmOptions : public VForm
{
    Q_OBJECT
public:
    frmOptions();
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
};
