#include "app/TLarAssociatedIcon.h"

#include "platform/FileIcons.h"

void TLarAssociatedIcon::SetFileName(const QString& name)
{
    if (name == fileName_)
        return;
    fileName_ = name;
    icon_ = platform::FileIcons::icon(name.left(255));
}
