#include "platform/DynamicLibrary.h"
#include "platform/TestSeams.h"

#include "platform/KnownFolders.h"
#include "platform/PathMapper.h"
#include "formats/WinPath.h"
#include "platform/posix/UniqueFd.h"

#include <QFile>
#include <QResource>

#include <dlfcn.h>
#include <unistd.h>

namespace platform {

struct DynamicLibrary::Library {
    void* shared = nullptr;
    QString resourceRoot; // ":/lib<N>" for a registered bundle
    QString bundlePath;
};

namespace {

bool isResourceBundle(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(4) == "qres";
}

QString hostPathOf(const QString& name)
{
    const bool bare = !name.contains(u'\\') && !name.contains(u'/') && !name.contains(u':');
    const QString winPath = bare ? KnownFolders::appDir() + name : name;
    return QFile::decodeName(PathMapper::toHost(winPath));
}

// load() without the watcher.
DynamicLibrary::Handle openLibrary(const QString& name)
{
    static int bundles = 0;
    const QString path = hostPathOf(name);
    if (QFile::exists(path) && isResourceBundle(path)) {
        const QString root = QStringLiteral("/varnel-lib%1").arg(++bundles);
        if (!QResource::registerResource(path, root))
            return nullptr;
        return DynamicLibrary::Handle(new DynamicLibrary::Library{nullptr, root, path});
    }
    void* shared = ::dlopen(QFile::encodeName(QFile::exists(path) ? path : name).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!shared)
        return nullptr;
    return DynamicLibrary::Handle(new DynamicLibrary::Library{shared, {}, {}});
}

using LoadWatcher = std::function<void(const QString& name, bool loaded)>;

LoadWatcher& loadWatcher()
{
    static LoadWatcher watcher;
    return watcher;
}

} // namespace

DynamicLibrary::Handle DynamicLibrary::load(const QString& name)
{
    Handle library = openLibrary(name);
    if (const LoadWatcher& watcher = loadWatcher())
        watcher(name, library != nullptr);
    return library;
}

DynamicLibrary::Handle DynamicLibrary::loadDescriptor(int fd, const QString& name)
{
    // The system's loader knows a library by the name it was opened under
    // and keeps that name while it keeps the library, which can outlive
    // release() (a library it may not unload). A descriptor that loaded a
    // library therefore stays open for the rest of the process, so its
    // number, and with it the name, never comes back for another file.
    posix::UniqueFd owned(fd);
    const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);
    void* shared = owned.valid() ? ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL) : nullptr;
    Handle library;
    if (shared) {
        owned.release();
        library.reset(new Library{shared, {}, {}});
    }
    if (const LoadWatcher& watcher = loadWatcher())
        watcher(name, library != nullptr);
    return library;
}

void testseams::setLoadWatcher(LoadWatcher watcher)
{
    loadWatcher() = std::move(watcher);
}

void* DynamicLibrary::symbol(const Handle& library, const char* name)
{
    return library && library->shared ? ::dlsym(library->shared, name) : nullptr;
}

QByteArray DynamicLibrary::bitmap(const Handle& library, int id)
{
    if (!library || library->resourceRoot.isEmpty())
        return {};
    QFile f(QStringLiteral(":%1/bitmaps/%2.png").arg(library->resourceRoot).arg(id));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray DynamicLibrary::resource(const Handle& library, const QString& name)
{
    if (!library || library->resourceRoot.isEmpty())
        return {};
    QFile f(QStringLiteral(":%1/pages/%2").arg(library->resourceRoot, name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void* DynamicLibrary::nativeHandle(const Handle& library)
{
    return library ? library->shared : nullptr;
}

void DynamicLibrary::Unload::operator()(Library* library) const
{
    if (library->shared)
        ::dlclose(library->shared);
    else
        QResource::unregisterResource(library->bundlePath, library->resourceRoot);
    delete library;
}

} // namespace platform
