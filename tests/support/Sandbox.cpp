#include "support/Sandbox.h"

#include "platform/DriveTable.h"
#include "platform/MessageBoxService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

Sandbox::Sandbox()
    : dir_(QDir::tempPath() + QStringLiteral("/varnel-test-XXXXXX"))
{
    for (const char* sub : {"c", "bin", "home/data", "tmp"})
        makeDir(sub);
    qputenv("HOME", path("home"));
    qputenv("XDG_DATA_HOME", path("home/data"));
    qputenv("XDG_CACHE_HOME", path("home/cache"));
    qputenv("TMPDIR", path("tmp"));
    // The machine's package lists and tmpfiles rules are not the test's:
    // tests that need them write their own here.
    qputenv("DPKG_ADMINDIR", path("dpkg"));
    qunsetenv("VARNEL_WINDIR");
    // Never a real Wine prefix or the user's own registry files.
    qunsetenv("WINEPREFIX");
    qunsetenv("VARNEL_CODEPAGE");
    qputenv("VARNEL_REGISTRY", path("registry"));
    setDrives({{'c', "c"}});
    changeEnvironment([this](platform::RunEnvironment& e) {
        e.programFolder = path("bin");
        e.tmpfilesFolders = {path("tmpfiles.d")};
    });
    platform::MessageBoxService::setHandler([this](const platform::MessageRequest& r) {
        boxes << r.text;
        return boxAnswer;
    });
}

namespace {

// Tests take permissions away; give them back so the sandbox can go.
void restorePermissions(const QString& folder)
{
    QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden
                                                             | QDir::NoSymLinks);
    for (const QFileInfo& sub : entries)
        restorePermissions(sub.filePath());
}

} // namespace

Sandbox::~Sandbox()
{
    platform::MessageBoxService::setHandler({});
    restorePermissions(dir_.path());
    changeEnvironment([](platform::RunEnvironment& e) { e.programFolder.clear(); });
}

void Sandbox::changeEnvironment(const std::function<void(platform::RunEnvironment&)>& edit)
{
    platform::RunEnvironment environment = platform::RunEnvironment::current();
    edit(environment);
    platform::RunEnvironment::install(std::move(environment));
}

QByteArray Sandbox::path(const QByteArray& rel) const
{
    const QByteArray root = QFile::encodeName(dir_.path());
    return rel.isEmpty() ? root : root + '/' + rel;
}

void Sandbox::makeDir(const QByteArray& rel) const
{
    QDir().mkpath(QFile::decodeName(path(rel)));
}

void Sandbox::makeFile(const QByteArray& rel, const QByteArray& content) const
{
    const QByteArray full = path(rel);
    QDir().mkpath(QFileInfo(QFile::decodeName(full)).path());
    QFile f(QFile::decodeName(full));
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
}

bool Sandbox::exists(const QByteArray& rel) const
{
    const QFileInfo info(QFile::decodeName(path(rel)));
    return info.exists() || info.isSymLink();
}

QByteArray Sandbox::read(const QByteArray& rel) const
{
    QFile f(QFile::decodeName(path(rel)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Sandbox::setDrives(const QList<QPair<char, QByteArray>>& drives) const
{
    QByteArray spec;
    for (const auto& [letter, rel] : drives) {
        makeDir(rel);
        spec += QByteArray(1, letter) + '=' + path(rel) + ';';
    }
    qputenv("VARNEL_DRIVES", spec);
    platform::DriveTable::reload();
}

bool Sandbox::asUnprivileged(const std::function<bool()>& step) const
{
    if (::geteuid() != 0)
        return step();
    ::chmod(path("").constData(), 0755);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && step() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(path("").constData(), 0700);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
