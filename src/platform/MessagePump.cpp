#include "platform/MessagePump.h"

namespace platform {

namespace {

std::function<void()>& hook()
{
    static std::function<void()> h;
    return h;
}

} // namespace

void MessagePump::process()
{
    if (hook())
        hook()();
}

void MessagePump::setHook(std::function<void()> h)
{
    hook() = std::move(h);
}

} // namespace platform
