#include "plugins/TmxPluginLoader.h"

#include "platform/FileAttributes.h"
#include "platform/FileFinder.h"
#include "platform/KnownFolders.h"
#include "platform/PluginFolder.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <exception>
#include <utility>

using platform::DynamicLibrary;

TmxPluginLoader::TmxPluginLoader(QObject* owner)
    : QObject(owner)
    , host_{{LoaderVersion, &TmxPluginLoader::showMessage, &TmxPluginLoader::callBack, &TmxPluginLoader::askYesNo},
            this}
{}

void TmxPluginLoader::showMessage(VrHost* host, const char* text)
{
    TmxPluginLoader* loader = reinterpret_cast<HostTable*>(host)->loader;
    if (loader->OnShowMessage)
        loader->OnShowMessage(loader, PluginText::fromPlugin(text));
}

uint8_t TmxPluginLoader::askYesNo(VrHost* host, const char* text)
{
    TmxPluginLoader* loader = reinterpret_cast<HostTable*>(host)->loader;
    return loader->OnAskYesNo && loader->OnAskYesNo(loader, PluginText::fromPlugin(text)) ? 1 : 0;
}

uint8_t TmxPluginLoader::callBack(VrHost* host, const char* message, int32_t param)
{
    TmxPluginLoader* loader = reinterpret_cast<HostTable*>(host)->loader;
    bool handled = false;
    if (loader->OnCallBack)
        loader->OnCallBack(loader, PluginText::fromPlugin(message), param, handled);
    return handled ? 1 : 0;
}

TmxPluginLoader::~TmxPluginLoader()
{
    // Nothing may leave a destructor: a throwing handler ends only the
    // polite round, and what it left goes without asking anyone.
    try {
        UnloadAll();
    } catch (...) {}
    for (TmxPluginTypes kind : {ptNormal, ptSmall}) {
        while (!listOf(kind).isEmpty()) {
            const Entry entry = listOf(kind).takeLast();
            handlesOf(kind).removeLast();
            discard(entry);
        }
    }
    // A library whose exception may still be on its way (the loader ends
    // in the unwinding) stays mapped; otherwise every one goes.
    if (std::uncaught_exceptions() == 0) {
        unreleased_.clear();
    } else {
        for (Library& library : unreleased_)
            (void)library.release();
    }
}

QString TmxPluginLoader::Version() const
{
    return QStringLiteral("%1.%2").arg((LoaderVersion >> 8) & 0xFF).arg(LoaderVersion & 0xFF);
}

QString TmxPluginLoader::PluginFolder()
{
    return platform::KnownFolders::appDir() + QStringLiteral("Plugins");
}

VrPlugin* TmxPluginLoader::Plugins(int Index) const
{
    const PluginObject* object = Plugin(Index, ptNormal);
    return object ? static_cast<VrPlugin*>(object->object()) : nullptr;
}

VrSmallPlugin* TmxPluginLoader::SmallPlugins(int Index) const
{
    const PluginObject* object = Plugin(Index, ptSmall);
    return object ? static_cast<VrSmallPlugin*>(object->object()) : nullptr;
}

const PluginObject* TmxPluginLoader::Plugin(int Index, TmxPluginTypes PluginType) const
{
    const QList<Entry>& list = listOf(PluginType);
    return Index >= 0 && Index < list.size() ? &list[Index].object : nullptr;
}

QStringList TmxPluginLoader::HandleTexts(TmxPluginTypes PluginType) const
{
    return PluginType == ptNormal ? normalHandles_ : smallHandles_;
}

// ---- loading ---------------------------------------------------------------

TmxPluginLoadResult TmxPluginLoader::fail(TmxPluginLoadResult result, const QString& FileName)
{
    if (OnLoadError)
        OnLoadError(this, FileName, result);
    return result;
}

