// A bar of image buttons with keys, tooltips and captions: plain buttons, separators,
// check buttons and buttons with a drop-down arrow. Buttons are numbered from 0 in the
// order they were added; separators take a number too.
#pragma once

#include <QAction>
#include <QList>
#include <QPointer>
#include <QString>
#include <QToolBar>
#include <QToolButton>

class cImageList;

class cToolbar : public QToolBar
{
    Q_OBJECT
public:
    // Button styles.
    enum : qint32 { tbrDefault = 0, tbrSeparator = 1, tbrCheck = 2, tbrDropDown = 8 };

    explicit cToolbar(QWidget* parent = nullptr);

    // Set-up options the bar accepts; they leave its look to the bar.
    void SetToolbarOptionB(qint32 value) { m_optionB = value; }
    void SetToolbarOption2F(qint32 value) { m_option2F = value; }
    void SetToolbarOptionC(bool value) { m_optionC = value; }
    void SetToolbarOptionD(bool value) { m_optionD = value; }
    void SetButtonOption5(qint32 index, bool value);

    void SetImageList(cImageList* images) { m_images = images; }
    cImageList* ImageList() const { return m_images; }
    // Pictures of ImageSize pixels; bars of large pictures show their captions below them.
    void CreateToolbar(qint32 ImageSize, bool b1 = false, bool b2 = true, bool b3 = true);

    // Adds a button and returns its number. A separator: tooltip "", image -1, an empty
    // caption, style 1 and no key. An empty caption shows the picture only.
    qint32 AddButton(const QString& ToolTipText, qint32 ImageNumber, const QVariant& omitted = {}, qint32 zero = 0,
                     const QString& Caption = {}, qint32 Style = tbrDefault, const QString& Key = {});
    void AddSeparator() { AddButton(QString(), -1, {}, 0, QString(), tbrSeparator); }
    // The set-up of the program's bars of 16-pixel pictures taken from `images`.
    void SetUpSmallBar(cImageList* images);

    qint32 ButtonCount() const { return qint32(m_buttons.size()); }
    // "" for a number that names no button.
    QString ButtonKey(qint32 Index) const;
    // The number of the button with that key; -1 when no button bears it.
    qint32 ButtonIndex(const QString& Key) const;
    bool ButtonChecked(qint32 Index) const;
    bool ButtonChecked(const QString& Key) const { return ButtonChecked(ButtonIndex(Key)); }
    void SetButtonChecked(qint32 Index, bool checked);
    void SetButtonChecked(const QString& Key, bool checked) { SetButtonChecked(ButtonIndex(Key), checked); }
    bool ButtonEnabled(const QString& Key) const;
    void SetButtonEnabled(const QString& Key, bool enabled);
    // The point just below the button, in twips of the window that holds the bar: where
    // its drop-down menu opens.
    void GetButtonPosition(qint32 Index, qint32& X, qint32& Y) const;
    // The bar itself, as a band container takes it.
    QWidget* hWnd() { return this; }

    // What each button was given, and its widget (nullptr for a separator).
    QString ButtonCaption(qint32 Index) const;
    QString ButtonToolTip(qint32 Index) const;
    qint32 ButtonImage(qint32 Index) const;
    qint32 ButtonStyle(qint32 Index) const;
    QToolButton* ButtonWidget(qint32 Index) const;
    // Where the arrow of a drop-down button sits, in the button's own pixels.
    QRect ButtonArrowRect(qint32 Index) const;

signals:
    // A button was clicked (for a drop-down button, its body).
    void ButtonClick(qint32 Index);
    // The arrow of a drop-down button was pressed.
    void ButtonDropDown(qint32 Index);

private:
    struct Button {
        QString key;
        QString tooltip;
        QString caption;
        qint32 image = -1;
        qint32 style = tbrDefault;
        QPointer<QAction> action;  // the button's action (a drop-down button's: the one holding it)
        QPointer<QToolButton> widget;
    };
    bool valid(qint32 index) const { return index >= 0 && index < m_buttons.size(); }

    QList<Button> m_buttons;
    cImageList* m_images = nullptr;
    qint32 m_imageSize = 16;
    qint32 m_optionB = 0;
    qint32 m_option2F = 0;
    bool m_optionC = false;
    bool m_optionD = false;
};
