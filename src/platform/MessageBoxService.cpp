#include "platform/MessageBoxService.h"

#include <QCoreApplication>
#include <cstdio>

namespace platform {

namespace {

MessageBoxService::Handler& handler()
{
    static MessageBoxService::Handler h;
    return h;
}

MessageBoxService::Handler& presenter()
{
    static MessageBoxService::Handler p;
    return p;
}

// Without a display there is no one to press a button: the text goes to
// standard error and the box counts as closed.
MsgResult showNowhere(const MessageRequest& r)
{
    const QString caption = r.caption.isEmpty() ? QCoreApplication::applicationName() : r.caption;
    const QByteArray line = (caption + QStringLiteral(": ") + r.text).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    return r.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
}

} // namespace

MsgResult MessageBoxService::show(const MessageRequest& request)
{
    if (handler())
        return handler()(request);
    return presenter() ? presenter()(request) : showNowhere(request);
}

void MessageBoxService::setHandler(Handler h)
{
    handler() = std::move(h);
}

void MessageBoxService::setPresenter(Handler p)
{
    presenter() = std::move(p);
}

} // namespace platform
