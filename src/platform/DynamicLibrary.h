#pragma once
// Loading libraries by name, their entry points, and the bitmaps and pages
// of the program's resource libraries.
//
// The resource libraries keep their Windows names beside the program
// (vrimgs.dll, vrhelp.dll) but are Qt binary resource bundles: a bitmap with
// identifier N is bitmaps/N.png inside, a page is pages/<name>. Any other
// library is a shared object.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace platform {

class DynamicLibrary {
public:
    struct Library;
    // Unloads a library when its handle goes; nothing may be used from it
    // afterwards.
    struct Unload {
        void operator()(Library* library) const;
    };
    // A loaded library, owned by whoever holds the handle: letting it go
    // (reset, end of scope) unloads the library; release() leaves it loaded
    // for good.
    using Handle = std::unique_ptr<Library, Unload>;

    // Loads the library. A bare name is looked for in the program folder
    // first, then in the system's search path; a path in Windows form is
    // taken as it is. Returns an empty handle when it cannot be loaded.
    static Handle load(const QString& name);

    // Loads the shared object open as fd, so what loads is the very file the
    // caller looked at. Takes the descriptor over: closed when the load
    // fails, kept open for the rest of the process when it succeeds (the
    // system names the library after it).
    static Handle loadDescriptor(int fd, const QString& name);

    // The address of an exported entry point; nullptr when the library has
    // none of that name (and always for a resource bundle).
    static void* symbol(const Handle& library, const char* name);

    // The bitmap resource with this identifier, encoded (PNG); empty when
    // there is none. The caller decodes it: the platform core draws nothing.
    static QByteArray bitmap(const Handle& library, int id);

    // The bytes of a named resource (a help page); empty when missing.
    static QByteArray resource(const Handle& library, const QString& name);

    // The system's own handle of a shared object (what dlopen gave), for a
    // plug-in that looks itself up; nullptr for a resource bundle.
    static void* nativeHandle(const Handle& library);
};

} // namespace platform
