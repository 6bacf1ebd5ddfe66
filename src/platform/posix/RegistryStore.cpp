#include "platform/posix/RegistryStore.h"

#include "platform/AtomicFile.h"
#include "platform/Diagnostics.h"
#include "platform/KnownFolders.h"
#include "platform/RunEnvironment.h"
#include "platform/WinePrefix.h"

#include <QDir>
#include <QHash>

#include <sys/stat.h>

namespace platform {

namespace {

struct Identity {
    bool present = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    bool operator==(const Identity&) const = default;
};

struct Entry {
    Identity id;
    std::shared_ptr<const RegistryText> text;
};

QHash<QByteArray, Entry>& cache()
{
    static QHash<QByteArray, Entry> c;
    return c;
}

Identity identityOf(const QByteArray& path)
{
    struct stat st;
    Identity id;
    if (::stat(path.constData(), &st) != 0)
        return id;
    id.present = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return id;
}

QByteArray fileName(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::LocalMachine:
        return "system.reg";
    case RegistryRoot::CurrentUser:
        return "user.reg";
    case RegistryRoot::Users:
        return "userdef.reg";
    }
    return {};
}

QByteArray relativeTo(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::LocalMachine:
        return "\\\\Machine";
    case RegistryRoot::CurrentUser:
        return "\\\\User\\\\S-1-5-21-0-0-0-1000";
    case RegistryRoot::Users:
        return "\\\\User\\\\.Default";
    }
    return {};
}

QByteArray hostFolder()
{
    QByteArray dir = RunEnvironment::current().registryFolderInForce();
    if (dir.isEmpty())
        dir = KnownFolders::dataHome() + "/varnel/registry";
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    return dir;
}

std::shared_ptr<const RegistryText> readText(RegistryRoot root, const QByteArray& path, const Identity& id)
{
    if (!id.present)
        return std::make_shared<RegistryText>(RegistryText::emptyFile(relativeTo(root)));
    QByteArray data;
    if (id.size > RegistryStore::maxFileSize || AtomicFile::read(path, data) != AtomicFile::ReadResult::Ok)
        return std::make_shared<RegistryText>(QByteArray());
    return std::make_shared<RegistryText>(std::move(data));
}

} // namespace

QByteArray RegistryStore::folder()
{
    const QByteArray prefix = WinePrefix::folder();
    return prefix.isEmpty() ? hostFolder() : prefix;
}

QByteArray RegistryStore::fileOf(RegistryRoot root)
{
    return folder() + "/" + fileName(root);
}

std::shared_ptr<const RegistryText> RegistryStore::load(RegistryRoot root)
{
    const QByteArray path = fileOf(root);
    const Identity id = identityOf(path);
    Entry& e = cache()[path];
    if (!e.text || !(e.id == id)) {
        e.text = readText(root, path, id);
        e.id = id;
    }
    return e.text;
}

std::optional<RegistryLocation> RegistryStore::locate(const QString& nativePath)
{
    QStringList parts = nativePath.split(u'\\', Qt::SkipEmptyParts);
    const auto take = [&parts](const QString& word) {
        if (parts.isEmpty() || RegistryText::fold(parts.first()) != RegistryText::fold(word))
            return false;
        parts.removeFirst();
        return true;
    };
    if (!take(QStringLiteral("REGISTRY")))
        return std::nullopt;
    if (take(QStringLiteral("Machine")))
        return RegistryLocation{RegistryRoot::LocalMachine, parts.join(u'\\')};
    if (!take(QStringLiteral("User")))
        return std::nullopt;
    if (take(QStringLiteral(".Default")))
        return RegistryLocation{RegistryRoot::Users, parts.join(u'\\')};
    // The current user's file names its user: "User\<SID>".
    const QStringList own = load(RegistryRoot::CurrentUser)->relativeTo().split(u'\\');
    if (own.size() == 2 && RegistryText::fold(own[0]) == QLatin1String("USER")
        && RegistryText::fold(own[1]) != QLatin1String(".DEFAULT") && take(own[1]))
        return RegistryLocation{RegistryRoot::CurrentUser, parts.join(u'\\')};
    return std::nullopt;
}

bool RegistryStore::writable(RegistryRoot root)
{
    if (load(root)->damaged()) {
        qCInfo(lcRegistry, "write refused: %s cannot be parsed whole", fileOf(root).constData());
        return false;
    }
    if (WinePrefix::serverRunning()) {
        qCInfo(lcRegistry, "write refused: the prefix's wineserver runs (or may: its lock cannot be read)");
        return false;
    }
    return true;
}

bool RegistryStore::replace(RegistryRoot root, const RegistryText& basis, const QByteArray& text)
{
    const QByteArray path = fileOf(root);
    if (load(root).get() != &basis || !writable(root))
        return false;
    if (!identityOf(path).present && !QDir().mkpath(QFile::decodeName(path.left(path.lastIndexOf('/')))))
        return false;
    // A write takes milliseconds; a new file untouched for a minute was left
    // by a write that was killed.
    constexpr int kStaleAfterSeconds = 60;
    AtomicFile::removeStaleTemporaries(path, kStaleAfterSeconds);
    const bool ok = AtomicFile::write(path, text);
    cache().remove(path);
    return ok;
}

} // namespace platform
