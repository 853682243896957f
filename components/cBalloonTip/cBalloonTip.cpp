#include "components/cBalloonTip/cBalloonTip.h"

#include <QToolTip>
#include <QWidget>

namespace {
cBalloonTip::Shown g_last;
}

void cBalloonTip::ShowTip()
{
    g_last.text = m_text;
    g_last.target = m_target;
    g_last.style = m_style;
    ++g_last.count;
    if (m_target && m_target->isVisible())
        QToolTip::showText(m_target->mapToGlobal(QPoint(0, m_target->height())), m_text, m_target);
}

const cBalloonTip::Shown& cBalloonTip::LastShown()
{
    return g_last;
}

void cBalloonTip::ResetLastShown()
{
    g_last = Shown{};
}
