#include "common/mdlFileTime.h"

#include <QFile>

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDate kOrigin(1899, 12, 30);

VbDate fromParts(const QDate& d, const QTime& t)
{
    const double days = double(kOrigin.daysTo(d));
    const double frac = t.msecsSinceStartOfDay() / 86400000.0;
    // Dates before the origin count the time of day forwards from the day's number,
    // as the date type does.
    return days >= 0 ? days + frac : days - frac;
}

// Seconds since the Unix epoch, as a file time (UTC) or the local clock time.
VbDate fromUnix(qint64 secs, bool local)
{
    QDateTime dt = QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
    if (local)
        dt = dt.toLocalTime();
    return fromParts(dt.date(), dt.time());
}

} // namespace

VbDate DateFromDateTime(const QDateTime& dt)
{
    return fromParts(dt.date(), dt.time());
}

QDateTime DateTimeFromDate(VbDate date)
{
    const double whole = std::trunc(date);
    const double frac = std::fabs(date - whole);
    const QDate d = kOrigin.addDays(qint64(whole));
    const QTime t = QTime(0, 0).addMSecs(int(std::llround(frac * 86400000.0)) % 86400000);
    return QDateTime(d, t);
}

VbDate FileTimeToDate(quint32 low, quint32 high)
{
    const double t = std::floor((double(high) * 4294967296.0 + double(low)) / 10000000.0);
    const double h = std::nearbyint(t / 3600.0);
    const double s = t - 3600.0 * h;
    const QDateTime start(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime dt = start.addSecs(qint64(h) * 3600 + qint64(s));
    return fromParts(dt.date(), dt.time());
}

qint16 GetFileTimes(const QString& path, VbDate& creation, VbDate& access, VbDate& write, bool local)
{
    struct statx sx {};
    const QByteArray native = QFile::encodeName(path);
    if (path.isEmpty()
        || ::statx(AT_FDCWD, native.constData(), 0, STATX_BTIME | STATX_ATIME | STATX_MTIME, &sx) != 0)
        return -1;
    if (::access(native.constData(), R_OK) != 0)
        return -1;
    const qint64 born = (sx.stx_mask & STATX_BTIME) ? qint64(sx.stx_btime.tv_sec) : qint64(sx.stx_mtime.tv_sec);
    creation = fromUnix(born, local);
    access = fromUnix(qint64(sx.stx_atime.tv_sec), local);
    write = fromUnix(qint64(sx.stx_mtime.tv_sec), local);
    return 0;
}

VbDate GetFileCreationDate(const QString& path)
{
    VbDate c = 0, a = 0, w = 0;
    if (GetFileTimes(path, c, a, w, true) != 0)
        return 0;
    return c;
}
