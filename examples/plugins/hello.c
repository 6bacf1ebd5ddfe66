/* hello.c: cc -shared -fPIC -fvisibility=hidden -I<varnel>/src hello.c -o hello.dll */
#include "plugins/varnel_plugin.h"

#include <stdlib.h>

static VrPluginInfo info = {
    .Title = "Привет", .VersionText = "1.0", .Note = "пример", .InstanceKey = "example.hello",
};

static void say_hello(void* context, void* sender)
{
    VrSmallPlugin* self = context;
    self->Loader->ShowMessage(self->Loader, "Привет из плагина!");
}

static VrSmallCommand hello = {
    .Name = "HelloCmd", .Caption = "Поздороваться", .Enabled = 1,
};

static int32_t count(const VrList* list) { return 1; }
static void* item(const VrList* list, int32_t index) { return index == 0 ? &hello : NULL; }
static VrList commands = {NULL, count, item};

static void destroy(void* self) { free(self); }
static const VrObjectOps ops = {destroy, NULL};

VR_EXPORT VrSmallPlugin* mxSmallPlugInRegistration(void)
{
    VrSmallPlugin* self = calloc(1, sizeof *self);
    if (!self)
        return NULL;
    self->ops = &ops;
    self->Ready = 1;
    self->Info = &info;
    self->RequiredVersion = VR_LOADER_VERSION;
    self->MaxInstances = 1;
    self->Actions = &commands;
    hello.OnAction.code = say_hello;
    hello.OnAction.context = self;
    return self;
}
