// A plug-in whose OnAfterInit hook throws a C++ exception, for the loader's
// tests: the exception must end the folder walk and reach the caller, with
// the half-taken plug-in destroyed and its library freed.
#include "plugins/varnel_plugin.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

void note(const char* what)
{
    const char* path = std::getenv("VARNEL_PLUGIN_LOG");
    if (FILE* f = path ? std::fopen(path, "a") : nullptr) {
        std::fprintf(f, "%s throw\n", what);
        std::fclose(f);
    }
}

void destroy(void* self)
{
    note("destroy");
    std::free(self);
}

const VrObjectOps ops = {destroy, nullptr};
VrPluginInfo info = {};

void afterInit(void*, void*)
{
    throw std::runtime_error("plug-in failed");
}

} // namespace

extern "C" VR_EXPORT VrSmallPlugin* mxSmallPlugInRegistration(void)
{
    auto* p = static_cast<VrSmallPlugin*>(std::calloc(1, sizeof(VrSmallPlugin)));
    p->ops = &ops;
    p->Ready = 1;
    info.Title = "Throwing";
    p->Info = &info;
    p->RequiredVersion = VR_LOADER_VERSION;
    p->OnAfterInit.code = afterInit;
    return p;
}
