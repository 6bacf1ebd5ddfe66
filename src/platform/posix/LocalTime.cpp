#include "platform/LocalTime.h"

#include <ctime>

namespace platform::LocalTime {

QDateTime fromUtc(const QDateTime& utc)
{
    if (!utc.isValid())
        return {};
    // localtime_r reads the zone once; Qt's own conversion asks for it on
    // every call.
    const qint64 msecs = utc.toMSecsSinceEpoch();
    const time_t seconds = time_t(msecs / 1000);
    struct tm local {};
    if (!::localtime_r(&seconds, &local))
        return {};
    const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const QTime time(local.tm_hour, local.tm_min, local.tm_sec, int(msecs % 1000));
    return QDateTime(date, time, Qt::OffsetFromUTC, int(local.tm_gmtoff));
}

} // namespace platform::LocalTime
