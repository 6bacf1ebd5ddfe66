#include "plugins/PluginList.h"

#include "plugins/TmxPluginLoader.h"

namespace PluginList {

QStringList lines(const TmxPluginLoader& loader)
{
    QStringList result;
    for (int i = 0; i < loader.PluginCount(); ++i) {
        const PluginObject* p = loader.Plugin(i, ptNormal);
        result << p->title() + QStringLiteral(" v") + p->versionText() + QStringLiteral(" (") + p->note() + u')';
    }
    for (int i = 0; i < loader.SmallPluginCount(); ++i)
        result << loader.Plugin(i, ptSmall)->title();
    return result;
}

bool isValidCommandName(const QString& name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
        const bool digit = c >= u'0' && c <= u'9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

} // namespace PluginList
