#pragma once
// The environment a Windows program sees inside the Wine prefix: the
// variables Wine sets up for every process (profile, Windows and program
// folders), then the machine's and the user's Environment keys, each value
// expanded with what came before, as Wine builds it.

#include <QHash>
#include <QString>

namespace platform {

class PrefixEnvironment {
public:
    // Name (upper case) -> value, read from the registry now.
    static QHash<QString, QString> variables();

    // text with every %NAME% of vars replaced; unknown names stay as written,
    // as Windows leaves them.
    static QString expand(const QString& text, const QHash<QString, QString>& vars);

    // The value of one variable after expansion; empty when it is not set.
    static QString value(const QString& name);
};

} // namespace platform
