#include "cleaners/traces/TUMCForm.h"

#include "widgets/ToolWindowKit.h"
#include "cleaners/traces/ServerStopOffer.h"
#include "platform/MessageBoxService.h"
#include "cleaners/traces/InstalledPrograms.h"
#include "widgets/HelpKey.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int ProgramRole = Qt::UserRole + 1;

// The dialog's image list: 0 the root, 1 a program, 2 a value, 3 delete.
QIcon image(int index)
{
    static const QStyle::StandardPixmap pixmaps[] = {QStyle::SP_ComputerIcon, QStyle::SP_DirIcon, QStyle::SP_FileIcon,
                                                     QStyle::SP_TrashIcon};
    static QIcon icons[4];
    if (icons[index].isNull())
        icons[index] = QApplication::style()->standardIcon(pixmaps[index]);
    return icons[index];
}

QTreeWidgetItem* node(QTreeWidgetItem* parent, const QString& text, int imageIndex)
{
    auto* item = new QTreeWidgetItem(parent, {text});
    item->setIcon(0, image(imageIndex));
    return item;
}

} // namespace

TUMCForm::TUMCForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TUMCForm"));
    HelpKey::install(this, QStringLiteral("uninstall.htm"));
    setWindowTitle(QStringLiteral(" Меню \"Установка и удаление программ\""));
    setMinimumSize(300, 300);
    resize(600, 500);

    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    // A grooved edge with a 5-pixel border inside it.
    Panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* panelLayout = new QVBoxLayout(Panel);
    panelLayout->setContentsMargins(5, 5, 5, 5);
    PTree = new QTreeWidget(Panel);
    PTree->setObjectName(QStringLiteral("PTree"));
    PTree->setHeaderHidden(true);
    PTree->setIndentation(19);
    PTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PTree->setSelectionMode(QAbstractItemView::SingleSelection);
    PTree->setContextMenuPolicy(Qt::CustomContextMenu);
    PTree->viewport()->installEventFilter(this);
    PTree->installEventFilter(this);
    panelLayout->addWidget(PTree);

    ProgsMenu = new QMenu(this);
    ProgsMenu->setObjectName(QStringLiteral("ProgsMenu"));
    DelRecItem = ProgsMenu->addAction(image(3), QStringLiteral(" Удалить запись реестра"));
    DelRecItem->setObjectName(QStringLiteral("DelRecItem"));

    StatBar = new QStatusBar(this);
    StatBar->setObjectName(QStringLiteral("StatBar"));
    StatBar->setSizeGripEnabled(false);
    ProgsPane = ToolWindowKit::addStatusPane(StatBar, "ProgsPane", 175);
    KeyPane = ToolWindowKit::addStatusPane(StatBar, "KeyPane");

    DelBtn = new QPushButton(QStringLiteral("Удалить"), this);
    DelBtn->setObjectName(QStringLiteral("DelBtn"));
    ExtBtn = new QPushButton(QStringLiteral("Выход"), this);
    ExtBtn->setObjectName(QStringLiteral("ExtBtn"));
    for (QPushButton* b : {DelBtn, ExtBtn}) {
        b->resize(75, 25);
        b->setAutoDefault(false);
    }

    connect(DelBtn, &QPushButton::clicked, this, &TUMCForm::DelBtnClick);
    connect(DelRecItem, &QAction::triggered, this, &TUMCForm::DelRecItemClick);
    connect(ExtBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(PTree, &QTreeWidget::itemExpanded, this, &TUMCForm::PTreeExpanding);
    // However the current node changes (a press of either button, a key,
    // an expansion), the path shown and the delete controls follow it.
    connect(PTree, &QTreeWidget::currentItemChanged, this, [this] { ShowNode(); });
    connect(PTree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ProgsMenu->popup(PTree->viewport()->mapToGlobal(at)); });
    FormResize();
}

void TUMCForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TUMCForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

