#include "components/cReBar/cReBar.h"

#include "components/cToolbar/cToolbar.h"

#include <QHBoxLayout>

cReBar::cReBar(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
}

void cReBar::CreateRebar(QWidget* parent)
{
    if (!parent)
        return;
    if (parentWidget() != parent)
        setParent(parent);
    QLayout* strip = parent->layout();
    if (strip && strip->indexOf(this) < 0)
        strip->addWidget(this);
    show();
}

void cReBar::AddBand(QWidget* bar, const QString&, bool, bool, const QString& name)
{
    if (!bar)
        return;
    auto* box = static_cast<QHBoxLayout*>(layout());
    bar->setParent(this);
    box->insertWidget(box->count() - 1, bar);  // before the closing stretch
    bar->show();
    m_names << name;
}

void cReBar::HoldBar(cToolbar* bar, QWidget* strip)
{
    bar->SetToolbarOptionD(true);
    bar->SetButtonOption5(0, true);
    SetRebarOptionF(1);
    CreateRebar(strip);
    AddBand(bar->hWnd(), QString(), false, false, QStringLiteral("Toolbar1"));
    SetRebarOption27(0);
}
