// The registry over Wine's text files: reading every value form, the
// order of names, writes that change exactly what they should, damaged and
// oversized files, the wineserver lock and the parse cache.

#include "platform/RegistryKey.h"
#include "platform/WinePrefix.h"
#include "platform/posix/RegistryStore.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <optional>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

const QByteArray kHead = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";

// A process other than this one holding a POSIX lock on path, as a running
// wineserver does; the lock goes when the object does.
class LockHolder {
public:
    explicit LockHolder(const QByteArray& path)
    {
        int ready[2];
        int stop[2];
        if (::pipe(ready) != 0 || ::pipe(stop) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(stop[1]);
            const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0600);
            struct flock fl {};
            fl.l_type = F_WRLCK;
            fl.l_whence = SEEK_SET;
            const char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &fl) == 0) ? 1 : 0;
            (void)!::write(ready[1], &ok, 1);
            char c;
            (void)!::read(stop[0], &c, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(stop[0]);
        stopFd_ = stop[1];
        char ok = 0;
        locked_ = ::read(ready[0], &ok, 1) == 1 && ok == 1;
        ::close(ready[0]);
    }
    ~LockHolder() { release(); }
    void release()
    {
        if (pid_ > 0) {
            ::close(stopFd_);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    bool locked() const { return locked_; }

private:
    pid_t pid_ = -1;
    int stopFd_ = -1;
    bool locked_ = false;
};

// A link key's block as Wine writes it: "#link" and the target, UTF-16 in
// a REG_LINK value.
QByteArray linkBlock(const QByteArray& path, const QString& target)
{
    QByteArray hex;
    for (QChar c : target)
        hex += QByteArray::number(c.unicode() & 0xff, 16).rightJustified(2, '0') + ","
            + QByteArray::number(c.unicode() >> 8, 16).rightJustified(2, '0') + ",";
    hex.chop(1);
    return "[" + path + "] 1\n#time=1d9c2f1a2b3c4d5\n#link\n\"SymbolicLinkValue\"=hex(6):" + hex + "\n\n";
}

// A generated registry of many keys with every value form.
QByteArray generated(int keys)
{
    QByteArray out = kHead;
    for (int i = 0; i < keys; ++i) {
        out += "[Software\\\\Vendor" + QByteArray::number(i % 37) + "\\\\Product" + QByteArray::number(i)
            + "] 1700000000\n#time=1d9c2f1a2b3c4d5\n";
        out += "@=\"default " + QByteArray::number(i) + "\"\n";
        out += "\"Path\"=str(2):\"%SystemRoot%\\\\p" + QByteArray::number(i) + "\"\n";
        out += "\"Count\"=dword:" + QByteArray::number(i, 16).rightJustified(8, '0') + "\n";
        out +=
            "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,\\\n  1a,1b,1c\n";
        out += "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n";
        out += "\"Name \\\"q\\\" \\x43a\"=\"\\x41f\\x440\\x438\\x432\\x435\\x442 \\\\ tab\\t\"\n\n";
    }
    return out;
}

} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
    Sandbox box;

    void writeRoot(const QByteArray& name, const QByteArray& text) { box.makeFile("registry/" + name, text); }

    static RegistryKey key(RegistryRoot root, const QString& path, bool create = false)
    {
        RegistryKey k;
        k.open(root, path, create);
        return k;
    }

