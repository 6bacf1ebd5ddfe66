// The main window's plug-in menu: loading at creation, the items, the list
// file, a command name that cannot name an item, closing; and the two
// sample plug-ins doing their work in a sandboxed home.

#include "app/TMainForm.h"
#include "platform/MessageBoxService.h"
#include "plugins/TmxPluginLoader.h"
#include "support/Sandbox.h"
#include "support/TestPlugins.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QtTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

class TestPluginMenu : public QObject {
    Q_OBJECT
    Sandbox box;
    TestPlugins plugins{box};

    static QStringList items(const TMainForm& form)
    {
        QStringList result;
        for (QAction* a : form.PlugnMenuItem->actions()) {
            result << QStringLiteral("%1|%2|%3|%4|%5")
                          .arg(a->objectName(), a->text())
                          .arg(a->isEnabled())
                          .arg(a->isChecked())
                          .arg(a->shortcut().isEmpty() && a->icon().isNull());
        }
        return result;
    }

    QByteArray listFile() const { return box.read(plugins.appPath("plugins.list").mid(box.path({}).size() + 1)); }

    void appendLog(const QByteArray& line) const
    {
        QFile f(box.pathText("plugin.log"));
        if (f.open(QIODevice::Append))
            f.write(line + '\n');
    }

private Q_SLOTS:
    void init()
    {
        plugins.clear();
        plugins.clearLog();
        box.boxes.clear();
    }

    void noPlugins()
    {
        QDir(QFile::decodeName(plugins.appPath("Plugins"))).removeRecursively();
        TMainForm form;
        QVERIFY(QFileInfo(QFile::decodeName(plugins.appPath("Plugins"))).isDir());
        QVERIFY(QFile::exists(QFile::decodeName(plugins.appPath("plugins.list"))));
        QCOMPARE(listFile(), QByteArray());
        QCOMPARE(items(form), QStringList{"NoPlugins|Нет установленных плагинов|1|0|1"});
        form.PlugnMenuItem->actions().constFirst()->trigger(); // does nothing
        QVERIFY(box.boxes.isEmpty());
        QCOMPARE(form.PluginLoader.Extension, QStringLiteral("dll"));
        QCOMPARE(form.findChild<TmxPluginLoader*>(QStringLiteral("PluginLoader")), &form.PluginLoader);
    }

