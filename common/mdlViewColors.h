// The view colours the options set: the colour of title strips, bars and progress bars,
// and the colour of text over it. Every window paints with them, the common ones too;
// the options window loads them from the settings store.
#pragma once

#include <QtGlobal>

inline qint32 g_lAppColor = 0;
inline qint32 g_lTextColor = 0;
