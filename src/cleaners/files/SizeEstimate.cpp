#include "cleaners/files/SizeEstimate.h"

#include "platform/KnownFolders.h"
#include "platform/TextFile.h"

#include <cmath>

namespace {

constexpr quint64 kMegabyte = 1048576;

QString handOverFile()
{
    return platform::KnownFolders::programFile(platform::KnownFolders::ProgramFile::HandOver);
}

// Whole percent of part in total as the report's bar shows it: halves go
// to the even neighbour.
int percentOf(qint64 part, qint64 total)
{
    if (total <= 0)
        return 0;
    return int(std::nearbyint(double(part) * 100.0 / double(total)));
}

} // namespace

bool SizeEstimate::handOver(quint64 totalBytes)
{
    return platform::TextFile::writeLines(handOverFile(), {QString::number(totalBytes / 1024)});
}

SizeEstimate::Totals SizeEstimate::compute(const QStringList& letters,
                                           const std::function<Drive(const QString& letter)>& measure)
{
    Totals t;
    quint64 capacity = 0, free = 0;
    for (const QString& letter : letters) {
        const Drive d = measure(letter);
        capacity += d.size;
        free += d.free;
    }
    t.capacityMB = capacity / kMegabyte;
    t.usedMB = (capacity - qMin(free, capacity)) / kMegabyte;

    const QString file = handOverFile();
    t.handedOver = platform::TextFile::readLines(file).value_or(QStringList());
    platform::TextFile::remove(file);
    // What the file says is anyone's: no number is nothing found.
    bool ok = false;
    const qint64 kb = t.handedOver.isEmpty() ? 0 : t.handedOver.first().trimmed().toLongLong(&ok);
    t.foundKB = ok ? kb : 0;
    t.foundMB = qBound<qint64>(0, t.foundKB / 1024, qint64(t.usedMB));
    t.foundPercent = percentOf(t.foundMB, qint64(t.usedMB));
    t.advice = t.foundPercent >= 2 ? Advice::Urgent : t.foundPercent == 1 ? Advice::Needed : Advice::Optional;
    return t;
}
