#include "cleaners/traces/TFindFile.h"

#include "platform/FileAttributes.h"
#include "platform/FileFinder.h"
#include "formats/WinPath.h"

#include <QQueue>

using namespace platform;

TFindFile::TFindFile(QObject* owner)
    : QObject(owner)
{}

quint32 TFindFile::AttributeMask() const
{
    quint32 mask = 0;
    for (TAttrOption o : Attributes)
        mask |= 1u << int(o);
    return mask;
}

bool TFindFile::ListFolder(QString folder)
{
    folder = formats::WinPath::includeTrailingBackslash(folder);
    bool abort = false;
    if (OnNewPath)
        OnNewPath(this, folder, abort);
    if (abort)
        return false;
    FileFinder finder;
    for (bool more = finder.findFirst(folder + Filter, AttributeMask()); more; more = finder.findNext()) {
        const QString name = finder.name();
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            Files.append(folder + name);
    }
    return true;
}

void TFindFile::Execute()
{
    Files.clear();
    if (BeforeExecute)
        BeforeExecute(this);
    if (!Directory.isEmpty()) {
        if (!Recurse) {
            ListFolder(Directory);
        } else {
            QQueue<QString> queue;
            queue.enqueue(Directory);
            while (!queue.isEmpty()) {
                const QString head = formats::WinPath::includeTrailingBackslash(queue.head());
                FileFinder finder;
                for (bool more = finder.findFirst(head + QStringLiteral("*.*"), faAnyFile); more;
                     more = finder.findNext()) {
                    const QString name = finder.name();
                    if (finder.isDirectory() && !finder.isMountPoint() && name != QLatin1String(".")
                        && name != QLatin1String(".."))
                        queue.enqueue(head + name);
                }
                finder.close();
                if (!ListFolder(head))
                    break;
                queue.dequeue();
            }
        }
    }
    if (AfterExecute)
        AfterExecute(this);
}
