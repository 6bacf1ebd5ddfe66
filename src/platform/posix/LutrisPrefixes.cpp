#include "platform/posix/LutrisPrefixes.h"

#include "formats/YamlFields.h"
#include "platform/posix/PrefixFolder.h"

#include <QRegularExpression>

#include <algorithm>

namespace platform {

namespace {

const char* const kGameFolders[] = {
    "/.config/lutris/games",
    "/.local/share/lutris/games",
    "/.var/app/net.lutris.Lutris/config/lutris/games",
    "/.var/app/net.lutris.Lutris/data/lutris/games",
};

QString nameFromFile(const QByteArray& file)
{
    static const QRegularExpression stamp(QStringLiteral("-\\d+$"));
    QString name = QString::fromUtf8(file);
    name.chop(4); // ".yml"
    name.remove(stamp);
    return name;
}

} // namespace

PrefixCandidates LutrisPrefixes::read(const QByteArray& home)
{
    PrefixCandidates out;
    for (const char* folder : kGameFolders) {
        const QByteArray dir = home + folder;
        QList<QByteArray> files = PrefixFolder::entryNames(dir);
        std::sort(files.begin(), files.end());
        for (const QByteArray& file : files) {
            if (!file.endsWith(".yml"))
                continue;
            const QByteArray text = PrefixFolder::readSmallFile(dir + '/' + file);
            QString prefix = formats::YamlFields::value(text, QStringLiteral("game"), QStringLiteral("prefix"));
            if (prefix.startsWith(QStringLiteral("~/")))
                prefix = QString::fromUtf8(home) + prefix.mid(1);
            if (!prefix.startsWith(u'/'))
                continue;
            QString name = formats::YamlFields::value(text, QString(), QStringLiteral("name"));
            if (name.isEmpty())
                name = nameFromFile(file);
            out.append({name, prefix.toUtf8(), QStringLiteral("lutris")});
        }
    }
    return out;
}

} // namespace platform
