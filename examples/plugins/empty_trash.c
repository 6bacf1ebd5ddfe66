/* A small-kind plug-in: one command that, once the user agrees, empties the
 * user's desktop Trash (the freedesktop.org Trash of the home folder: files/
 * and info/ under $XDG_DATA_HOME/Trash, else ~/.local/share/Trash) and says
 * how many items went and what it freed. */
#include "plugins/varnel_plugin.h"
#include "sample_files.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static VrPluginInfo info = {
    NULL, NULL, NULL,
    "Очищает Корзину рабочего стола", /* Note */
    NULL, NULL,
    "Очистка Корзины",                /* Title */
    "varnel.sample.empty-trash",      /* InstanceKey */
    "1.0",                            /* VersionText */
};

static void empty_trash(void* context, void* sender)
{
    VrSmallPlugin* self = context;
    char trash[PATH_MAX], part[PATH_MAX + 16], text[512], size[32];
    if (!sample_xdg_dir("XDG_DATA_HOME", ".local/share", trash, sizeof trash - 8)) {
        self->Loader->ShowMessage(self->Loader, "Не удалось найти Корзину: не задана домашняя папка.");
        return;
    }
    /* Nothing in the Trash can be had back afterwards. */
    if (!self->Loader->AskYesNo(self->Loader, "Очистить Корзину? Всё, что в ней лежит, будет удалено безвозвратно."))
        return;
    snprintf(trash + strlen(trash), 8, "/Trash");
    /* What the Trash holds are the entries of files/; info/ only describes them. */
    SampleTally items = {0, 0, 0, 0, 0}, records = {0, 0, 0, 0, 0};
    snprintf(part, sizeof part, "%s/files", trash);
    sample_empty_folder(part, &items);
    snprintf(part, sizeof part, "%s/info", trash);
    sample_empty_folder(part, &records);
    /* The cache of folder sizes describes what is gone now. */
    snprintf(part, sizeof part, "%s/directorysizes", trash);
    remove(part);

    sample_format_size(items.bytes + records.bytes, size, sizeof size);
    if (items.kept)
        snprintf(text, sizeof text, "Корзина очищена не полностью: удалено объектов %llu (%s), не удалось удалить %llu.",
                 (unsigned long long)items.items, size, (unsigned long long)items.kept);
    else
        snprintf(text, sizeof text, "Корзина очищена: удалено объектов %llu, освобождено %s.",
                 (unsigned long long)items.items, size);
    self->Loader->ShowMessage(self->Loader, text);
}

static VrSmallCommand command;

static int32_t command_count(const VrList* list) { return 1; }
static void* command_at(const VrList* list, int32_t index) { return index == 0 ? &command : NULL; }
static VrList commands = {NULL, command_count, command_at};

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
    self->RequiredVersion = 313; /* AskYesNo */
    self->MaxInstances = 1;
    self->Actions = &commands;

    command.Name = "EmptyTrashCmd";
    command.Caption = "Очистить Корзину";
    command.Hint = "Безвозвратно удалить всё, что лежит в Корзине";
    command.Enabled = 1;
    command.OnAction.code = empty_trash;
    command.OnAction.context = self;
    return self;
}
