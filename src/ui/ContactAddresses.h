#pragma once
// The program's addresses on the web, fixed when the program is built
// (the VARNEL_HOMEPAGE and VARNEL_MAIL build options).

#include <QString>

class ContactAddresses {
public:
    // The product home page, without a trailing slash.
    static QString HomePage();
    // The developers' mail address, without any scheme.
    static QString Mail();
    // The address that starts a new mail message to the developers.
    static QString MailTo() { return QStringLiteral("mailto:") + Mail(); }
};
