// The main window's two long jobs: the junk-file search and the deletion of
// the found files.

#include "app/TMainForm.h"

#include "app/TProgressPanel.h"
#include "platform/DeletionPass.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "formats/WinPath.h"
#include "core/CallbackSink.h"
#include "core/Disposal.h"
#include "scan/ProtectionRules.h"
#include "scan/JunkSearch.h"
#include "settings/Settings.h"
#include "widgets/ColourLogView.h"
#include "widgets/DriveBox.h"
#include "widgets/PartsProgressBar.h"

#include <QLabel>
#include <QStackedLayout>

using platform::MessagePump;

void TMainForm::FindActionExecute()
{
    if (Busy())
        return;
    busy_ = Job::Search;
    Iconlist.clear();
    FoundCount = 0;
    TotalSize = 0;
    FileModel->clearRows();
    if (const std::optional<JunkSearch::SearchPlan> plan = BuildSearchFilter()) {
        MessagePump::process();
        WriteLog(QStringLiteral("[ Поиск ]"), clBlue);
        TextStatus->setText(QStringLiteral("Поиск..."));
        LoadStatusGlyph(200);
        core::CallbackSink sink;
        sink.onFound = [this](const core::Finding& found) { FileScanFileFound(found); };
        Search.scan(core::Context::current(), sink, *plan);
    }
    finishJob();
}

std::optional<JunkSearch::SearchPlan> TMainForm::BuildSearchFilter()
{
    DiskList.clear();
    ExtList.clear();
    Drives->refresh();
    QString badDisk;
    const std::optional<JunkSearch::SearchPlan> plan = JunkSearch::PlanSearch(Drives->itemTexts(), &badDisk);
    if (!plan) {
        platform::MessageBoxService::show(
            {InvalidIntegerMessage(badDisk), {}, platform::MsgButtons::Ok, platform::MsgIcon::Error, this});
        return std::nullopt;
    }
    DiskList = plan->drives;
    ExtList = plan->masks;
    FileScan.SearchFilter = plan->filter;
    for (const QString& folder : plan->refusedFolders)
        WriteLog(QStringLiteral("Временная папка не будет очищена (она вне дисков поиска или за ссылкой) - ") + folder,
                 clRed);
    return plan;
}

void TMainForm::FileScanFileFound(const core::Finding& Found)
{
    try {
        AsIcon.SetFileName(Found.path);
        Iconlist.append(AsIcon.Icon());
        FileModel->insertTop(Found, FoundCount);
        TextStatus->setText(QStringLiteral("Поиск..."));
        Outcomes.report({OutcomeKind::Found, Found.path, Found.size});
        // One text made per file: the pane shows at most one a frame.
        static const QString found = QStringLiteral("Найден файл - ");
        static const QString total = QStringLiteral("       Всего файлов - ");
        const QStringView name = formats::WinPath::fileNameOf(Found.path);
        const QString count = QString::number(FileModel->rowCount());
        QString tail;
        tail.reserve(name.size() + total.size() + count.size());
        TextStatus2->setText(found, tail.append(name).append(total).append(count));
        TotalSize += Found.size;
        FoundCount += 1;
    } catch (...) {
        // One file's trouble never ends the search.
    }
}

void TMainForm::FileScanReady(const QStringList&)
{
    // Nothing here raises: the marking reads its settings and stops on a
    // bad value by itself.
    TextStatus->setTextNow(QStringLiteral("Поиск завершен"));
    LoadStatusGlyph(201);
    WriteLog(QStringLiteral("[ Поиск завершен ]"), clBlue);
    MarkSystemFiles();
    MarkExcludedDirs();
    TextStatus2->setTextNow(QStringLiteral("Всего файлов - ") + QString::number(FileModel->rowCount())
                         + QStringLiteral("    Размер - ") + QString::number(TotalSize / 1024)
                         + QStringLiteral(" (кБайт)"));
}

