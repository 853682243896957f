#include "settings/mdlStoredValues.h"

#include <QLocale>

#include <cmath>

std::optional<qint32> StoredNumber(const QVariant& v)
{
    const QString t = v.toString().trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    double d = QLocale().toDouble(t, &ok);
    if (!ok)
        d = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    d = std::nearbyint(d);
    if (d < -2147483648.0 || d > 2147483647.0)
        return std::nullopt;
    return qint32(d);
}

std::optional<bool> StoredFlag(const QVariant& v)
{
    const QString t = v.toString().trimmed();
    if (t.isEmpty() || t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (const auto n = StoredNumber(t))
        return *n != 0;
    return std::nullopt;
}
