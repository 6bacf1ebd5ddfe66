#include "plugins/PluginObject.h"

#include <cstdlib>

template <class T> PluginObject::Fields PluginObject::fieldsOf(T* p)
{
    return {&p->ops,           &p->Ready,           &p->Actions,       &p->Functions,    &p->Application,
            &p->Info,          &p->RequiredVersion, &p->LibraryHandle, &p->MaxInstances, &p->OnBeforeInit,
            &p->OnQueryUnload, &p->OnAfterInit,     &p->OnCheck,       &p->Loader,       &p->FileName};
}

PluginObject::PluginObject(void* object, TmxPluginTypes kind)
    : object_(object)
    , kind_(kind)
    , fields_(kind == ptNormal ? fieldsOf(static_cast<VrPlugin*>(object))
                               : fieldsOf(static_cast<VrSmallPlugin*>(object)))
{}

bool PluginObject::ready() const
{
    return *fields_.Ready != 0;
}

qint32 PluginObject::requiredVersion() const
{
    return *fields_.RequiredVersion;
}

qint32 PluginObject::maxInstances() const
{
    return *fields_.MaxInstances;
}

QString PluginObject::infoText(const char* const VrPluginInfo::*field) const
{
    const VrPluginInfo* info = *fields_.Info;
    return info ? PluginText::fromPlugin(info->*field) : QString();
}

QString PluginObject::title() const
{
    return infoText(&VrPluginInfo::Title);
}
QString PluginObject::note() const
{
    return infoText(&VrPluginInfo::Note);
}
QString PluginObject::versionText() const
{
    return infoText(&VrPluginInfo::VersionText);
}
QString PluginObject::instanceKey() const
{
    return infoText(&VrPluginInfo::InstanceKey);
}

bool PluginObject::raiseFlag(const VrFlagHook* hook, bool start) const
{
    uint8_t flag = start ? 1 : 0;
    if (hook->code)
        hook->code(hook->context, object_, &flag);
    return flag != 0;
}

void PluginObject::afterInit() const
{
    const VrNotifyHook* hook = fields_.OnAfterInit;
    if (hook->code)
        hook->code(hook->context, object_);
}

void PluginObject::writeHostFields(void* application, VrHost* loader, const QString& fileName)
{
    *fields_.Application = application;
    *fields_.Loader = loader;
    writtenFileName_ = PluginText::toPlugin(fileName);
    *fields_.FileName = writtenFileName_;
}

void PluginObject::writeLibraryHandle(void* handle)
{
    if (*fields_.LibraryHandle == nullptr)
        *fields_.LibraryHandle = handle;
}

void PluginObject::releaseFileName()
{
    if (!writtenFileName_)
        return;
    if (*fields_.FileName == writtenFileName_)
        *fields_.FileName = nullptr;
    std::free(writtenFileName_);
    writtenFileName_ = nullptr;
}

void PluginObject::forEachItem(const VrList* list, const std::function<void(void*)>& visit)
{
    if (!list || !list->count || !list->item)
        return;
    const int count = qBound(0, int(list->count(list)), maxItems);
    for (int i = 0; i < count; ++i) {
        if (void* item = list->item(list, i))
            visit(item);
    }
}

QString PluginObject::displayNameOf(const void* item)
{
    const VrObjectOps* ops = *static_cast<const VrObjectOps* const*>(item);
    return ops && ops->displayName ? PluginText::fromPlugin(ops->displayName(item)) : QString();
}

TmxPluginCommand PluginObject::commandOf(void* item) const
{
    TmxPluginCommand c;
    auto fill = [&c](const auto* r) {
        c.Image = PluginText::imageOf(r->Image);
        c.HotImage = PluginText::imageOf(r->HotImage);
        c.DisabledImage = PluginText::imageOf(r->DisabledImage);
        c.Caption = PluginText::fromPlugin(r->Caption);
        c.Enabled = r->Enabled != 0;
        c.Checked = r->Checked != 0;
        c.Hint = PluginText::fromPlugin(r->Hint);
        c.ShortCut = r->ShortCut;
        c.OnAction = r->OnAction;
    };
    if (kind_ == ptNormal) {
        c.Name = displayNameOf(item);
        fill(static_cast<const VrCommand*>(item));
    } else {
        const auto* record = static_cast<const VrSmallCommand*>(item);
        c.Name = PluginText::fromPlugin(record->Name);
        fill(record);
    }
    return c;
}

TmxPluginValue PluginObject::valueOf(void* item) const
{
    VrVariant* value;
    const VrGetTextHook* hook;
    TmxPluginValue v;
    if (kind_ == ptNormal) {
        auto* record = static_cast<VrValue*>(item);
        v.Name = displayNameOf(item);
        value = &record->Value;
        hook = &record->OnGetText;
    } else {
        auto* record = static_cast<VrSmallValue*>(item);
        v.Name = PluginText::fromPlugin(record->Name);
        value = &record->Value;
        hook = &record->OnGetText;
    }
    v.Text = PluginText::ofVariant(*value);
    if (hook->code) {
        char* text = PluginText::toPlugin(v.Text);
        try {
            hook->code(hook->context, item, value, &text);
        } catch (...) {
            std::free(text);
            throw;
        }
        v.Text = PluginText::fromPlugin(text);
        std::free(text);
    }
    return v;
}

void PluginObject::forEachCommand(const std::function<void(const TmxPluginCommand&)>& visit) const
{
    forEachItem(*fields_.Actions, [&](void* item) { visit(commandOf(item)); });
}

void PluginObject::forEachValue(const std::function<void(const TmxPluginValue&)>& visit) const
{
    forEachItem(*fields_.Functions, [&](void* item) { visit(valueOf(item)); });
}

void PluginObject::destroy()
{
    releaseFileName();
    const VrObjectOps* ops = *fields_.ops;
    if (ops && ops->destroy)
        ops->destroy(object_);
}
