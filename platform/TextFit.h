// Windows built at fixed positions (twips worked out for another desktop's font) made to
// show every text whole in this desktop's font.
#pragma once

class QLabel;
class QString;
class QWidget;

// Widens each label, button, check box, radio button and pick-only list of the window
// whose text (for a list: its widest entry) does not fit, keeping its left edge (a centred
// label keeps its centre). Controls to its right on the same row move along so the text
// does not run under them, as far as the frame around them leaves room; a control at the
// frame's right edge grows to the left into free space instead. Controls a layout places
// are left to the layout. Running it again changes nothing once every text fits.
void FitTextsToControls(QWidget* window);

// The width a control needs to show its whole text (0 for a control without text).
int TextWidthNeeded(const QWidget* control);

// Shows as much of a text as the label is wide, cut with an ellipsis where it does not
// fit. Only the part that can fit is ever measured, so a text of megabytes (an item name
// from a list another program wrote) costs no more than a short one.
void SetElidedText(QLabel* label, const QString& text);
