#include "platform/DeletionPass.h"

#include "platform/TestSeams.h"
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

void testseams::setInUseCheck(bool on)
{
    posix::DeletionGuard::setInUseCheck(on);
}

} // namespace platform
