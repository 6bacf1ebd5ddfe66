#pragma once
// The core's diagnostics: why something was refused or failed, for a user
// or developer who asks. Off by default; QT_LOGGING_RULES='varnel.*=true'
// turns them all on (or one area, such as 'varnel.delete=true').
//
//   varnel.delete    every refused or failed deletion: the path, the
//                    Windows error code and the reason
//   varnel.walk      folders a walk could not read, entries it withheld
//   varnel.registry  refused registry writes and damaged registry files
//   varnel.plugins   plug-ins that were not trusted or did not load

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDelete)
Q_DECLARE_LOGGING_CATEGORY(lcWalk)
Q_DECLARE_LOGGING_CATEGORY(lcRegistry)
Q_DECLARE_LOGGING_CATEGORY(lcPlugins)
