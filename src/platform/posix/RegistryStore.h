#pragma once
// The three registry files behind the roots, each parsed once per change on
// disk and shared by every open key.

#include "platform/RegistryKey.h"
#include "formats/RegistryText.h"

#include <memory>
#include <optional>

namespace platform {

using formats::RegistryBlock;
using formats::RegistryText;
using formats::RegistryValue;

// A key's place: the root whose file holds it and its path in that file.
struct RegistryLocation {
    RegistryRoot root = RegistryRoot::LocalMachine;
    QString path;
};

class RegistryStore {
public:
    // Host path of the root's file: the prefix's system.reg / user.reg /
    // userdef.reg, or on the host $VARNEL_REGISTRY/<file>, else
    // $XDG_DATA_HOME/varnel/registry/<file>.
    static QByteArray fileOf(RegistryRoot root);
    // The folder of those files.
    static QByteArray folder();

    // The file's current contents, parsed. A missing file reads as an empty
    // registry; an unreadable or oversized one as a damaged, empty one.
    // Parses again only when the file's identity, size or time changed.
    static std::shared_ptr<const RegistryText> load(RegistryRoot root);

    // True when writes to the root are allowed now: the file parsed cleanly
    // (or is missing) and no wineserver runs for the prefix.
    static bool writable(RegistryRoot root);

    // Replaces the root's file with text atomically (creating its folder on
    // the host). Refused when not writable() or when the file changed since
    // basis was loaded. True when the new file is in place. New files that
    // killed writes left beside it are deleted first.
    static bool replace(RegistryRoot root, const RegistryText& basis, const QByteArray& text);

    // The file and path a path of the registry's own namespace names (as a
    // link key's target does, without the leading backslash):
    // "REGISTRY\Machine\…" the machine's file, "REGISTRY\User\.Default\…"
    // the default user's, "REGISTRY\User\<SID>\…" the current user's when
    // <SID> is the one its file's header names. nullopt for anything else.
    static std::optional<RegistryLocation> locate(const QString& nativePath);

    // Files larger than this are not read (reads show nothing, writes fail).
    static constexpr qint64 maxFileSize = 128LL * 1024 * 1024;
};

} // namespace platform
