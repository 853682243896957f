#include "settings/frmOptions.h"

#include "app/mdlModes.h"
#include "common/mdlFunctions.h"
#include "settings/mdlOptions.h"

frmOptions::frmOptions()
{
    setWindowTitle(QStringLiteral("Options"));
}

void frmOptions::Form_Load()
{
}

void frmOptions::Form_Unload(int& Cancel)
{
    // Hides instead of closing until the main window closes.
    if (!g_bExitApp) {
        Cancel = 1;
        Hide();
    }
}
