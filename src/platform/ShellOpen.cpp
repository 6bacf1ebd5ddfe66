#include "platform/ShellOpen.h"

#include "platform/PathMapper.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace platform {

namespace {

ShellOpen::CallHandler& handler()
{
    static ShellOpen::CallHandler h;
    return h;
}

ShellOpen::Handler& resourceHandler()
{
    static ShellOpen::Handler h;
    return h;
}

bool isAddress(const QString& target)
{
    for (const char* scheme : {"http:", "https:", "mailto:", "ftp:"})
        if (target.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    return false;
}

bool openWithDesktop(const QString& target)
{
    if (target.startsWith(u"res://", Qt::CaseInsensitive))
        return resourceHandler() && resourceHandler()(target);
    if (isAddress(target))
        return QDesktopServices::openUrl(QUrl(target));
    const QByteArray host = PathMapper::toHost(target);
    if (host.isEmpty() || !QFile::exists(QFile::decodeName(host)))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(host)));
}

} // namespace

bool ShellOpen::open(const QString& target)
{
    return open(ShellCall{target, ShowCommand::Normal, false});
}

bool ShellOpen::open(const ShellCall& call)
{
    return handler() ? handler()(call) : openWithDesktop(call.target);
}

bool ShellOpen::openFolder(const QString& winPath)
{
    return open(winPath);
}

void ShellOpen::setHandler(Handler h)
{
    if (h)
        handler() = [h = std::move(h)](const ShellCall& call) { return h(call.target); };
    else
        handler() = {};
}

void ShellOpen::setCallHandler(CallHandler h)
{
    handler() = std::move(h);
}

void ShellOpen::setResourceHandler(Handler h)
{
    resourceHandler() = std::move(h);
}

} // namespace platform
