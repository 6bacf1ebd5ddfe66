#include "app/TMainFormControls.h"

#include "app/TProgressPanel.h"
#include "widgets/ToolWindowKit.h"
#include "widgets/ColourLogView.h"
#include "widgets/DriveBox.h"
#include "widgets/ImageToolButton.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStackedLayout>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

// Makes the menu item shown show action: its caption, image and state
// follow the action's, and choosing it runs the action.
void showAction(QAction* shown, QAction* action)
{
    const auto follow = [shown, action] {
        shown->setText(action->text());
        shown->setIcon(action->icon());
        shown->setEnabled(action->isEnabled());
        shown->setVisible(action->isVisible());
    };
    follow();
    QObject::connect(action, &QAction::changed, shown, follow);
    QObject::connect(shown, &QAction::triggered, action, [action] { action->trigger(); });
}

QAction* item(QMenu* menu, const char* name, const QString& caption, int image = -1, const QKeySequence& shortcut = {})
{
    QAction* a = named(menu->addAction(caption), name);
    if (image >= 0)
        a->setIcon(TMainFormControls::ImageList16(image));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

} // namespace

QIcon TMainFormControls::ImageList16(int index)
{
    return QIcon(QStringLiteral(":/menu/%1.png").arg(index));
}

void TMainFormControls::buildControls(QMainWindow* window)
{
    buildActions(window);
    buildMenus(window);
    buildToolbar(window);
    buildPanels(window);
    buildStatusBar(window);
}

void TMainFormControls::buildActions(QMainWindow* window)
{
    ActionList = named(new QObject(window), "ActionList");
    FindAction = named(new QAction(QStringLiteral("Поиск"), ActionList), "FindAction");
    DelFilesAction = named(new QAction(QStringLiteral("Удалить"), ActionList), "DelFilesAction");
    CompAction = named(new QAction(ImageList16(6), QStringLiteral("Оценить"), ActionList), "CompAction");
}

