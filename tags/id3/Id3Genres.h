// The table of ID3 genre codes: 148 codes (0 to 147) of which 123 has no name; every code
// above 147, and 255 ("no genre"), has the empty name too.
#pragma once

#include <QString>

// The name of a genre code, "" for a code without one.
QString Id3GenreName(quint8 genre);

// The code whose name matches the text, ignoring case, blanks and hyphens (so "Hip-Hop" and
// "hip hop" both give the code of "Hip Hop"); -1 when no name matches.
int Id3GenreCode(const QString& name);
