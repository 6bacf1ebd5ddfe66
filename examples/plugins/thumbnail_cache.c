/* A normal-kind plug-in: a command that clears the desktop's thumbnail
 * cache ($XDG_CACHE_HOME/thumbnails, else ~/.cache/thumbnails), and a value
 * that gives the cache's current size as text through OnGetText. */
#include "plugins/varnel_plugin.h"
#include "sample_files.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct Plugin {
    VrPlugin base;              /* first: the host sees a VrPlugin */
    char folder[PATH_MAX];
    char caption[128];
} Plugin;

static VrPluginInfo info = {
    NULL, NULL, NULL,
    "удаляет эскизы файлов, которые создал рабочий стол", /* Note */
    NULL, NULL,
    "Кэш эскизов",                                         /* Title */
    "varnel.sample.thumbnail-cache",                       /* InstanceKey */
    "1.0",                                                 /* VersionText */
};

/* ---- the command ---- */

typedef struct Command {
    VrCommand base;
} Command;

static const char* command_name(const void* self) { return "ClearThumbnailsCmd"; }
static const VrObjectOps command_ops = {NULL, command_name};
static Command command;

static void clear_cache(void* context, void* sender)
{
    Plugin* self = context;
    char text[512], size[32];
    SampleTally tally = {0, 0, 0, 0, 0};
    if (!sample_empty_folder(self->folder, &tally)) {
        self->base.Loader->ShowMessage(self->base.Loader, "Кэш эскизов не очищен: это не папка.");
        return;
    }
    sample_format_size(tally.bytes, size, sizeof size);
    snprintf(text, sizeof text, "Кэш эскизов очищен: удалено объектов %llu, освобождено %s.%s",
             (unsigned long long)tally.files, size, tally.failed ? " Часть файлов удалить не удалось." : "");
    self->base.Loader->ShowMessage(self->base.Loader, text);
}

/* ---- the value ---- */

static const char* value_name(const void* self) { return "ThumbnailCacheSize"; }
static const VrObjectOps value_ops = {NULL, value_name};
static VrValue value;

/* The size is measured when the host asks, so the text is current. */
static void size_text(void* context, void* sender, VrVariant* v, char** text)
{
    Plugin* self = context;
    char size[32], buf[96];
    v->type = VR_VT_INT64;
    v->value.int64Value = (int64_t)sample_folder_size(self->folder);
    sample_format_size((uint64_t)v->value.int64Value, size, sizeof size);
    snprintf(buf, sizeof buf, "Кэш эскизов: %s", size);
    free(*text);
    *text = strdup(buf);
}

/* ---- the lists ---- */

static int32_t one(const VrList* list) { return 1; }
static void* command_at(const VrList* list, int32_t i) { return i == 0 ? &command : NULL; }
static void* value_at(const VrList* list, int32_t i) { return i == 0 ? &value : NULL; }
static VrList commands = {NULL, one, command_at};
static VrList values = {NULL, one, value_at};

static void destroy(void* self) { free(self); }
static const VrObjectOps ops = {destroy, NULL};

VR_EXPORT VrPlugin* mxPlugInRegistration(void)
{
    Plugin* self = calloc(1, sizeof *self);
    if (!self)
        return NULL;
    if (!sample_xdg_dir("XDG_CACHE_HOME", ".cache", self->folder, sizeof self->folder - 12)) {
        free(self);
        return NULL;
    }
    strcat(self->folder, "/thumbnails");

    self->base.ops = &ops;
    self->base.Ready = 1;
    self->base.Info = &info;
    self->base.RequiredVersion = VR_LOADER_VERSION;
    self->base.MaxInstances = 1;
    self->base.Actions = &commands;
    self->base.Functions = &values;

    /* The menu shows the size the cache had when the program started. */
    char size[32];
    sample_format_size(sample_folder_size(self->folder), size, sizeof size);
    snprintf(self->caption, sizeof self->caption, "Очистить кэш эскизов (%s)", size);
    memset(&command, 0, sizeof command);
    command.base.ops = &command_ops;
    command.base.Caption = self->caption;
    command.base.Hint = "Удалить сохранённые эскизы изображений и документов";
    command.base.Enabled = 1;
    command.base.OnAction.code = clear_cache;
    command.base.OnAction.context = self;

    memset(&value, 0, sizeof value);
    value.ops = &value_ops;
    value.Value.type = VR_VT_EMPTY;
    value.OnGetText.code = size_text;
    value.OnGetText.context = self;
    return &self->base;
}
