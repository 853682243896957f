// A band container inside a strip of the window, holding one button bar.
#pragma once

#include <QString>
#include <QWidget>

class cToolbar;

class cReBar : public QWidget
{
    Q_OBJECT
public:
    explicit cReBar(QWidget* parent = nullptr);

    void SetRebarOptionF(qint32 value) { m_optionF = value; }
    void SetRebarOption27(qint32 value) { m_option27 = value; }
    // Places the container in the strip that holds it (once per window).
    void CreateRebar(QWidget* parent);
    // Adds a band holding the bar; the name identifies the band.
    void AddBand(QWidget* bar, const QString& text, bool b1, bool b2, const QString& name);
    QStringList BandNames() const { return m_names; }
    // Puts a finished bar into the one band ("Toolbar1") of this container in `strip`.
    void HoldBar(cToolbar* bar, QWidget* strip);

private:
    qint32 m_optionF = 0;
    qint32 m_option27 = 0;
    QStringList m_names;
};
