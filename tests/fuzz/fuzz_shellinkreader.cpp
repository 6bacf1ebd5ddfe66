// The shortcut reader on arbitrary bytes: it may refuse them, never crash,
// abort or read outside what it was given (run it with -DVARNEL_SANITIZE=ON).
// The seeds in corpus/ are shortcuts that once did.

#include "platform/ShellLinkReader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <new>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        (void)platform::ShellLinkReader::fromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const std::bad_alloc&) {
        // read() answers this as an unreadable shortcut
    }
    return 0;
}
