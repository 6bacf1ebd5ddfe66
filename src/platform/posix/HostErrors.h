#pragma once
// The host's error numbers as the Windows system error codes the program
// works with (platform/WinError.h), so no errno value leaves the platform
// layer. This is the one table: every failure the host reports is mapped
// here and nowhere else.

#include <cerrno>

namespace platform::posix {

// The Windows code for hostError:
//   EACCES, EPERM 5; ENOENT 2; ENOTDIR, ENAMETOOLONG, ELOOP 3;
//   EBUSY, ETXTBSY 32; EMFILE, ENFILE 4; EROFS 19; ENOSPC, EDQUOT 112;
//   EEXIST 80; ENOTEMPTY 145; EXDEV 17; EIO 1117; EINVAL 87; ENOMEM 8;
//   0 for 0, and 31 (general failure) for anything else, EINTR included:
//   an interrupted call is retried (retryInterrupted), never reported.
int windowsErrorOf(int hostError);

// Runs call again for as long as it fails with EINTR, and returns what it
// returned last. call returns a negative number (or -1) on failure with
// errno set, as the host's calls do.
template <class Call> auto retryInterrupted(Call call)
{
    for (;;) {
        const auto result = call();
        if (!(result < 0 && errno == EINTR))
            return result;
    }
}

} // namespace platform::posix
