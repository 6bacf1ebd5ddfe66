#include "platform/PrefixEnvironment.h"

#include "platform/RegistryKey.h"
#include "platform/WinePrefix.h"

namespace platform {

namespace {

void addFromKey(QHash<QString, QString>& vars, RegistryRoot root, const QString& path)
{
    RegistryKey key;
    if (!key.open(root, path, false))
        return;
    for (const QString& name : key.valueNames()) {
        QString text;
        if (!name.isEmpty() && key.readString(name, text))
            vars.insert(name.toUpper(), PrefixEnvironment::expand(text, vars));
    }
}

} // namespace

QHash<QString, QString> PrefixEnvironment::variables()
{
    const QString user = WinePrefix::userName();
    const QString profile = QStringLiteral("C:\\users\\") + user;
    QHash<QString, QString> vars{
        {QStringLiteral("SYSTEMDRIVE"), QStringLiteral("C:")},
        {QStringLiteral("SYSTEMROOT"), QStringLiteral("C:\\windows")},
        {QStringLiteral("WINDIR"), QStringLiteral("C:\\windows")},
        {QStringLiteral("PROGRAMDATA"), QStringLiteral("C:\\ProgramData")},
        {QStringLiteral("ALLUSERSPROFILE"), QStringLiteral("C:\\ProgramData")},
        {QStringLiteral("PUBLIC"), QStringLiteral("C:\\users\\Public")},
        {QStringLiteral("USERNAME"), user},
        {QStringLiteral("USERPROFILE"), profile},
        {QStringLiteral("HOMEDRIVE"), QStringLiteral("C:")},
        {QStringLiteral("HOMEPATH"), QStringLiteral("\\users\\") + user},
        {QStringLiteral("APPDATA"), profile + QStringLiteral("\\AppData\\Roaming")},
        {QStringLiteral("LOCALAPPDATA"), profile + QStringLiteral("\\AppData\\Local")},
        {QStringLiteral("PROGRAMFILES"), QStringLiteral("C:\\Program Files")},
        {QStringLiteral("COMMONPROGRAMFILES"), QStringLiteral("C:\\Program Files\\Common Files")},
    };
    addFromKey(vars, RegistryRoot::LocalMachine,
               QStringLiteral("System\\CurrentControlSet\\Control\\Session Manager\\Environment"));
    addFromKey(vars, RegistryRoot::CurrentUser, QStringLiteral("Environment"));
    return vars;
}

QString PrefixEnvironment::expand(const QString& text, const QHash<QString, QString>& vars)
{
    QString out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'%', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'%', open + 1);
        if (close < 0) {
            out += text.mid(pos);
            break;
        }
        out += text.mid(pos, open - pos);
        const QString name = text.mid(open + 1, close - open - 1);
        const auto it = vars.constFind(name.toUpper());
        if (!name.isEmpty() && it != vars.cend()) {
            out += *it;
            pos = close + 1;
        } else {
            // Not a variable: keep the first "%" and look again from the second.
            out += u'%' + name;
            pos = close;
        }
    }
    return out;
}

QString PrefixEnvironment::value(const QString& name)
{
    return variables().value(name.toUpper());
}

} // namespace platform
