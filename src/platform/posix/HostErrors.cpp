#include "posix/HostErrors.h"

#include <cerrno>

namespace platform::posix {

int windowsErrorOf(int hostError)
{
    switch (hostError) {
    case EACCES:
    case EPERM:
        return 5;
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return 3;
    case EBUSY:
    case ETXTBSY:
        return 32;
    case EMFILE:
    case ENFILE:
        return 4;
    }
    return hostError;
}

} // namespace platform::posix
