/* The plug-in contract's field offsets. Built for 32-bit x86 every offset
 * must equal the documented one; on any other build the fields must still
 * stand in the documented order. Compiled by the abi_layout_32 test (and
 * natively as part of the test plug-ins), so a change to the header that
 * moves a field fails the build or the tests. */
#include "plugins/varnel_plugin.h"

#include <stddef.h>

#if defined(__i386__)
#define AT(type, field, offset) _Static_assert(offsetof(type, field) == (offset), #type "." #field " at " #offset)
#define SIZE(type, size) _Static_assert(sizeof(type) == (size), "sizeof " #type)
#else
#define AT(type, field, offset) _Static_assert(offsetof(type, field) >= (offset), #type "." #field " at " #offset " or beyond")
#define SIZE(type, size) _Static_assert(sizeof(type) >= (size), "sizeof " #type)
#endif
#define BEFORE(type, a, b) _Static_assert(offsetof(type, a) < offsetof(type, b), #type ": " #a " before " #b)

AT(VrPlugin, ops, 0);
AT(VrPlugin, Ready, 88);
AT(VrPlugin, Actions, 92);
AT(VrPlugin, Functions, 96);
AT(VrPlugin, Application, 100);
AT(VrPlugin, Info, 104);
AT(VrPlugin, RequiredVersion, 108);
AT(VrPlugin, LibraryHandle, 112);
AT(VrPlugin, MaxInstances, 120);
AT(VrPlugin, OnBeforeInit, 128);
AT(VrPlugin, OnQueryUnload, 136);
AT(VrPlugin, OnAfterInit, 144);
AT(VrPlugin, OnCheck, 184);
AT(VrPlugin, Loader, 192);
AT(VrPlugin, FileName, 196);
SIZE(VrPlugin, 200);

AT(VrSmallPlugin, ops, 0);
AT(VrSmallPlugin, Ready, 4);
AT(VrSmallPlugin, Actions, 8);
AT(VrSmallPlugin, Functions, 12);
AT(VrSmallPlugin, Application, 16);
AT(VrSmallPlugin, Info, 20);
AT(VrSmallPlugin, RequiredVersion, 24);
AT(VrSmallPlugin, LibraryHandle, 28);
AT(VrSmallPlugin, MaxInstances, 36);
AT(VrSmallPlugin, OnBeforeInit, 48);
AT(VrSmallPlugin, OnQueryUnload, 56);
AT(VrSmallPlugin, OnAfterInit, 64);
AT(VrSmallPlugin, OnCheck, 104);
AT(VrSmallPlugin, Loader, 112);
AT(VrSmallPlugin, FileName, 116);
SIZE(VrSmallPlugin, 120);

AT(VrPluginInfo, Note, 12);
AT(VrPluginInfo, Title, 24);
AT(VrPluginInfo, InstanceKey, 28);
AT(VrPluginInfo, VersionText, 32);

AT(VrSmallCommand, Name, 4);
AT(VrSmallCommand, Enabled, 16);
AT(VrSmallCommand, Checked, 17);
AT(VrSmallCommand, Caption, 20);
AT(VrSmallCommand, ShortCut, 24);
AT(VrSmallCommand, Hint, 28);
AT(VrSmallCommand, Image, 32);
AT(VrSmallCommand, HotImage, 36);
AT(VrSmallCommand, DisabledImage, 40);
AT(VrSmallCommand, OnAction, 48);
SIZE(VrSmallCommand, 56);

AT(VrCommand, ops, 0);
AT(VrCommand, Enabled, 20);
AT(VrCommand, Checked, 21);
AT(VrCommand, Caption, 28);
AT(VrCommand, ShortCut, 32);
AT(VrCommand, Hint, 36);
AT(VrCommand, Image, 40);
AT(VrCommand, HotImage, 44);
AT(VrCommand, DisabledImage, 48);
AT(VrCommand, OnAction, 56);
SIZE(VrCommand, 64);

AT(VrSmallValue, Name, 4);
AT(VrSmallValue, Value, 8);
AT(VrSmallValue, OnGetText, 24);
SIZE(VrSmallValue, 32);

AT(VrValue, ops, 0);
AT(VrValue, Value, 16);
AT(VrValue, OnGetText, 32);
SIZE(VrValue, 40);

/* The pieces whose widths the offsets above rest on. */
SIZE(VrNotifyHook, 8);
SIZE(VrFlagHook, 8);
SIZE(VrGetTextHook, 8);
_Static_assert(sizeof(VrVariant) == 16, "a variant is 16 bytes");
_Static_assert(offsetof(VrVariant, value) == 8, "a variant's payload at 8");
_Static_assert(sizeof(((VrPlugin*)0)->Ready) == 1, "Ready is one byte");
_Static_assert(sizeof(((VrSmallCommand*)0)->ShortCut) == 2, "ShortCut is 16 bits");
_Static_assert(sizeof(((VrPlugin*)0)->RequiredVersion) == 4, "RequiredVersion is 32 bits");
_Static_assert(sizeof(((VrPlugin*)0)->MaxInstances) == 4, "MaxInstances is 32 bits");

/* On every build the order holds. */
BEFORE(VrPlugin, Ready, Actions);
BEFORE(VrPlugin, Actions, Functions);
BEFORE(VrPlugin, Functions, Application);
BEFORE(VrPlugin, Application, Info);
BEFORE(VrPlugin, Info, RequiredVersion);
BEFORE(VrPlugin, RequiredVersion, LibraryHandle);
BEFORE(VrPlugin, LibraryHandle, MaxInstances);
BEFORE(VrPlugin, MaxInstances, OnBeforeInit);
BEFORE(VrPlugin, OnBeforeInit, OnQueryUnload);
BEFORE(VrPlugin, OnQueryUnload, OnAfterInit);
BEFORE(VrPlugin, OnAfterInit, OnCheck);
BEFORE(VrPlugin, OnCheck, Loader);
BEFORE(VrPlugin, Loader, FileName);
BEFORE(VrSmallPlugin, Ready, Actions);
BEFORE(VrSmallPlugin, RequiredVersion, LibraryHandle);
BEFORE(VrSmallPlugin, MaxInstances, OnBeforeInit);
BEFORE(VrSmallPlugin, OnAfterInit, OnCheck);
BEFORE(VrSmallPlugin, Loader, FileName);
BEFORE(VrCommand, Enabled, Caption);
BEFORE(VrCommand, DisabledImage, OnAction);
BEFORE(VrSmallCommand, Name, Enabled);
BEFORE(VrSmallCommand, DisabledImage, OnAction);

int varnel_abi_layout_checked(void) { return 1; }
