#include "platform/CodePage.h"

#include "platform/RegistryKey.h"
#include "platform/WinePrefix.h"

#include <QByteArray>

namespace platform {

namespace {

int number(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

int prefixCodePage()
{
    if (!WinePrefix::active())
        return 0;
    RegistryKey key;
    QString acp;
    if (!key.open(RegistryRoot::LocalMachine, QStringLiteral("System\\CurrentControlSet\\Control\\Nls\\CodePage"),
                  false)
        || !key.readString(QStringLiteral("ACP"), acp))
        return 0;
    return number(acp);
}

QByteArray localeName()
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

} // namespace

int CodePage::ansi()
{
    if (const int forced = number(QString::fromLatin1(qgetenv("VARNEL_CODEPAGE"))))
        return forced;
    if (const int prefix = prefixCodePage())
        return prefix;
    return forLocale(localeName());
}

} // namespace platform
