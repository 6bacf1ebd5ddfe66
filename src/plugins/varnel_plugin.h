/*
 * varnel_plugin.h: the whole contract between Varnel and a plug-in library.
 *
 * Plain C (C99 or later; also valid C++). A plug-in is a shared object named
 * *.dll in the Plugins folder beside the program. It exports one of
 *
 *     VrPlugin*      mxPlugInRegistration(void);       (normal kind)
 *     VrSmallPlugin* mxSmallPlugInRegistration(void);  (small kind)
 *
 * which returns a newly created registration object, or NULL. From that
 * moment the host owns the object: it reads and writes the fields below,
 * calls the hooks stored in it, and finally calls ops->destroy(object)
 * before it unloads the library.
 *
 * Layout: every field stands in a fixed order. Built for 32-bit x86 the
 * offsets are the ones written beside each field; on 64-bit every reference
 * (pointer) widens to 8 bytes in the same order. Fields marked "yours" are
 * never read or written by the host.
 *
 * Memory: texts are NUL-terminated UTF-8. A text the host gives away (the
 * text of a value handed to OnGetText) comes from malloc and is released with
 * free by whichever side ends up owning it. Texts the plug-in points to from
 * its records stay the plug-in's; the host copies what it keeps.
 *
 * Robustness: the host copes with NULL texts, NULL lists, negative counts,
 * NULL items and empty or NULL images; it cannot protect itself from a
 * plug-in that crashes.
 */
#ifndef VARNEL_PLUGIN_H
#define VARNEL_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define VR_EXPORT __attribute__((visibility("default")))
#else
#define VR_EXPORT
#endif

/* The loader's version, major*256 + minor: 1.57. A plug-in that calls a
 * service added in some version sets RequiredVersion to it, so an older
 * host refuses it instead of calling past the end of its table. */
#define VR_LOADER_VERSION 313

/* Plug-in kinds, and the one-byte set of them (bit 0 small, bit 1 normal). */
typedef enum TmxPluginTypes { ptSmall = 0, ptNormal = 1 } TmxPluginTypes;
#define VR_TYPE_BIT(kind) ((uint8_t)(1u << (kind)))

/* Results of loading one library. */
typedef enum TmxPluginLoadResult {
    lrOk = 0,
    lrLoadFailed = 1,
    lrNoEntryPoint = 2,
    lrNoPluginObject = 3,
    lrInitRefused = 4,
    lrLoaderTooOld = 5,
    lrRejected = 6,
    lrTooManyInstances = 7,
    lrTypeDisabled = 8
} TmxPluginLoadResult;

/* ---- objects ----------------------------------------------------------
 * Every object (registration objects, records, lists) begins with a pointer
 * to its operations table. destroy is called by the host on registration
 * objects only: it must free the object and everything the plug-in made for
 * it. displayName is called on the items of a normal plug-in's collections
 * and gives the item's name; the text stays the item's (the host copies
 * it); NULL counts as "". */
typedef struct VrObjectOps {
    void (*destroy)(void* self);
    const char* (*displayName)(const void* self);
} VrObjectOps;

/* ---- hooks ------------------------------------------------------------
 * A hook is a code address followed by a context value; it is present when
 * code is not NULL and is called with its context and the object as sender.
 * A flag hook also gets the address of a one-byte in/out flag. */
typedef void (*VrNotifyProc)(void* context, void* sender);
typedef void (*VrFlagProc)(void* context, void* sender, uint8_t* flag);

typedef struct VrNotifyHook {
    VrNotifyProc code;
    void* context;
} VrNotifyHook; /* 8 bytes on 32-bit */

typedef struct VrFlagHook {
    VrFlagProc code;
    void* context;
} VrFlagHook; /* 8 bytes on 32-bit */

/* ---- variant ----------------------------------------------------------
 * A 16-byte tagged value: the tag at offset 0, the payload at offset 8. The
 * host turns it into text: empty and null give "", integers in decimal,
 * doubles shortest round-trip, booleans "True"/"False", text as it is
 * (NULL text gives ""); an unknown tag gives "". */
enum {
    VR_VT_EMPTY = 0,
    VR_VT_NULL = 1,
    VR_VT_INT32 = 3,
    VR_VT_DOUBLE = 5,
    VR_VT_TEXT = 8,
    VR_VT_BOOL = 11,
    VR_VT_INT64 = 20
};

typedef struct VrVariant {
    uint16_t type;        /*  0 */
    uint16_t reserved[3]; /*  2 */
    union {
        int32_t int32Value;
        int64_t int64Value;
        double doubleValue;
        uint8_t boolValue; /* 0 false, anything else true */
        const char* text;  /* stays the plug-in's */
    } value;               /*  8 */
} VrVariant;               /* 16 bytes on 32-bit and 64-bit */

