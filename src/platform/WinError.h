#pragma once
// The Windows system error codes the program reports, named once. Every
// failure the host reports reaches the rest of the program as one of these
// (the platform maps the host's own numbers through a single table), so a
// code means the same in the window's log, the command line's report and
// the diagnostics.

namespace platform::WinError {

inline constexpr int Success = 0;
inline constexpr int FileNotFound = 2;
inline constexpr int PathNotFound = 3;
inline constexpr int TooManyOpenFiles = 4;
inline constexpr int AccessDenied = 5;
inline constexpr int NotEnoughMemory = 8;
inline constexpr int NotSameDevice = 17;
inline constexpr int WriteProtect = 19;
inline constexpr int GeneralFailure = 31; // the host gave a reason no other code fits
inline constexpr int SharingViolation = 32;
inline constexpr int FileExists = 80;
inline constexpr int InvalidParameter = 87;
inline constexpr int DiskFull = 112;
inline constexpr int DirNotEmpty = 145;
inline constexpr int IoDevice = 1117;

} // namespace platform::WinError
