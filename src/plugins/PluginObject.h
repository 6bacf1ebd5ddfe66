#pragma once
// One registration object of either kind, seen through the fields the host
// uses. The object stays the plug-in's memory; this view does not own it
// and must not outlive it. Every read copes with NULL and nonsense values.
//
// Hooks are called as they are: an exception thrown by plug-in code passes
// through unchanged.

#include "plugins/PluginText.h"
#include "plugins/varnel_plugin.h"

#include <QList>
#include <QString>

#include <functional>

// A menu command as the host receives it.
struct TmxPluginCommand {
    QString Name;
    TmxPluginImage Image, HotImage, DisabledImage;
    QString Caption;
    bool Enabled = false;
    bool Checked = false;
    QString Hint;
    quint16 ShortCut = 0;
    VrNotifyHook OnAction{nullptr, nullptr};
};

// A value as the host receives it: its name and its text.
struct TmxPluginValue {
    QString Name;
    QString Text;
};

class PluginObject {
public:
    // Lists longer than this are read only this far: a plug-in that claims
    // billions of items must not keep the host busy for ever.
    static constexpr int maxItems = 4096;

    PluginObject(void* object, TmxPluginTypes kind);

    void* object() const { return object_; }
    TmxPluginTypes kind() const { return kind_; }

    bool ready() const;
    qint32 requiredVersion() const;
    qint32 maxInstances() const;

    // Texts of the information record; "" when there is none.
    QString title() const;
    QString note() const;
    QString versionText() const;
    QString instanceKey() const;

    // Raise the flag hooks with their starting value; the answer is the
    // flag as the hook left it (the starting value when there is no hook).
    bool beforeInit() const { return raiseFlag(fields_.OnBeforeInit, true); }
    bool check() const { return raiseFlag(fields_.OnCheck, false); }
    bool queryUnload() const { return raiseFlag(fields_.OnQueryUnload, true); }
    void afterInit() const;

    // Writes the host's references and a malloc'd copy of the file name
    // (which releaseFileName() takes back).
    void writeHostFields(void* application, VrHost* loader, const QString& fileName);
    // Writes the handle when the field is still zero.
    void writeLibraryHandle(void* handle);
    // Frees the file name the host wrote, if the field still holds it.
    void releaseFileName();

    // Reads the commands (values) in list order and hands each to visit
    // before the next is read.
    void forEachCommand(const std::function<void(const TmxPluginCommand&)>& visit) const;
    void forEachValue(const std::function<void(const TmxPluginValue&)>& visit) const;

    // Calls the object's own destroy operation (the file name first taken
    // back). Does nothing when the object has no destroy operation.
    void destroy();

private:
    struct Fields {
        const VrObjectOps** ops;
        uint8_t* Ready;
        VrList** Actions;
        VrList** Functions;
        void** Application;
        const VrPluginInfo** Info;
        int32_t* RequiredVersion;
        void** LibraryHandle;
        int32_t* MaxInstances;
        VrFlagHook* OnBeforeInit;
        VrFlagHook* OnQueryUnload;
        VrNotifyHook* OnAfterInit;
        VrFlagHook* OnCheck;
        VrHost** Loader;
        char** FileName;
    };
    template <class T> static Fields fieldsOf(T* object);

    bool raiseFlag(const VrFlagHook* hook, bool start) const;
    QString infoText(const char* const VrPluginInfo::*field) const;
    // Visits the list's items that are not NULL, at most maxItems of them.
    static void forEachItem(const VrList* list, const std::function<void(void*)>& visit);
    TmxPluginCommand commandOf(void* item) const;
    TmxPluginValue valueOf(void* item) const;
    static QString displayNameOf(const void* item);

    void* object_;
    TmxPluginTypes kind_;
    Fields fields_;
    char* writtenFileName_ = nullptr;
};
