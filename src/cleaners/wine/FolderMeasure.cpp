#include "cleaners/wine/FolderMeasure.h"

#include "platform/FolderWalk.h"
#include "platform/LeftoverHost.h"

namespace {

struct MeasureVisitor : platform::FolderWalkVisitor {
    QString root;
    bool prefix = false;
    const std::function<bool()>* stop = nullptr;
    FolderMeasure::Result result;

    platform::WalkStep opened(const platform::FolderListing&, const QString&)
    {
        return *stop && (*stop)() ? platform::WalkStep::Stop : platform::WalkStep::Pass;
    }

    platform::WalkStep descend(const platform::FolderListing& listing, const Entry& e, const QString&)
    {
        if (!e.isDirectory)
            return platform::WalkStep::Skip;
        return listing.name(e).compare(u"dosdevices", Qt::CaseInsensitive) == 0 ? platform::WalkStep::Skip
                                                                                 : platform::WalkStep::Enter;
    }

    platform::WalkStep visit(const platform::FolderListing& listing, const Entry& e, const QString& folder)
    {
        if (e.isDirectory)
            return platform::WalkStep::Pass;
        const platform::FolderListing::Found found = listing.statOf(e);
        result.bytes += found.size;
        if (prefix && found.id.kind == platform::EntryKind::File
            && FolderMeasure::holdsUserFiles(QStringView(folder).mid(root.size()))) {
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
    MeasureVisitor visitor;
    visitor.root = platform::LeftoverHost::windowsPath(hostFolder);
    if (!visitor.root.endsWith(u'\\'))
        visitor.root += u'\\';
    visitor.prefix = prefix;
    visitor.stop = &stop;
    platform::FolderListing listing;
    if (!listing.read(visitor.root))
        return {};
    platform::walkFolders(std::move(listing), visitor.root, visitor);
    return visitor.result;
}
