#pragma once
// The size estimate's figures, apart from the window that shows them: the
// last search's total handed over through the one-line file fs.txt in the
// program's folder, the fixed drives added up, the found share of the used
// space and the advice that follows from it.

#include <QString>
#include <QStringList>
#include <functional>

class SizeEstimate {
public:
    // How urgently the report advises cleaning.
    enum class Advice {
        Optional, // under 1 % of the used space was found
        Needed,   // 1 %
        Urgent,   // 2 % and more
    };

    struct Drive {
        quint64 size = 0; // bytes of the volume
        quint64 free = 0; // bytes free for the current user
    };

    struct Totals {
        quint64 capacityMB = 0; // all drives, whole megabytes
        quint64 usedMB = 0;     // of which used, never more than capacityMB
        QStringList handedOver; // the hand-over file's lines as read; empty when there was none
        qint64 foundKB = 0;     // its first line's number, as written; 0 when it holds none
        qint64 foundMB = 0;     // foundKB in megabytes, within 0..usedMB
        int foundPercent = 0;   // foundMB of usedMB, rounded half to even; 0 when nothing is used
        Advice advice = Advice::Optional;
    };

    // Writes the search total (bytes) as whole kilobytes, one line, to the
    // hand-over file, replacing it. False when it cannot be written.
    static bool handOver(quint64 totalBytes);

    // Adds up the drives named by letters, each measured by measure, then
    // reads the hand-over file and deletes it.
    static Totals compute(const QStringList& letters, const std::function<Drive(const QString& letter)>& measure);
};
