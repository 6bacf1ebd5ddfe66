#include "platform/WinePrefixFinder.h"

#include <QFile>

#include "platform/WinePrefix.h"
#include "platform/posix/BottlesPrefixes.h"
#include "platform/posix/LutrisPrefixes.h"
#include "platform/posix/PrefixFolder.h"
#include "platform/posix/SteamPrefixes.h"

#include <QSet>

#include <algorithm>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

QByteArray homeFolder(const QString& home)
{
    QByteArray dir = home.isEmpty() ? qgetenv("HOME") : home.toUtf8();
    if (!dir.startsWith('/'))
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            dir = pw->pw_dir;
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    return dir;
}

// PlayOnLinux keeps one prefix per folder, named as the user named it.
PrefixCandidates playOnLinux(const QByteArray& home)
{
    PrefixCandidates out;
    const QByteArray dir = home + "/.PlayOnLinux/wineprefix";
    for (const QByteArray& name : PrefixFolder::entryNames(dir))
        out.append({QString::fromUtf8(name), dir + '/' + name, QStringLiteral("playonlinux")});
    return out;
}

PrefixCandidates allCandidates(const QByteArray& home)
{
    PrefixCandidates all = SteamPrefixes::read(home);
    all += LutrisPrefixes::read(home);
    all += BottlesPrefixes::read(home);
    all += playOnLinux(home);
    all.append({QStringLiteral(".wine"), home + "/.wine", QStringLiteral("wine")});
    return all;
}

} // namespace

QList<FoundPrefix> WinePrefixFinder::find(const QString& home)
{
    const QByteArray dir = homeFolder(home);
    QList<FoundPrefix> found;
    if (dir.isEmpty())
        return found;
    QSet<QByteArray> seen;
    QList<QByteArray> reals;
    for (const PrefixCandidate& c : allCandidates(dir)) {
        const QByteArray real = PrefixFolder::realPath(c.path);
        if (real.isEmpty() || seen.contains(real) || !PrefixFolder::holdsPrefix(real))
            continue;
        seen.insert(real);
        FoundPrefix p;
        p.name = c.name;
        p.path = QString::fromUtf8(real);
        p.source = c.source;
        p.arch = PrefixFolder::arch(real);
        found.append(p);
        reals.append(real);
    }
    const QList<bool> running = WinePrefix::serverRunning(reals);
    for (qsizetype i = 0; i < found.size(); ++i)
        found[i].serverRunning = running[i];
    std::stable_sort(found.begin(), found.end(), [](const FoundPrefix& a, const FoundPrefix& b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.path < b.path;
    });
    return found;
}

std::optional<FoundPrefix> WinePrefixFinder::lookup(const QString& text, const QString& home)
{
    return lookupIn(find(home), text);
}

std::optional<FoundPrefix> WinePrefixFinder::lookupIn(const QList<FoundPrefix>& all, const QString& text)
{
    const QList<FoundPrefix> matches = matchesIn(all, text);
    if (matches.size() != 1)
        return std::nullopt;
    return matches.first();
}

QList<FoundPrefix> WinePrefixFinder::matchesIn(const QList<FoundPrefix>& all, const QString& text)
{
    QList<FoundPrefix> matches;
    if (!text.startsWith(u'/')) {
        // A front end's name is anyone's to choose, so a game called like a
        // folder must never stand for that folder.
        for (const FoundPrefix& p : all)
            if (p.name.compare(text, Qt::CaseInsensitive) == 0)
                matches.append(p);
        return matches;
    }
    const QString real = QString::fromUtf8(PrefixFolder::realPath(text.toUtf8()));
    for (const FoundPrefix& p : all)
        if (p.path == text || (!real.isEmpty() && p.path == real))
            matches.append(p);
    return matches;
}

QString WinePrefixFinder::prefixAt(const QString& path)
{
    QString text = path;
    if (text == u"~" || text.startsWith(u"~/"))
        text = QString::fromLocal8Bit(qgetenv("HOME")) + text.mid(1);
    if (!text.startsWith(u'/'))
        return {};
    const QByteArray real = PrefixFolder::realPath(QFile::encodeName(text));
    if (real.isEmpty() || !PrefixFolder::holdsPrefix(real))
        return {};
    return QFile::decodeName(real);
}

quint64 WinePrefixFinder::sizeOnDisk(const QString& path)
{
    return PrefixFolder::sizeOnDisk(path.toUtf8());
}

void WinePrefixFinder::measure(QList<FoundPrefix>& prefixes)
{
    for (FoundPrefix& p : prefixes)
        p.sizeOnDisk = sizeOnDisk(p.path);
}

} // namespace platform