private Q_SLOTS:
    void init()
    {
        qunsetenv("WINEPREFIX");
        QDir(box.pathText("registry")).removeRecursively();
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.serverFolderParents = {}; });
    }

    void readsEveryValueForm()
    {
        writeRoot("system.reg",
                  kHead
                      + "[Software\\\\Test] 1700000000\n#time=1d9c2f1a2b3c4d5\n"
                        "@=\"the default\"\n"
                        "\"Plain\"=\"a \\\"quoted\\\" \\\\ back\\nline \\x43a\\x438\\x440\"\n"
                        "\"Expand\"=str(2):\"%USERPROFILE%\\\\Temp\"\n"
                        "\"HexString\"=hex(2):25,00,41,00,25,00,00,00\n"
                        "\"Number\"=dword:0000002a\n"
                        "\"Binary\"=hex:de,ad,\\\n  be,ef\n"
                        "\"After\"=\"still read\"\n"
                        "\"Multi\"=str(7):\"a\\0b\\0\"\n"
                        "\"Octal\"=\"\\101\\102\"\n");
        RegistryKey k = key(RegistryRoot::LocalMachine, QStringLiteral("SOFTWARE\\test\\"));
        QVERIFY(k.isOpen());
        QCOMPARE(k.path(), QStringLiteral("Software\\Test"));
        QString text;
        QVERIFY(k.readString(QString(), text));
        QCOMPARE(text, QStringLiteral("the default"));
        QVERIFY(k.readString(QStringLiteral("plain"), text));
        QCOMPARE(text, QStringLiteral("a \"quoted\" \\ back\nline кир"));
        QVERIFY(k.readString(QStringLiteral("Expand"), text));
        QCOMPARE(text, QStringLiteral("%USERPROFILE%\\Temp"));
        QVERIFY(k.readString(QStringLiteral("HexString"), text));
        QCOMPARE(text, QStringLiteral("%A%"));
        QVERIFY(k.readString(QStringLiteral("After"), text));
        QCOMPARE(text, QStringLiteral("still read"));
        QVERIFY(k.readString(QStringLiteral("Octal"), text));
        QCOMPARE(text, QStringLiteral("AB"));
        QVERIFY(k.readString(QStringLiteral("Missing"), text));
        QVERIFY(text.isEmpty());
        QVERIFY(!k.readString(QStringLiteral("Number"), text));
        QVERIFY(!k.readString(QStringLiteral("Binary"), text));
        QVERIFY(!k.readString(QStringLiteral("Multi"), text));
        quint32 n = 0;
        QVERIFY(k.readInteger(QStringLiteral("NUMBER"), n));
        QCOMPARE(n, 42u);
        QVERIFY(!k.readInteger(QStringLiteral("Plain"), n));
        QVERIFY(!k.readInteger(QStringLiteral("Missing"), n));
        QVERIFY(k.valueExists(QString()));
        QVERIFY(k.valueExists(QStringLiteral("binary")));
        QVERIFY(!k.valueExists(QStringLiteral("Missing")));
        QCOMPARE(
            k.valueNames(),
            (QStringList{QString(), "Plain", "Expand", "HexString", "Number", "Binary", "After", "Multi", "Octal"}));
    }

    void namesFoldWithoutChangingLength()
    {
        writeRoot("user.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Stra\\x00dfe\\\\Unter] 1\n\"Ma\\xdf\"=\"1\"\n");
        RegistryKey k = key(RegistryRoot::CurrentUser, QStringLiteral("software\\STRAßE\\unter"));
        QVERIFY(k.isOpen());
        QCOMPARE(k.path(), QStringLiteral("Software\\Straße\\Unter"));
        QVERIFY(k.valueExists(QStringLiteral("maß")));
        QCOMPARE(key(RegistryRoot::CurrentUser, QStringLiteral("Software")).subKeyNames(), QStringList{"Straße"});
    }

    void subKeysComeInWindowsOrderAndExistThroughDescendants()
    {
        writeRoot("user.reg",
                  "WINE REGISTRY Version 2\n\n"
                  "[Software\\\\zeta] 1\n\n[Software\\\\Alpha\\\\Deep\\\\Deeper] 1\n\n"
                  "[Software\\\\_under] 1\n\n[Software\\\\beta] 1\n\n[Software\\\\BETA2] 1\n");
        RegistryKey k = key(RegistryRoot::CurrentUser, QStringLiteral("Software"));
        QVERIFY(k.isOpen());
        QCOMPARE(k.subKeyNames(), (QStringList{"Alpha", "beta", "BETA2", "zeta", "_under"}));
        QString name;
        QVERIFY(k.subKeyName(4, name));
        QCOMPARE(name, QStringLiteral("_under"));
        QVERIFY(!k.subKeyName(5, name));
        QVERIFY(key(RegistryRoot::CurrentUser, QStringLiteral("software\\alpha\\DEEP")).isOpen());
        QVERIFY(!key(RegistryRoot::CurrentUser, QStringLiteral("Software\\Gamma")).isOpen());
        QVERIFY(!key(RegistryRoot::Users, QStringLiteral("S-1-5-18\\Software")).isOpen());
    }

    void linkKeysAreFollowed()
    {
        // Wine keeps CurrentControlSet as a link to ControlSet001.
        QByteArray target;
        for (QChar c : QStringLiteral("\\Registry\\Machine\\System\\ControlSet001"))
            target += QByteArray::number(c.unicode(), 16).rightJustified(2, '0') + ",00,";
        target.chop(1);
        writeRoot("system.reg",
                  kHead + "[System\\\\CurrentControlSet] 1\n#link\n\"SymbolicLinkValue\"=hex(6):" + target
                      + "\n\n[System\\\\ControlSet001\\\\Control\\\\Nls\\\\CodePage] 1\n\"ACP\"=\"1251\"\n");
        RegistryKey k = key(RegistryRoot::LocalMachine,
                            QStringLiteral("System\\CurrentControlSet\\Control\\Nls\\CodePage"));
        QVERIFY(k.isOpen());
        QString acp;
        QVERIFY(k.readString(QStringLiteral("ACP"), acp));
        QCOMPARE(acp, QStringLiteral("1251"));
    }

    void linksLeadIntoTheFileTheirTargetNames_data()
    {
        // A link in one file; the same path in its own file is a decoy that
        // must never be read.
        QTest::addColumn<int>("linkRoot");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("targetRoot"); // -1: the link leads nowhere
        QTest::newRow("user to machine") << int(RegistryRoot::CurrentUser) << "\\REGISTRY\\Machine\\Software\\Target"
                                         << int(RegistryRoot::LocalMachine);
        QTest::newRow("machine to the user's SID")
            << int(RegistryRoot::LocalMachine) << "\\Registry\\User\\S-1-5-21-7-8-9-1001\\Software\\Target"
            << int(RegistryRoot::CurrentUser);
        QTest::newRow("machine to the default user")
            << int(RegistryRoot::LocalMachine) << "\\REGISTRY\\User\\.Default\\Software\\Target"
            << int(RegistryRoot::Users);
        QTest::newRow("user to itself by its SID")
            << int(RegistryRoot::CurrentUser) << "\\REGISTRY\\User\\S-1-5-21-7-8-9-1001\\Software\\Target"
            << int(RegistryRoot::CurrentUser);
        QTest::newRow("another user's SID")
            << int(RegistryRoot::LocalMachine) << "\\REGISTRY\\User\\S-1-5-21-7-8-9-1002\\Software\\Target" << -1;
        QTest::newRow("no registry path") << int(RegistryRoot::CurrentUser) << "Software\\Target" << -1;
    }

    void linksLeadIntoTheFileTheirTargetNames()
    {
        QFETCH(int, linkRoot);
        QFETCH(QString, target);
        QFETCH(int, targetRoot);
        const QByteArray files[] = {"user.reg", "system.reg", "userdef.reg"}; // in RegistryRoot's order
        const QByteArray heads[] = {
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-7-8-9-1001\n\n", kHead,
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\.Default\n\n"};
        for (int r = 0; r < 3; ++r)
            writeRoot(files[r],
                      heads[r] + "[Software\\\\Target] 1\n\"Where\"=\"" + files[r] + "\"\n\n"
                          + (r == linkRoot ? linkBlock("Software\\\\Link", target) : QByteArray()));
        const auto linkRootValue = RegistryRoot(linkRoot);
        RegistryKey k = key(linkRootValue, QStringLiteral("Software\\Link"));
        QCOMPARE(k.isOpen(), targetRoot >= 0);
        // Created below the link: in the target's file.
        RegistryKey sub = key(linkRootValue, QStringLiteral("Software\\Link\\Sub"), true);
        QCOMPARE(sub.isOpen(), targetRoot >= 0);
        if (targetRoot < 0)
            return;
        QString where;
        QVERIFY(k.readString(QStringLiteral("Where"), where));
        QCOMPARE(where, QString::fromLatin1(files[targetRoot]));
        QCOMPARE(int(k.root()), targetRoot);
        QVERIFY(k.writeInteger(QStringLiteral("Written"), 1));
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(box.read("registry/" + files[r]).contains("\"Written\"=dword:00000001"), r == targetRoot);
            QCOMPARE(box.read("registry/" + files[r]).contains("[Software\\\\Target\\\\Sub]"), r == targetRoot);
        }
    }

    void deletingALinkDeletesTheLinkItself()
    {
        // Deleting the link must leave its target and everything the link
        // leads to; a link inside a deleted tree goes without being followed.
        const QByteArray classes = "[Software\\\\Classes\\\\.txt] 1\n@=\"txtfile\"\n\n"
                                   "[Software\\\\Classes\\\\txtfile] 1\n\"x\"=\"y\"\n\n";
        const QByteArray uninstall = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\App] 1\n"
                                     "\"DisplayName\"=\"App\"\n\n";
        const QByteArray evil = linkBlock("Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\EvilLink",
                                          QStringLiteral("\\REGISTRY\\Machine\\Software\\Classes"));
        const QByteArray nested = "[Software\\\\Gone] 1\n\"a\"=\"1\"\n\n"
            + linkBlock("Software\\\\Gone\\\\Inner", QStringLiteral("\\REGISTRY\\Machine\\Software\\Classes"));
        writeRoot("system.reg", kHead + classes + uninstall + evil + nested);
        const QString uninstallPath = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
        RegistryKey list = key(RegistryRoot::LocalMachine, uninstallPath);
        QCOMPARE(list.subKeyNames(), (QStringList{"App", "EvilLink"}));
        QVERIFY(list.deleteKey(QStringLiteral("EvilLink")));
        QCOMPARE(box.read("registry/system.reg"), kHead + classes + uninstall + nested);
        QCOMPARE(list.subKeyNames(), QStringList{"App"});
        QVERIFY(key(RegistryRoot::LocalMachine, QString()).deleteKey(QStringLiteral("Software\\Gone")));
        QCOMPARE(box.read("registry/system.reg"), kHead + classes + uninstall);

        // Typed addresses cleared through a link to the user's Wine key.
        const QByteArray wine = "[Software\\\\Wine] 1\n\"Version\"=\"win10\"\n\n";
        const QByteArray userHead =
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n";
        writeRoot("user.reg",
                  userHead + wine
                      + linkBlock("Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs",
                                  QStringLiteral("\\REGISTRY\\User\\S-1-5-21-0-0-0-1000\\Software\\Wine")));
        RegistryKey ie = key(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer"));
        QVERIFY(ie.deleteKey(QStringLiteral("TypedURLs")));
        const QByteArray after = box.read("registry/user.reg");
        QVERIFY(after.startsWith(userHead + wine));
        QVERIFY(!after.contains("TypedURLs"));
    }

    void hostFilesAreCreatedOnTheFirstWrite()
    {
        QVERIFY(!key(RegistryRoot::CurrentUser, QStringLiteral("Software\\X")).isOpen());
        QVERIFY(!box.exists("registry"));
        RegistryKey k = key(RegistryRoot::CurrentUser, QStringLiteral("Software\\X\\Y"), true);
        QVERIFY(k.isOpen());
        QVERIFY(k.writeInteger(QStringLiteral("Flag"), 7));
        // Names with every kind of escape survive the write and the next parse.
        const QString odd = QStringLiteral("Ключ \"q\" \\ 😀\tx\x01"
                                           "7a");
        QVERIFY(k.writeInteger(odd, 0xffffffff));
        quint32 back = 0;
        QVERIFY(k.readInteger(odd, back));
        QCOMPARE(back, 0xffffffffu);
        QCOMPARE(k.valueNames(), (QStringList{"Flag", odd}));
        const QByteArray file = box.read("registry/user.reg");
        QVERIFY(file.startsWith("WINE REGISTRY Version 2\n"));
        QVERIFY(file.contains("[Software\\\\X\\\\Y] "));
        QVERIFY(file.contains("\n\"Flag\"=dword:00000007\n"));
        quint32 v = 0;
        QVERIFY(
            key(RegistryRoot::CurrentUser, QStringLiteral("software\\x\\y")).readInteger(QStringLiteral("flag"), v));
        QCOMPARE(v, 7u);
        // The users root lives in its own file.
        QVERIFY(key(RegistryRoot::Users, QStringLiteral(".DEFAULT\\Software\\Z"), true).isOpen());
        QVERIFY(box.read("registry/userdef.reg").contains("[Software\\\\Z] "));
        QVERIFY(!box.exists("registry/system.reg"));

        // The deepest key a file can hold is made; one deeper is refused,
        // and the file takes writes as before.
        QString deep = QStringLiteral("Software");
        for (int i = 1; i < RegistryText::maxDepth; ++i)
            deep += QStringLiteral("\\k");
        QVERIFY(key(RegistryRoot::CurrentUser, deep, true).isOpen());
        QVERIFY(!key(RegistryRoot::CurrentUser, deep + QStringLiteral("\\k"), true).isOpen());
        QVERIFY(key(RegistryRoot::CurrentUser, deep, false).isOpen());
        QVERIFY(k.writeInteger(QStringLiteral("Flag"), 8));
        QVERIFY(
            key(RegistryRoot::CurrentUser, QStringLiteral("Software\\X\\Y")).readInteger(QStringLiteral("flag"), v));
        QCOMPARE(v, 8u);
    }

    void roundTripOfAGeneratedFileIsByteIdentical()
    {
        const QByteArray original = generated(4000);
        writeRoot("system.reg", original);
        RegistryKey k = key(RegistryRoot::LocalMachine, QStringLiteral("Software\\Vendor13\\Product1234"));
        QVERIFY(k.isOpen());
        QString text;
        QVERIFY(k.readString(QString(), text));
        QCOMPARE(text, QStringLiteral("default 1234"));
        QVERIFY(k.readString(QStringLiteral("Name \"q\" к"), text));
        QCOMPARE(text, QStringLiteral("Привет \\ tab\t"));
        quint32 n = 0;
        QVERIFY(k.readInteger(QStringLiteral("Count"), n));
        QCOMPARE(n, 1234u);
        QCOMPARE(key(RegistryRoot::LocalMachine, QStringLiteral("Software")).subKeyNames().size(), 37);
        QCOMPARE(key(RegistryRoot::LocalMachine, QStringLiteral("Software\\Vendor5")).subKeyNames().size(), 108);

        QVERIFY(k.writeInteger(QStringLiteral("Count"), 0xdeadbeef));
        const QByteArray changed = box.read("registry/system.reg");
        QCOMPARE(changed.size(), original.size());
        QVERIFY(changed != original);
        QVERIFY(k.readInteger(QStringLiteral("count"), n));
        QCOMPARE(n, 0xdeadbeefu);
        QVERIFY(k.writeInteger(QStringLiteral("Count"), 1234));
        QCOMPARE(box.read("registry/system.reg"), original);
    }

    void deletingAValueRemovesExactlyItsLines()
    {
        const QByteArray original = generated(50);
        writeRoot("system.reg", original);
        RegistryKey k = key(RegistryRoot::LocalMachine, QStringLiteral("Software\\Vendor3\\Product3"));
        QVERIFY(k.deleteValue(QStringLiteral("BLOB")));
        const QByteArray blob =
            "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,\\\n  1a,1b,1c\n";
        const qsizetype at = original.indexOf(blob, original.indexOf("[Software\\\\Vendor3\\\\Product3]"));
        QByteArray expected = original;
        expected.remove(at, blob.size());
        QCOMPARE(box.read("registry/system.reg"), expected);
        QVERIFY(!k.valueExists(QStringLiteral("Blob")));
        QVERIFY(!k.deleteValue(QStringLiteral("Blob")));
        QVERIFY(k.deleteValue(QString())); // the default value
        expected.replace("@=\"default 3\"\n", "");
        QCOMPARE(box.read("registry/system.reg"), expected);
    }

    void deletingAKeyTakesItsSubKeysAndNothingElse()
    {
        const QByteArray before = kHead
            + "[Software\\\\Keep] 1\n\"a\"=\"1\"\n\n"
              "[Software\\\\Gone] 2\n#time=1\n\"b\"=\"2\"\n\n"
              "[Software\\\\Gone\\\\Child] 3\n\"c\"=dword:00000001\n\n"
              "[Software\\\\Gone2] 4\n\"d\"=\"4\"\n\n"
              "[Software\\\\Gone\\\\Child\\\\Grand] 5\n\n"
              "[Software\\\\Other] 6\n";
        writeRoot("system.reg", before);
        RegistryKey sw = key(RegistryRoot::LocalMachine, QStringLiteral("Software"));
        QVERIFY(sw.deleteKey(QStringLiteral("gone")));
        const QByteArray after = kHead
            + "[Software\\\\Keep] 1\n\"a\"=\"1\"\n\n"
              "[Software\\\\Gone2] 4\n\"d\"=\"4\"\n\n"
              "[Software\\\\Other] 6\n";
        QCOMPARE(box.read("registry/system.reg"), after);
        QVERIFY(!sw.deleteKey(QStringLiteral("Gone")));
        QCOMPARE(sw.subKeyNames(), (QStringList{"Gone2", "Keep", "Other"}));
    }

    void deletingTheOnlyChildKeepsAnImpliedParent()
    {
        writeRoot("user.reg",
                  "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs] 1\n"
                  "\"url1\"=\"http://example.org/\"\n");
        RegistryKey ie = key(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer\\"));
        QVERIFY(ie.isOpen());
        QVERIFY(ie.deleteKey(QStringLiteral("TypedURLs")));
        QVERIFY(key(RegistryRoot::CurrentUser, QStringLiteral("Software\\Microsoft\\Internet Explorer")).isOpen());
        QVERIFY(!box.read("registry/user.reg").contains("url1"));
        RegistryKey typed = key(RegistryRoot::CurrentUser,
                                QStringLiteral("Software\\Microsoft\\Internet Explorer\\TypedURLs"), true);
        QVERIFY(typed.isOpen());
        QVERIFY(typed.valueNames().isEmpty());
    }

    void damagedFilesAreReadButNeverWritten_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray good = kHead + "[Software\\\\A] 1\n\"v\"=dword:00000001\n";
        QTest::newRow("truncated string") << QByteArray(good + "\"w\"=\"unterminated");
        QTest::newRow("truncated hex") << QByteArray(good + "\"w\"=hex:01,02,\\");
        QTest::newRow("no header") << QByteArray("[Software\\\\A] 1\n\"v\"=dword:00000001\n");
        QTest::newRow("unknown type") << QByteArray(good + "\"w\"=qword:1\n");
        QTest::newRow("broken escape") << QByteArray(good + "\"w\"=\"\\x\"\n");
        QTest::newRow("junk line") << QByteArray(good + "garbage here\n");
        QTest::newRow("nul bytes") << QByteArray(good + QByteArray("\0\0\x01\xff", 4) + "\n");
        QByteArray junk(100000, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 7919) % 251);
        QTest::newRow("binary junk") << junk;
        QTest::newRow("bad key line") << QByteArray(good + "[Software\\\\B\n");
        QTest::newRow("cut inside a hex list") << QByteArray(good + "\"w\"=hex:01,02,0");
        QTest::newRow("cut inside a dword") << QByteArray(good + "\"w\"=dword:000");
        QTest::newRow("cut in a continuation line") << QByteArray(good + "\"w\"=hex:01,\\\n  02,0");
        QTest::newRow("cut in a key line") << QByteArray(good + "[Software\\\\B] 1");
        QTest::newRow("no final newline") << good.chopped(1);
        QByteArray deep = good + "[";
        for (int i = 0; i < 100000; ++i)
            deep += "k\\\\";
        QTest::newRow("key nested too deep") << QByteArray(deep + "end] 1\n\"x\"=\"y\"\n");
        QByteArray longLine = good + "\"long\"=\"";
        longLine += QByteArray(20 * 1024 * 1024, 'a');
        QTest::newRow("20 MB line, unterminated") << longLine;
    }

    void damagedFilesAreReadButNeverWritten()
    {
        QFETCH(QByteArray, text);
        writeRoot("system.reg", text);
        RegistryKey k;
        if (k.open(RegistryRoot::LocalMachine, QStringLiteral("Software\\A"), false)) {
            quint32 v = 0;
            QVERIFY(k.readInteger(QStringLiteral("v"), v));
            QVERIFY(!k.canWrite());
            QVERIFY(!k.writeInteger(QStringLiteral("v"), 2));
            QVERIFY(!k.deleteValue(QStringLiteral("v")));
        }
        QVERIFY(!key(RegistryRoot::LocalMachine, QStringLiteral("Software\\New"), true).isOpen());
        QVERIFY(!key(RegistryRoot::LocalMachine, QStringLiteral("Software"), false).deleteKey(QStringLiteral("A")));
        QCOMPARE(box.read("registry/system.reg"), text);
    }

    void writesKeepTheOwnerAndClearLeftovers()
    {
        writeRoot("system.reg", kHead + "[Software\\\\A] 1\n");
        const QByteArray file = box.path("registry/system.reg");
        const bool root = ::geteuid() == 0;
        // Root changing a user's file: the file and what a killed write left
        // (given the user like the file) stay the user's.
        QVERIFY(!root || ::chown(file.constData(), 4321, 4322) == 0);
        box.makeFile("registry/system.reg.Old123.new");
        box.makeFile("registry/system.reg.New123.new");
        box.makeFile("registry/user.reg.Old456.new");
        for (const QByteArray& leftover : {QByteArray("system.reg.Old123.new"), QByteArray("user.reg.Old456.new")}) {
            const QByteArray path = box.path("registry/" + leftover);
            const struct timespec old[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
            QVERIFY(::utimensat(AT_FDCWD, path.constData(), old, 0) == 0);
            QVERIFY(!root || ::chown(path.constData(), 4321, 4322) == 0);
        }
        QVERIFY(key(RegistryRoot::LocalMachine, QStringLiteral("Software\\A")).writeInteger(QStringLiteral("v"), 1));
        QVERIFY(!box.exists("registry/system.reg.Old123.new"));
        QVERIFY(box.exists("registry/system.reg.New123.new")); // a write that may still run
        QVERIFY(box.exists("registry/user.reg.Old456.new"));   // another file's
        struct stat st;
        QVERIFY(::stat(file.constData(), &st) == 0);
        if (root) {
            QCOMPARE(st.st_uid, uid_t(4321));
            QCOMPARE(st.st_gid, gid_t(4322));
        }
        QVERIFY(box.read("registry/system.reg").contains("\"v\"=dword:00000001"));
    }

    void hugeFilesAreNotRead()
    {
        box.makeDir("registry");
        const QByteArray path = box.path("registry/system.reg");
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QVERIFY(::write(fd, kHead.constData(), size_t(kHead.size())) == kHead.size());
        QVERIFY(::ftruncate(fd, RegistryStore::maxFileSize + 4096) == 0); // sparse: costs no disk
        ::close(fd);
        QVERIFY(!key(RegistryRoot::LocalMachine, QStringLiteral("Software"), true).isOpen());
        struct stat st;
        QVERIFY(::stat(path.constData(), &st) == 0);
        QCOMPARE(qint64(st.st_size), RegistryStore::maxFileSize + 4096);
    }

    void aRunningWineserverRefusesEveryWrite()
    {
        box.makeFile("prefix/system.reg", kHead + "[Software\\\\A] 1\n\"v\"=dword:00000001\n");
        box.makeFile("prefix/user.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Run] 1\n\"x\"=\"y\"\n");
        qputenv("WINEPREFIX", box.path("prefix"));
        QCOMPARE(WinePrefix::folder(), box.path("prefix"));
        struct stat st;
        QVERIFY(::stat(box.path("prefix").constData(), &st) == 0);
        const QByteArray server = "wine-tmp/server-" + QByteArray::number(qulonglong(st.st_dev), 16) + "-"
            + QByteArray::number(qulonglong(st.st_ino), 16);
        box.makeDir(server);
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) {
            e.serverFolderParents = {box.path("other"), box.path("wine-tmp")};
        });
        const QByteArray before = box.read("prefix/system.reg");
        {
            LockHolder server_(box.path(server + "/lock"));
            QVERIFY(server_.locked());
            QVERIFY(WinePrefix::serverRunning());
            RegistryKey k = key(RegistryRoot::LocalMachine, QStringLiteral("Software\\A"), true);
            QVERIFY(k.isOpen()); // existing: open, but read-only
            quint32 v = 0;
            QVERIFY(k.readInteger(QStringLiteral("v"), v));
            QVERIFY(!k.writeInteger(QStringLiteral("v"), 5));
            QVERIFY(!key(RegistryRoot::LocalMachine, QStringLiteral("Software\\B"), true).isOpen());
            QVERIFY(!key(RegistryRoot::CurrentUser, QStringLiteral("Software\\Run")).deleteValue(QStringLiteral("x")));
            QCOMPARE(box.read("prefix/system.reg"), before);
        }
        // The lock file stays behind an exited server only until it is
        // removed; without a lock held the server is not running.
        QVERIFY(!WinePrefix::serverRunning());
        QVERIFY(key(RegistryRoot::CurrentUser, QStringLiteral("Software\\Run")).deleteValue(QStringLiteral("x")));
        QVERIFY(!box.exists("registry"));
        qunsetenv("WINEPREFIX");
    }

    void theServerIsFoundWhereverWineKeepsIt_data()
    {
        // parent: the server folder's parent in the sandbox, "<uid>" being the
        // server's user; prefixOwner / parentOwner: -1 keeps this process's.
        QTest::addColumn<QByteArray>("parent");
        QTest::addColumn<int>("prefixOwner");
        QTest::addColumn<int>("parentOwner");
        QTest::addColumn<QByteArray>("lock"); // held, stale, folder
        QTest::addColumn<bool>("running");
        QTest::newRow("upstream folder in TMPDIR")
            << QByteArray("tmp/.wine-<uid>") << -1 << -1 << QByteArray("held") << true;
        QTest::newRow("Debian folder in TMPDIR")
            << QByteArray("tmp/wine-Ab3dEf") << -1 << -1 << QByteArray("held") << true;
        QTest::newRow("lock file of an exited server")
            << QByteArray("tmp/wine-Ab3dEf") << -1 << -1 << QByteArray("stale") << false;
        QTest::newRow("lock that cannot be asked")
            << QByteArray("tmp/.wine-<uid>") << -1 << -1 << QByteArray("folder") << true;
        QTest::newRow("prefix owner's upstream folder")
            << QByteArray("tmp/.wine-<uid>") << 4321 << -1 << QByteArray("held") << true;
        QTest::newRow("prefix owner's Debian folder")
            << QByteArray("tmp/wine-Qz9xYw") << 4321 << 4321 << QByteArray("held") << true;
        QTest::newRow("a stranger's Debian folder")
            << QByteArray("tmp/wine-Qz9xYw") << 4321 << 4322 << QByteArray("held") << false;
    }

    void theServerIsFoundWhereverWineKeepsIt()
    {
        QFETCH(QByteArray, parent);
        QFETCH(int, prefixOwner);
        QFETCH(int, parentOwner);
        QFETCH(QByteArray, lock);
        QFETCH(bool, running);
        if ((prefixOwner >= 0 || parentOwner >= 0) && ::getuid() != 0)
            QSKIP("giving folders to other users needs root");
        box.makeFile("prefix/system.reg", kHead + "[Software\\\\A] 1\n");
        const QByteArray prefix = box.path("prefix");
        QVERIFY(prefixOwner < 0 || ::chown(prefix.constData(), uid_t(prefixOwner), gid_t(-1)) == 0);
        qputenv("WINEPREFIX", prefix);
        struct stat st;
        QVERIFY(::stat(prefix.constData(), &st) == 0);
        parent.replace("<uid>", QByteArray::number(qulonglong(st.st_uid)));
        const QByteArray server = parent + "/server-" + QByteArray::number(qulonglong(st.st_dev), 16) + "-"
            + QByteArray::number(qulonglong(st.st_ino), 16);
        box.makeDir(server);
        QVERIFY(parentOwner < 0 || ::chown(box.path(parent).constData(), uid_t(parentOwner), gid_t(-1)) == 0);
        if (lock == "folder")
            box.makeDir(server + "/lock");
        else
            box.makeFile(server + "/lock", "");
        std::optional<LockHolder> holder;
        if (lock == "held")
            QVERIFY(holder.emplace(box.path(server + "/lock")).locked());
        QCOMPARE(WinePrefix::serverRunning(), running);
        QCOMPARE(RegistryStore::writable(RegistryRoot::LocalMachine), !running);
        holder.reset();
        QVERIFY(QDir(box.pathText(parent)).removeRecursively());
        QVERIFY(::chown(prefix.constData(), ::getuid(), gid_t(-1)) == 0);
        qunsetenv("WINEPREFIX");
    }

    void aFileIsParsedOncePerChange()
    {
        writeRoot("system.reg", kHead + "[Software\\\\A] 1\n\"v\"=\"one\"\n");
        const auto first = RegistryStore::load(RegistryRoot::LocalMachine);
        QCOMPARE(RegistryStore::load(RegistryRoot::LocalMachine).get(), first.get());
        writeRoot("system.reg", kHead + "[Software\\\\A] 1\n\"v\"=\"two, longer\"\n");
        QVERIFY(RegistryStore::load(RegistryRoot::LocalMachine).get() != first.get());
        QString text;
        QVERIFY(key(RegistryRoot::LocalMachine, QStringLiteral("Software\\A")).readString(QStringLiteral("v"), text));
        QCOMPARE(text, QStringLiteral("two, longer"));
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
