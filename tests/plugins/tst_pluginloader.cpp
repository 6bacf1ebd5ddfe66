// The plug-in loader against real shared objects built from testplugin.c:
// every load result and the order of the checks, the hooks, announcements,
// unloading, the folder walk, the trust rules and plug-ins that misbehave.

#include "platform/PluginFolder.h"
#include "platform/PathMapper.h"
#include "plugins/TmxPluginLoader.h"
#include "support/Sandbox.h"
#include "support/TestPlugins.h"

#include <QCoreApplication>
#include <QFile>
#include <QtTest>

#include <stdexcept>
#include <unistd.h>

Q_DECLARE_METATYPE(TmxPluginLoadResult)

class TestPluginLoader : public QObject {
    Q_OBJECT
    Sandbox box;
    TestPlugins plugins{box};

    struct Announced {
        QStringList actions; // "Name|Caption|enabled|checked"
        QList<TmxNotifyEvent> handlers;
        QList<TmxPluginImage> images;
        QList<quint16> shortcuts;
        QStringList values; // "Name=Text"
        QStringList errors; // "file|result|log lines so far"
        QStringList events;
    };

    void watch(TmxPluginLoader& loader, Announced& seen)
    {
        loader.OnNewAction = [&seen](TmxPluginLoader*, const QString& name, const TmxPluginImage& image,
                                     const TmxPluginImage&, const TmxPluginImage&, const QString& caption, bool enabled,
                                     bool checked, const QString&, quint16 shortcut, const TmxNotifyEvent& onAction) {
            seen.actions << QStringLiteral("%1|%2|%3|%4").arg(name, caption).arg(enabled).arg(checked);
            seen.handlers << onAction;
            seen.images << image;
            seen.shortcuts << shortcut;
        };
        loader.OnNewFunction = [&seen](TmxPluginLoader*, const QString& name, const QString& text) {
            seen.values << name + u'=' + text;
        };
        loader.OnLoadError = [&seen, this](TmxPluginLoader*, const QString& file, TmxPluginLoadResult error) {
            seen.errors << QStringLiteral("%1|%2|%3")
                               .arg(file.section(u'\\', -1))
                               .arg(int(error))
                               .arg(plugins.log().join(u','));
        };
        loader.OnAfterLoad = [&seen](TmxPluginLoader* sender, TmxPluginTypes kind, void* plugin) {
            const bool listed = kind == ptNormal ? sender->Plugins(sender->PluginCount() - 1) == plugin
                                                 : sender->SmallPlugins(sender->SmallPluginCount() - 1) == plugin;
            seen.events << QStringLiteral("afterload %1 %2").arg(int(kind)).arg(listed);
        };
        loader.OnAfterUnLoad = [&seen](TmxPluginLoader*) { seen.events << QStringLiteral("afterunload"); };
    }

private Q_SLOTS:
    void init()
    {
        plugins.clear();
        plugins.clearLog();
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.user = std::nullopt; });
    }

    void version()
    {
        TmxPluginLoader loader;
        QCOMPARE(loader.Version(), QStringLiteral("1.57"));
        QCOMPARE(loader.Extension, QStringLiteral("MAX"));
        QCOMPARE(loader.EnabledTypes, TmxPluginTypeSet(psSmall | psNormal));
    }

    void loadResults_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<TmxPluginLoadResult>("result");
        QTest::addColumn<QStringList>("steps"); // the plug-in's log, in order
        QTest::newRow("normal") << "tp_normal" << lrOk
                                << QStringList{"load", "entry-normal", "beforeinit", "afterinit", "check"};
        QTest::newRow("small") << "tp_small" << lrOk
                               << QStringList{"load", "entry-small", "beforeinit", "afterinit", "check"};
        QTest::newRow("both entry points: normal")
            << "tp_both" << lrOk << QStringList{"load", "entry-normal", "beforeinit", "afterinit", "check"};
        QTest::newRow("no entry point") << "tp_noentry" << lrNoEntryPoint << QStringList{"load", "free"};
        QTest::newRow("null object") << "tp_null" << lrNoPluginObject << QStringList{"load", "entry-normal", "free"};
        QTest::newRow("init refused") << "tp_refuse" << lrInitRefused
                                      << QStringList{"load", "entry-normal", "beforeinit", "destroy", "free"};
        QTest::newRow("loader too old") << "tp_old" << lrLoaderTooOld
                                        << QStringList{"load",      "entry-normal", "beforeinit",
                                                       "afterinit", "destroy",      "free"};
        QTest::newRow("only the low 16 bits count")
            << "tp_highbits" << lrOk << QStringList{"load", "entry-normal", "beforeinit", "afterinit", "check"};
        QTest::newRow("rejected") << "tp_reject" << lrRejected
                                  << QStringList{"load",  "entry-normal", "beforeinit", "afterinit",
                                                 "check", "destroy",      "free"};
        QTest::newRow("not ready: no check, hooks all the same")
            << "tp_notready" << lrOk << QStringList{"load", "entry-normal", "beforeinit", "afterinit"};
        QTest::newRow("not ready still too old")
            << "tp_notready_old" << lrLoaderTooOld
            << QStringList{"load", "entry-normal", "beforeinit", "afterinit", "destroy", "free"};
    }

    void loadResults()
    {
        QFETCH(QString, plugin);
        QFETCH(TmxPluginLoadResult, result);
        QFETCH(QStringList, steps);
        const QString file = plugins.install(plugin, QStringLiteral("p.dll"));
        Announced seen; // outlives the loader, whose end raises events
        TmxPluginLoader loader;
        watch(loader, seen);
        QCOMPARE(loader.LoadPlugin(file), result);
        QStringList expected;
        for (const QString& step : steps)
            expected << step + u' ' + plugin;
        QCOMPARE(plugins.log(), expected);
        QCOMPARE(loader.PluginCount() + loader.SmallPluginCount(), result == lrOk ? 1 : 0);
        if (result == lrOk) {
            QVERIFY(seen.errors.isEmpty());
            QCOMPARE(seen.events.size(), 1);
        } else {
            // Reported once, before the object is destroyed and the library freed.
            QCOMPARE(seen.errors.size(), 1);
            const QStringList parts = seen.errors[0].split(u'|');
            QCOMPARE(parts[0], QStringLiteral("p.dll"));
            QCOMPARE(parts[1].toInt(), int(result));
            QVERIFY(!parts[2].contains(QStringLiteral("destroy")));
            QVERIFY(!parts[2].contains(QStringLiteral("free")));
            QVERIFY(seen.events.isEmpty());
        }
    }

    void notALibrary()
    {
        box.makeFile(plugins.appPath("Plugins/text.dll").mid(box.path({}).size() + 1), "not a shared object");
        QFile::setPermissions(QFile::decodeName(plugins.appPath("Plugins/text.dll")),
                              QFile::ReadOwner | QFile::WriteOwner);
        Announced seen; // outlives the loader, whose end raises events
        TmxPluginLoader loader;
        watch(loader, seen);
        QCOMPARE(loader.LoadPlugin(plugins.folder() + QStringLiteral("\\text.dll")), lrLoadFailed);
        QCOMPARE(loader.LoadPlugin(plugins.folder() + QStringLiteral("\\missing.dll")), lrLoadFailed);
        QCOMPARE(seen.errors.size(), 2);
    }

    void disabledKindNeverCalled()
    {
        const QString file = plugins.install(QStringLiteral("tp_small"), QStringLiteral("s.dll"));
        TmxPluginLoader loader;
        loader.EnabledTypes = psNormal;
        QCOMPARE(loader.LoadPlugin(file), lrTypeDisabled);
        QCOMPARE(plugins.log(), (QStringList{"load tp_small", "free tp_small"}));
    }

    void beforeLoadDeclines()
    {
        const QString file = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("n.dll"));
        Announced seen; // outlives the loader, whose end raises events
        TmxPluginLoader loader;
        watch(loader, seen);
        QStringList asked;
        loader.OnBeforeLoad = [&](TmxPluginLoader*, const QString& name, bool& canLoad) {
            asked << name;
            canLoad = false;
        };
        QCOMPARE(loader.LoadPlugin(file), lrOk);
        QCOMPARE(asked, QStringList{file});
        QVERIFY(plugins.log().isEmpty());
        QVERIFY(seen.errors.isEmpty());
        QCOMPARE(loader.PluginCount(), 0);
    }

    void instanceLimit()
    {
        TmxPluginLoader loader;
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_key"), QStringLiteral("k1.dll"))), lrOk);
        plugins.clearLog();
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_key2"), QStringLiteral("k2.dll"))),
                 lrTooManyInstances);
        // Counted before the plug-in is asked anything.
        QCOMPARE(plugins.log(),
                 (QStringList{"load tp_key2", "entry-normal tp_key2", "destroy tp_key2", "free tp_key2"}));
        // The other kind does not count, nor does a key that differs in case.
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_keysmall"), QStringLiteral("k3.dll"))), lrOk);
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_keyother"), QStringLiteral("k4.dll"))), lrOk);
        // The same file again is one more instance.
        QCOMPARE(loader.LoadPlugin(plugins.folder() + QStringLiteral("\\k1.dll")), lrTooManyInstances);
        // Without a limit any number loads, the same file included.
        const QString free = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("n.dll"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(loader.LoadPlugin(free), lrOk);
        QCOMPARE(loader.PluginCount(), 5);
        QCOMPARE(loader.SmallPluginCount(), 1);
    }

    void hostFields()
    {
        const QString file = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("n.dll"));
        const QString idle = plugins.install(QStringLiteral("tp_notready"), QStringLiteral("idle.dll"));
        const QString small = plugins.install(QStringLiteral("tp_small"), QStringLiteral("s.dll"));
        TmxPluginLoader loader;
        QCOMPARE(loader.LoadPlugin(file), lrOk);
        QCOMPARE(loader.LoadPlugin(idle), lrOk);
        QCOMPARE(loader.LoadPlugin(small), lrOk);
        const VrPlugin* p = loader.Plugins(0);
        QVERIFY(p);
        QCOMPARE(p->Loader, loader.Host());
        QCOMPARE(p->Loader->Version, 313);
        // The host's services reach the loader's owner: a message, a
        // question (1 only for yes; no owner answers no), and OnCallBack.
        QStringList said;
        p->Loader->ShowMessage(p->Loader, "unheard");
        QCOMPARE(int(p->Loader->AskYesNo(p->Loader, "Удалить?")), 0);
        loader.OnShowMessage = [&](TmxPluginLoader*, const QString& text) { said << text; };
        p->Loader->ShowMessage(p->Loader, "Готово");
        for (const bool answer : {true, false}) {
            loader.OnAskYesNo = [&](TmxPluginLoader*, const QString& question) {
                said << question;
                return answer;
            };
            QCOMPARE(int(p->Loader->AskYesNo(p->Loader, "Удалить?")), answer ? 1 : 0);
        }
        QCOMPARE(said, (QStringList{"Готово", "Удалить?", "Удалить?"}));
        QCOMPARE(p->Loader->CallBack(p->Loader, "ping", 7), 0);
        loader.OnCallBack = [](TmxPluginLoader*, const QString& message, int param, bool& handled) {
            handled = message == "ping" && param == 7;
        };
        QCOMPARE(p->Loader->CallBack(p->Loader, "ping", 7), 1);
        QCOMPARE(p->Application, static_cast<void*>(QCoreApplication::instance()));
        QCOMPARE(QString::fromUtf8(p->FileName), file);
        QVERIFY(p->LibraryHandle);
        QCOMPARE(loader.HandleTexts(ptNormal).value(0), QString::number(quintptr(p->LibraryHandle)));
        // Not ready: no handle written, but the plug-in is listed with its text.
        QCOMPARE(loader.Plugins(1)->LibraryHandle, nullptr);
        QCOMPARE(loader.HandleTexts(ptNormal).size(), 2);
        QVERIFY(loader.HandleTexts(ptNormal).value(1).toULongLong() != 0);
        QCOMPARE(QString::fromUtf8(loader.SmallPlugins(0)->FileName), small);
        QCOMPARE(loader.Plugin(0, ptNormal)->title(), QStringLiteral("Title tp_normal"));
        QCOMPARE(loader.Plugin(0, ptNormal)->note(), QStringLiteral("Note tp_normal"));
        QCOMPARE(loader.Plugin(0, ptNormal)->versionText(), QStringLiteral("2.5"));
        QCOMPARE(loader.Plugins(2), nullptr);
        QCOMPARE(loader.SmallPlugins(1), nullptr);
        QCOMPARE(loader.SmallPlugins(-1), nullptr);
    }

    void announcements_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::newRow("normal") << "tp_normal";
        QTest::newRow("small") << "tp_small";
    }

    void announcements()
    {
        QFETCH(QString, plugin);
        Announced seen; // outlives the loader, whose end raises events
        TmxPluginLoader loader;
        watch(loader, seen);
        QCOMPARE(loader.LoadPlugin(plugins.install(plugin, QStringLiteral("p.dll"))), lrOk);
        QCOMPARE(seen.actions, (QStringList{"First|Первая|1|0", "Second|Вторая|0|1"}));
        QCOMPARE(seen.values, QStringList{"Size=42 KB"});
        QCOMPARE(seen.events, QStringList{"afterload " + QString::number(plugin == "tp_small" ? 0 : 1) + " 1"});
        QCOMPARE(seen.shortcuts, (QList<quint16>{0x4041, 0x4041}));
        QCOMPARE(seen.images[0].width, 2);
        QCOMPARE(seen.images[0].pixels, (QList<quint32>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu}));
        // The handlers reach the plug-in's own code with their own context...
        plugins.clearLog();
        seen.handlers[1](nullptr);
        seen.handlers[0](nullptr);
        QCOMPARE(plugins.log(), (QStringList{"action-2 " + plugin, "action-1 " + plugin}));
        // ... and do nothing once the plug-in is gone.
        QVERIFY(loader.UnloadPlugin(0, plugin == "tp_small" ? ptSmall : ptNormal, false));
        plugins.clearLog();
        seen.handlers[0](nullptr);
        QVERIFY(plugins.log().isEmpty());
    }

    void notReadyOffersNothing()
    {
        Announced seen; // outlives the loader, whose end raises events
        TmxPluginLoader loader;
        watch(loader, seen);
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_notready"), QStringLiteral("p.dll"))), lrOk);
        QVERIFY(seen.actions.isEmpty());
        QVERIFY(seen.values.isEmpty());
        QCOMPARE(seen.events.size(), 1);
    }

    void garbageDoesNotCrash_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::newRow("normal") << "tp_garbage";
        QTest::newRow("small") << "tp_garbagesmall";
    }

    void garbageDoesNotCrash()
    {
        QFETCH(QString, plugin);
        Announced seen; // outlives the loader, whose end raises events
        TmxPluginLoader loader;
        watch(loader, seen);
        QCOMPARE(loader.LoadPlugin(plugins.install(plugin, QStringLiteral("g.dll"))), lrOk);
        // NULL names and captions read as empty, a 0x0 or missing image as none.
        QCOMPARE(seen.actions, (QStringList{"||1|0", "||0|1"}));
        QVERIFY(seen.images[0].isNull());
        QVERIFY(seen.images[1].isNull());
        // A count of -1, or no list at all, gives no values.
        QVERIFY(seen.values.isEmpty());
        const PluginObject* object = loader.Plugin(0, plugin == "tp_garbage" ? ptNormal : ptSmall);
        QVERIFY(object);
        QCOMPARE(object->title(), QString());
        QCOMPARE(object->instanceKey(), QString());
        loader.UnloadAll();
        QCOMPARE(plugins.count("free " + plugin), 1);
    }

    void unloading()
    {
        Announced seen; // outlives the loader, whose end raises events
        TmxPluginLoader loader;
        watch(loader, seen);
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_normal"), QStringLiteral("a.dll"))), lrOk);
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_stay"), QStringLiteral("b.dll"))), lrOk);
        seen.events.clear();
        // An index equal to the count names no plug-in.
        QVERIFY(!loader.UnloadPlugin(2, ptNormal, false));
        QVERIFY(!loader.UnloadPlugin(0, ptSmall, false));
        QCOMPARE(loader.Plugins(2), nullptr);

        plugins.clearLog();
        QVERIFY(!loader.UnloadPlugin(1, ptNormal, false)); // the plug-in declines
        QCOMPARE(plugins.log(), QStringList{"queryunload tp_stay"});
        QCOMPARE(loader.PluginCount(), 2);
        QVERIFY(seen.events.isEmpty());

        plugins.clearLog();
        QVERIFY(loader.UnloadPlugin(1, ptNormal, true)); // asked, but forced
        QCOMPARE(plugins.log(), (QStringList{"queryunload tp_stay", "destroy tp_stay", "free tp_stay"}));
        QCOMPARE(seen.events, QStringList{"afterunload"});
        QCOMPARE(loader.PluginCount(), 1);
        QCOMPARE(loader.HandleTexts(ptNormal).size(), 1);

        // OnBeforeUnload declines: nothing happens at all.
        loader.OnBeforeUnload = [](TmxPluginLoader*, int, bool& canUnload) { canUnload = false; };
        plugins.clearLog();
        QVERIFY(!loader.UnloadPlugin(0, ptNormal, true));
        QVERIFY(plugins.log().isEmpty());
        // UnloadAll passes over it too: it stays listed, for the loader's
        // end to take (see aThrowingUnloadNeverEndsTheProgram).
        loader.UnloadAll();
        QCOMPARE(loader.PluginCount(), 1);
        QVERIFY(plugins.log().isEmpty());
        QCOMPARE(loader.HandleTexts(ptNormal).size(), 1);
    }

    // A plug-in that throws from OnQueryUnload: unasked for, the exception
    // is the caller's and the plug-in stays; forced, and at the loader's
    // end, it goes all the same, its library freed once per load, and
    // nothing escapes the destructor (which would end the program), even
    // with the host declining every unload.
    void aThrowingUnloadNeverEndsTheProgram()
    {
        const QString thrower = plugins.install(QStringLiteral("tp_throwunload"), QStringLiteral("q.dll"));
        const QString normal = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("n.dll"));
        plugins.clearLog();
        {
            TmxPluginLoader loader;
            QCOMPARE(loader.LoadPlugin(thrower), lrOk);
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, loader.UnloadPlugin(0, ptSmall, false));
            QCOMPARE(loader.SmallPluginCount(), 1);
            QVERIFY(loader.UnloadPlugin(0, ptSmall, true));
            QCOMPARE(loader.SmallPluginCount(), 0);
            QCOMPARE(plugins.log(), (QStringList{"destroy throwunload", "free throwunload"}));
            QCOMPARE(loader.LoadPlugin(thrower), lrOk);
            QCOMPARE(loader.LoadPlugin(normal), lrOk);
            loader.OnBeforeUnload = [](TmxPluginLoader*, int, bool& canUnload) { canUnload = false; };
        }
        QCOMPARE(plugins.count("destroy throwunload"), 2);
        QCOMPARE(plugins.count("free throwunload"), 2);
        QCOMPARE(plugins.count("destroy tp_normal"), 1);
        QCOMPARE(plugins.count("free tp_normal"), 1);
    }

    void eachLibraryFreedOnce()
    {
        QList<int> unloadOrder;
        TmxPluginLoader loader;
        loader.OnBeforeUnload = [&](TmxPluginLoader* l, int index, bool&) { unloadOrder << index; };
        const QString same = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("same.dll"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(loader.LoadPlugin(same), lrOk);
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_normal2"), QStringLiteral("other.dll"))), lrOk);
        QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_small"), QStringLiteral("small.dll"))), lrOk);
        plugins.clearLog();
        loader.UnloadAll();
        // Last first, normal before small.
        QCOMPARE(unloadOrder, (QList<int>{3, 2, 1, 0, 0}));
        const QStringList log = plugins.log();
        QCOMPARE(log.count("destroy tp_normal"), 3);
        QCOMPARE(log.count("destroy tp_normal2"), 1);
        QCOMPARE(log.count("destroy tp_small"), 1);
        // One free per library, after the last of its objects went.
        for (const char* name : {"tp_normal", "tp_normal2", "tp_small"}) {
            QCOMPARE(log.count(QStringLiteral("free ") + name), 1);
            QVERIFY(log.lastIndexOf(QStringLiteral("destroy ") + name) < log.indexOf(QStringLiteral("free ") + name));
        }
        QCOMPARE(loader.PluginCount() + loader.SmallPluginCount(), 0);
    }

    void destroyingLoaderDestroysObjects()
    {
        {
            TmxPluginLoader loader;
            QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_normal"), QStringLiteral("a.dll"))), lrOk);
            QCOMPARE(loader.LoadPlugin(plugins.install(QStringLiteral("tp_small"), QStringLiteral("b.dll"))), lrOk);
            plugins.clearLog();
        }
        // Objects destroyed through their own operation, then each library freed.
        QCOMPARE(plugins.log(),
                 (QStringList{"queryunload tp_normal", "destroy tp_normal", "free tp_normal", "queryunload tp_small",
                              "destroy tp_small", "free tp_small"}));
    }

    void folderWalk()
    {
        plugins.install(QStringLiteral("tp_normal"), QStringLiteral("B.DLL"));
        plugins.install(QStringLiteral("tp_normal2"), QStringLiteral("a.Dll"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral("c.dll.bak"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral("dll"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral("d.txt"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral(".e.dll"));
        plugins.install(QStringLiteral("tp_both"), QStringLiteral("sub/f.dll"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral(".hidden/g.dll"));
        plugins.install(QStringLiteral("tp_small"), QStringLiteral("zz.dll/h.dll"));

        for (bool recursive : {false, true}) {
            TmxPluginLoader loader;
            loader.Extension = QStringLiteral("dll");
            QStringList asked, events;
            loader.OnBeforeLoad = [&](TmxPluginLoader*, const QString& name, bool&) {
                asked << name.mid(plugins.folder().size() + 1);
            };
            loader.OnBeforeReadFolder = [&](TmxPluginLoader*) { events << QStringLiteral("before"); };
            loader.OnAfterReadFolder = [&](TmxPluginLoader*) { events << QStringLiteral("after"); };
            loader.LoadFromFolder(plugins.folder(), recursive);
            QStringList expected{"a.Dll", "B.DLL"};
            if (recursive)
                expected << "sub\\f.dll"
                         << "zz.dll\\h.dll";
            QCOMPARE(asked, expected);
            QCOMPARE(events, (QStringList{"before", "after"}));
            QCOMPARE(loader.PluginCount() + loader.SmallPluginCount(), expected.size());
        }
    }

    void folderPathFixUp()
    {
        plugins.install(QStringLiteral("tp_normal"), QStringLiteral("a.dll"));
        const QString folder = plugins.folder(); // "c:\...\Plugins" or "z:\..."
        QVERIFY(folder.mid(1, 2) == QStringLiteral(":\\"));
        for (const QString& path : {folder, folder + u'\\', folder.left(3) + u'\\' + folder.mid(3)}) {
            TmxPluginLoader loader;
            loader.Extension = QStringLiteral("DLL");
            loader.LoadFromFolder(path, false);
            QVERIFY2(loader.PluginCount() == 1, qPrintable(path));
        }
    }

    void untrustedFilesFailToLoad()
    {
        TmxPluginLoader loader;
        QStringList errors;
        loader.OnLoadError = [&](TmxPluginLoader*, const QString& file, TmxPluginLoadResult error) {
            QCOMPARE(error, lrLoadFailed);
            errors << file;
        };
        // Outside the program's Plugins folder, or climbing out of it.
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_TEST_PLUGINS "/tp_normal.so"),
                            QFile::decodeName(plugins.appPath("out.dll"))));
        QFile::setPermissions(QFile::decodeName(plugins.appPath("out.dll")), QFile::ReadOwner | QFile::WriteOwner);
        const QString out = platform::PathMapper::toWindows(plugins.appPath("out.dll"));
        QCOMPARE(loader.LoadPlugin(out), lrLoadFailed);
        QCOMPARE(loader.LoadPlugin(plugins.folder() + QStringLiteral("\\..\\out.dll")), lrLoadFailed);
        // A link, even to a good plug-in inside the folder.
        const QString good = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("good.dll"));
        QVERIFY(QFile::link(QFile::decodeName(plugins.appPath("Plugins/good.dll")),
                            QFile::decodeName(plugins.appPath("Plugins/link.dll"))));
        QCOMPARE(loader.LoadPlugin(plugins.folder() + QStringLiteral("\\link.dll")), lrLoadFailed);
        // Writable by group or others: the file, or a folder on the way.
        const QString shared = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("shared.dll"));
        QFile::setPermissions(QFile::decodeName(plugins.appPath("Plugins/shared.dll")),
                              QFile::permissions(QFile::decodeName(plugins.appPath("Plugins/shared.dll")))
                                  | QFile::WriteGroup);
        QCOMPARE(loader.LoadPlugin(shared), lrLoadFailed);
        const QString inOpen = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("open/x.dll"));
        QFile::setPermissions(QFile::decodeName(plugins.appPath("Plugins/open")),
                              QFile::permissions(QFile::decodeName(plugins.appPath("Plugins/open")))
                                  | QFile::WriteOther);
        QCOMPARE(loader.LoadPlugin(inOpen), lrLoadFailed);
        QVERIFY(plugins.log().isEmpty()); // none of them was ever mapped
        QCOMPARE(errors.size(), 5);
        QCOMPARE(loader.LoadPlugin(good), lrOk);
        // The Plugins folder itself open to others: nothing in it loads.
        const QString later = plugins.install(QStringLiteral("tp_small"), QStringLiteral("later.dll"));
        const QString folder = QFile::decodeName(plugins.appPath("Plugins"));
        QFile::setPermissions(folder, QFile::permissions(folder) | QFile::WriteGroup);
        QCOMPARE(loader.LoadPlugin(later), lrLoadFailed);
        QFile::setPermissions(folder, QFile::permissions(folder) & ~QFile::WriteGroup);
        QCOMPARE(loader.LoadPlugin(later), lrOk);
    }

    void foreignOwnerFailsToLoad()
    {
        const QString file = plugins.install(QStringLiteral("tp_normal"), QStringLiteral("theirs.dll"));
        if (::geteuid() == 0) {
            QVERIFY(::chown(plugins.appPath("Plugins/theirs.dll").constData(), 65534, 65534) == 0);
        } else {
            Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.user = quint32(long(::geteuid()) + 1); });
        }
        TmxPluginLoader loader;
        QCOMPARE(loader.LoadPlugin(file), lrLoadFailed);
        QVERIFY(plugins.log().isEmpty());
        // Root's files are trusted whoever runs the program.
        if (::geteuid() == 0) {
            Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.user = quint32(1000); });
            QVERIFY(::chown(plugins.appPath("Plugins/theirs.dll").constData(), 0, 0) == 0);
            QCOMPARE(loader.LoadPlugin(file), lrOk);
        }
    }

    void exceptionEndsTheWalk()
    {
        plugins.install(QStringLiteral("tp_normal"), QStringLiteral("a.dll"));
        plugins.install(QStringLiteral("tp_throw"), QStringLiteral("m.dll"));
        plugins.install(QStringLiteral("tp_normal2"), QStringLiteral("z.dll"));
        {
            TmxPluginLoader loader;
            loader.Extension = QStringLiteral("dll");
            bool after = false;
            loader.OnAfterReadFolder = [&](TmxPluginLoader*) { after = true; };
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, loader.LoadFromFolder(plugins.folder(), false));
            QVERIFY(!after);
            // What came before stays; the thrower was destroyed; nothing after it ran.
            QCOMPARE(loader.PluginCount(), 1);
            QCOMPARE(loader.SmallPluginCount(), 0);
            QCOMPARE(plugins.count("destroy throw"), 1);
            QCOMPARE(plugins.count("load tp_normal2"), 0);
            // Its library stays mapped while the exception may be on its way...
            QCOMPARE(plugins.count("free throw"), 0);
            // A handler's exception after acceptance leaves that plug-in loaded.
            loader.OnNewAction = [](TmxPluginLoader*, const QString&, const TmxPluginImage&, const TmxPluginImage&,
                                    const TmxPluginImage&, const QString&, bool, bool, const QString&, quint16,
                                    const TmxNotifyEvent&) { throw std::invalid_argument("bad name"); };
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                     loader.LoadPlugin(plugins.folder() + QStringLiteral("\\z.dll")));
            QCOMPARE(loader.PluginCount(), 2);
        }
        // ... and the loader's end releases it with the others.
        QCOMPARE(plugins.count("free throw"), 1);
        QCOMPARE(plugins.count("free tp_normal"), 1);
        QCOMPARE(plugins.count("free tp_normal2"), 1);
    }
};

QTEST_GUILESS_MAIN(TestPluginLoader)
#include "tst_pluginloader.moc"
