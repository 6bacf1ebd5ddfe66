#include "cleaners/wine/TWineLeftForm.h"

#include "cleaners/wine/LeftoverKinds.h"
#include "cleaners/wine/WineLeftoversJob.h"
#include "core/OutcomeSink.h"
#include "platform/MessagePump.h"
#include "widgets/ReportListView.h"
#include "widgets/ToolWindowKit.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QStandardItemModel>
#include <QToolBar>
#include <QToolButton>

namespace {

QString kindText(const QString& kind)
{
    if (kind == LeftoverKinds::protonPrefix())
        return QStringLiteral("Префикс Proton");
    if (kind == LeftoverKinds::shaderCache())
        return QStringLiteral("Кеш шейдеров");
    if (kind == LeftoverKinds::menu())
        return QStringLiteral("Меню Wine");
    return QStringLiteral("Кеш загрузок");
}

using LeftoverKinds::sizeText;

// Lists each finding as it comes and lets the window repaint meanwhile.
class WindowSink : public core::JobSink {
public:
    explicit WindowSink(std::function<void(const core::Finding&)> add)
        : add_(std::move(add))
    {}
    void found(const core::Finding& finding) override
    {
        add_(finding);
        platform::MessagePump::process();
    }
    void progress(const QString&, qsizetype) override { platform::MessagePump::process(); }

private:
    std::function<void(const core::Finding&)> add_;
};

} // namespace

TWineLeftForm::TWineLeftForm(QWidget* parent)
    : TToolWindow(parent, "TWineLeftForm", QStringLiteral(" Остатки Wine и Steam"), QStringLiteral("leftovers.htm"),
                  QSize(760, 480), QSize(600, 360))
{
    buildControls();
}

void TWineLeftForm::buildControls()
{
    SrcBtn = ToolWindowKit::addButton(Bar, "SrcBtn", "search", QStringLiteral("Поиск"));
    DelBtn = ToolWindowKit::addButton(Bar, "DelBtn", "delete", QStringLiteral("Удалить"));
    Bar->addSeparator();
    ExitBtn = ToolWindowKit::addButton(Bar, "ExitBtn", "exit", QStringLiteral("Выход"));
    LeftView = addList("LeftView",
                       {QStringLiteral(" Вид"), QStringLiteral(" Имя"), QStringLiteral(" Путь"), QStringLiteral(" Размер"),
                        QStringLiteral(" Последнее использование")},
                       LeftModel);
    LeftView->setColumnMinimumWidth(2, 260);
    StatPane = addStatus("StatPane");
    connect(SrcBtn, &QToolButton::clicked, this, &TWineLeftForm::SrcBtnClick);
    connect(DelBtn, &QToolButton::clicked, this, &TWineLeftForm::DelBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &QDialog::close);
}

void TWineLeftForm::showBusy(bool busy)
{
    SrcBtn->setEnabled(!busy);
    DelBtn->setEnabled(!busy);
    ExitBtn->setEnabled(!busy);
}

void TWineLeftForm::FormShow()
{
    StatPane->clear();
}

void TWineLeftForm::addRow(const core::Finding& f)
{
    const QString used =
        f.lastUsed > 0 ? QDateTime::fromSecsSinceEpoch(f.lastUsed).toString(QStringLiteral("dd.MM.yyyy HH:mm")) : QString();
    QList<QStandardItem*> items;
    for (const QString& text : {kindText(f.kind), f.name, f.path, sizeText(f.size), used})
        items.append(new QStandardItem(text));
    items[0]->setCheckable(true);
    items[0]->setCheckState(f.selected && !f.isProtected() ? Qt::Checked : Qt::Unchecked);
    if (f.isProtected()) {
        items[0]->setEnabled(false);
        for (QStandardItem* item : items)
            item->setToolTip(QStringLiteral("Используется запущенной программой: не удаляется"));
    } else {
        const QString tip = f.userBytes > 0 ? f.detail : QStringLiteral("Файлов пользователя нет");
        for (QStandardItem* item : items)
            item->setToolTip(tip);
    }
    for (QStandardItem* item : items)
        item->setEditable(false);
    LeftModel->appendRow(items);
    findings_.append(f);
}

QList<int> TWineLeftForm::CheckedRows() const
{
    QList<int> rows;
    for (int row = 0; row < LeftModel->rowCount(); ++row)
        if (LeftModel->item(row)->checkState() == Qt::Checked)
            rows.append(row);
    return rows;
}

void TWineLeftForm::SrcBtnClick()
{
    if (Busy())
        return;
    StatPane->setText(QStringLiteral("Идет поиск..."));
    Job search(*this);
    LeftModel->removeRows(0, LeftModel->rowCount());
    findings_.clear();
    WineLeftoversJob job;
    WindowSink sink([this](const core::Finding& f) { addRow(f); });
    job.scan(core::Context::current(), sink);
    for (const int column : {0, 1, 3, 4})
        LeftView->resizeColumnToContents(column);
    quint64 total = 0;
    for (const core::Finding& f : findings_)
        total += f.size;
    StatPane->setText(QStringLiteral("Поиск завершен       Найдено - %1       Общий размер - %2")
                          .arg(findings_.size())
                          .arg(sizeText(total)));
}

void TWineLeftForm::DelBtnClick()
{
    const QList<int> rows = CheckedRows();
    if (Busy() || rows.isEmpty())
        return;
    QList<core::Finding> chosen;
    quint64 total = 0, user = 0;
    for (const int row : rows) {
        chosen.append(findings_[row]);
        total += findings_[row].size;
        user += findings_[row].userBytes;
    }
    QString question = QStringLiteral("Отмеченные объекты (%1, %2) будут перемещены в Корзину.").arg(rows.size()).arg(sizeText(total));
    if (user > 0)
        question += QStringLiteral("\nСреди них файлы пользователя (сохранения, настройки): %1.").arg(sizeText(user));
    if (!confirmed(question + QStringLiteral("\nПродолжить?")))
        return;
    QSet<QString> deleted;
    int failed = 0;
    {
        Job removal(*this);
        OutcomeSink outcomes;
        outcomes.subscribe([&](const CleanOutcome& outcome) {
            if (outcome.kind == OutcomeKind::Deleted)
                deleted.insert(outcome.path);
            else
                ++failed;
            platform::MessagePump::process();
        });
        WineLeftoversJob().dispose(chosen, core::Disposal::Recycle, outcomes);
    }
    for (int row = LeftModel->rowCount() - 1; row >= 0; --row)
        if (deleted.contains(findings_[row].path)) {
            LeftModel->removeRow(row);
            findings_.removeAt(row);
        }
    StatPane->setText(QStringLiteral("Удалено - %1       Не удалено - %2").arg(deleted.size()).arg(failed));
}
