#include "platform/Diagnostics.h"

// Warnings and worse show by default; the informational messages these
// areas write show only when a rule turns them on.
Q_LOGGING_CATEGORY(lcDelete, "varnel.delete", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWalk, "varnel.walk", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRegistry, "varnel.registry", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPlugins, "varnel.plugins", QtWarningMsg)
