// The notification-area icon of the main window. Where the desktop has no tray it
// keeps its state and records the balloons it was asked to show.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QSystemTrayIcon;

class cSysTray : public QObject
{
    Q_OBJECT
public:
    explicit cSysTray(QObject* parent = nullptr);
    ~cSysTray() override;

    void AddIcon();
    void RemoveIcon();
    bool IconShown() const { return m_shown; }
    // The desktop's icon object, where the platform has one (not on the headless one).
    QSystemTrayIcon* SystemIcon() const { return m_icon; }
    // What the desktop reports of a click on the icon (QSystemTrayIcon::ActivationReason).
    void IconActivated(int reason);

    void SetToolTipText(const QString& text);
    QString ToolTipText() const { return m_tooltip; }
    void SetIconFile(const QString& path);
    QString IconFile() const { return m_iconFile; }

    void ShowBalloon(const QString& Message, const QString& Title, qint32 l = 1, qint16 i = 30);

    struct Balloon {
        QString message;
        QString title;
    };
    const QList<Balloon>& Balloons() const { return m_balloons; }

    // Whether the desktop shows tray icons at all.
    static bool Available();
    // Tests: pretend a tray exists (or not); nullopt asks the desktop again.
    static void OverrideAvailable(std::optional<bool> available);

signals:
    // 1: the icon was clicked; 2: its menu was asked for.
    void TrayClick(qint32 ClickType);

private:
    void apply();

    QSystemTrayIcon* m_icon = nullptr;
    bool m_shown = false;
    QString m_tooltip;
    QString m_iconFile;
    QList<Balloon> m_balloons;
};
