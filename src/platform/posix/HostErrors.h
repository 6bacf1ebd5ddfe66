#pragma once
// The host's error numbers as the Windows system error codes the program
// works with, so no errno value leaves the platform layer.

namespace platform::posix {

// 5 (access denied) for EACCES/EPERM, 2 (file not found) for ENOENT,
// 3 (path not found) for ENOTDIR/ENAMETOOLONG/ELOOP, 4 (too many open
// files) for EMFILE/ENFILE, 0 for 0; any other number is passed on as it is.
int windowsErrorOf(int hostError);

} // namespace platform::posix
