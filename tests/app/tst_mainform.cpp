// The main window driven through its handlers, in a sandbox of drives,
// temporary folders, trash and settings.

#include "app/ApplicationSetup.h"
#include "app/ImageLibrary.h"
#include "app/TMainForm.h"
#include "app/TProgressPanel.h"
#include "platform/TestSeams.h"
#include "platform/DynamicLibrary.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "core/Context.h"
#include "core/Disposal.h"
#include "settings/Settings.h"
#include "support/Sandbox.h"
#include "widgets/ColourLogView.h"
#include "widgets/FlatMenuStyle.h"
#include "widgets/ImageToolButton.h"
#include "widgets/PartsProgressBar.h"
#include "widgets/ReportListView.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QToolBar>
#include <QtTest>

using platform::MessageBoxService;
using platform::MessageRequest;

// The loads of the image library, counted through the platform's watcher.
struct LibraryLoads {
    int loaded = 0;
    int failed = 0;
    LibraryLoads()
    {
        platform::testseams::setLoadWatcher([this](const QString& name, bool ok) {
            if (name == QLatin1String("vrimgs.dll"))
                ++(ok ? loaded : failed);
        });
    }
    ~LibraryLoads() { platform::testseams::setLoadWatcher({}); }
    int total() const { return loaded + failed; }
};

class TestMainForm : public QObject {
    Q_OBJECT
    Sandbox box;

    std::unique_ptr<TMainForm> makeForm()
    {
        auto form = std::make_unique<TMainForm>();
        form->setAttribute(Qt::WA_DontShowOnScreen, false);
        return form;
    }

    static QStringList rows(const TMainForm& f) { return f.FileModel->captions(); }

    void write(const QList<std::array<const char*, 3>>& values)
    {
        for (const auto& [section, key, value] : values)
            WriteSetting(QLatin1String(section), QLatin1String(key), QString::fromUtf8(value));
    }