    void commandsInLoadOrder()
    {
        plugins.install(QStringLiteral("tp_normal"), QStringLiteral("a.dll"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral("b.dll"));
        plugins.install(QStringLiteral("tp_normal2"), QStringLiteral("c.DLL"));
        plugins.install(QStringLiteral("tp_both"), QStringLiteral("sub/d.dll")); // not searched
        plugins.install(QStringLiteral("tp_refuse"), QStringLiteral("e.dll"));   // skipped silently
        TMainForm form;
        // Shortcuts and images of the plug-ins are not used.
        const QStringList pair{"First|Первая|1|0|1", "Second|Вторая|0|1|1"};
        QCOMPARE(items(form), pair + pair + pair);
        QCOMPARE(listFile(),
                 QByteArray("Title tp_normal v2.5 (Note tp_normal)\r\n"
                            "Title tp_normal2 v2.5 (Note tp_normal2)\r\n"
                            "Title tp_small\r\n"));
        QVERIFY(box.boxes.isEmpty());
        // A command reaches its own plug-in; a checked one stays checked.
        form.PlugnMenuItem->actions()[2]->trigger();
        form.PlugnMenuItem->actions()[4]->trigger();
        form.PlugnMenuItem->actions()[5]->trigger(); // disabled: nothing
        QCOMPARE(plugins.log().filter(QStringLiteral("action")),
                 (QStringList{"action-1 tp_small", "action-1 tp_normal2"}));
        QVERIFY(form.PlugnMenuItem->actions()[5]->isChecked());
    }

    // The user's own folder is judged as the program's is: a safe one
    // loads, one that others may write does not.
    void theUsersOwnPluginsLoadUnderTheSameRules()
    {
        plugins.install(QStringLiteral("tp_normal"), QStringLiteral("a.dll"));
        const QString mine = box.pathText("home/data/varnel/Plugins");
        QDir().mkpath(mine);
        QFile::setPermissions(mine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        const QString name = mine + QStringLiteral("/mine.dll");
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_TEST_PLUGINS "/tp_small.so"), name));
        QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        const QByteArray both = "Title tp_normal v2.5 (Note tp_normal)\r\nTitle tp_small\r\n";
        {
            TMainForm form;
            QCOMPARE(items(form).size(), 4);
            QCOMPARE(listFile(), both);
        }
        QFile::setPermissions(mine, QFile::permissions(mine) | QFile::WriteOther);
        {
            TMainForm form;
            QCOMPARE(listFile(), QByteArray("Title tp_normal v2.5 (Note tp_normal)\r\n"));
        }
        QDir(mine).removeRecursively();
    }

    void invalidNameEndsTheWalk()
    {
        plugins.install(QStringLiteral("tp_normal"), QStringLiteral("a.dll"));
        plugins.install(QStringLiteral("tp_badname"), QStringLiteral("b.dll"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral("c.dll"));
        TMainForm form;
        QCOMPARE(box.boxes.size(), 1);
        QVERIFY(box.boxes[0].contains(QStringLiteral("\"1st\"")));
        // The list is written, empty; no "NoPlugins"; nothing after the bad one.
        QVERIFY(QFile::exists(QFile::decodeName(plugins.appPath("plugins.list"))));
        QCOMPARE(listFile(), QByteArray());
        QCOMPARE(items(form), (QStringList{"First|Первая|1|0|1", "Second|Вторая|0|1|1"}));
        QCOMPARE(plugins.count("load tp_small"), 0);
    }

    void closingEmptiesTheMenuFirst()
    {
        plugins.install(QStringLiteral("tp_normal"), QStringLiteral("a.dll"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral("b.dll"));
        TMainForm form;
        for (QAction* a : form.PlugnMenuItem->actions())
            connect(a, &QObject::destroyed, this, [this] { appendLog("menu-item gone"); });
        plugins.clearLog();
        form.FormClose();
        const QStringList log = plugins.log();
        QCOMPARE(log.count("menu-item gone"), 4);
        QVERIFY(log.lastIndexOf("menu-item gone") < log.indexOf("destroy tp_normal"));
        QCOMPARE(log.count("free tp_normal"), 1);
        QCOMPARE(log.count("free tp_small"), 1);
        QVERIFY(form.PlugnMenuItem->actions().isEmpty());
        QCOMPARE(form.PluginLoader.PluginCount() + form.PluginLoader.SmallPluginCount(), 0);
    }

    void closeWaitsForARunningCommand()
    {
        box.makeDir("home/data/Trash/files");
        plugins.install(QStringLiteral(VARNEL_SAMPLE_PLUGINS "/empty_trash.dll"), QStringLiteral("t.dll"));
        TMainForm form;
        form.show();
        int loadedDuringBox = -1;
        bool closedDuringBox = true;
        platform::MessageBoxService::setHandler([&](const platform::MessageRequest& r) {
            form.close(); // the user closes the window while the plug-in's box is up
            loadedDuringBox = form.PluginLoader.SmallPluginCount();
            closedDuringBox = !form.isVisible();
            return platform::MsgResult::Ok;
        });
        form.PlugnMenuItem->actions()[0]->trigger();
        platform::MessageBoxService::setHandler([this](const platform::MessageRequest& r) {
            box.boxes << r.text;
            return box.boxAnswer;
        });
        QCOMPARE(loadedDuringBox, 1);
        QVERIFY(!closedDuringBox);
        // Once the command has returned, the close goes ahead.
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(form.PluginLoader.SmallPluginCount(), 0);
        QVERIFY(form.PlugnMenuItem->actions().isEmpty());
    }

    void samplePlugins()
    {
        const QByteArray home = box.path("home");
        qputenv("XDG_CACHE_HOME", home + "/cache");
        box.makeFile("home/data/Trash/files/report.txt", QByteArray(3000, 'x'));
        box.makeFile("home/data/Trash/info/report.txt.trashinfo", "[Trash Info]\nPath=/x\n");
        box.makeFile("home/data/Trash/files/old/notes/a.txt", QByteArray(100, 'y'));
        box.makeFile("home/data/Trash/info/old.trashinfo", "[Trash Info]\nPath=/old\n");
        box.makeFile("home/data/Trash/directorysizes", "100 1 old\n");
        box.makeFile("keep/precious.txt", "keep me");
        QVERIFY(QFile::link(box.pathText("keep"), box.pathText("home/data/Trash/files/link")));
        // A second name of report.txt outside: deleting the Trash's frees none of its bytes.
        QCOMPARE(
            ::link(box.path("home/data/Trash/files/report.txt").constData(), box.path("keep/hard.txt").constData()), 0);
        box.makeFile("home/cache/thumbnails/normal/abc.png", QByteArray(2048, 'p'));
        box.makeFile("home/cache/thumbnails/large/def.png", QByteArray(2048, 'p'));
        for (const char* sample : {"empty_trash", "thumbnail_cache"})
            plugins.install(QStringLiteral(VARNEL_SAMPLE_PLUGINS "/") + sample + QStringLiteral(".dll"),
                            QString::fromLatin1(sample) + QStringLiteral(".dll"));
        {
            TMainForm form;
            QCOMPARE(items(form),
                     (QStringList{"EmptyTrashCmd|Очистить Корзину|1|0|1",
                                  "ClearThumbnailsCmd|Очистить кэш эскизов (4,0 КБ)|1|0|1"}));
            QCOMPARE(QString::fromUtf8(listFile()),
                     QStringLiteral("Кэш эскизов v1.0 (удаляет эскизы файлов, которые создал рабочий стол)\r\n"
                                    "Очистка Корзины\r\n"));
            // Asked first: anything but Yes leaves the Trash as it is.
            const QString question = QStringLiteral(
                "Очистить Корзину? Всё, что в ней лежит, будет удалено безвозвратно.");
            form.PlugnMenuItem->actions()[0]->trigger();
            QCOMPARE(box.boxes, QStringList{question});
            QVERIFY(box.exists("home/data/Trash/files/report.txt"));
            QVERIFY(box.exists("home/data/Trash/info/old.trashinfo"));
            box.boxes.clear();
            box.boxAnswer = platform::MsgResult::Yes;
            form.PlugnMenuItem->actions()[0]->trigger();
            box.boxAnswer = platform::MsgResult::Cancel;
            // Three items were in the Trash, whatever they held; freed are a.txt and the two records.
            QCOMPARE(box.boxes, (QStringList{question, "Корзина очищена: удалено объектов 3, освобождено 144 байт."}));
            QCOMPARE(box.read("keep/hard.txt"), QByteArray(3000, 'x'));
            QVERIFY(QDir(box.pathText("home/data/Trash/files"))
                        .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
            QVERIFY(QDir(box.pathText("home/data/Trash/info")).isEmpty());
            QVERIFY(!box.exists("home/data/Trash/directorysizes"));
            QCOMPARE(box.read("keep/precious.txt"), QByteArray("keep me")); // the link went, not its target
            box.boxes.clear();
            form.PlugnMenuItem->actions()[1]->trigger();
            QCOMPARE(box.boxes, QStringList{"Кэш эскизов очищен: удалено объектов 4, освобождено 4,0 КБ."});
            QVERIFY(QDir(box.pathText("home/cache/thumbnails")).isEmpty());
            QVERIFY(QFileInfo(box.pathText("home/cache/thumbnails")).isDir());
        }
        // The value's text is measured when asked.
        box.makeFile("home/cache/thumbnails/normal/new.png", QByteArray(512, 'p'));
        QStringList values;
        TmxPluginLoader loader;
        loader.OnNewFunction = [&](TmxPluginLoader*, const QString& name, const QString& text) {
            values << name + u'=' + text;
        };
        loader.LoadPlugin(plugins.folder() + QStringLiteral("\\thumbnail_cache.dll"));
        QCOMPARE(values, QStringList{"ThumbnailCacheSize=Кэш эскизов: 512 байт"});
        loader.UnloadAll();
    }

    // A folder of the same file system bound into the Trash or the
    // thumbnail cache is another mount: neither sample enters it or deletes
    // what it shows. Needs a mount namespace of its own (unshare -m).
    void samplePluginsLeaveBindMountsAlone()
    {
        qputenv("XDG_CACHE_HOME", box.path("home") + "/cache");
        box.makeFile("outside/precious.txt", "keep me");
        box.makeFile("home/data/Trash/files/plain.txt");
        box.makeDir("home/data/Trash/files/bound");
        box.makeFile("home/cache/thumbnails/normal/abc.png");
        box.makeDir("home/cache/thumbnails/bound");
        const QString trash = plugins.install(QStringLiteral(VARNEL_SAMPLE_PLUGINS "/empty_trash.dll"),
                                              QStringLiteral("t.dll"));
        const QString thumbs = plugins.install(QStringLiteral(VARNEL_SAMPLE_PLUGINS "/thumbnail_cache.dll"),
                                               QStringLiteral("c.dll"));
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                ::_exit(77);
            for (const char* target : {"home/data/Trash/files/bound", "home/cache/thumbnails/bound"})
                if (::mount(box.path("outside").constData(), box.path(target).constData(), nullptr, MS_BIND, nullptr)
                    != 0)
                    ::_exit(77);
            QList<TmxNotifyEvent> commands;
            TmxPluginLoader loader;
            loader.OnAskYesNo = [](TmxPluginLoader*, const QString&) { return true; };
            loader.OnNewAction = [&](TmxPluginLoader*, const QString&, const TmxPluginImage&, const TmxPluginImage&,
                                     const TmxPluginImage&, const QString&, bool, bool, const QString&, quint16,
                                     const TmxNotifyEvent& run) { commands << run; };
            loader.LoadPlugin(trash);
            loader.LoadPlugin(thumbs);
            for (const TmxNotifyEvent& run : commands)
                run(nullptr);
            const bool kept = box.read("home/data/Trash/files/bound/precious.txt") == "keep me"
                && box.read("home/cache/thumbnails/bound/precious.txt") == "keep me";
            const bool emptied = commands.size() == 2 && !box.exists("home/data/Trash/files/plain.txt")
                && !box.exists("home/cache/thumbnails/normal");
            ::_exit(kept && emptied ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status));
        if (WEXITSTATUS(status) == 77)
            QSKIP("no mount namespace of its own here (unshare -m is not allowed)");
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(box.read("outside/precious.txt"), QByteArray("keep me"));
    }

    void documentedExample()
    {
        plugins.install(QStringLiteral(VARNEL_SAMPLE_PLUGINS "/hello.dll"), QStringLiteral("hello.dll"));
        TMainForm form;
        QCOMPARE(items(form), QStringList{"HelloCmd|Поздороваться|1|0|1"});
        QCOMPARE(listFile(), QByteArray("Привет\r\n"));
        form.PlugnMenuItem->actions()[0]->trigger();
        QCOMPARE(box.boxes, QStringList{"Привет из плагина!"});
    }
};

QTEST_MAIN(TestPluginMenu)
#include "tst_pluginmenu.moc"
