#include "cleaners/wine/FolderMeasure.h"

#include "platform/FolderWalk.h"
#include "platform/LeftoverHost.h"

namespace {

struct MeasureVisitor : platform::FolderWalkVisitor {
    QString root;
    bool prefix = false;
    const std::function<bool()>* stop = nullptr;
    // With children set, only the root's sub-folders named there are
    // entered and each has a result of its own; else one result for all.
    const QSet<QString>* children = nullptr;
    QHash<QString, FolderMeasure::Result> results;

    platform::WalkStep opened(const platform::FolderListing&, const QString&)
    {
        return *stop && (*stop)() ? platform::WalkStep::Stop : platform::WalkStep::Pass;
    }

    platform::WalkStep descend(const platform::FolderListing& listing, const Entry& e, const QString& folder)
    {
        if (!e.isDirectory)
            return platform::WalkStep::Skip;
        if (children && folder.size() == root.size() && !children->contains(listing.name(e).toString()))
            return platform::WalkStep::Skip;
        return listing.name(e).compare(u"dosdevices", Qt::CaseInsensitive) == 0 ? platform::WalkStep::Skip
                                                                                 : platform::WalkStep::Enter;
    }

    platform::WalkStep visit(const platform::FolderListing& listing, const Entry& e, const QString& folder)
    {
        if (e.isDirectory)
            return platform::WalkStep::Pass;
        QStringView relative = QStringView(folder).mid(root.size());
        QString child;
        if (children) {
            const qsizetype slash = relative.indexOf(u'\\');
            if (slash < 0)
                return platform::WalkStep::Pass; // a file beside the measured folders
            child = relative.left(slash).toString();
            relative = relative.mid(slash + 1);
        }
        FolderMeasure::Result& result = results[child];
        const platform::FolderListing::Found found = listing.statOf(e);
        result.bytes += found.size;
        if (prefix && found.id.kind == platform::EntryKind::File && FolderMeasure::holdsUserFiles(relative)) {
            result.userBytes += found.size;
            ++result.userFiles;
        }
        return platform::WalkStep::Pass;
    }
};

bool startsWithFolder(QStringView text, QStringView folder)
{
    return text.startsWith(folder, Qt::CaseInsensitive);
}

} // namespace

bool FolderMeasure::holdsUserFiles(QStringView relative)
{
    const QStringView users = u"pfx\\drive_c\\users\\";
    if (!startsWithFolder(relative, users))
        return false;
    const QStringView below = relative.mid(users.size());
    const qsizetype slash = below.indexOf(u'\\');
    if (slash <= 0)
        return false; // files directly in users\ are no one user's
    const QStringView inside = below.mid(slash + 1);
    for (const QStringView temp : {QStringView(u"Temp\\"), QStringView(u"AppData\\Local\\Temp\\"),
                                   QStringView(u"Local Settings\\Temp\\")})
        if (startsWithFolder(inside, temp))
            return false;
    return true;
}

FolderMeasure::Result FolderMeasure::measure(const QByteArray& hostFolder, bool prefix, const std::function<bool()>& stop)
{
    return walk(hostFolder, nullptr, prefix, stop).value(QString());
}

QHash<QString, FolderMeasure::Result> FolderMeasure::measureChildren(const QByteArray& hostFolder,
                                                                     const QSet<QString>& names, bool prefix,
                                                                     const std::function<bool()>& stop)
{
    return walk(hostFolder, &names, prefix, stop);
}

QHash<QString, FolderMeasure::Result> FolderMeasure::walk(const QByteArray& hostFolder, const QSet<QString>* children,
                                                          bool prefix, const std::function<bool()>& stop)
{
    MeasureVisitor visitor;
    visitor.children = children;
    visitor.root = platform::LeftoverHost::windowsPath(hostFolder);
    if (!visitor.root.endsWith(u'\\'))
        visitor.root += u'\\';
    visitor.prefix = prefix;
    visitor.stop = &stop;
    platform::FolderListing listing;
    if (!listing.read(visitor.root))
        return {};
    platform::walkFolders(std::move(listing), visitor.root, visitor);
    return visitor.results;
}