    // Makes closer record and close every pop-up menu that opens, so a test
    // never waits on one.
    static void closePopupsInto(QTimer& closer, QObject* context, QStringList& opened)
    {
        QObject::connect(&closer, &QTimer::timeout, context, [&opened] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                opened << popup->objectName();
                popup->close();
            }
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(menuimages);
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_BUILD_BIN "/vrimgs.dll"), box.pathText("bin/vrimgs.dll")));
    }

    void init()
    {
        box.boxes.clear();
        QFile::remove(box.pathText("bin/varnel.ini"));
        box.setDrives({{'c', "c"}, {'d', "d"}});
        QDir(box.pathText("c")).removeRecursively();
        QDir(box.pathText("d")).removeRecursively();
        QDir(box.pathText("tmp")).removeRecursively();
        box.makeDir("c");
        box.makeDir("d");
        box.makeDir("tmp");
        platform::MessagePump::setHook({});
    }

    void firstStartUsesTheDefaults()
    {
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        QCOMPARE(form->pos(), QPoint(10, 10));
        QCOMPARE(form->size(), QSize(600, 450));
        QCOMPARE(form->FileList->columnWidth(0), 315);
        QVERIFY(!form->FileList->showGrid());
        QVERIFY(FlatMenuStyle::isFlat(form->MainMenu));
        QCOMPARE(form->LogRich->lineCount(), 0); // no search started
        QVERIFY(!form->FirstPaint);
        QVERIFY(!box.exists("bin/varnel.ini"));
        QVERIFY(box.boxes.isEmpty());
        QVERIFY(!form->GlyphStatus->pixmap().isNull());
    }

    void namedControlsCarryTheirCaptions()
    {
        auto form = makeForm();
        const auto caption = [&](const char* name) {
            if (auto* a = form->findChild<QAction*>(QLatin1String(name)))
                return a->text();
            if (auto* b = form->findChild<QToolButton*>(QLatin1String(name)))
                return b->text();
            return QStringLiteral("<missing %1>").arg(QLatin1String(name));
        };
        QCOMPARE(caption("OptionsMenuItem"), QStringLiteral("Настройки   "));
        QCOMPARE(caption("FindMenuItem"), QStringLiteral("Поиск файлов      "));
        QCOMPARE(caption("UninstMenuItem"), QStringLiteral("Меню \"Удаление программ\"   "));
        QCOMPARE(caption("DocMenuItem"), QStringLiteral("Очистить меню \"Документы\"  "));
        QCOMPARE(caption("HelpMItem"), QStringLiteral("Помощь          "));
        QCOMPARE(caption("SearchBtn"), QStringLiteral("Поиск"));
        QCOMPARE(caption("Compbtn"), QStringLiteral("Оценить"));
        QCOMPARE(form->findChild<QAction*>("FindMenuItem")->shortcut(), QKeySequence("Ctrl+F"));
        QCOMPARE(form->findChild<QAction*>("DelMenuItem")->shortcut(), QKeySequence("Ctrl+D"));
        QCOMPARE(form->findChild<QToolButton*>("StopBtn")->toolTip(), QStringLiteral("Остановить поиск"));
        QCOMPARE(form->findChild<QToolButton*>("DelBtn")->size(), QSize(65, 58));
        for (const char* name :
             {"FilePanel", "LogPanel", "ProgressPanel", "GlyphStatus", "TextStatus", "TextStatus2", "Drives",
              "PlugList", "DelProgress", "DelNameLabel", "DelPanelLabel", "AddonsMenu"})
            QVERIFY2(form->findChild<QWidget*>(QLatin1String(name)), name);
        QVERIFY(form->ProgressPanel->isHidden());
        auto* actions = form->findChild<QObject*>("ActionList");
        QVERIFY(actions);
        for (const char* name : {"FindAction", "DelFilesAction", "CompAction"})
            QVERIFY2(actions->findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly), name);
    }

    // The estimate's menu item is an item of its own that shows the action.
    void compareMenuItemShowsTheEstimateAction()
    {
        auto form = makeForm();
        auto* item = form->findChild<QAction*>("CompareMenuItem");
        QVERIFY(item);
        QVERIFY(item != form->CompAction);
        QVERIFY(form->RunMenuItem->actions().contains(item));
        QVERIFY(!form->RunMenuItem->actions().contains(form->CompAction));
        QCOMPARE(item->text(), QStringLiteral("Оценить"));
        QCOMPARE(item->icon().pixmap(16, 16).toImage(), form->CompAction->icon().pixmap(16, 16).toImage());
        form->CompAction->setEnabled(false);
        QVERIFY(!item->isEnabled());
        form->CompAction->setEnabled(true);
        QVERIFY(item->isEnabled());
        int runs = 0;
        connect(form->CompAction, &QAction::triggered, form.get(), [&] { ++runs; });
        QObject::disconnect(form->CompAction, &QAction::triggered, form.get(), &TMainForm::CompActionExecute);
        item->trigger();
        QCOMPARE(runs, 1);
    }

    void geometryIsWrittenOnCloseAndRestored()
    {
        {
            auto form = makeForm();
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
            form->move(40, 50);
            form->resize(700, 520);
            form->FileList->setColumnWidth(0, 400);
            QVERIFY(form->close());
        }
        QCOMPARE(ReadSetting("Window", "Left", ""), QStringLiteral("40"));
        QCOMPARE(ReadSetting("Window", "Top", ""), QStringLiteral("50"));
        QCOMPARE(ReadSetting("Window", "Width", ""), QStringLiteral("700"));
        QCOMPARE(ReadSetting("Window", "Height", ""), QStringLiteral("520"));
        QCOMPARE(ReadSetting("Window", "FColumn", ""), QStringLiteral("400"));
        {
            auto form = makeForm();
            form->show();
            QCOMPARE(form->pos(), QPoint(40, 50));
            QCOMPARE(form->size(), QSize(700, 520));
            QCOMPARE(form->FileList->columnWidth(0), 400);
            form->close();
        }
        // A value that is no number stops the keys after it, and the view steps.
        write({{"Window", "Height", "tall"}, {"View", "Separators", "Yes"}});
        auto form = makeForm();
        form->show();
        QCOMPARE(form->pos(), QPoint(40, 50));
        QCOMPARE(form->size(), QSize(600, 450));
        QVERIFY(!form->FileList->showGrid());
        QCoreApplication::processEvents(); // the paint applies the view keys again
        form->update();
        QTRY_VERIFY(form->FileList->showGrid());
        form->close();
    }

    // The add-ons menu lists the host and the user's prefixes; choosing
    // another starts the program again there once the window has written
    // its state, and the status bar names where the program works.
    void thePrefixMenuStartsTheProgramAgainInTheChosenPrefix()
    {
        const QByteArray pfx = "home/.local/share/Steam/steamapps/compatdata/70/pfx";
        for (const QByteArray& prefix : {QByteArray("home/.wine"), pfx}) {
            box.makeFile(prefix + "/system.reg", "WINE REGISTRY Version 2\n\n#arch=win64\n");
            box.makeDir(prefix + "/drive_c");
        }
        box.makeFile("home/.local/share/Steam/steamapps/appmanifest_70.acf",
                     "\"AppState\"\n{\n\t\"appid\"\t\"70\"\n\t\"name\"\t\"Игра \\\"70\\\"\"\n}\n");
        const QString wine = QFileInfo(box.pathText("home/.wine")).canonicalFilePath();
        const QString game = QFileInfo(box.pathText(pfx)).canonicalFilePath();
        QStringList started;
        const auto menuOf = [&started](TMainForm& form) {
            form.StartAgainIn = [&started](const QString& prefix) {
                started << prefix + u'|' + ReadSetting("Window", "Left", "");
                return true;
            };
            QStringList items;
            auto* menu = form.findChild<QMenu*>(QStringLiteral("PrefixMenuItem"));
            if (!menu || !form.AddonsMenu->actions().contains(menu->menuAction()))
                return items << QStringLiteral("no menu");
            items << menu->title();
            for (const QAction* a : menu->actions())
                if (!a->isSeparator())
                    items << a->objectName() + u'|' + a->text()
                            + (a->isChecked() ? QStringLiteral("|checked") : QString());
            return items << form.PrefixStatus->text();
        };
        {
            auto form = makeForm();
            QCOMPARE(menuOf(*form),
                     (QStringList{QStringLiteral("Префикс Wine"), QStringLiteral("PrefixHost|Этот компьютер|checked"),
                                  QStringLiteral("Prefix0|.wine — ") + wine,
                                  QStringLiteral("Prefix1|Игра \"70\" — ") + game, QStringLiteral("Этот компьютер")}));
            form->show();
            form->move(30, 40);
            form->findChild<QAction*>(QStringLiteral("Prefix1"))->trigger();
            QCOMPARE(started, QStringList{game + QStringLiteral("|30")});
            QVERIFY(!form->isVisible());
        }
        // Inside the prefix: it is checked, choosing it again does nothing,
        // and the host is one choice away.
        started.clear();
        qputenv("WINEPREFIX", box.path(pfx));
        {
            auto form = makeForm();
            const QStringList items = menuOf(*form);
            QCOMPARE(items.mid(2),
                     (QStringList{QStringLiteral("Prefix0|.wine — ") + wine,
                                  QStringLiteral("Prefix1|Игра \"70\" — ") + game + QStringLiteral("|checked"),
                                  QStringLiteral("Префикс Wine: Игра \"70\"")}));
            QCOMPARE(form->windowTitle(), QStringLiteral(" Varnel 1.9"));
            form->show();
            form->findChild<QAction*>(QStringLiteral("Prefix1"))->trigger();
            QVERIFY(form->isVisible());
            form->findChild<QAction*>(QStringLiteral("PrefixHost"))->trigger();
            QVERIFY(!form->isVisible());
        }
        qunsetenv("WINEPREFIX");
        QCOMPARE(started.size(), 1);
        QVERIFY(started.first().startsWith(u'|'));
        QDir(box.pathText("home/.wine")).removeRecursively();
        QDir(box.pathText("home/.local/share/Steam")).removeRecursively();
    }

    // What is saved is what is restored: a window shown, closed and shown
    // again stays where it was, start after start (a position read as the
    // frame's and placed as the inside's would creep by the title bar).
    void geometryRoundTripsStartAfterStart()
    {
        const struct {
            QPoint at;
            QSize size;
        } cases[] = {{{0, 0}, {600, 450}}, {{10, 10}, {640, 480}}, {{200, 150}, {700, 520}}, {{35, 3}, {610, 460}}};
        for (const auto& c : cases) {
            write({{"Window", "Left", QByteArray::number(c.at.x()).constData()},
                   {"Window", "Top", QByteArray::number(c.at.y()).constData()},
                   {"Window", "Width", QByteArray::number(c.size.width()).constData()},
                   {"Window", "Height", QByteArray::number(c.size.height()).constData()}});
            for (int start = 0; start < 3; ++start) {
                auto form = makeForm();
                form->show();
                QVERIFY(QTest::qWaitForWindowExposed(form.get()));
                QCOMPARE(form->frameGeometry().topLeft(), c.at);
                QCOMPARE(form->size(), c.size);
                QVERIFY(form->close());
                QCOMPARE(ReadSetting("Window", "Left", ""), QString::number(c.at.x()));
                QCOMPARE(ReadSetting("Window", "Top", ""), QString::number(c.at.y()));
                QCOMPARE(ReadSetting("Window", "Width", ""), QString::number(c.size.width()));
                QCOMPARE(ReadSetting("Window", "Height", ""), QString::number(c.size.height()));
            }
        }
    }

    // The keyboard and assistive technology reach the window's controls.
    void keyboardAndScreenReadersReachTheWindow()
    {
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const struct {
            QWidget* widget;
            QString name;
        } named[] = {{form->FileList, QStringLiteral("Найденные файлы")},
                     {form->LogRich, QStringLiteral("Лог")},
                     {form->ProgressPanel->DelProgress, QStringLiteral("Ход удаления")}};
        for (const auto& n : named) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(n.widget);
            QVERIFY2(face, qPrintable(n.widget->objectName()));
            QCOMPARE(face->text(QAccessible::Name), n.name);
        }
        // Tab leaves the list instead of walking its cells.
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->FileModel->insertTop(QStringLiteral("c:\\a.tmp"), 1, 0, {});
        form->FileModel->insertTop(QStringLiteral("c:\\b.tmp"), 2, 1, {});
        form->FileList->setFocus();
        form->FileList->setCurrentIndex(form->FileModel->index(0, 0));
        QVERIFY(form->FileList->hasFocus());
        QTest::keyClick(form->FileList, Qt::Key_Tab);
        QVERIFY(!form->FileList->hasFocus());
        // F10 opens the menu bar's first menu.
        QStringList opened;
        QTimer closer;
        closePopupsInto(closer, form.get(), opened);
        QTest::keyClick(form.get(), Qt::Key_F10);
        closer.start(0);
        QTRY_COMPARE(opened, QStringList({"FileMenuItem"}));
        closer.stop();
    }

    void autoStartRunsExactlyOneSearch()
    {
        write({{"Search", "AutoStart", "Yes"}});
        box.makeFile("c/a.tmp");
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTRY_COMPARE(form->LogRich->lines().count(u"[ Поиск завершен ]"), 1);
        for (int i = 0; i < 3; ++i) {
            form->repaint();
            QTest::qWait(10);
        }
        QCOMPARE(form->LogRich->lines().count(u"[ Поиск ]"), 1);
        QCOMPARE(rows(*form), QStringList({"c:\\a.tmp"}));
    }

    void theWalkerFilterFollowsTheSettings()
    {
        write({{"Search", "OLDFiles", "Yes"},
               {"Search", "GIDFiles", "Yes"},
               {"CFilters", "Items", "2"},
               {"CFilters", "Filter0", "F0"},
               {"CFilters", "StateFilter0", "1"},
               {"CFilters", "Filter1", "F1"},
               {"CFilters", "StateFilter1", "1"}});
        auto form = makeForm();
        QVERIFY(form->BuildSearchFilter());
        QCOMPARE(form->DiskList, QStringList({"c:", "d:"}));
        QCOMPARE(form->FileScan.SearchFilter.mid(0, 8),
                 QStringList(
                     {"d:\\F0", "d:\\F1", "d:\\*.temp", "d:\\*.tmp", "d:\\*.bak", "d:\\*.old", "d:\\*.gid", "c:\\F0"}));
        QCOMPARE(form->FileScan.SearchFilter.size(), 16);
        QCOMPARE(form->FileScan.SearchFilter.at(14), QStringLiteral("c:\\windows\\Temp\\*.*"));
    }

    void aSearchListsLogsAndCounts()
    {
        box.makeFile("c/junk/old.bak", "12345");
        box.makeFile("c/junk/x.TMP", QByteArray(3000, 'x'));
        box.makeFile("d/y.temp", "");
        box.makeFile("tmp/session/state", "abc");
        auto form = makeForm();
        form->FindActionExecute();
        const QString temp = GetTempDir();
        QCOMPARE(rows(*form),
                 QStringList({temp + "session\\state", temp + "session", "c:\\junk\\old.bak", "c:\\junk\\x.TMP",
                              "d:\\y.temp"}));
        QCOMPARE(form->FileModel->rowAt(2).name(), QStringLiteral("old.bak"));
        QCOMPARE(form->FileModel->rowAt(2).sizeText(), QStringLiteral("5"));
        QCOMPARE(form->FileModel->rowAt(1).sizeText(), QStringLiteral("0")); // a folder
        QCOMPARE(form->FileModel->rowAt(4).imageIndex, 0);
        QCOMPARE(form->Iconlist.size(), 5);
        QCOMPARE(form->FoundCount, 5);
        QCOMPARE(form->TotalSize, quint64(3008));
        const QStringList log = form->LogRich->lines();
        QCOMPARE(log.first(), QStringLiteral("[ Поиск ]"));
        QCOMPARE(log.at(1), QStringLiteral("Найден файл - d:\\y.temp"));
        QCOMPARE(log.last(), QStringLiteral("[ Поиск завершен ]"));
        QCOMPARE(form->LogRich->lineColour(0), QColor(0, 0, 255));
        QCOMPARE(form->LogRich->lineColour(1), QColor(0, 0, 0));
        QCOMPARE(form->TextStatus->text(), QStringLiteral("Поиск завершен"));
        QCOMPARE(form->TextStatus2->text(), QStringLiteral("Всего файлов - 5    Размер - 2 (кБайт)"));
    }

    void statusShowsEachFind()
    {
        box.makeFile("c/one.tmp");
        box.makeFile("c/two.tmp");
        auto form = makeForm();
        QStringList seen;
        platform::MessagePump::setHook([&] { seen << form->TextStatus->text() + " | " + form->TextStatus2->text(); });
        form->FindActionExecute();
        QVERIFY(seen.contains("Поиск... | Найден файл - one.tmp       Всего файлов - 1"));
    }

    void protectedRowsAreMarked()
    {
        qputenv("VARNEL_WINDIR", box.path("c/WINDOWS"));
        box.makeFile("c/boot.tmp");
        box.makeFile("c/WINDOWS/System32/drv.tmp");
        box.makeFile("c/keep/k.tmp");
        box.makeFile("c/other/o.tmp");
        write({{"Delete", "InSysFolders", "Yes"},
               {"ExDirs", "Items", "2"},
               {"ExDirs", "Dir0", "C:\\KEEP"},
               {"ExDirs", "State0", "1"},
               {"ExDirs", "Dir1", ""},
               {"ExDirs", "State1", "1"},
               {"Search", "TempFolders", "No"}});
        auto form = makeForm();
        form->FindActionExecute();
        qunsetenv("VARNEL_WINDIR");
        QCOMPARE(rows(*form),
                 QStringList({"[[-]] [[-]] c:\\WINDOWS\\System32\\drv.tmp", "[[-]] c:\\other\\o.tmp",
                              "[[-]] [[-]] c:\\keep\\k.tmp", "[[-]] [[-]] c:\\boot.tmp"}));
    }

    void aBadDiskValueStopsTheSearchWithTheErrorBox()
    {
        box.makeFile("c/a.tmp");
        write({{"Search", "Disk", "first"}});
        auto form = makeForm();
        form->FileModel->insertTop("c:\\old", 1, -1, {});
        form->FindActionExecute();
        QCOMPARE(box.boxes, QStringList({"'first' is not a valid integer value"}));
        QCOMPARE(form->FileModel->rowCount(), 0);
        QCOMPARE(form->LogRich->lineCount(), 0);

        write({{"Search", "Disk", "5"}}); // beyond the drive box: nothing listed
        form->FindActionExecute();
        QCOMPARE(form->FileModel->rowCount(), 0);
        QCOMPARE(form->TextStatus2->text(), QStringLiteral("Всего файлов - 0    Размер - 0 (кБайт)"));
    }

    void deletionRecyclesErasesAndSkips()
    {
        box.makeFile("c/a.tmp", "a");
        box.makeFile("c/b.tmp", "b");
        box.makeFile("c/keep/k.tmp", "k");
        write({{"Search", "TempFolders", "No"},
               {"ExDirs", "Items", "1"},
               {"ExDirs", "Dir0", "c:\\keep"},
               {"ExDirs", "State0", "1"}});
        auto form = makeForm();
        form->FindActionExecute();
        form->FileModel->insertTop("c:\\a.tmp", 1, 0, {}); // listed twice
        QCOMPARE(form->FileModel->rowCount(), 4);
        form->DelFilesActionExecute();
        QVERIFY(box.exists("home/data/Trash/files/a.tmp"));
        QVERIFY(box.exists("home/data/Trash/files/b.tmp"));
        QVERIFY(box.exists("c/keep/k.tmp"));
        QCOMPARE(form->FileModel->rowCount(), 0);
        const QStringList log = form->LogRich->lines();
        QVERIFY(log.contains("Удаление - c:\\a.tmp"));
        QVERIFY(log.contains("Невозможно удалить - c:\\a.tmp"));
        QVERIFY(log.contains("Пропущен - c:\\keep\\k.tmp"));
        QCOMPARE(log.last(), QStringLiteral("[ Удаление завершено ]"));
        QCOMPARE(form->LogRich->lineColour(log.indexOf("Невозможно удалить - c:\\a.tmp")), QColor(255, 0, 0));
        QCOMPARE(form->TextStatus->text(), QStringLiteral("Удаление завершено"));
        QCOMPARE(form->TextStatus2->text(), QStringLiteral("Файлов удалено - 2    Невозможно удалить файлов - 1"));
        QCOMPARE(form->ProgressPanel->DelProgress->percentDone(), 100);
        QVERIFY(form->ProgressPanel->isHidden());
        QCOMPARE(form->FoundCount, 3); // the search totals stay
    }

    void eraseWhenRecycleIsNotYesAndSkipTheDoubleMarker()
    {
        box.makeFile("c/gone.tmp");
        write({{"Delete", "Recycle", "No"}, {"Search", "TempFolders", "No"}});
        auto form = makeForm();
        form->FindActionExecute();
        core::Finding twice;
        twice.path = QStringLiteral("c:\\gone.tmp");
        twice.protection = core::Protection::SystemFolder;
        twice.markers = 2;
        form->FileModel->insertTop(twice, 0);
        QStringList panelTexts;
        platform::MessagePump::setHook([&] { panelTexts << form->ProgressPanel->DelNameLabel->text(); });
        form->DelFilesActionExecute();
        QVERIFY(!box.exists("c/gone.tmp"));
        QVERIFY(!box.exists("home/data/Trash/files/gone.tmp"));
        QVERIFY(form->LogRich->lines().contains("Пропущен - [[-]] c:\\gone.tmp"));
        QVERIFY(panelTexts.contains("Пропущен  [[-]] c:\\gone.tmp"));
        QCOMPARE(form->ProgressPanel->DelNameLabel->text(), QStringLiteral("Удаление  c:\\gone.tmp"));
    }

    void runningJobsAreNeverDisturbed()
    {
        for (int i = 0; i < 5; ++i)
            box.makeFile(QByteArray("c/f") + QByteArray::number(i) + ".tmp");
        write({{"Search", "TempFolders", "No"}});
        auto form = makeForm();
        form->show();
        int nested = 0;
        platform::MessagePump::setHook([&] {
            if (++nested == 3) {
                form->FindActionExecute();     // refused
                form->DelFilesActionExecute(); // refused
                QVERIFY(!form->close());       // deferred: the walk is asked to stop
            }
        });
        form->FindActionExecute();
        platform::MessagePump::setHook({});
        QCOMPARE(form->LogRich->lines().count(u"[ Поиск ]"), 1);
        QVERIFY(!form->LogRich->lines().contains("[ Удаление ]"));
        QVERIFY(form->FileModel->rowCount() < 5); // stopped early
        QVERIFY(box.exists("c/f0.tmp"));
        QVERIFY(form->isVisible());
        QTRY_VERIFY(!form->isVisible()); // and closed once the search had ended
        QCOMPARE(ReadSetting("Window", "Width", ""), QStringLiteral("600"));
    }

    void toolButtonsSwapImagesUnderTheMouse()
    {
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const auto imageOf = [](QToolButton* b) { return b->icon().pixmap(32, 32).toImage(); };
        const QImage normal = imageOf(form->DelBtn);
        Q_EMIT form->DelBtn->mouseEntered();
        const QImage hot = imageOf(form->DelBtn);
        QVERIFY(hot != normal);
        Q_EMIT form->DelBtn->mouseLeft();
        QCOMPARE(imageOf(form->DelBtn), normal);
    }

    void everyToolButtonHasItsOwnHoverImage()
    {
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const auto imageOf = [](QToolButton* b) { return b->icon().pixmap(32, 32).toImage(); };
        const QList<ImageToolButton*> buttons = {form->SearchBtn, form->StopBtn,    form->Compbtn, form->DelBtn,
                                                 form->AddonsBtn, form->OptionsBtn, form->ExitBtn};
        QList<QImage> hovers;
        for (ImageToolButton* b : buttons) {
            const QImage normal = imageOf(b);
            Q_EMIT b->mouseEntered();
            const QImage hot = imageOf(b);
            QVERIFY2(hot != normal, qPrintable(b->objectName()));
            QVERIFY2(!hovers.contains(hot), qPrintable(b->objectName())); // no two buttons share a picture
            hovers << hot;
            for (ImageToolButton* other : buttons)
                if (other != b)
                    QVERIFY2(imageOf(other) != hot, qPrintable(other->objectName()));
            Q_EMIT b->mouseLeft();
            QCOMPARE(imageOf(b), normal);
        }
    }

    // Real mouse moves over a shown window, with the event loop running:
    // the window repaints beneath the button, the status bar and the list.
    void hoverImageStaysWhileTheWindowRepaints()
    {
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const auto settle = [] {
            for (int i = 0; i < 10; ++i)
                QCoreApplication::processEvents();
        };
        const auto imageOf = [](QToolButton* b) { return b->icon().pixmap(32, 32).toImage(); };
        settle();
        const QImage normal = imageOf(form->DelBtn);
        QTest::mouseMove(form->DelBtn, form->DelBtn->rect().center());
        settle();
        const QImage hot = imageOf(form->DelBtn);
        QVERIFY(hot != normal);
        form->DelBtn->repaint();
        form->TextStatus->setText(QStringLiteral("Поиск..."));
        form->WriteLog(QStringLiteral("строка"), 0);
        settle();
        QCOMPARE(imageOf(form->DelBtn), hot);
        QTest::mouseMove(form->SearchBtn, form->SearchBtn->rect().center());
        settle();
        QCOMPARE(imageOf(form->DelBtn), normal);
        QVERIFY(imageOf(form->SearchBtn) != hot);
        QTest::mouseMove(form->FileList, form->FileList->rect().center());
        settle();
        form->update(); // a paint of the window's own surface loads the normal images
        settle();
        QCOMPARE(imageOf(form->DelBtn), normal);
    }

    void barsOpenNoPopupMenu()
    {
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(!form->createPopupMenu());
        // Should a menu open anyway, it is recorded and closed, not waited on.
        QStringList opened;
        QTimer closer;
        closePopupsInto(closer, form.get(), opened);
        closer.start(0);
        for (QWidget* bar : {static_cast<QWidget*>(form->Toolbar), static_cast<QWidget*>(form->MainMenu)}) {
            const QPoint at(bar->width() - 3, bar->height() / 2);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, bar->mapToGlobal(at));
            QApplication::sendEvent(bar, &event);
        }
        QCoreApplication::processEvents();
        closer.stop();
        QVERIFY2(opened.isEmpty(), qPrintable(opened.join(u',')));
        QVERIFY(form->Toolbar->isVisible());
    }

    void aMissingImageLibraryIsReportedOnce()
    {
        QFile::rename(box.pathText("bin/vrimgs.dll"), box.pathText("bin/vrimgs.off"));
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        for (int i = 0; i < 3; ++i) {
            form->repaint();
            Q_EMIT form->SearchBtn->mouseEntered();
        }
        QTest::qWait(20);
        QFile::rename(box.pathText("bin/vrimgs.off"), box.pathText("bin/vrimgs.dll"));
        QCOMPARE(
            box.boxes,
            QStringList(
                {"Ошибка! Не удалось загрузить библиотеку \"vrimgs.dll\". Часть изображений будет отсутствовать."}));
    }

    void aPaintLoadsTheImageLibraryOnceForEveryGlyph()
    {
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        const auto imageOf = [](QToolButton* b) { return b->icon().pixmap(32, 32).toImage(); };
        const QList<ImageToolButton*> buttons{form->SearchBtn, form->StopBtn,    form->Compbtn, form->DelBtn,
                                              form->AddonsBtn, form->OptionsBtn, form->ExitBtn};
        // Every button in its hover image: the next paint must set all seven
        // normal ones again.
        QList<QImage> hovers;
        for (ImageToolButton* b : buttons) {
            Q_EMIT b->mouseEntered();
            hovers.append(imageOf(b));
        }

        LibraryLoads loads;
        form->repaint();
        QCOMPARE(loads.loaded, 1);
        QCOMPARE(loads.failed, 0);
        QList<QImage> shown;
        for (ImageToolButton* b : buttons) {
            // each its own bitmap, not the first one seven times
            const QImage image = imageOf(b);
            QVERIFY2(!image.isNull() && !shown.contains(image) && !hovers.contains(image), qPrintable(b->objectName()));
            shown.append(image);
        }
        form->repaint();
        form->repaint();
        QCOMPARE(loads.loaded, 3);

        // A hover image outside a paint loads the library for itself.
        Q_EMIT form->DelBtn->mouseEntered();
        QCOMPARE(loads.loaded, 4);
        QCOMPARE(imageOf(form->DelBtn), hovers.at(3));
        QVERIFY(box.boxes.isEmpty());
    }

    void aPaintWithoutTheImageLibraryTriesItOnce()
    {
        QFile::rename(box.pathText("bin/vrimgs.dll"), box.pathText("bin/vrimgs.off"));
        auto form = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        LibraryLoads loads;
        form->repaint();
        form->repaint();
        QTest::qWait(20);
        QFile::rename(box.pathText("bin/vrimgs.off"), box.pathText("bin/vrimgs.dll"));
        QCOMPARE(loads.failed, 2);
        QCOMPARE(loads.loaded, 0);
        QCOMPARE(box.boxes, QStringList({ImageLibrary::ErrorText()}));
    }

    void aBatchOfImagesSharesOneLoad()
    {
        LibraryLoads loads;
        const std::optional<QImage> alone = ImageLibrary::Load(100);
        QVERIFY(alone && !alone->isNull());
        QCOMPARE(loads.loaded, 1);
        {
            const ImageLibrary::Batch batch;
            QCOMPARE(loads.loaded, 2);
            QCOMPARE(ImageLibrary::Load(100), alone);
            QVERIFY(ImageLibrary::Load(116));
            QVERIFY(!ImageLibrary::Load(99999)); // no such bitmap: still an error, not a crash
            {
                const ImageLibrary::Batch inner; // the outer load serves it
                QVERIFY(ImageLibrary::Load(101));
            }
            QVERIFY(ImageLibrary::Load(102)); // the inner batch left the library loaded
            QCOMPARE(loads.total(), 2);
        }
        QVERIFY(ImageLibrary::Load(103)); // after the batch, one load an image again
        QCOMPARE(loads.loaded, 3);

        QFile::rename(box.pathText("bin/vrimgs.dll"), box.pathText("bin/vrimgs.off"));
        {
            const ImageLibrary::Batch batch;
            QVERIFY(!ImageLibrary::Load(100));
            QVERIFY(!ImageLibrary::Load(101));
        }
        QVERIFY(!ImageLibrary::Load(100));
        QFile::rename(box.pathText("bin/vrimgs.off"), box.pathText("bin/vrimgs.dll"));
        QCOMPARE(loads.failed, 2);        // once for the batch, once for the image alone
        QVERIFY(ImageLibrary::Load(100)); // the library is back, and no batch holds the failure
    }

    void popupsChangeTheListButNotTheFiles()
    {
        for (const char* n : {"a.tmp", "b.tmp", "c.tmp"})
            box.makeFile(QByteArray("c/") + n, "12");
        write({{"Search", "TempFolders", "No"}});
        auto form = makeForm();
        form->FindActionExecute();
        form->FileList->selectRow(0);
        form->ClearSelectedMenuItemClick();
        QCOMPARE(rows(*form), QStringList({"c:\\b.tmp", "c:\\a.tmp"}));
        form->ClearFileListMenuItemClick();
        QCOMPARE(form->FileModel->rowCount(), 0);
        QCOMPARE(form->TotalSize, quint64(6));
        QVERIFY(box.exists("c/c.tmp"));
        form->ClearLogPopupClick();
        QCOMPARE(form->LogRich->lineCount(), 0);
        // The list and the log kept their texts in one store; both cleared,
        // nothing of it is left.
        QCOMPARE(form->LogRich->textStore()->blockCount(), 0);
    }

    void rowsDeriveNameAndSizeAndTakeCaptionsInParts()
    {
        TFoundFileModel model(nullptr);
        // Each row's id comes back whole: deletion checks every field.
        const auto idOf = [](int i) {
            return platform::EntryId{quint64(i % 3) << 40 | 5, quint64(1000 + i), qint64(i) << 33 | 1, quint32(i) * 7,
                                     i % 2 ? platform::EntryKind::File : platform::EntryKind::Folder};
        };
        for (int i = 0; i < 10; ++i)
            model.insertTop(QStringLiteral("c:\\d%1\\f%1.tmp").arg(i), quint64(i) << 40, i, idOf(i));
        model.insertTop(QStringLiteral("c:name"), 0, -1, {});
        for (int i = 0; i < 10; ++i)
            QCOMPARE(model.rowAt(10 - i).finding().id, idOf(i));
        QCOMPARE(model.rowAt(0).name(), QStringLiteral("name"));
        QCOMPARE(model.rowAt(1).name(), QStringLiteral("f9.tmp"));
        QCOMPARE(model.data(model.index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("f9.tmp"));
        QCOMPARE(model.data(model.index(1, 2), Qt::DisplayRole).toString(), QString::number(quint64(9) << 40));
        QCOMPARE(model.captions(1, 3), QStringList({"c:\\d9\\f9.tmp", "c:\\d8\\f8.tmp", "c:\\d7\\f7.tmp"}));
        QCOMPARE(model.captions(9, 100), QStringList({"c:\\d1\\f1.tmp", "c:\\d0\\f0.tmp"}));
        QVERIFY(model.captions(11, 5).isEmpty());

        // A marker in front leaves the name column as it was.
        model.markRows([](TFoundFileModel::Row& row) {
            if (row.path.startsWith(u"c:\\d1") || row.path.startsWith(u"c:\\d0")) {
                row.why = core::Protection::ExcludedFolder;
                row.markers = 1;
            }
        });
        QCOMPARE(model.rowAt(9).caption(), QStringLiteral("[[-]] c:\\d1\\f1.tmp"));
        QCOMPARE(model.data(model.index(10, 0), Qt::DisplayRole).toString(), QStringLiteral("[[-]] c:\\d0\\f0.tmp"));
        QCOMPARE(model.rowAt(10).name(), QStringLiteral("f0.tmp"));
        QCOMPARE(model.rowAt(10).imageIndex, 0);
        QCOMPARE(model.rowAt(8).caption(), QStringLiteral("c:\\d2\\f2.tmp"));
        QCOMPARE(model.rowCount(), 11);
        model.removePositions({9, 0, 3});
        QCOMPARE(model.captions(), QStringList({"c:\\d9\\f9.tmp", "c:\\d8\\f8.tmp", "c:\\d6\\f6.tmp",
                                                "c:\\d5\\f5.tmp", "c:\\d4\\f4.tmp", "c:\\d3\\f3.tmp",
                                                "c:\\d2\\f2.tmp", "[[-]] c:\\d0\\f0.tmp"}));
        QCOMPARE(model.rowAt(7).id, idOf(0));
        QCOMPARE(model.rowAt(2).id, idOf(6));

        // The icon list keeps each distinct icon once and answers by row.
        FoundIconList icons;
        const QPixmap pixmap(4, 4);
        const QIcon a(pixmap), b(pixmap);
        for (const QIcon& icon : {a, b, a, QIcon(), a})
            icons.append(icon);
        QCOMPARE(icons.size(), 5);
        QCOMPARE(icons.at(1).cacheKey(), b.cacheKey());
        QCOMPARE(icons.at(4).cacheKey(), a.cacheKey());
        QVERIFY(icons.at(3).isNull() && icons.at(5).isNull());
    }

    void marksReachEveryRowOfAListLongerThanOnePart()
    {
        write({{"Delete", "InSysFolders", "Yes"},
               {"ExDirs", "Items", "1"},
               {"ExDirs", "Dir0", "c:\\keep"},
               {"ExDirs", "State0", "1"}});
        auto form = makeForm();
        const int n = 20000; // more than two parts of the marking
        for (int i = 0; i < n; ++i)
            form->FileModel->insertTop(
                i % 2 ? QStringLiteral("c:\\f%1.tmp").arg(i) : QStringLiteral("c:\\keep\\f%1.tmp").arg(i), 1, i, {});
        form->MarkSystemFiles();
        form->MarkExcludedDirs();
        const QStringList captions = form->FileModel->captions();
        QCOMPARE(captions.size(), n);
        for (int position = 0; position < n; ++position) {
            const int i = n - 1 - position;
            const QString expected = i % 2 ? QStringLiteral("[[-]] c:\\f%1.tmp").arg(i) // at the drive's root
                                           : QStringLiteral("[[-]] c:\\keep\\f%1.tmp").arg(i);
            QCOMPARE(captions[position], expected);
        }
    }

    void theListAndLogHoldAHundredThousandRows()
    {
        auto form = makeForm();
        for (int i = 0; i < 100000; ++i) {
            form->FileModel->insertTop(QStringLiteral("c:\\f%1.tmp").arg(i), 1, -1, {});
            form->LogRich->appendLine(QStringLiteral("Найден файл - c:\\f%1.tmp").arg(i), Qt::black);
        }
        QCOMPARE(form->FileModel->rowAt(0).caption(), QStringLiteral("c:\\f99999.tmp"));
        QCOMPARE(form->LogRich->lineCount(), 100000);
        form->FileList->selectAll();
        form->ClearSelectedMenuItemClick();
        QCOMPARE(form->FileModel->rowCount(), 0);
    }

    // Last: the program's setup changes the whole application. Qt's own
    // texts (standard buttons, edit menus) speak Russian, and settings that
    // cannot be saved are told once per run.
    void theProgramsSetupSpeaksRussianAndTellsOfUnsavedSettings()
    {
        SetUpApplication();
        platform::MessagePump::setHook({});
        if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm")))
            QSKIP("Qt's Russian translation (qt6-translations-l10n) is not installed");
        const struct {
            const char* context;
            const char* english;
            const char* russian;
        } texts[] = {{"QPlatformTheme", "&Yes", "&Да"},
                     {"QPlatformTheme", "&No", "&Нет"},
                     {"QPlatformTheme", "Cancel", "Отмена"},
                     {"QWidgetTextControl", "&Copy", "&Копировать"},
                     {"QWidgetTextControl", "Select All", "Выделить всё"},
                     {"QLineEdit", "&Copy", "&Копировать"},
                     {"QLineEdit", "Select All", "Выделить всё"}};
        for (const auto& t : texts)
            QCOMPARE(QCoreApplication::translate(t.context, t.english), QString::fromUtf8(t.russian));
        QMessageBox question(QMessageBox::Question, QString(), QStringLiteral("?"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(question.button(QMessageBox::Yes)->text(), QStringLiteral("&Да"));
        QCOMPARE(question.button(QMessageBox::No)->text(), QStringLiteral("&Нет"));
        QCOMPARE(question.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));

        // A settings "file" that is a folder cannot be replaced: told once,
        // however many keys fail after it.
        QFile::remove(box.pathText("bin/varnel.ini"));
        box.makeDir("bin/varnel.ini");
        box.boxes.clear();
        {
            auto form = makeForm();
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
            QVERIFY(form->close());
        }
        QVERIFY(!WriteSetting("View", "XPMenu", "No"));
        QDir(box.pathText("bin/varnel.ini")).removeRecursively();
        const QString expected = QStringLiteral("Не удалось сохранить настройки в файл %1. "
                                                "Папка программы недоступна для записи.")
                                     .arg(box.pathText("bin/varnel.ini"));
        QCOMPARE(box.boxes, QStringList({expected}));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
