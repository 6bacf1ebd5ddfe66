#pragma once
// Local time of a moment, as the machine's time zone gives it.

#include <QDateTime>

namespace platform::LocalTime {

// utc in local time, with the zone's offset at that moment; invalid for an
// invalid moment. Quick enough for one call per file of a whole drive.
QDateTime fromUtc(const QDateTime& utc);

} // namespace platform::LocalTime
