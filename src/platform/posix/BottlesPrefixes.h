#pragma once
// Bottles' prefixes: each folder of its bottles folder, named by the
// "Name" of its bottle.yml.

#include "platform/posix/PrefixCandidate.h"

namespace platform {

class BottlesPrefixes {
public:
    // The bottles under home (native and Flatpak); a bottle without a
    // readable name is named after its folder.
    static PrefixCandidates read(const QByteArray& home);
};

} // namespace platform
