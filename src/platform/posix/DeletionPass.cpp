#include "platform/DeletionPass.h"

#include "posix/DeletionGuard.h"

namespace platform {

DeletionPass::DeletionPass()
{
    posix::DeletionGuard::openPass();
}

DeletionPass::~DeletionPass()
{
    posix::DeletionGuard::closePass();
}

void DeletionPass::setInUseCheck(bool on)
{
    posix::DeletionGuard::setInUseCheck(on);
}

} // namespace platform
