// A balloon message pointing at a control, made for one message.
#pragma once

#include <QPointer>
#include <QString>

class QWidget;

class cBalloonTip
{
public:
    void SetTipStyle(int style) { m_style = style; }
    void SetTipText(const QString& text) { m_text = text; }
    void AttachTo(QWidget* target) { m_target = target; }
    // Shows the balloon; it stays until the system hides it.
    void ShowTip();

    // The last balloon shown in this process (tests read it).
    struct Shown {
        QString text;
        QPointer<QWidget> target;
        int style = 0;
        int count = 0;
    };
    static const Shown& LastShown();
    static void ResetLastShown();

private:
    int m_style = 0;
    QString m_text;
    QPointer<QWidget> m_target;
};
