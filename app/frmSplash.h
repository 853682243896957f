// The splash window: title, version and a status line, faded in while the program loads.
#pragma once

#include "platform/Forms.h"

class QLabel;

class frmSplash : public VForm
{
    Q_OBJECT
public:
    frmSplash();
    void Form_Load() override;

    // Fades the window in: alpha 0, 10, ... 250, then fully opaque.
    void FadeIn();

    QWidget* picTitle = nullptr;
    QLabel* lblAppTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblStat = nullptr;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

inline frmSplash* g_frmSplash()
{
    return Forms::Get<frmSplash>();
}
