// A time-of-day picker showing "HH:mm:ss". SelDate is a date whose time of day is the
// picked time; DateChanged reports the user's changes only, so a handler may set
// SelDate of the same picker inside it.
#pragma once

#include <QDateTime>
#include <QWidget>

class QDateTimeEdit;

class cDateTimePick : public QWidget
{
    Q_OBJECT
public:
    explicit cDateTimePick(QWidget* parent = nullptr);

    QDateTime SelDate() const { return m_value; }
    void SetSelDate(const QDateTime& value);

    // The editor that shows the time (tests type into it).
    QDateTimeEdit* Editor() const { return m_edit; }

signals:
    void DateChanged(const QDateTime& NewDate);

private:
    QDateTime m_value;
    bool m_syncing = false;
    QDateTimeEdit* m_edit = nullptr;
};
