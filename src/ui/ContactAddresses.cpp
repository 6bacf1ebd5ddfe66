#include "ui/ContactAddresses.h"

#ifndef VARNEL_HOMEPAGE
#error "VARNEL_HOMEPAGE comes from the build"
#endif

QString ContactAddresses::HomePage()
{
    return QStringLiteral(VARNEL_HOMEPAGE);
}

QString ContactAddresses::Mail()
{
    return QStringLiteral(VARNEL_MAIL);
}
