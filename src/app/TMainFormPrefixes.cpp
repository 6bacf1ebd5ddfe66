// The main window's choice of environment: the host or one of the user's
// Wine prefixes. Switching starts the program again, as WINEPREFIX would:
// drives, registry and folders are fixed for a process's life.

#include "app/TMainForm.h"

#include "platform/ProgramRestart.h"
#include "platform/WinePrefix.h"
#include "platform/WinePrefixFinder.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>

using platform::FoundPrefix;

namespace {

// The prefix the program works in as the finder lists it, else as a
// prefix of its own named after its folder; nullopt on the host.
std::optional<FoundPrefix> currentAmong(const QList<FoundPrefix>& found)
{
    const QString folder = QString::fromLocal8Bit(platform::WinePrefix::folder());
    if (folder.isEmpty())
        return std::nullopt;
    if (const auto listed = platform::WinePrefixFinder::lookupIn(found, folder))
        return listed;
    FoundPrefix own;
    own.name = folder.section(u'/', -1);
    own.path = folder;
    return own;
}

} // namespace

void TMainForm::connectPrefixCommands()
{
    StartAgainIn = [](const QString& prefix) { return platform::ProgramRestart::startIn(prefix); };
    // Front ends make prefixes while the program runs: listed afresh on
    // every opening.
    connect(PrefixMenuItem, &QMenu::aboutToShow, this, &TMainForm::FillPrefixMenu);
    FillPrefixMenu();
}

void TMainForm::FillPrefixMenu()
{
    // Later, not now: this may run inside one of these actions' triggers.
    for (QAction* old : PrefixMenuItem->actions()) {
        PrefixMenuItem->removeAction(old);
        old->deleteLater();
    }
    for (QActionGroup* old : PrefixMenuItem->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    QList<FoundPrefix> found = platform::WinePrefixFinder::find();
    const std::optional<FoundPrefix> current = currentAmong(found);
    if (current && !platform::WinePrefixFinder::lookupIn(found, current->path))
        found.append(*current);
    currentPrefix_ = current ? current->path : QString();

    auto* group = new QActionGroup(PrefixMenuItem);
    const auto add = [this, group](const char* name, const QString& caption, const QString& prefix) {
        QAction* a = PrefixMenuItem->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        a->setChecked(prefix == currentPrefix_);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, prefix] { PrefixMenuItemClick(prefix); });
    };
    add("PrefixHost", QStringLiteral("Этот компьютер"), QString());
    if (!found.isEmpty())
        PrefixMenuItem->addSeparator();
    for (int i = 0; i < found.size(); ++i)
        add(QByteArray("Prefix" + QByteArray::number(i)).constData(),
            found[i].name + QStringLiteral(" — ") + found[i].path, found[i].path);
    PrefixStatus->setText(current ? QStringLiteral("Префикс Wine: ") + current->name
                                  : QStringLiteral("Этот компьютер"));
}

void TMainForm::PrefixMenuItemClick(const QString& prefix)
{
    if (prefix == currentPrefix_) {
        FillPrefixMenu();
        return;
    }
    chosenPrefix_ = prefix;
    // A running search or deletion defers the close, and with it the
    // start; a window that stays open forgets the choice.
    if (!close() && !Busy())
        chosenPrefix_.reset();
}

void TMainForm::startChosenEnvironment()
{
    if (!chosenPrefix_)
        return;
    const QString prefix = *chosenPrefix_;
    chosenPrefix_.reset();
    if (StartAgainIn)
        StartAgainIn(prefix);
}
