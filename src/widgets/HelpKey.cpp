#include "widgets/HelpKey.h"

#include "platform/KnownFolders.h"
#include "platform/ShellOpen.h"

#include <QShortcut>
#include <QWidget>

namespace HelpKey {

QString address(const QString& page)
{
    return QStringLiteral("res://") + platform::KnownFolders::appDir() + QStringLiteral("vrhelp.dll/") + page;
}

void open(const QString& page)
{
    try {
        platform::ShellOpen::open(platform::ShellCall{address(page), platform::ShowCommand::Maximized, false});
    } catch (...) {
        // help is never worth an error box
    }
}

void install(QWidget* window, const QString& page)
{
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setObjectName(QStringLiteral("HelpKey"));
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [page] { open(page); });
}

} // namespace HelpKey
