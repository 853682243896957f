// The destination formats: which are offered, the target-format combo texts, and the
// format code a chosen text stands for (WAV 0, ACM 1, MP3 2, WMA 3, OGG 4, APE 5).
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

inline qint32 g_lDestWAV = 0;
inline qint32 g_lDestACM = 0;
inline qint32 g_lDestMP3 = 0;
inline qint32 g_lDestWMA = 0;
inline qint32 g_lDestOGG = 0;
inline qint32 g_lDestAPE = 0;

// The six target-format texts in code order.
const QStringList& DestinationFormatTexts();

void SetSupportedDestinations();
// Fills the combo box with the offered formats' texts, in code order, none selected.
void FillDestinationFormats(QComboBox* cbo);
qint32 GetDestFormatIndex(const QString& text);
