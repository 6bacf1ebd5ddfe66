#include "posix/HostErrors.h"

#include "platform/WinError.h"

namespace platform::posix {

int windowsErrorOf(int hostError)
{
    switch (hostError) {
    case 0:
        return WinError::Success;
    case EACCES:
    case EPERM:
        return WinError::AccessDenied;
    case ENOENT:
        return WinError::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return WinError::PathNotFound;
    case EBUSY:
    case ETXTBSY:
        return WinError::SharingViolation;
    case EMFILE:
    case ENFILE:
        return WinError::TooManyOpenFiles;
    case EROFS:
        return WinError::WriteProtect;
    case ENOSPC:
    case EDQUOT:
        return WinError::DiskFull;
    case EEXIST:
        return WinError::FileExists;
    case ENOTEMPTY:
        return WinError::DirNotEmpty;
    case EXDEV:
        return WinError::NotSameDevice;
    case EIO:
        return WinError::IoDevice;
    case EINVAL:
        return WinError::InvalidParameter;
    case ENOMEM:
        return WinError::NotEnoughMemory;
    }
    return WinError::GeneralFailure;
}

} // namespace platform::posix
