// The main window's trace and registry commands.

#include "app/TMainForm.h"

#include "cleaners/traces/ServerStopOffer.h"
#include "cleaners/traces/TRunMForm.h"
#include "cleaners/traces/TUMCForm.h"
#include "cleaners/traces/TraceCommands.h"

#include <QAction>
#include <QLabel>

void TMainForm::connectTraceCommands()
{
    FindRecDocs = new TFindFile(this);
    FindRecDocs->setObjectName(QStringLiteral("FindRecDocs"));
    FindRecDocs->Filter = QStringLiteral("*.*");
    FindRecDocs->Attributes = {ffReadOnly, ffArchive};
    FindRecDocs->Recurse = false;
    connect(DocMenuItem, &QAction::triggered, this, &TMainForm::DocMenuItemClick);
    connect(HistoryMenuItem, &QAction::triggered, this, &TMainForm::HistoryMenuItemClick);
    connect(EntURLSmenuItem, &QAction::triggered, this, &TMainForm::EntURLSmenuItemClick);
    // The check mark changes only after the write took, so the action does
    // not toggle it itself.
    connect(PagefileMenuItem, &QAction::triggered, this, [this](bool checked) {
        PagefileMenuItem->setChecked(!checked);
        PagefileMenuItemClick();
    });
    connect(ArunMenuItem, &QAction::triggered, this, &TMainForm::ArunMenuItemClick);
    connect(UninstMenuItem, &QAction::triggered, this, &TMainForm::UninstMenuItemClick);
}

void TMainForm::DocMenuItemClick()
{
    TraceCommands::ClearRecentDocuments(*FindRecDocs);
    TextStatus2->setText(QStringLiteral("Меню \"Документы\" очищено"));
}

void TMainForm::HistoryMenuItemClick()
{
    TraceCommands::ClearHistoryLists();
    TextStatus2->setText(QStringLiteral("Списки истории очищены"));
}

void TMainForm::EntURLSmenuItemClick()
{
    ServerStopOffer::write(this, [] { return TraceCommands::ClearTypedUrls(); });
    TextStatus2->setText(QStringLiteral("Список введенных адресов очищен"));
}

void TMainForm::ShowPagefileFlag()
{
    PagefileMenuItem->setChecked(TraceCommands::PagefileFlag());
}

void TMainForm::PagefileMenuItemClick()
{
    const bool on = !PagefileMenuItem->isChecked();
    if (ServerStopOffer::write(this, [on] { return TraceCommands::SetPagefileFlag(on); }))
        PagefileMenuItem->setChecked(on);
}

void TMainForm::ArunMenuItemClick()
{
    TRunMForm dialog(this);
    ShowModal(dialog);
}

void TMainForm::UninstMenuItemClick()
{
    TUMCForm dialog(this);
    ShowModal(dialog);
}
