// The main window's plug-in menu: loading the plug-ins when the window is
// created, their commands as items of "Плагины", plugins.list, and
// unloading when the window closes.

#include "app/TMainForm.h"

#include "platform/KnownFolders.h"
#include "platform/MessageBoxService.h"
#include "platform/PathMapper.h"
#include "platform/PluginFolder.h"
#include "platform/TextFile.h"
#include "plugins/PluginList.h"
#include "core/Context.h"
#include "core/Disposal.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include <exception>
#include <stdexcept>

namespace {

QString errorText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Ошибка при загрузке плагинов");
    }
}

} // namespace

void TMainForm::LoadPlugins()
{
    PluginLoader.setObjectName(QStringLiteral("PluginLoader"));
    PluginLoader.setParent(this);
    PluginLoader.Extension = QStringLiteral("dll");
    PluginLoader.OnNewAction = [this](TmxPluginLoader* sender, const QString& name, const TmxPluginImage& image,
                                      const TmxPluginImage& hot, const TmxPluginImage& disabled, const QString& caption,
                                      bool enabled, bool checked, const QString& hint, quint16 shortCut,
                                      const TmxNotifyEvent& onAction) {
        PluginLoaderNewAction(sender, name, image, hot, disabled, caption, enabled, checked, hint, shortCut, onAction);
    };
    PluginLoader.OnShowMessage = [](TmxPluginLoader*, const QString& text) {
        platform::MessageBoxService::show(
            {text, {}, platform::MsgButtons::Ok, platform::MsgIcon::Information, nullptr});
    };
    PluginLoader.OnAskYesNo = [](TmxPluginLoader*, const QString& question) {
        return platform::MessageBoxService::show(
                   {question, {}, platform::MsgButtons::YesNo, platform::MsgIcon::Question, nullptr})
            == platform::MsgResult::Yes;
    };
    PluginLoader.OnBeforeUnload = [this](TmxPluginLoader* sender, int index, bool& canUnload) {
        PluginLoaderBeforeUnload(sender, index, canUnload);
    };

    const QString appDir = GetAppDir();
    platform::PluginFolder::ensureExists(appDir + QStringLiteral("Plugins")); // a failure shows in the walk
    // The user's own plug-ins come after the program's, under the same rules.
    const QString userFolder = platform::PathMapper::toWindows(platform::KnownFolders::userPluginFolder());
    std::exception_ptr error;
    try {
        PluginLoader.LoadFromFolder(appDir + QStringLiteral("Plugins\\"), false);
        if (platform::PluginFolder::exists(userFolder))
            PluginLoader.LoadFromFolder(userFolder + QStringLiteral("\\"), false);
        PlugList->clear();
        PlugList->addItems(PluginList::lines(PluginLoader));
    } catch (...) {
        error = std::current_exception();
    }
    QStringList lines;
    for (int i = 0; i < PlugList->count(); ++i)
        lines << PlugList->item(i)->text();
    platform::TextFile::writeLines(platform::KnownFolders::programFile(platform::KnownFolders::ProgramFile::PluginList),
                                   lines);
    if (error) {
        // The application's general error report.
        platform::MessageBoxService::show(
            {errorText(error), {}, platform::MsgButtons::Ok, platform::MsgIcon::Error, this});
        return;
    }
    if (PluginLoader.SmallPluginCount() + PluginLoader.PluginCount() < 1) {
        QAction* none = PlugnMenuItem->addAction(QStringLiteral("Нет установленных плагинов"));
        none->setObjectName(QStringLiteral("NoPlugins"));
        none->setEnabled(isEnabled());
    }
}

void TMainForm::PluginLoaderNewAction(TmxPluginLoader*, const QString& Name, const TmxPluginImage&,
                                      const TmxPluginImage&, const TmxPluginImage&, const QString& Caption,
                                      bool Enabled, bool Checked, const QString&, quint16,
                                      const TmxNotifyEvent& OnAction)
{
    if (!PluginList::isValidCommandName(Name))
        throw std::invalid_argument(QStringLiteral("Недопустимое имя команды плагина: \"%1\"").arg(Name).toStdString());
    auto* item = new QAction(Caption, PlugnMenuItem);
    item->setObjectName(Name);
    item->setEnabled(Enabled);
    // The mark is the plug-in's to show; choosing the item does not flip it.
    item->setCheckable(Checked);
    item->setChecked(Checked);
    if (OnAction) {
        connect(item, &QAction::triggered, item, [this, item, OnAction, Checked] {
            item->setChecked(Checked);
            runPluginCommand(item, OnAction);
        });
    }
    PlugnMenuItem->addAction(item);
}

void TMainForm::runPluginCommand(QAction* item, const TmxNotifyEvent& command)
{
    // A command may show a box and so let messages run; a close asked for
    // meanwhile waits until the command has returned.
    ++pluginCommands_;
    try {
        command(item);
    } catch (...) {
        // A failing plug-in command ends silently, as every handler does.
    }
    if (--pluginCommands_ == 0 && pluginClosePending_) {
        pluginClosePending_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

bool TMainForm::DeferCloseForPlugin()
{
    if (pluginCommands_ == 0)
        return false;
    pluginClosePending_ = true;
    return true;
}

void TMainForm::PluginLoaderBeforeUnload(TmxPluginLoader*, int, bool&)
{
    try {
        const QList<QAction*> items = PlugnMenuItem->actions();
        for (QAction* item : items) {
            PlugnMenuItem->removeAction(item);
            delete item;
        }
    } catch (...) {}
}

void TMainForm::UnloadPlugins()
{
    try {
        bool canUnload = true;
        PluginLoaderBeforeUnload(&PluginLoader, -1, canUnload);
        PluginLoader.UnloadAll();
    } catch (...) {}
}
