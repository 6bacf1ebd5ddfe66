// The replaceable services: message pump, tick counter, message boxes, the
// shell opener, file icons and dynamic libraries.

#include "platform/DynamicLibrary.h"
#include "platform/FileIcons.h"
#include "platform/FileTypes.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "platform/ShellOpen.h"
#include "platform/TickCounter.h"
#include "support/Sandbox.h"

#include <QtTest>

using namespace platform;

class TestServices : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void hooksReplaceTheRealServices()
    {
        int pumped = 0;
        MessagePump::process(); // no hook: nothing happens
        MessagePump::setHook([&] { ++pumped; });
        MessagePump::process();
        MessagePump::setHook({});
        MessagePump::process();
        QCOMPARE(pumped, 1);

        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.clock = [] { return 0xFFFFFFF0u; }; });
        QCOMPARE(TickCounter::now(), 0xFFFFFFF0u);
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.clock = {}; });
        const quint32 a = TickCounter::now();
        QTest::qWait(20);
        QVERIFY(quint32(TickCounter::now() - a) >= 15);

        MessageRequest seen;
        MessageBoxService::setHandler([&](const MessageRequest& r) {
            seen = r;
            return MsgResult::No;
        });
        QCOMPARE(MessageBoxService::show({QStringLiteral("Удалить?"), {}, MsgButtons::YesNoCancel, MsgIcon::Question}),
                 MsgResult::No);
        QCOMPARE(seen.text, QStringLiteral("Удалить?"));
        MessageBoxService::setHandler({});
    }

    void shellOpenMapsPathsAndHandsOverResourceAddresses()
    {
        QStringList opened;
        ShellOpen::setResourceHandler([&](const QString& t) {
            opened << t;
            return true;
        });
        QVERIFY(ShellOpen::open(QStringLiteral("res://c:\\app\\vrhelp.dll/index.htm")));
        QCOMPARE(opened, QStringList({"res://c:\\app\\vrhelp.dll/index.htm"}));
        QVERIFY(!ShellOpen::open(QStringLiteral("c:\\no\\such\\file.txt")));

        ShellOpen::setHandler([&](const QString& t) {
            opened << t;
            return true;
        });
        QVERIFY(ShellOpen::open(QStringLiteral("mailto:team@example.org")));
        QCOMPARE(opened.last(), QStringLiteral("mailto:team@example.org"));
        ShellOpen::setHandler({});
    }

    void iconsAndTypeNamesComeFromTheName()
    {
        QVERIFY(!FileIcons::icon(QStringLiteral("c:\\no\\such\\readme.txt")).isNull());
        QVERIFY(!FileIcons::icon(QStringLiteral("c:\\x.unknown-type")).isNull());
        QVERIFY(!FileTypes::typeName(QStringLiteral("c:\\a.txt")).isEmpty());
    }

    void librariesLoadByNameAndGiveEntryPoints()
    {
        DynamicLibrary::Handle libm = DynamicLibrary::load(QStringLiteral("libm.so.6"));
        QVERIFY(libm);
        auto cosine = reinterpret_cast<double (*)(double)>(DynamicLibrary::symbol(libm, "cos"));
        QVERIFY(cosine);
        QCOMPARE(cosine(0.0), 1.0);
        QVERIFY(!DynamicLibrary::symbol(libm, "no_such_entry_point"));
        QVERIFY(DynamicLibrary::bitmap(libm, 100).isEmpty());
        QVERIFY(!DynamicLibrary::load(QStringLiteral("vrimgs.dll"))); // the sandbox program folder is empty
    }
};

QTEST_MAIN(TestServices)
#include "tst_services.moc"