void TMainFormControls::buildMenus(QMainWindow* window)
{
    MainMenu = named(window->menuBar(), "MainMenu");
    // F10 takes the keyboard to the menu bar, as in every Windows program.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), window);
    QObject::connect(menuKey, &QShortcut::activated, MainMenu, [bar = MainMenu] {
        if (!bar->actions().isEmpty())
            bar->setActiveAction(bar->actions().first());
    });

    FileMenuItem = named(MainMenu->addMenu(QStringLiteral("Файл")), "FileMenuItem");
    OptionsMenuItem = item(FileMenuItem, "OptionsMenuItem", QStringLiteral("Настройки   "), 2,
                           QKeySequence(QStringLiteral("Ctrl+S")));
    FileMenuItem->addSeparator();
    ExitmenuItem = item(FileMenuItem, "ExitmenuItem", QStringLiteral(" Выход"));

    RunMenuItem = named(MainMenu->addMenu(QStringLiteral("Выполнить")), "RunMenuItem");
    FindMenuItem = item(RunMenuItem, "FindMenuItem", QStringLiteral("Поиск файлов      "), 1,
                        QKeySequence(QStringLiteral("Ctrl+F")));
    StopMenuItem = item(RunMenuItem, "StopMenuItem", QStringLiteral("Стоп"), 3);
    CompareMenuItem = named(RunMenuItem->addAction(QString()), "CompareMenuItem");
    showAction(CompareMenuItem, CompAction);
    RunMenuItem->addSeparator();
    DelMenuItem = item(RunMenuItem, "DelMenuItem", QStringLiteral("Удалить файлы"), 0,
                       QKeySequence(QStringLiteral("Ctrl+D")));

    PlugnMenuItem = named(MainMenu->addMenu(QStringLiteral("Плагины")), "PlugnMenuItem");

    RegMenuItem = named(MainMenu->addMenu(QStringLiteral("Реестр")), "RegMenuItem");
    UninstMenuItem = item(RegMenuItem, "UninstMenuItem", QStringLiteral("Меню \"Удаление программ\"   "), 7);
    ArunMenuItem = item(RegMenuItem, "ArunMenuItem", QStringLiteral("Автозапуск программ"), 12);

    HelpMenuItem = named(MainMenu->addMenu(QStringLiteral("Справка")), "HelpMenuItem");
    HelpMItem = item(HelpMenuItem, "HelpMItem", QStringLiteral("Помощь          "), -1, QKeySequence(Qt::Key_F1));
    HelpMenuItem->addSeparator();
    HomepageMenuItem = item(HelpMenuItem, "HomepageMenuItem", QStringLiteral("Домашняя страница программы"));
    MailMenuItem = item(HelpMenuItem, "MailMenuItem", QStringLiteral("Письмо разработчикам"));
    HelpMenuItem->addSeparator();
    UpdateMenuItem = item(HelpMenuItem, "UpdateMenuItem", QStringLiteral("Проверка обновлений"), 4);
    HelpMenuItem->addSeparator();
    AboutMenuItem = item(HelpMenuItem, "AboutMenuItem", QStringLiteral("О программе..."));

    AddonsMenu = named(new QMenu(window), "AddonsMenu");
    DocMenuItem = item(AddonsMenu, "DocMenuItem", QStringLiteral("Очистить меню \"Документы\"  "));
    HistoryMenuItem = item(AddonsMenu, "HistoryMenuItem", QStringLiteral("Очистить списки истории Windows"));
    AddonsMenu->addSeparator();
    IEmenuItem = named(AddonsMenu->addMenu(QStringLiteral("Internet Explorer")), "IEmenuItem");
    IECClearMenuItem = item(IEmenuItem, "IECClearMenuItem", QStringLiteral("Очистить кеш     "));
    ClCookiesMenuItem = item(IEmenuItem, "ClCookiesMenuItem", QStringLiteral("Удалить Cookies      "));
    EntURLSmenuItem = item(IEmenuItem, "EntURLSmenuItem", QStringLiteral("Очистить введенные URL"));
    AddonsMenu->addSeparator();
    FindLinksMenuItem = item(AddonsMenu, "FindLinksMenuItem", QStringLiteral("Проверка ярлыков"));
    EDirMenuItem = item(AddonsMenu, "EDirMenuItem", QStringLiteral("Поиск пустых каталогов"));
    ZeroByteMenuItem = item(AddonsMenu, "ZeroByteMenuItem", QStringLiteral("Поиск файлов размером 0 байт"));
    WineLeftoversMenuItem = item(AddonsMenu, "WineLeftoversMenuItem", QStringLiteral("Остатки Wine и Steam"));
    AddonsMenu->addSeparator();
    PagefileMenuItem = item(AddonsMenu, "PagefileMenuItem", QStringLiteral("Очистка файла подкачки"));
    PagefileMenuItem->setCheckable(true);
    AddonsMenu->addSeparator();
    PrefixMenuItem = named(AddonsMenu->addMenu(QStringLiteral("Префикс Wine")), "PrefixMenuItem");

    FilePopupMenu = named(new QMenu(window), "FilePopupMenu");
    DelPopupItem = item(FilePopupMenu, "DelPopupItem", DelFilesAction->text(), 0);
    FilePopupMenu->addSeparator();
    ClearSelectedMenuItem = item(FilePopupMenu, "ClearSelectedMenuItem",
                                 QStringLiteral("Удалить выбранные файлы из списка"), 5);
    ClearFileListMenuItem = item(FilePopupMenu, "ClearFileListMenuItem", QStringLiteral("Очистить список файлов"));

    LogPopMenu = named(new QMenu(window), "LogPopMenu");
    ClearLogPopup = item(LogPopMenu, "ClearLogPopup", QStringLiteral("Очистить лог"));
}