TmxPluginLoadResult TmxPluginLoader::LoadPlugin(const QString& FileName)
{
    bool canLoad = true;
    if (OnBeforeLoad)
        OnBeforeLoad(this, FileName, canLoad);
    if (!canLoad)
        return lrOk;

    Library library =
        platform::PluginFolder::loadTrusted(walkedFolder_.isEmpty() ? PluginFolder() : walkedFolder_, FileName);
    if (!library)
        return fail(lrLoadFailed, FileName);

    // A library exporting both entry points is a normal plug-in.
    TmxPluginTypes kind = ptNormal;
    void* entryPoint = DynamicLibrary::symbol(library, "mxPlugInRegistration");
    if (!entryPoint) {
        kind = ptSmall;
        entryPoint = DynamicLibrary::symbol(library, "mxSmallPlugInRegistration");
    }
    // From here an exception leaves the library mapped until the loader's
    // end: the exception in flight may be of a type the library defines.
    if (entryPoint && (EnabledTypes & VR_TYPE_BIT(kind)))
        return takeOn(std::move(library), kind, entryPoint, FileName);
    const TmxPluginLoadResult result = fail(entryPoint ? lrTypeDisabled : lrNoEntryPoint, FileName);
    library.reset();
    return result;
}

// Calls the entry point and checks the object; from here on the object is
// ours, so every way out either keeps it (accepted) or destroys it before
// the library goes.
TmxPluginLoadResult TmxPluginLoader::takeOn(Library library, TmxPluginTypes kind, void* entryPoint,
                                            const QString& FileName)
{
    void* created = kind == ptNormal ? static_cast<void*>(reinterpret_cast<VrPluginEntry>(entryPoint)())
                                     : static_cast<void*>(reinterpret_cast<VrSmallPluginEntry>(entryPoint)());
    if (!created) {
        fail(lrNoPluginObject, FileName);
        library.reset();
        return lrNoPluginObject;
    }

    PluginObject object(created, kind);
    TmxPluginLoadResult result;
    try {
        result = check(object, FileName);
        if (result != lrOk)
            fail(result, FileName);
    } catch (...) {
        object.destroy();
        unreleased_.push_back(std::move(library)); // see LoadPlugin
        throw;
    }
    if (result != lrOk) {
        object.destroy();
        library.reset();
        return result;
    }
    accept(object, std::move(library));
    announce(listOf(kind).constLast()); // a copy: handlers may change the lists
    return lrOk;
}

int TmxPluginLoader::countInstances(TmxPluginTypes kind, const QString& key) const
{
    int count = 0;
    for (const Entry& entry : listOf(kind))
        count += entry.object.instanceKey() == key ? 1 : 0;
    return count;
}

// The instance limit, both init hooks, the version and the plug-in's own
// check, in this order; lrOk when the object passes them all.
TmxPluginLoadResult TmxPluginLoader::check(PluginObject& object, const QString& FileName)
{
    const qint32 maxInstances = object.maxInstances();
    if (maxInstances != 0 && countInstances(object.kind(), object.instanceKey()) >= maxInstances)
        return lrTooManyInstances;
    if (!object.beforeInit())
        return lrInitRefused;
    object.writeHostFields(QCoreApplication::instance(), Host(), FileName);
    object.afterInit();
    if (quint16(object.requiredVersion()) > LoaderVersion)
        return lrLoaderTooOld;
    if (object.ready() && object.check())
        return lrRejected;
    return lrOk;
}

void TmxPluginLoader::accept(PluginObject& object, Library&& library)
{
    void* handle = DynamicLibrary::nativeHandle(library);
    if (object.ready())
        object.writeLibraryHandle(handle);
    listOf(object.kind())
        .append(Entry{object, std::make_shared<Library>(std::move(library)), std::make_shared<bool>(true)});
    handlesOf(object.kind()).append(QString::number(quintptr(handle)));
}

void TmxPluginLoader::announce(const Entry entry)
{
    const PluginObject& object = entry.object;
    if (OnNewAction && object.ready()) {
        object.forEachCommand([&](const TmxPluginCommand& c) {
            TmxNotifyEvent onAction;
            if (c.OnAction.code) {
                onAction = [hook = c.OnAction, alive = entry.alive](void* sender) {
                    if (*alive)
                        hook.code(hook.context, sender);
                };
            }
            OnNewAction(this, c.Name, c.Image, c.HotImage, c.DisabledImage, c.Caption, c.Enabled, c.Checked, c.Hint,
                        c.ShortCut, onAction);
        });
    }
    if (OnNewFunction && object.ready())
        object.forEachValue([&](const TmxPluginValue& v) { OnNewFunction(this, v.Name, v.Text); });
    if (OnAfterLoad)
        OnAfterLoad(this, object.kind(), object.object());
}

