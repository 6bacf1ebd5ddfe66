// A plug-in whose hook throws a C++ exception, for the loader's tests. Built
// as tp_throw, OnAfterInit throws: the exception must end the folder walk
// and reach the caller, with the half-taken plug-in destroyed. Built as
// tp_throwunload (TP_THROW_ON_QUERY_UNLOAD), OnQueryUnload throws: a forced
// unload, and the loader's end, must still take it and free its library.
#include "plugins/varnel_plugin.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#ifndef TP_NAME
#define TP_NAME "throw"
#endif

namespace {

void note(const char* what)
{
    const char* path = std::getenv("VARNEL_PLUGIN_LOG");
    if (FILE* f = path ? std::fopen(path, "a") : nullptr) {
        std::fprintf(f, "%s %s\n", what, TP_NAME);
        std::fclose(f);
    }
}

__attribute__((destructor)) void unloaded()
{
    note("free");
}

void destroy(void* self)
{
    note("destroy");
    std::free(self);
}

const VrObjectOps ops = {destroy, nullptr};
VrPluginInfo info = {};

[[noreturn]] void fail(void*, void*)
{
    throw std::runtime_error("plug-in failed");
}

#ifdef TP_THROW_ON_QUERY_UNLOAD
[[noreturn]] void failFlag(void* context, void* sender, uint8_t*)
{
    fail(context, sender);
}
#endif

} // namespace

extern "C" VR_EXPORT VrSmallPlugin* mxSmallPlugInRegistration(void)
{
    auto* p = static_cast<VrSmallPlugin*>(std::calloc(1, sizeof(VrSmallPlugin)));
    p->ops = &ops;
    p->Ready = 1;
    info.Title = "Throwing";
    p->Info = &info;
    p->RequiredVersion = VR_LOADER_VERSION;
#ifdef TP_THROW_ON_QUERY_UNLOAD
    p->OnQueryUnload.code = failFlag;
#else
    p->OnAfterInit.code = fail;
#endif
    return p;
}
