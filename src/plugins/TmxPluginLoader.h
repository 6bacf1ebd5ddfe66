#pragma once
// The plug-in loader: finds plug-in libraries in a folder, loads each one,
// takes its registration object from the library's entry point, checks it,
// keeps every accepted plug-in in the list of its kind, announces the
// commands and values it offers, and unloads plug-ins on request. It knows
// nothing of menus or windows.
//
// Only libraries inside the program's own Plugins folder load, and only
// when the platform trusts them (no links, not writable by other users,
// owned by the user or root); any other file fails like a library that
// cannot be loaded.
//
// Ownership: a registration object belongs to the loader from the moment
// the entry point returns it; the loader destroys it through its own
// destroy operation, always before the library is unloaded.
//
// Exceptions thrown by plug-in code or by an event handler are not caught
// (but in an unload, see UnloadPlugin, and in the destructor): they end a
// folder walk and reach the caller. A load interrupted that way
// destroys the object it was taking on but leaves that library mapped (the
// exception may be of a type the library defines) until the loader's end
// releases it; a plug-in already accepted when the exception came stays
// loaded.

#include "platform/DynamicLibrary.h"
#include "plugins/PluginObject.h"
#include "plugins/varnel_plugin.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TmxPluginLoader;

using TmxPluginTypeSet = quint8; // bit 0 ptSmall, bit 1 ptNormal
constexpr TmxPluginTypeSet psSmall = VR_TYPE_BIT(ptSmall);
constexpr TmxPluginTypeSet psNormal = VR_TYPE_BIT(ptNormal);

// A plug-in's command handler, called with the host's sender (the menu
// item). Calling it after its plug-in was unloaded does nothing.
using TmxNotifyEvent = std::function<void(void* Sender)>;

using TLoaderNotifyEvent = std::function<void(TmxPluginLoader* Sender)>;
using TEventBeforeLoad = std::function<void(TmxPluginLoader* Sender, const QString& FileName, bool& CanLoad)>;
using TEventAfterLoad = std::function<void(TmxPluginLoader* Sender, TmxPluginTypes PluginType, void* Plugin)>;
using TEventBeforeUnloadPlugin = std::function<void(TmxPluginLoader* Sender, int Index, bool& CanUnload)>;
using TEventNewAction = std::function<void(TmxPluginLoader* Sender, const QString& Name, const TmxPluginImage& Image,
                                           const TmxPluginImage& HotImage, const TmxPluginImage& DisabledImage,
                                           const QString& Caption, bool Enabled, bool Checked, const QString& Hint,
                                           quint16 ShortCut, const TmxNotifyEvent& OnAction)>;
using TEventNewFunction = std::function<void(TmxPluginLoader* Sender, const QString& Name, const QString& Text)>;
using TEventOnLoadError =
    std::function<void(TmxPluginLoader* Sender, const QString& FileName, TmxPluginLoadResult Error)>;
using TEventMessage = std::function<void(TmxPluginLoader* Sender, const QString& Message, int Param, bool& Handled)>;
using TEventAdvancedMessage =
    std::function<void(TmxPluginLoader* Sender, const QString& Message, int Param, QObject* AObject, bool& Handled)>;

class TmxPluginLoader : public QObject {
    Q_OBJECT
public:
    static constexpr qint32 LoaderVersion = VR_LOADER_VERSION;

    explicit TmxPluginLoader(QObject* owner = nullptr);
    // Unloads every plug-in as UnloadAll() does; then every plug-in still
    // there (OnBeforeUnload declined it, or a handler threw) is destroyed
    // without asking and its library released. Nothing thrown by plug-in
    // code or a handler leaves the destructor.
    ~TmxPluginLoader() override;

    TmxPluginTypeSet EnabledTypes = psSmall | psNormal;
    QString Extension = QStringLiteral("MAX"); // without the dot
    // "1.57": major and minor byte of the loader's version.
    QString Version() const;

    TEventBeforeLoad OnBeforeLoad;
    TEventAfterLoad OnAfterLoad;
    TEventBeforeUnloadPlugin OnBeforeUnload;
    TLoaderNotifyEvent OnAfterUnLoad;
    TEventNewAction OnNewAction;
    TEventNewFunction OnNewFunction;
    TLoaderNotifyEvent OnBeforeReadFolder;
    TLoaderNotifyEvent OnAfterReadFolder;
    TEventOnLoadError OnLoadError;
    // Raised when a plug-in calls its host's CallBack; never by the loader
    // itself. OnAdvancedCallBack is kept for the host's own use.
    TEventMessage OnCallBack;
    TEventAdvancedMessage OnAdvancedCallBack;
    // What the host's ShowMessage and AskYesNo calls of a plug-in do: the
    // loader shows nothing itself (it links no widgets), its owner does.
    // Without a handler a message goes unseen and a question is answered No.
    std::function<void(TmxPluginLoader* Sender, const QString& Text)> OnShowMessage;
    std::function<bool(TmxPluginLoader* Sender, const QString& Question)> OnAskYesNo;