void TMainFormControls::buildToolbar(QMainWindow* window)
{
    Toolbar = named(window->addToolBar(QStringLiteral("Toolbar")), "Toolbar");
    Toolbar->setFloatable(false);
    Toolbar->setMovable(false);
    Toolbar->setAllowedAreas(Qt::TopToolBarArea);
    auto button = [&](const char* name, const QString& caption, const QString& hint) {
        auto* b = named(new ImageToolButton(caption, QSize(65, 58), Toolbar), name);
        b->setToolTip(hint);
        Toolbar->addWidget(b);
        return b;
    };
    SearchBtn = button("SearchBtn", FindAction->text(), QStringLiteral("Поиск файлов"));
    StopBtn = button("StopBtn", QStringLiteral("Стоп"), QStringLiteral("Остановить поиск"));
    Compbtn = button("Compbtn", CompAction->text(), QStringLiteral("Оценка суммарного размера найденных файлов"));
    Toolbar->addSeparator();
    DelBtn = button("DelBtn", DelFilesAction->text(), QStringLiteral("Удалить найденные файлы"));
    AddonsBtn = button("AddonsBtn", QStringLiteral("Дополнения"), QStringLiteral("Дополнительные функции"));
    AddonsBtn->setMenu(AddonsMenu);
    AddonsBtn->setPopupMode(QToolButton::InstantPopup);
    // The caption needs the whole width; the drop-down arrow would cut it.
    AddonsBtn->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    Toolbar->addSeparator();
    OptionsBtn = button("OptionsBtn", QStringLiteral("Настройки"), QStringLiteral("Настройки программы"));
    Toolbar->addSeparator();
    ExitBtn = button("ExitBtn", QStringLiteral("Выход"), QStringLiteral("Выход"));
}

void TMainFormControls::buildPanels(QMainWindow* window)
{
    auto* central = new QWidget(window);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    FilePanel = named(new QWidget(central), "FilePanel");
    auto* fileLayout = new QHBoxLayout(FilePanel);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    FileList = named(new ReportListView(FilePanel), "FileList");
    FileList->setToolTip(QStringLiteral("Найденные файлы"));
    FileList->setAccessibleName(QStringLiteral("Найденные файлы"));
    FileList->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab leaves the list for the next control, as in a Windows list view,
    // instead of walking its cells.
    FileList->setTabKeyNavigation(false);
    fileLayout->addWidget(FileList);
    Drives = named(new DriveBox(DriveBox::LetterCase::Lower, FilePanel), "Drives");
    Drives->hide();
    PlugList = named(new QListWidget(FilePanel), "PlugList");
    PlugList->hide();
    layout->addWidget(FilePanel, 1);

    LogPanel = named(new QWidget(central), "LogPanel");
    LogPanel->setFixedHeight(85);
    LogStack = new QStackedLayout(LogPanel);
    LogRich = named(new ColourLogView(LogPanel), "LogRich");
    LogRich->setToolTip(QStringLiteral("Лог"));
    LogRich->setAccessibleName(QStringLiteral("Лог"));
    LogRich->setContextMenuPolicy(Qt::CustomContextMenu);
    ProgressPanel = new TProgressPanel(LogPanel);
    LogStack->addWidget(LogRich);
    LogStack->addWidget(ProgressPanel);
    LogStack->setCurrentWidget(LogRich);
    layout->addWidget(LogPanel);

    window->setCentralWidget(central);
}

void TMainFormControls::buildStatusBar(QMainWindow* window)
{
    StatusBar = named(window->statusBar(), "StatusBar");
    GlyphStatus = named(new QLabel(StatusBar), "GlyphStatus");
    GlyphStatus->setFixedWidth(27);
    GlyphStatus->setAlignment(Qt::AlignCenter);
    StatusBar->addWidget(GlyphStatus);
    TextStatus = ToolWindowKit::addStatusPane(StatusBar, "TextStatus", 125);
    TextStatus2 = ToolWindowKit::addStatusPane(StatusBar, "TextStatus2");
    // Which environment the commands act on: the host or a Wine prefix.
    PrefixStatus = named(new QLabel(StatusBar), "PrefixStatus");
    StatusBar->addPermanentWidget(PrefixStatus);
}
