// The time-of-day picker over a date-time editor.
#include "components/cDateTimePick/cDateTimePick.h"

#include <QDateTimeEdit>
#include <QVBoxLayout>

cDateTimePick::cDateTimePick(QWidget* parent) : QWidget(parent)
{
    m_value = QDateTime(QDate::currentDate(), QTime(0, 0, 0));
    m_edit = new QDateTimeEdit(this);
    m_edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_edit->setDateTime(m_value);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    connect(m_edit, &QDateTimeEdit::timeChanged, this, [this](QTime t) {
        if (m_syncing)
            return;
        m_value = QDateTime(m_value.date(), t);
        emit DateChanged(m_value);
    });
}

void cDateTimePick::SetSelDate(const QDateTime& value)
{
    m_value = value;
    m_syncing = true;
    m_edit->setTime(value.time());
    m_syncing = false;
}
