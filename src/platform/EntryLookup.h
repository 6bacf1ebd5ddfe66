#pragma once
// One directory entry looked up by its path, without listing its folder.

#include "platform/FileFinder.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

struct EntryData {
    QString name; // as the host spells it
    quint32 attributes = 0;
    quint64 size = 0; // a link's own size
    FileTimes times;
    bool isDirectory = false;
};

class EntryLookup {
public:
    // The entry at winPath (links not followed). A name spelled in another
    // case is found when no entry is spelled exactly so. nullopt when there
    // is none.
    static std::optional<EntryData> read(const QString& winPath);

    // True when winPath leads to a regular file, links followed the way a
    // program opening it would follow them (a shortcut's target is checked
    // so). False for a folder, a special file, a dangling link or no entry.
    static bool isExistingFile(const QString& winPath);

    // The host folder that hostPath names, links resolved, without a
    // trailing "/" except for the root. When it does not exist, its
    // longest existing leading part is resolved and the rest kept as
    // written. Empty for an empty path.
    static QString realHostFolder(const QByteArray& hostPath);

    // The user's home folder on the host, links resolved.
    static QString realHomeFolder();
};

} // namespace platform
