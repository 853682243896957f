// Part lengths, part counts and part file names of a split.
#include "tools/splitter/mdlSplit.h"

#include "common/mdlFunctions.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

// A number as the user typed it: the locale's form or the plain one ("2.5"); nothing
// else, and nothing that is not finite.
bool readNumber(const QString& text, double& value)
{
    const QString t = text.trimmed();
    bool ok = false;
    value = QLocale().toDouble(t, &ok);
    if (!ok)
        value = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(value);
}

// To a whole number, halves going to the even neighbour; false when it does not fit.
bool whole(double value, qint64& out)
{
    const double r = std::nearbyint(value);
    if (r < double(std::numeric_limits<qint32>::min()) || r > double(std::numeric_limits<qint32>::max()))
        return false;
    out = qint64(r);
    return true;
}

} // namespace

SplitPlan PlanSplitByParts(qint32 durationMs, const QString& partsText)
{
    SplitPlan plan;
    plan.durationMs = durationMs;
    const double seconds = durationMs / 1000.0;
    double n = 0;
    qint64 count = 0;
    if (!readNumber(partsText, n) || n < 1 || !whole(n, count))
        return plan;
    qint64 length = 0;
    if (!whole(seconds / double(count), length))
        return plan;
    // The last part starts after count - 1 whole parts and must still hold some audio:
    // where the rounding took the length up too far, it is taken down.
    if (length < 1 || (count - 1) * length * 1000 >= durationMs)
        length = qint64(durationMs) / 1000 / count;
    if (length < 1)
        return plan;
    plan.ok = true;
    plan.partLength = qint32(length);
    plan.partCount = qint32(count);
    plan.progressMax = qint32(qMin<qint64>(count * 100, std::numeric_limits<qint32>::max()));
    return plan;
}

SplitPlan PlanSplitBySeconds(qint32 durationMs, const QString& secondsText)
{
    SplitPlan plan;
    plan.durationMs = durationMs;
    const double seconds = durationMs / 1000.0;
    double s = 0;
    qint64 length = 0;
    if (!readNumber(secondsText, s) || s < 1 || !whole(s, length) || double(length) >= seconds)
        return plan;
    plan.ok = true;
    plan.partLength = qint32(length);
    plan.partCount = qint32((qint64(durationMs) + length * 1000 - 1) / (length * 1000));
    qint64 max = 0;
    whole(seconds / double(length) * 100.0, max);
    plan.progressMax = qint32(max);
    return plan;
}

QString PartFileName(qint32 part, const QString& sourcePath, const QString& targetFormatText)
{
    const QString name = GetFileName(sourcePath);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot >= 0 ? name.left(dot) : name;
    return QStringLiteral("Part_") + QString::number(part) + u'_' + stem + u'.' + targetFormatText.left(3);
}
