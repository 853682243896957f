// The plain controls the windows are built from, with the few habits the windows rely
// on: check boxes whose value set by program runs the click handler, text boxes with a
// tag, labels that act as links, picture boxes that show a colour; colours as 0x00BBGGRR
// numbers and geometry in twips.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

// Colour numbers as the settings hold them: 0x00BBGGRR.
QColor VbColor(qint32 colour);
qint32 VbColorValue(const QColor& colour);
// Sets a widget's background (and, for a label, text) colour.
void SetBackColor(QWidget* w, qint32 colour);
void SetForeColor(QWidget* w, qint32 colour);
qint32 BackColorOf(const QWidget* w);

// Gives a widget the picture of the folder "View" beside the program as its background;
// false (and nothing changed) when the name is empty or the picture cannot be loaded.
bool LoadViewPicture(QWidget* target, const QString& name);

// The local files a drop from the desktop carries (file URLs only), in order.
QStringList DroppedLocalFiles(const class QMimeData* data);

// Places a child at a position and size given in twips.
void PlaceTwips(QWidget* w, int left, int top, int width, int height);
int TwipsToPixels(int twips);

class CheckBox;
class LinkLabel;
class TextBox;
class QComboBox;
class QPushButton;

// Controls made and placed in one call (positions and sizes in twips).
QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height = 255);
QComboBox* MakeList(QWidget* parent, const QStringList& items, int left, int top, int width);  // no selection
CheckBox* MakeCheck(QWidget* parent, const QString& caption, int left, int top, int width);
QPushButton* MakeButton(QWidget* parent, const QString& caption, int left, int top, int width, int height);
LinkLabel* MakeLink(QWidget* parent, const QString& caption, int left, int top, int width);
TextBox* MakeTextBox(QWidget* parent, int left, int top, int width);

// A drop-down list selects the item of exactly that text; false (and nothing changed)
// when no item has it.
bool SelectListText(QComboBox* cbo, const QString& text);

class CheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit CheckBox(const QString& caption, QWidget* parent = nullptr);
    // 0 unticked, 1 ticked.
    int Value() const { return isChecked() ? 1 : 0; }
    // Setting the value by program runs the click handler, as a click would.
    void SetValue(int value);

signals:
    void Click();
};

class TextBox : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    QString Tag;
};

class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString& caption, QWidget* parent = nullptr);

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class PictureBox : public QFrame
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    qint32 BackColor() const { return m_colour; }
    void SetBackColor(qint32 colour);

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    qint32 m_colour = 0xFFFFFF;
};