    // The service table written into every object's Loader field.
    VrHost* Host() { return &host_.table; }

    // Loads one library (Windows-form path) and returns how it ended. lrOk
    // also when OnBeforeLoad declined it. On any result but lrOk the object
    // is destroyed and the library freed before this returns. The library
    // must pass platform::PluginFolder's checks against the folder being
    // walked (LoadFromFolder), else against PluginFolder().
    TmxPluginLoadResult LoadPlugin(const QString& FileName);

    // Loads every file of Path whose extension is Extension (any case),
    // and of its sub-folders when Recursive is set, in name order; names
    // beginning with "." are passed over, as are folders of another mount.
    // Results are not reported. Each library is judged against Path, the
    // folder it was found in (or below), under the same rules as the
    // program's own: the user's own plug-in folder is trusted as such.
    void LoadFromFolder(QString Path, bool Recursive);

    // Unloads plug-in Index of PluginType: its object destroyed, then its
    // library released (once per load). False when OnBeforeUnload or
    // (unless Force) the plug-in declined, or there is no such plug-in.
    // With Force the plug-in's OnQueryUnload is still called, but neither
    // its answer nor an exception from it keeps the plug-in; without Force
    // its exception reaches the caller and the plug-in stays. An exception
    // from the object's destroy operation is dropped: the plug-in is gone.
    bool UnloadPlugin(int Index, TmxPluginTypes PluginType, bool Force);
    // Unloads every plug-in with Force, last first, normal ones before small
    // ones. Plug-ins OnBeforeUnload declines stay in their lists.
    void UnloadAll();

    int PluginCount() const { return int(normal_.size()); }
    int SmallPluginCount() const { return int(small_.size()); }
    // The registration object at Index; nullptr outside 0 .. count-1.
    VrPlugin* Plugins(int Index) const;
    VrSmallPlugin* SmallPlugins(int Index) const;
    // The same, seen through the fields the host reads.
    const PluginObject* Plugin(int Index, TmxPluginTypes PluginType) const;

    // The module handle texts, one per plug-in of the kind, in list order.
    QStringList HandleTexts(TmxPluginTypes PluginType) const;

    // The folder a library loaded on its own must lie in: the program
    // folder's Plugins.
    static QString PluginFolder();

private:
    using Library = platform::DynamicLibrary::Handle;
    struct Entry {
        PluginObject object;
        // Shared by the entry's copies: what discard() does to it (unload,
        // or keep mapped) holds for every copy.
        std::shared_ptr<Library> library;
        std::shared_ptr<bool> alive; // cleared when the plug-in goes
    };

    QList<Entry>& listOf(TmxPluginTypes kind) { return kind == ptNormal ? normal_ : small_; }
    const QList<Entry>& listOf(TmxPluginTypes kind) const { return kind == ptNormal ? normal_ : small_; }
    QStringList& handlesOf(TmxPluginTypes kind) { return kind == ptNormal ? normalHandles_ : smallHandles_; }

    TmxPluginLoadResult takeOn(Library library, TmxPluginTypes kind, void* entryPoint, const QString& FileName);
    TmxPluginLoadResult check(PluginObject& object, const QString& FileName);
    void accept(PluginObject& object, Library&& library);
    void announce(const Entry entry);
    static bool agreesToUnload(const PluginObject& object, bool Force);
    // Destroys the object (dropping any exception) and releases the library;
    // the entry is already off its list.
    void discard(const Entry& entry);
    static qsizetype indexOf(const QList<Entry>& list, const void* object);
    TmxPluginLoadResult fail(TmxPluginLoadResult result, const QString& FileName);
    void walk(const QString& folder, bool recursive);
    int countInstances(TmxPluginTypes kind, const QString& key) const;

    struct HostTable {
        VrHost table; // first, so a VrHost* is a HostTable*
        TmxPluginLoader* loader;
    };
    static void showMessage(VrHost* host, const char* text);
    static uint8_t callBack(VrHost* host, const char* message, int32_t param);
    static uint8_t askYesNo(VrHost* host, const char* text);

    HostTable host_;
    QList<Entry> normal_, small_;
    QStringList normalHandles_, smallHandles_;
    // Libraries kept mapped past the exception of a load or an unload; the
    // loader's end releases them.
    std::vector<Library> unreleased_;
    QString walkedFolder_; // the folder LoadFromFolder is walking; empty otherwise
};
