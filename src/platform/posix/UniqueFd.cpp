#include "posix/UniqueFd.h"

#include <unistd.h>

namespace platform::posix {

UniqueFd::~UniqueFd()
{
    reset();
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

bool UniqueFd::reset(int fd)
{
    const int old = fd_;
    fd_ = fd;
    return old < 0 || ::close(old) == 0;
}

} // namespace platform::posix
