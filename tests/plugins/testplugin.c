/* A plug-in for the loader's tests, built once per behaviour with defines:
 *   TP_NAME       name in the log and title (text)
 *   TP_SMALL      small kind (else normal)
 *   TP_BOTH       export both entry points
 *   TP_NO_ENTRY   export neither
 *   TP_NULL       the entry point returns NULL
 *   TP_NOT_READY  Ready stays 0
 *   TP_REQUIRED   RequiredVersion (default 312)
 *   TP_MAX        MaxInstances (default 0), TP_KEY its InstanceKey
 *   TP_REFUSE     OnBeforeInit refuses
 *   TP_REJECT     OnCheck rejects
 *   TP_STAY       OnQueryUnload declines
 *   TP_GARBAGE    NULL texts, names and info, 0x0 and NULL images, a value
 *                 list of count -1 (small) or none at all (normal)
 *   TP_BAD_NAME   the first command is named "1st"
 * Every event goes to the file named by VARNEL_PLUGIN_LOG, one line each, so
 * a test sees what ran and in which order. */
#include "plugins/varnel_plugin.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef TP_NAME
#define TP_NAME "test"
#endif
#ifndef TP_REQUIRED
#define TP_REQUIRED 312
#endif
#ifndef TP_MAX
#define TP_MAX 0
#endif
#ifndef TP_KEY
#define TP_KEY "key"
#endif

static void note(const char* what)
{
    const char* path = getenv("VARNEL_PLUGIN_LOG");
    FILE* f = path ? fopen(path, "a") : NULL;
    if (!f)
        return;
    fprintf(f, "%s %s\n", what, TP_NAME);
    fclose(f);
}

__attribute__((constructor)) static void loaded(void) { note("load"); }
__attribute__((destructor)) static void unloaded(void) { note("free"); }

static void onBeforeInit(void* context, void* sender, uint8_t* canInit)
{
    note("beforeinit");
#ifdef TP_REFUSE
    *canInit = 0;
#endif
}

static void onAfterInit(void* context, void* sender)
{
    note("afterinit");
}

static void onCheck(void* context, void* sender, uint8_t* reject)
{
    note("check");
#ifdef TP_REJECT
    *reject = 1;
#endif
}

static void onQueryUnload(void* context, void* sender, uint8_t* canUnload)
{
    note("queryunload");
#ifdef TP_STAY
    *canUnload = 0;
#endif
}

static void onAction(void* context, void* sender)
{
    char line[64];
    snprintf(line, sizeof line, "action-%s", (const char*)context);
    note(line);
}

static void onGetText(void* context, void* sender, VrVariant* value, char** text)
{
    char buf[64];
    snprintf(buf, sizeof buf, "%s KB", *text ? *text : "?");
    free(*text);
    *text = strdup(buf);
}

/* ---- records ---- */

static const VrImage emptyImage = {0, 0, 0, NULL};
static const uint32_t pixels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
static const VrImage smallImage = {2, 2, 0, pixels};

#ifdef TP_BAD_NAME
#define FIRST_NAME "1st"
#else
#define FIRST_NAME "First"
#endif

static const char* nameOf(const void* self);
static const VrObjectOps itemOps = {NULL, nameOf};

static VrSmallCommand smallCommands[2];
static VrCommand commands[2];
static VrSmallValue smallValue;
static VrValue value;

static const char* nameOf(const void* self)
{
#ifdef TP_GARBAGE
    return NULL;
#else
    if (self == &commands[0])
        return FIRST_NAME;
    if (self == &commands[1])
        return "Second";
    return "Size";
#endif
}

static int32_t countOf(const VrList* self) { return 2; }

static int32_t valueCount(const VrList* self)
{
#ifdef TP_GARBAGE
    return -1;
#else
    return 1;
#endif
}

static void* commandAt(const VrList* self, int32_t index)
{
#ifdef TP_SMALL
    return index >= 0 && index < 2 ? (void*)&smallCommands[index] : NULL;
#else
    return index >= 0 && index < 2 ? (void*)&commands[index] : NULL;
#endif
}

static void* valueAt(const VrList* self, int32_t index)
{
#ifdef TP_SMALL
    return index == 0 ? (void*)&smallValue : NULL;
#else
    return index == 0 ? (void*)&value : NULL;
#endif
}

