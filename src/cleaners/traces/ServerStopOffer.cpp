#include "cleaners/traces/ServerStopOffer.h"

#include "platform/MessageBoxService.h"
#include "platform/WinePrefix.h"
#include "platform/WinePrefixFinder.h"
#include "platform/WineServer.h"

using platform::MessageBoxService;

namespace {

// The name the prefix menu shows it under, else its folder's name.
QString prefixName(const QString& path)
{
    if (const auto found = platform::WinePrefixFinder::lookup(path))
        return found->name;
    return path.section(u'/', -1);
}

} // namespace

QString ServerStopOffer::question(const QString& name, const QString& path)
{
    // Guillemets: a game's name often carries straight quotes of its own.
    return QStringLiteral("Реестр префикса Wine «") + name + QStringLiteral("» (") + path
        + QStringLiteral(") сейчас нельзя изменить: в этом префиксе работает wineserver.\n\n"
                         "Остановить wineserver этого префикса? Все программы Windows, запущенные в нём, "
                         "будут закрыты без сохранения данных.");
}

bool ServerStopOffer::write(QWidget* parent, const std::function<bool()>& write)
{
    if (write())
        return true;
    const QByteArray folder = platform::WinePrefix::folder();
    if (folder.isEmpty() || !platform::WinePrefix::serverRunning(folder))
        return false;
    const QString path = QString::fromLocal8Bit(folder);
    const platform::MsgResult answer = MessageBoxService::show(
        {question(prefixName(path), path), {}, platform::MsgButtons::YesNo, platform::MsgIcon::Question, parent});
    if (answer != platform::MsgResult::Yes)
        return false;
    if (!platform::WineServer::stop(folder)) {
        MessageBoxService::show({QStringLiteral("Не удалось остановить wineserver префикса ") + path
                                     + QStringLiteral(". Закройте программы Windows этого префикса и повторите."),
                                 {},
                                 platform::MsgButtons::Ok,
                                 platform::MsgIcon::Error,
                                 parent});
        return false;
    }
    return write();
}
