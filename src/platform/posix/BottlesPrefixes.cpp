#include "platform/posix/BottlesPrefixes.h"

#include "formats/YamlFields.h"
#include "platform/posix/PrefixFolder.h"

namespace platform {

namespace {

const char* const kBottleFolders[] = {
    "/.local/share/bottles/bottles",
    "/.var/app/com.usebottles.bottles/data/bottles/bottles",
};

} // namespace

PrefixCandidates BottlesPrefixes::read(const QByteArray& home)
{
    PrefixCandidates out;
    for (const char* folder : kBottleFolders) {
        const QByteArray dir = home + folder;
        for (const QByteArray& bottle : PrefixFolder::entryNames(dir)) {
            const QByteArray path = dir + '/' + bottle;
            QString name = formats::YamlFields::value(PrefixFolder::readSmallFile(path + "/bottle.yml", 256 * 1024), QString(),
                                             QStringLiteral("Name"));
            if (name.isEmpty())
                name = QString::fromUtf8(bottle);
            out.append({name, path, QStringLiteral("bottles")});
        }
    }
    return out;
}

} // namespace platform