// ---- folders ---------------------------------------------------------------

void TmxPluginLoader::LoadFromFolder(QString Path, bool Recursive)
{
    const qsizetype drive = Path.indexOf(QStringLiteral(":\\\\"));
    if (drive >= 0)
        Path.remove(drive + 2, 1);
    if (!Path.isEmpty() && !Path.endsWith(u'\\'))
        Path += u'\\';
    if (OnBeforeReadFolder)
        OnBeforeReadFolder(this);
    // A plug-in may walk a folder of its own from its hooks; the outer walk
    // judges against its folder again afterwards, however this one ends.
    {
        const QString outer = std::exchange(walkedFolder_, Path);
        const auto restore = qScopeGuard([&] { walkedFolder_ = outer; });
        walk(Path, Recursive);
    }
    if (OnAfterReadFolder)
        OnAfterReadFolder(this);
}

void TmxPluginLoader::walk(const QString& folder, bool recursive)
{
    const QString wanted = u'.' + Extension;
    platform::FileFinder finder; // closes the enumeration on every way out
    for (bool more = finder.findFirst(folder + QStringLiteral("*.*"), platform::faAnyFile); more;
         more = finder.findNext()) {
        const QString name = finder.name();
        if (name.startsWith(u'.'))
            continue;
        if (finder.isDirectory()) {
            if (recursive && !finder.isMountPoint())
                walk(folder + name + u'\\', true);
            continue;
        }
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot >= 0 && name.mid(dot).compare(wanted, Qt::CaseInsensitive) == 0)
            LoadPlugin(folder + name);
    }
}

// ---- unloading -------------------------------------------------------------

bool TmxPluginLoader::UnloadPlugin(int Index, TmxPluginTypes PluginType, bool Force)
{
    bool canUnload = true;
    if (OnBeforeUnload)
        OnBeforeUnload(this, Index, canUnload);
    if (!canUnload)
        return false;
    QList<Entry>& list = listOf(PluginType);
    if (Index < 0 || Index >= list.size())
        return false;
    // A copy, taken off the list before the object goes: plug-in code that
    // runs from here on may reach the loader again.
    Entry entry = list[Index];
    if (entry.object.ready() && !agreesToUnload(entry.object, Force))
        return false;
    const qsizetype at = indexOf(list, entry.object.object());
    if (at < 0)
        return false; // it went while its hook ran
    handlesOf(PluginType).removeAt(at);
    list.removeAt(at);
    discard(entry);
    if (OnAfterUnLoad)
        OnAfterUnLoad(this);
    return true;
}

bool TmxPluginLoader::agreesToUnload(const PluginObject& object, bool Force)
{
    if (!Force)
        return object.queryUnload(); // an exception is the caller's, the plug-in stays
    // Forced: the plug-in is told, and neither its answer nor its exception
    // keeps it. The exception is gone before the library is.
    try {
        object.queryUnload();
    } catch (...) {}
    return true;
}

void TmxPluginLoader::discard(const Entry& entry)
{
    *entry.alive = false;
    try {
        PluginObject object = entry.object;
        object.destroy();
    } catch (...) {
        // The object is gone as far as the host can tell; the exception
        // object dies here, before its library is unmapped.
    }
    // While an exception unwinds, it may be one of this library's own.
    if (std::uncaught_exceptions() == 0)
        entry.library->reset();
    else
        unreleased_.push_back(std::move(*entry.library));
}

qsizetype TmxPluginLoader::indexOf(const QList<Entry>& list, const void* object)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].object.object() == object)
            return i;
    }
    return -1;
}

void TmxPluginLoader::UnloadAll()
{
    for (TmxPluginTypes kind : {ptNormal, ptSmall}) {
        for (int i = int(listOf(kind).size()) - 1; i >= 0; --i) {
            if (i < listOf(kind).size())
                UnloadPlugin(i, kind, true);
        }
    }
}