static VrList actions = {NULL, countOf, commandAt};
static VrList functions = {NULL, valueCount, valueAt};

static VrPluginInfo info;

static void fillRecords(void)
{
    static const char* const captions[2] = {"Первая", "Вторая"};
    static const char* const names[2] = {FIRST_NAME, "Second"};
    static const char* const contexts[2] = {"1", "2"};
    for (int i = 0; i < 2; ++i) {
        VrSmallCommand* s = &smallCommands[i];
        VrCommand* c = &commands[i];
        memset(s, 0, sizeof *s);
        memset(c, 0, sizeof *c);
        c->ops = &itemOps;
#ifndef TP_GARBAGE
        s->Name = names[i];
        s->Caption = c->Caption = captions[i];
        s->Hint = c->Hint = "hint";
        s->Image = c->Image = &smallImage;
#else
        s->Image = c->Image = &emptyImage;
        s->HotImage = c->HotImage = (const VrImage*)0;
#endif
        s->Enabled = c->Enabled = (uint8_t)(i == 0);
        s->Checked = c->Checked = (uint8_t)(i == 1);
        s->ShortCut = c->ShortCut = 0x4041; /* Ctrl+A */
        s->OnAction.code = c->OnAction.code = onAction;
        s->OnAction.context = c->OnAction.context = (void*)contexts[i];
    }
    memset(&smallValue, 0, sizeof smallValue);
    memset(&value, 0, sizeof value);
    value.ops = &itemOps;
#ifndef TP_GARBAGE
    smallValue.Name = "Size";
    smallValue.Value.type = value.Value.type = VR_VT_INT32;
    smallValue.Value.value.int32Value = value.Value.value.int32Value = 42;
    smallValue.OnGetText.code = value.OnGetText.code = onGetText;
#else
    smallValue.Value.type = value.Value.type = 999;
#endif
    memset(&info, 0, sizeof info);
#ifndef TP_GARBAGE
    info.Title = "Title " TP_NAME;
    info.Note = "Note " TP_NAME;
    info.VersionText = "2.5";
    info.InstanceKey = TP_KEY;
#endif
}

/* ---- registration objects ---- */

static void destroyNormal(void* self)
{
    note("destroy");
    free(self);
}

static const VrObjectOps objectOps = {destroyNormal, NULL};

#define FILL_COMMON(p)                                                                                 \
    do {                                                                                               \
        (p)->ops = &objectOps;                                                                         \
        (p)->Ready = 1;                                                                                \
        (p)->Actions = &actions;                                                                       \
        (p)->Functions = &functions;                                                                   \
        (p)->Info = &info;                                                                             \
        (p)->RequiredVersion = TP_REQUIRED;                                                            \
        (p)->MaxInstances = TP_MAX;                                                                    \
        (p)->OnBeforeInit.code = onBeforeInit;                                                         \
        (p)->OnAfterInit.code = onAfterInit;                                                           \
        (p)->OnCheck.code = onCheck;                                                                   \
        (p)->OnQueryUnload.code = onQueryUnload;                                                       \
    } while (0)

#ifndef TP_NO_ENTRY

#if defined(TP_SMALL) || defined(TP_BOTH)
VR_EXPORT VrSmallPlugin* mxSmallPlugInRegistration(void)
{
    note("entry-small");
#ifdef TP_NULL
    return NULL;
#else
    VrSmallPlugin* p = calloc(1, sizeof *p);
    fillRecords();
    FILL_COMMON(p);
#ifdef TP_NOT_READY
    p->Ready = 0;
#endif
#ifdef TP_GARBAGE
    p->Info = NULL;
#endif
    return p;
#endif
}
#endif

#if !defined(TP_SMALL) || defined(TP_BOTH)
VR_EXPORT VrPlugin* mxPlugInRegistration(void)
{
    note("entry-normal");
#ifdef TP_NULL
    return NULL;
#else
    VrPlugin* p = calloc(1, sizeof *p);
    fillRecords();
    FILL_COMMON(p);
#ifdef TP_NOT_READY
    p->Ready = 0;
#endif
#ifdef TP_GARBAGE
    p->Info = NULL;
    p->Functions = NULL;
#endif
    return p;
#endif
}
#endif

#endif /* TP_NO_ENTRY */