/* Called with the record as sender, the address of its Value and the
 * address of the host's text (malloc'd, may be NULL). To replace the text,
 * free(*text) and store a malloc'd one; the host frees what it gets back. */
typedef void (*VrGetTextProc)(void* context, void* sender, VrVariant* value, char** text);

typedef struct VrGetTextHook {
    VrGetTextProc code;
    void* context;
} VrGetTextHook; /* 8 bytes on 32-bit */

/* ---- images -----------------------------------------------------------
 * Plain 32-bit ARGB pixels (0xAARRGGBB), rows of stride bytes, top row
 * first. A NULL image, a zero or negative size, or NULL pixels is "no
 * image". The host does not show command images in this version. */
typedef struct VrImage {
    int32_t width;
    int32_t height;
    int32_t stride; /* bytes per row; 0 means width*4 */
    const uint32_t* pixels;
} VrImage;

/* ---- lists ------------------------------------------------------------
 * A count plus an item accessor. count < 0 counts as 0; item may return
 * NULL for an index it does not have, and the host then skips it. For the
 * small kind the items are VrSmallCommand / VrSmallValue records, for the
 * normal kind VrCommand / VrValue collection items. */
typedef struct VrList {
    const VrObjectOps* ops; /* yours */
    int32_t (*count)(const struct VrList* self);
    void* (*item)(const struct VrList* self, int32_t index);
} VrList;

/* ---- information record (both kinds; the host only reads it) ---------- */
typedef struct VrPluginInfo {
    const VrObjectOps* ops;  /*  0 yours */
    const char* Reserved04;  /*  4 yours */
    const char* Reserved08;  /*  8 yours */
    const char* Note;        /* 12 shown in plugins.list after the version */
    const char* Reserved16;  /* 16 yours */
    const char* Reserved20;  /* 20 yours */
    const char* Title;       /* 24 the plug-in's name */
    const char* InstanceKey; /* 28 compared exactly for MaxInstances */
    const char* VersionText; /* 32 e.g. "1.0" */
} VrPluginInfo;

/* ---- command records: one menu command each ----------------------------
 * Name is the command's identifier (letters, digits and underscores, not
 * beginning with a digit, or empty); Caption the menu text. OnAction is
 * called with the menu item as sender when the command is chosen. The
 * host does not use ShortCut, Hint or the images in this version. */
typedef struct VrSmallCommand {
    const VrObjectOps* ops;       /*  0 yours */
    const char* Name;             /*  4 */
    void* Reserved08;             /*  8 yours */
    void* Reserved12;             /* 12 yours */
    uint8_t Enabled;              /* 16 */
    uint8_t Checked;              /* 17 */
    const char* Caption;          /* 20 */
    uint16_t ShortCut;            /* 24 */
    const char* Hint;             /* 28 */
    const VrImage* Image;         /* 32 */
    const VrImage* HotImage;      /* 36 */
    const VrImage* DisabledImage; /* 40 */
    void* Reserved44;             /* 44 yours */
    VrNotifyHook OnAction;        /* 48 */
} VrSmallCommand;

/* A collection item: its name comes from ops->displayName. */
typedef struct VrCommand {
    const VrObjectOps* ops;       /*  0 */
    void* Reserved04;             /*  4 yours */
    void* Reserved08;             /*  8 yours */
    void* Reserved12;             /* 12 yours */
    void* Reserved16;             /* 16 yours */
    uint8_t Enabled;              /* 20 */
    uint8_t Checked;              /* 21 */
    void* Reserved24;             /* 24 yours */
    const char* Caption;          /* 28 */
    uint16_t ShortCut;            /* 32 */
    const char* Hint;             /* 36 */
    const VrImage* Image;         /* 40 */
    const VrImage* HotImage;      /* 44 */
    const VrImage* DisabledImage; /* 48 */
    void* Reserved52;             /* 52 yours */
    VrNotifyHook OnAction;        /* 56 */
} VrCommand;

/* ---- value records: a named value shown as text ----------------------- */
typedef struct VrSmallValue {
    const VrObjectOps* ops;  /*  0 yours */
    const char* Name;        /*  4 */
    VrVariant Value;         /*  8 */
    VrGetTextHook OnGetText; /* 24 */
} VrSmallValue;

typedef struct VrValue {
    const VrObjectOps* ops;  /*  0 name from ops->displayName */
    void* Reserved04;        /*  4 yours */
    void* Reserved08;        /*  8 yours */
    void* Reserved12;        /* 12 yours */
    VrVariant Value;         /* 16 */
    VrGetTextHook OnGetText; /* 32 */
} VrValue;

