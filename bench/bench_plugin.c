/* The plug-in the start-up benchmark loads fifty copies of: a normal
 * plug-in with two commands and a value, like a typical real one. */
#include "plugins/varnel_plugin.h"

#include <stdlib.h>

static const char* name_of(const void* item);
static const VrObjectOps item_ops = {NULL, name_of};
static VrCommand commands[2];
static VrValue value;
static const char* name_of(const void* item) { return item == &commands[0] ? "One" : item == &commands[1] ? "Two" : "Value"; }
static int32_t two(const VrList* l) { return 2; }
static int32_t one(const VrList* l) { return 1; }
static void* command_at(const VrList* l, int32_t i) { return i >= 0 && i < 2 ? &commands[i] : NULL; }
static void* value_at(const VrList* l, int32_t i) { return i == 0 ? &value : NULL; }
static VrList actions = {NULL, two, command_at};
static VrList values = {NULL, one, value_at};
static VrPluginInfo info = {NULL, NULL, NULL, "bench", NULL, NULL, "Bench", "bench", "1.0"};
static void run(void* context, void* sender) {}
static void destroy(void* self) { free(self); }
static const VrObjectOps ops = {destroy, NULL};

VR_EXPORT VrPlugin* mxPlugInRegistration(void)
{
    VrPlugin* p = calloc(1, sizeof *p);
    p->ops = &ops;
    p->Ready = 1;
    p->Info = &info;
    p->Actions = &actions;
    p->Functions = &values;
    p->RequiredVersion = VR_LOADER_VERSION;
    for (int i = 0; i < 2; ++i) {
        commands[i].ops = &item_ops;
        commands[i].Caption = i ? "Второй" : "Первый";
        commands[i].Enabled = 1;
        commands[i].OnAction.code = run;
    }
    value.ops = &item_ops;
    value.Value.type = VR_VT_INT32;
    value.Value.value.int32Value = 7;
    return p;
}
