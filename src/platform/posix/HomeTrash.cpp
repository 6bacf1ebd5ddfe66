#include "posix/HomeTrash.h"

#include "posix/FileTree.h"

#include <QDateTime>

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

bool makeFolders(const QByteArray& path)
{
    QByteArray built;
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty())
            continue;
        built += '/' + part;
        if (::mkdir(built.constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

QByteArray baseName(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// Claims a name in the trash by creating its .trashinfo exclusively, so two
// trashings can never pick the same name. Returns the name, or empty.
QByteArray reserveName(const QByteArray& trash, const QByteArray& wanted, int& infoFd)
{
    for (int n = 1; n < 10000; ++n) {
        const QByteArray name = n == 1 ? wanted : wanted + '.' + QByteArray::number(n);
        struct stat st;
        if (::lstat((trash + "/files/" + name).constData(), &st) == 0)
            continue;
        infoFd = ::open((trash + "/info/" + name + ".trashinfo").constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (infoFd >= 0)
            return name;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

// The path's bytes as the trash spec wants them: URL-escaped, "/" kept.
QByteArray escapePath(const QByteArray& path)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            out.append(ch);
        } else {
            out.append('%');
            out.append(hex[c >> 4]);
            out.append(hex[c & 15]);
        }
    }
    return out;
}

QByteArray trashInfo(const QByteArray& original)
{
    return "[Trash Info]\nPath=" + escapePath(original)
        + "\nDeletionDate=" + QDateTime::currentDateTime().toString(Qt::ISODate).toLatin1() + "\n";
}

} // namespace

QByteArray HomeTrash::folder()
{
    return QByteArray(g_get_user_data_dir()) + "/Trash";
}

bool HomeTrash::moveIn(const QByteArray& hostPath)
{
    // Copying what cannot be removed afterwards would only fill the trash.
    const qsizetype slash = hostPath.lastIndexOf('/');
    const QByteArray parent = slash <= 0 ? QByteArray("/") : hostPath.left(slash);
    if (::access(parent.constData(), W_OK | X_OK) != 0)
        return false;
    const QByteArray trash = folder();
    if (!makeFolders(trash + "/files") || !makeFolders(trash + "/info"))
        return false;
    int infoFd = -1;
    const QByteArray name = reserveName(trash, baseName(hostPath), infoFd);
    if (name.isEmpty())
        return false;
    const QByteArray info = trashInfo(hostPath);
    const QByteArray infoPath = trash + "/info/" + name + ".trashinfo";
    const bool written = ::write(infoFd, info.constData(), size_t(info.size())) == info.size();
    ::close(infoFd);
    if (!written || !copyTree(hostPath, trash + "/files/" + name)) {
        ::unlink(infoPath.constData());
        return false;
    }
    // Should the removal fail half-way, the copy stays: it is then the only
    // copy of what was removed.
    return removeTree(hostPath);
}

} // namespace platform::posix
