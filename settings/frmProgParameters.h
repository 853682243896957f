// The placeholder reference: which placeholders the external program's command line, the
// tag templates and the output-name templates may hold, one section at a time.
#pragma once

#include "platform/Forms.h"

#include <QList>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmProgParameters : public VForm
{
    Q_OBJECT
public:
    frmProgParameters();
    void Form_Load() override;

    void cboSections_Click();
    void cmdOk_Click();

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* cboSections = nullptr;
    QFrame* fraAppNotic = nullptr;
    QFrame* fraID3Tags = nullptr;
    QFrame* fraExt = nullptr;
    QList<QLineEdit*> txtParameter;
    QPushButton* cmdOk = nullptr;
};

inline frmProgParameters* g_frmProgParameters()
{
    return Forms::Get<frmProgParameters>();
}

// Opens the reference modally on a section: 0 the external program, 1 the tag
// templates, 2 the output-name templates.
void ShowProgParameters(int section, QWidget* owner = nullptr);
