#pragma once
// A folder a Wine front end says is a prefix, before it is checked.

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

struct PrefixCandidate {
    QString name;    // as the front end shows it
    QByteArray path; // as the front end names it, links not yet resolved
    QString source;  // "steam", "lutris", "bottles", "playonlinux", "wine"
};

using PrefixCandidates = QList<PrefixCandidate>;

} // namespace platform
