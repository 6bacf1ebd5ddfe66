#include "cleaners/traces/TRunMForm.h"

#include "widgets/ToolWindowKit.h"
#include "cleaners/traces/AutorunEntries.h"
#include "cleaners/traces/ServerStopOffer.h"
#include "platform/MessageBoxService.h"
#include "widgets/ReportListView.h"
#include "widgets/HelpKey.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// What a row keeps besides its texts: the entry's place in the first
// column, the value's name in the second.
constexpr int PlaceRole = Qt::UserRole;
constexpr int NameRole = Qt::UserRole + 1;

// The dialog's image list: 0 a value, 1 a registry root.
QIcon image(int index)
{
    static QIcon icons[2];
    if (icons[index].isNull())
        icons[index] = QApplication::style()->standardIcon(index == 1 ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    return icons[index];
}

} // namespace

TRunMForm::TRunMForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TRunMForm"));
    HelpKey::install(this, QStringLiteral("autorun.htm"));
    setWindowTitle(QStringLiteral(" Автозапуск программ"));
    setMinimumSize(600, 400);
    resize(600, 500);

    MainPanel = new QFrame(this);
    MainPanel->setObjectName(QStringLiteral("MainPanel"));
    // A grooved edge with a 5-pixel border inside it.
    MainPanel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* panelLayout = new QVBoxLayout(MainPanel);
    panelLayout->setContentsMargins(5, 5, 5, 5);
    ProgsView = ToolWindowKit::makeList(
        MainPanel, "ProgsView", {QStringLiteral(" Раздел"), QStringLiteral(" Параметр"), QStringLiteral(" Значение")},
        ProgsModel);
    ProgsView->setSelectionMode(QAbstractItemView::SingleSelection);
    ProgsView->setGridLines(true);
    ProgsView->setColumnMinimumWidth(0, 175);
    ProgsView->setColumnMinimumWidth(1, 150);
    ProgsView->setColumnMinimumWidth(2, 220);
    panelLayout->addWidget(ProgsView);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    ValPane = ToolWindowKit::addStatusPane(StatusBar, "ValPane", 175);
    ProgPane = ToolWindowKit::addStatusPane(StatusBar, "ProgPane");

    DelItemBtn = new QPushButton(QStringLiteral("Удалить"), this);
    DelItemBtn->setObjectName(QStringLiteral("DelItemBtn"));
    ExitBtn = new QPushButton(QStringLiteral("Выход"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    for (QPushButton* b : {DelItemBtn, ExitBtn}) {
        b->resize(75, 25);
        b->setAutoDefault(false);
    }

    connect(DelItemBtn, &QPushButton::clicked, this, &TRunMForm::DelItemBtnClick);
    connect(ExitBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ProgsView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TRunMForm::ProgsViewSelectItem);
    FormResize();
}

void TRunMForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TRunMForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TRunMForm::FormShow()
{
    ListEntries();
}

void TRunMForm::FormResize()
{
    const int statusHeight = StatusBar->sizeHint().height();
    MainPanel->setGeometry(0, 0, width(), qMax(0, height() - 90));
    StatusBar->setGeometry(0, height() - statusHeight, width(), statusHeight);
    DelItemBtn->move(8, height() - 85);
    ExitBtn->move(width() - 96, height() - 85);
}

void TRunMForm::ListEntries()
{
    listing_ = true;
    ListPlaces();
    ProgsView->clearSelection();
    ProgsView->setCurrentIndex(QModelIndex());
    listing_ = false;
    ProgsView->resizeColumnsToContents();
    for (int c = 0; c < 3; ++c)
        ProgsView->setColumnWidthRespectingMinimum(c, ProgsView->columnWidth(c));
}

void TRunMForm::ListPlaces()
{
    for (const AutorunEntry& entry : AutorunEntries::list()) {
        const QString shownName = entry.view32 ? entry.name + QStringLiteral(" (32-бит)") : entry.name;
        QList<QStandardItem*> row{new QStandardItem(image(1), entry.root), new QStandardItem(image(0), shownName),
                                  new QStandardItem(entry.command)};
        for (QStandardItem* item : row)
            item->setEditable(false);
        row[0]->setData(entry.place, PlaceRole);
        row[1]->setData(entry.name, NameRole);
        ProgsModel->insertRow(0, row);
    }
}

int TRunMForm::selectedRow() const
{
    const QModelIndexList rows = ProgsView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TRunMForm::ProgsViewSelectItem()
{
    const int row = selectedRow() >= 0 ? selectedRow() : ProgsView->currentIndex().row();
    if (row < 0 || listing_)
        return;
    ValPane->setText(ProgsModel->item(row, 1)->text());
    ProgPane->setText(ProgsModel->item(row, 2)->text());
}

void TRunMForm::DelItemBtnClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (!ToolWindowKit::confirm(this,
                                QStringLiteral("ВНИМАНИЕ! Выбранная запись реестра будет удалена. Программа будет "
                                               "исключена из автозапуска при старте системы. Вы действительно "
                                               "хотите удалить запись?")))
        return;
    const int before = ProgsModel->rowCount();
    AutorunEntry entry;
    entry.place = ProgsModel->item(row, 0)->data(PlaceRole).toInt();
    entry.name = ProgsModel->item(row, 1)->data(NameRole).toString();
    ServerStopOffer::write(this, [&entry] { return AutorunEntries::remove(entry); });
    listing_ = true;
    ProgsModel->removeRows(0, ProgsModel->rowCount());
    ListEntries();
    ValPane->clear();
    ProgPane->clear();
    if (ProgsModel->rowCount() == before)
        platform::MessageBoxService::show(
            {QStringLiteral("ОШИБКА! Запись реестра не удалена. Возможно данная программа "
                            "или сервис выполняются в данный момент."),
             {},
             platform::MsgButtons::Ok,
             platform::MsgIcon::Error,
             this});
}