/* ---- the host's services --------------------------------------------
 * A registration object's Loader field points to this table once the host
 * has taken the object on. Call it only on the GUI thread, from a hook or a
 * command handler. */
typedef struct VrHost {
    int32_t Version; /* VR_LOADER_VERSION */
    /* Shows text (UTF-8) in a modal information box of the program and
     * returns when the user has closed it. */
    void (*ShowMessage)(struct VrHost* host, const char* text);
    /* Hands a message to the host's OnCallBack handler; returns 1 when the
     * host handled it, 0 when nothing did. */
    uint8_t (*CallBack)(struct VrHost* host, const char* message, int32_t param);
    /* Since 313 (1.57). Asks text (UTF-8) in a modal question box of the
     * program with the buttons Yes and No; returns 1 when the user chose
     * Yes, 0 for No or a box closed otherwise. */
    uint8_t (*AskYesNo)(struct VrHost* host, const char* text);
} VrHost;

/* ---- registration objects ---------------------------------------------
 * Written by the host: Application (opaque), Loader (the VrHost table),
 * LibraryHandle
 * (the dlopen handle, only when Ready is set and the field is still 0) and
 * FileName (the library's full path in the program's Windows form,
 * "c:\dir\Plugins\x.dll", not a host path; the host frees it just before
 * it calls destroy, so leave it alone).
 *
 * Order of calls on a load: entry point, OnBeforeInit (clear *flag to
 * refuse), the host's fields, OnAfterInit, version check, OnCheck (set *flag
 * to reject; only when Ready), then the commands are read (only when
 * Ready). Varnel shows no values and never asks one for its text: a figure
 * meant to be seen belongs in a command's Caption. On unload: OnQueryUnload
 * (clear *flag to stay loaded; the host may force it), destroy, then the
 * library is unloaded. All calls come on the program's one GUI thread. */
typedef struct VrPlugin {
    const VrObjectOps* ops;      /*   0 */
    void* Private[21];           /*   4 yours */
    uint8_t Ready;               /*  88 zero: nothing offered */
    VrList* Actions;             /*  92 VrCommand items */
    VrList* Functions;           /*  96 VrValue items */
    void* Application;           /* 100 host */
    const VrPluginInfo* Info;    /* 104 */
    int32_t RequiredVersion;     /* 108 major*256+minor; low 16 bits count */
    void* LibraryHandle;         /* 112 host */
    void* Reserved116;           /* 116 yours */
    int32_t MaxInstances;        /* 120 0 = unlimited */
    int32_t Reserved124;         /* 124 yours */
    VrFlagHook OnBeforeInit;     /* 128 flag CanInit, starts 1 */
    VrFlagHook OnQueryUnload;    /* 136 flag CanUnload, starts 1 */
    VrNotifyHook OnAfterInit;    /* 144 */
    VrNotifyHook Reserved152[4]; /* 152 yours */
    VrFlagHook OnCheck;          /* 184 flag Reject, starts 0 */
    VrHost* Loader;              /* 192 host */
    char* FileName;              /* 196 host */
} VrPlugin;

typedef struct VrSmallPlugin {
    const VrObjectOps* ops;     /*   0 */
    uint8_t Ready;              /*   4 */
    VrList* Actions;            /*   8 VrSmallCommand records */
    VrList* Functions;          /*  12 VrSmallValue records */
    void* Application;          /*  16 host */
    const VrPluginInfo* Info;   /*  20 */
    int32_t RequiredVersion;    /*  24 */
    void* LibraryHandle;        /*  28 host */
    void* Reserved32;           /*  32 yours */
    int32_t MaxInstances;       /*  36 */
    int32_t Reserved40;         /*  40 yours */
    int32_t Reserved44;         /*  44 yours */
    VrFlagHook OnBeforeInit;    /*  48 */
    VrFlagHook OnQueryUnload;   /*  56 */
    VrNotifyHook OnAfterInit;   /*  64 */
    VrNotifyHook Reserved72[4]; /*  72 yours */
    VrFlagHook OnCheck;         /* 104 */
    VrHost* Loader;             /* 112 host */
    char* FileName;             /* 116 host */
} VrSmallPlugin;

/* The two entry points; a library exports one of them (one exporting both
 * is a normal plug-in). */
typedef VrPlugin* (*VrPluginEntry)(void);
typedef VrSmallPlugin* (*VrSmallPluginEntry)(void);

#ifdef __cplusplus
}
#endif

#endif /* VARNEL_PLUGIN_H */
