// The main window's help menu.

#include "app/TMainForm.h"

#include "platform/ShellOpen.h"
#include "core/Context.h"
#include "core/Disposal.h"
#include "ui/ContactAddresses.h"
#include "ui/TAboutBox.h"
#include "ui/TUpdForm.h"

#include <QAction>

using platform::ShellCall;
using platform::ShellOpen;
using platform::ShowCommand;

void TMainForm::connectHelpCommands()
{
    connect(HelpMItem, &QAction::triggered, this, &TMainForm::HelpMItemClick);
    connect(HomepageMenuItem, &QAction::triggered, this, &TMainForm::HomepageMenuItemClick);
    connect(MailMenuItem, &QAction::triggered, this, &TMainForm::MailMenuItemClick);
    connect(UpdateMenuItem, &QAction::triggered, this, &TMainForm::UpdateMenuItemClick);
    connect(AboutMenuItem, &QAction::triggered, this, &TMainForm::AboutMenuItemClick);
}

void TMainForm::HelpMItemClick()
{
    try {
        ShellOpen::open(ShellCall{QStringLiteral("res://") + GetAppDir() + QStringLiteral("vrhelp.dll/index.htm"),
                                  ShowCommand::Maximized, false});
    } catch (...) {
        // a missing help book shows nothing
    }
}

void TMainForm::HomepageMenuItemClick()
{
    ShellOpen::open(ShellCall{ContactAddresses::HomePage(), ShowCommand::Hide, true});
}

void TMainForm::MailMenuItemClick()
{
    ShellOpen::open(ShellCall{ContactAddresses::MailTo(), ShowCommand::Hide, true});
}

void TMainForm::UpdateMenuItemClick()
{
    TUpdForm window(this);
    ShowModal(window);
}

void TMainForm::AboutMenuItemClick()
{
    TAboutBox box(this);
    ShowModal(box);
}
