#include "cleaners/wine/CacheLeftovers.h"

#include "cleaners/wine/FolderMeasure.h"
#include "cleaners/wine/LeftoverKinds.h"
#include "platform/LeftoverHost.h"

namespace {

using platform::EntryKind;
using platform::HostEntry;
using platform::LeftoverHost;

void list(const QByteArray& host, const HostEntry& e, core::JobSink& sink, const std::function<bool()>& stop)
{
    core::Finding f;
    f.path = LeftoverHost::windowsPath(host);
    f.id = e.id;
    f.kind = LeftoverKinds::cache();
    f.name = QString::fromUtf8(e.name);
    f.lastUsed = e.modified;
    f.size = e.id.kind == EntryKind::Folder ? FolderMeasure::measure(host, false, stop).bytes : e.size;
    f.selected = false;
    sink.found(f);
}

// Lists the entries of folder that kinds allows; links never.
void listIn(const QByteArray& folder, bool files, bool folders, const char* suffix, core::JobSink& sink,
            const std::function<bool()>& stop)
{
    for (const HostEntry& e : LeftoverHost::entries(folder)) {
        if (stop && stop())
            return;
        const bool kindOk = (files && e.id.kind == EntryKind::File) || (folders && e.id.kind == EntryKind::Folder);
        if (kindOk && e.name.endsWith(suffix))
            list(folder + '/' + e.name, e, sink, stop);
    }
}

} // namespace

void CacheLeftovers::scan(const Folders& folders, core::JobSink& sink, const std::function<bool()>& stop)
{
    listIn(folders.cacheHome + "/wine", true, false, ".msi", sink, stop);
    listIn(folders.cacheHome + "/winetricks", false, true, "", sink, stop);
    QList<QByteArray> bottles{folders.dataHome + "/bottles/temp",
                              folders.home + "/.var/app/com.usebottles.bottles/data/bottles/temp"};
    if (bottles[0] == bottles[1])
        bottles.removeLast();
    for (const QByteArray& temp : bottles)
        listIn(temp, true, true, "", sink, stop);
}
