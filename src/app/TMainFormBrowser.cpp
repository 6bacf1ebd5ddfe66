// The main window's browser cleaners.

#include "app/TMainForm.h"

#include "cleaners/browser/TIECForm.h"
#include "cleaners/browser/TIECookForm.h"

#include <QAction>

void TMainForm::connectBrowserCommands()
{
    connect(IECClearMenuItem, &QAction::triggered, this, &TMainForm::IECClearMenuItemClick);
    connect(ClCookiesMenuItem, &QAction::triggered, this, &TMainForm::ClCookiesMenuItemClick);
}

void TMainForm::IECClearMenuItemClick()
{
    TIECForm cleaner(this);
    ShowModal(cleaner);
}

void TMainForm::ClCookiesMenuItemClick()
{
    TIECookForm cleaner(this);
    ShowModal(cleaner);
}
