// Reading the settings store's texts back into controls: numbers and truth values as the
// settings windows store them.
#pragma once

#include <QVariant>

#include <optional>

// A stored number: a missing or empty value reads as 0; a text that is no number, or one
// out of the 32-bit range, gives nothing. Rounded to the even neighbour.
std::optional<qint32> StoredNumber(const QVariant& v);

// A stored truth value: "True"/"False" in any case, or a number (not 0 is true); a
// missing value is false.
std::optional<bool> StoredFlag(const QVariant& v);