void TMainForm::MarkSystemFiles()
{
    const ProtectionRules rules;
    FileModel->markRows([&rules](TFoundFileModel::Row& row) { rules.markSystem(row.path, row.why, row.markers); });
}

void TMainForm::MarkExcludedDirs()
{
    const ProtectionRules rules;
    FileModel->markRows([&rules](TFoundFileModel::Row& row) { rules.markExcluded(row.path, row.why, row.markers); });
}

bool TMainForm::IsInSystemFolder(const QString& P)
{
    return JunkSearch::IsInSystemFolder(P);
}

bool TMainForm::DeleteFoundFile(const QString& path, const platform::EntryId& listed)
{
    return JunkSearch::DeleteFoundFile(path, listed);
}

void TMainForm::DelFilesActionExecute()
{
    if (Busy())
        return;
    busy_ = Job::Deletion;
    LogStack->setCurrentWidget(ProgressPanel);
    TextStatus->setText(QStringLiteral("Удаление..."));
    WriteLog(QStringLiteral("[ Удаление ]"), clBlue);
    const int rows = FileModel->rowCount();
    ProgressPanel->DelProgress->setTotalParts(rows);
    ProgressPanel->DelProgress->setPartsComplete(0);
    int deleted = 0, failed = 0;
    {
        const platform::DeletionPass pass;
        for (int i = 0; i < rows; ++i)
            deleteRow(i, deleted, failed);
    }
    FileModel->clearRows();
    TextStatus->setTextNow(QStringLiteral("Удаление завершено"));
    WriteLog(QStringLiteral("[ Удаление завершено ]"), clBlue);
    LogStack->setCurrentWidget(LogRich);
    TextStatus2->setText(QStringLiteral("Файлов удалено - ") + QString::number(deleted)
                         + QStringLiteral("    Невозможно удалить файлов - ") + QString::number(failed));
    finishJob();
}

void TMainForm::deleteRow(int row, int& deleted, int& failed)
{
    // A row fails by its delete's result, which is counted; nothing raises.
    if (row >= FileModel->rowCount())
        return;
    const TFoundFileModel::Row& found = FileModel->rowAt(row);
    CleanOutcome outcome;
    if (found.markers > 0) // the log names it as the list showed it, one marker fewer
        outcome = {OutcomeKind::Skipped, JunkSearch::SkipMarker.repeated(found.markers - 1) + found.path, 0, 0,
                   core::reasonOf(found.why)};
    else
        outcome = core::Dispose(found.path, found.id, JunkSearchJob::disposalFor(JunkSearchJob::Disposal::AsSettingsSay));
    MessagePump::process();
    Outcomes.report(outcome);
    if (outcome.kind == OutcomeKind::Deleted)
        ++deleted;
    else if (outcome.kind == OutcomeKind::Failed)
        ++failed;
    ProgressPanel->DelProgress->addParts(1);
}

void TMainForm::logOutcome(const CleanOutcome& outcome)
{
    switch (outcome.kind) {
    case OutcomeKind::Found:
        WriteLog(QStringLiteral("Найден файл - "), outcome.path, clBlack);
        return;
    case OutcomeKind::Skipped:
        WriteLog(QStringLiteral("Пропущен - ") + outcome.path, clBlack);
        ProgressPanel->DelNameLabel->setText(QStringLiteral("Пропущен  ") + outcome.path);
        return;
    case OutcomeKind::Deleted:
        WriteLog(QStringLiteral("Удаление - ") + outcome.path, clBlack);
        ProgressPanel->DelNameLabel->setText(QStringLiteral("Удаление  ") + outcome.path);
        return;
    case OutcomeKind::Failed:
        WriteLog(QStringLiteral("Невозможно удалить - ") + outcome.path, clRed);
        ProgressPanel->DelNameLabel->setText(QStringLiteral("Невозможно удалить  ") + outcome.path);
        return;
    }
}
