#include "core/PrefixSkeleton.h"

#include "platform/KnownFolders.h"
#include "core/ShellFolders.h"
#include "formats/WinPath.h"
#include "platform/WinePrefix.h"

namespace core {

using namespace platform;

namespace {

QString folded(const QString& winFolder)
{
    return formats::WinPath::foldedCase(formats::WinPath::excludeTrailingBackslash(winFolder));
}

} // namespace

PrefixSkeleton::PrefixSkeleton()
{
    if (!WinePrefix::active())
        return;
    windowsDir_ = formats::WinPath::includeTrailingBackslash(folded(KnownFolders::windowsDir()));
    for (const RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine})
        for (const auto& value : ShellFolders::all(root))
            if (!value.second.isEmpty())
                shellFolders_.append(folded(value.second));
}

bool PrefixSkeleton::contains(const QString& winFolder) const
{
    if (windowsDir_.isEmpty())
        return false;
    const QString f = folded(winFolder);
    return formats::WinPath::includeTrailingBackslash(f).startsWith(windowsDir_) || shellFolders_.contains(f);
}

} // namespace core