bool TUMCForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PTree->viewport() && event->type() == QEvent::MouseButtonRelease) {
        if (QTreeWidgetItem* item = PTree->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            PTreeMouseUp(item);
    } else if (watched == PTree->viewport() && event->type() == QEvent::MouseButtonPress) {
        // Either button selects the node under the mouse.
        if (QTreeWidgetItem* item = PTree->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            PTree->setCurrentItem(item);
    } else if (watched == PTree && event->type() == QEvent::KeyRelease) {
        PTreeKeyUp();
    }
    return QDialog::eventFilter(watched, event);
}

void TUMCForm::FormShow()
{
    BuildTree();
}

void TUMCForm::FormResize()
{
    const int statusHeight = StatBar->sizeHint().height();
    Panel->setGeometry(0, 0, width(), qMax(0, height() - 90));
    StatBar->setGeometry(0, height() - statusHeight, width(), statusHeight);
    DelBtn->move(8, height() - 85);
    ExtBtn->move(width() - 96, height() - 85);
}

QString TUMCForm::KeyPathOf(const QTreeWidgetItem* node)
{
    return node ? node->data(0, PathRole).toString() : QString();
}

bool TUMCForm::IsProgram(const QTreeWidgetItem* node)
{
    return node && node->data(0, ProgramRole).toBool();
}

void TUMCForm::enableDeletion(bool on)
{
    DelBtn->setEnabled(on);
    DelRecItem->setEnabled(on);
}

void TUMCForm::BuildTree()
{
    PTree->clear();
    auto* root = new QTreeWidgetItem(PTree, {QStringLiteral("Установленные программы")});
    root->setIcon(0, image(0));
    const std::optional<QList<InstalledProgram>> programs = InstalledPrograms::list();
    for (const InstalledProgram& entry : programs.value_or(QList<InstalledProgram>()))
        AddProgram(root, entry);
    root->setExpanded(true);
    // The root is the current node only when there are programs to go to.
    if (root->childCount() > 0) {
        PTree->setCurrentItem(root);
    } else {
        PTree->setCurrentItem(nullptr);
        PTree->clearSelection();
    }
    ShowNode();
    if (!programs) {
        platform::MessageBoxService::show({QStringLiteral("Ошибка. Запрошенный раздел реестра не найден."),
                                           {},
                                           platform::MsgButtons::Ok,
                                           platform::MsgIcon::Error,
                                           this});
        return;
    }
    ProgsPane->setText(QStringLiteral("Установлено программ : ") + QString::number(programs->size()));
}

void TUMCForm::AddProgram(QTreeWidgetItem* root, const InstalledProgram& entry)
{
    QTreeWidgetItem* program = node(
        root, entry.view32 ? entry.shownName() + QStringLiteral(" (32-бит)") : entry.shownName(), 1);
    program->setData(0, PathRole, entry.keyPath);
    program->setData(0, ProgramRole, true);
    for (const auto& [value, data] : entry.values)
        node(program,
             value + QStringLiteral(" = ")
                 + (data.isEmpty() ? QStringLiteral("Значение параметра не установлено") : data),
             2);
}

void TUMCForm::PTreeMouseUp(QTreeWidgetItem* item)
{
    PTree->setCurrentItem(item);
    ShowNode();
}

void TUMCForm::PTreeKeyUp()
{
    ShowNode();
}

void TUMCForm::ShowNode()
{
    const QTreeWidgetItem* current = PTree->currentItem();
    KeyPane->setText(KeyPathOf(current));
    enableDeletion(IsProgram(current));
}

void TUMCForm::PTreeExpanding(QTreeWidgetItem* item)
{
    PTree->setCurrentItem(item);
}

void TUMCForm::DeleteSelected()
{
    if (!ToolWindowKit::confirm(this,
                                QStringLiteral("ВНИМАНИЕ! Выбранная запись реестра будет удалена. Программу будет "
                                               "невозможно удалить через меню \"Установка и удаление программ\". "
                                               "Вы действительно хотите удалить запись?")))
        return;
    QTreeWidgetItem* selected = PTree->currentItem();
    if (IsProgram(selected)) {
        const QString path = KeyPathOf(selected);
        const bool deleted = ServerStopOffer::write(this, [&path] { return InstalledPrograms::remove(path); });
        if (deleted)
            platform::MessageBoxService::show(
                {QStringLiteral("Запись реестра \"") + path + QStringLiteral("\" успешно удалена."),
                 {},
                 platform::MsgButtons::Ok,
                 platform::MsgIcon::Information,
                 this});
    }
    BuildTree();
}
