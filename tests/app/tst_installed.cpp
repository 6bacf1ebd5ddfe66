// The program as a system-wide install has it: cmake --install into a fresh
// prefix, the desktop's validators on what it installed, and the installed
// program run from its read-only folder by an ordinary user whose home is a
// temporary folder: its settings and hand-over files go to that home, and
// nothing is written into the program folder.

#include "app/TMainForm.h"
#include "app/TReportForm.h"
#include "platform/KnownFolders.h"
#include "support/Sandbox.h"

#include <QDirIterator>
#include <QLabel>
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestInstalled : public QObject {
    Q_OBJECT
    Sandbox box;

    QByteArray prefix() const { return box.path("prefix"); }

    static int run(const QString& program, const QStringList& args, QByteArray* output = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        if (!p.waitForFinished(120000))
            return -1;
        if (output)
            *output = p.readAll();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    // Every file below rel with its modification time: what the program
    // folder holds before and after the program ran.
    QStringList listing(const QByteArray& rel) const
    {
        QStringList out;
        QDirIterator it(box.pathText(rel), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            out << it.filePath() + u' ' + QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
        }
        out.sort();
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QByteArray out;
        QCOMPARE(run(QStringLiteral("cmake"),
                     {QStringLiteral("--install"), QStringLiteral(VARNEL_BUILD_DIR), QStringLiteral("--prefix"),
                      QString::fromUtf8(prefix())},
                     &out),
                 0);
    }

    void theDesktopFindsWhatWasInstalled()
    {
        const QString prefixText = QString::fromUtf8(prefix());
        for (const char* rel :
             {"lib/varnel/varnel", "lib/varnel/vrimgs.dll", "lib/varnel/vrhelp.dll", "lib/varnel/Plugins",
              "share/applications/org.example.varnel.desktop", "share/metainfo/org.example.varnel.metainfo.xml",
              "share/man/man1/varnel.1", "share/icons/hicolor/48x48/apps/org.example.varnel.png",
              "share/icons/hicolor/256x256/apps/org.example.varnel.png"})
            QVERIFY2(QFileInfo::exists(prefixText + u'/' + QLatin1String(rel)), rel);
        QCOMPARE(QFileInfo(prefixText + QStringLiteral("/bin/varnel")).symLinkTarget(),
                 prefixText + QStringLiteral("/lib/varnel/varnel"));
        for (const auto& [tool, args] :
             {std::pair{"desktop-file-validate",
                        QStringList{prefixText + "/share/applications/org.example.varnel.desktop"}},
              std::pair{"appstreamcli",
                        QStringList{"validate", "--no-net",
                                    prefixText + "/share/metainfo/org.example.varnel.metainfo.xml"}}}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(
                    QStringLiteral("%1 is not installed (scripts/bootstrap installs it)").arg(QLatin1String(tool))));
            QByteArray out;
            QVERIFY2(run(QString::fromLatin1(tool), args, &out) == 0, out.constData());
            // A warning (two main categories: listed twice in menus) is a fault too.
            if (qstrcmp(tool, "desktop-file-validate") == 0)
                QVERIFY2(out.isEmpty(), out.constData());
        }
    }

    void anOrdinaryUserRunsItFromAReadOnlyFolder()
    {
        const QString programFolder = box.pathText("prefix/lib/varnel");
        box.makeFile("c/junk/old.tmp", QByteArray(2048, 'j'));
        box.makeDir("home");
        // The sandbox lies in the shared /tmp: what the user may clean there is the user's own.
        if (::geteuid() == 0)
            for (const char* rel : {"home", "c/junk", "c/junk/old.tmp"})
                QCOMPARE(::chown(box.path(rel).constData(), 65534, 65534), 0);
        QVERIFY(run(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a-w"), programFolder}) == 0);
        const QStringList before = listing("prefix/lib/varnel");

        // The window's own code with the installed program folder, as that user.
        const QByteArray home = box.path("home");
        QVERIFY(box.asUnprivileged([&] {
            qputenv("HOME", home);
            qunsetenv("XDG_CONFIG_HOME");
            qunsetenv("XDG_STATE_HOME");
            qputenv("XDG_DATA_HOME", home + "/.local/share");
            Sandbox::changeEnvironment(
                [&](platform::RunEnvironment& e) { e.programFolder = box.path("prefix/lib/varnel"); });
            QString found;
            {
                TMainForm form;
                form.ShowModal = [&](QDialog& dialog) {
                    auto& report = static_cast<TReportForm&>(dialog);
                    report.FormShow();
                    found = report.TmpSizelabel->text();
                };
                form.FindActionExecute();
                form.CompActionExecute();
                form.FormClose();
            }
            QFile ini(QString::fromUtf8(home + "/.config/varnel/varnel.ini"));
            // The estimate read the total through fs.txt (which it consumes) in the state folder.
            return found == QStringLiteral("Найденные файлы (\u041Ab) : 2") && ini.open(QIODevice::ReadOnly)
                && ini.readAll().contains("Top=")
                && QFile::exists(QString::fromUtf8(home + "/.local/state/varnel/plugins.list"));
        }));

        // And the installed program itself starts there and writes nothing beside itself.
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), QString::fromUtf8(home));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        const QString installed = box.pathText("prefix/bin/varnel");
        if (::geteuid() == 0)
            program.start(QStringLiteral("setpriv"),
                          {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), installed});
        else
            program.start(installed);
        QVERIFY(program.waitForStarted());
        QVERIFY2(!program.waitForFinished(3000), program.readAll().constData()); // still running: it started
        program.terminate();
        program.waitForFinished();
        QCOMPARE(listing("prefix/lib/varnel"), before);
        run(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), programFolder});
    }
};

QTEST_MAIN(TestInstalled)
#include "tst_installed.moc"
