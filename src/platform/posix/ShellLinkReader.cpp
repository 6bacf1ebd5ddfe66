#include "platform/ShellLinkReader.h"

#include "platform/CodePage.h"
#include "platform/PathMapper.h"

#include <QFile>

#include <liblnk.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

namespace {

using SizeFn = int (*)(liblnk_file_t*, size_t*, liblnk_error_t**);
using TextFn = int (*)(liblnk_file_t*, uint8_t*, size_t, liblnk_error_t**);

// One of the shortcut's strings; empty when it has none.
QString text(liblnk_file_t* file, SizeFn sizeOf, TextFn get)
{
    size_t size = 0;
    if (sizeOf(file, &size, nullptr) != 1 || size == 0)
        return {};
    std::vector<uint8_t> buf(size);
    if (get(file, buf.data(), size, nullptr) != 1)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(buf.data()));
}

struct HeaderFields {
    quint32 showCommand = 1;
    quint16 hotKey = 0;
};

// The show command (offset 0x3C) and hot key (0x40) of the header, read
// here rather than through liblnk: its 20181227 release answers the
// target's size for both.
HeaderFields headerFieldsOf(const QByteArray& host)
{
    unsigned char h[0x4C];
    const int fd = ::open(host.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const bool ok = ::read(fd, h, sizeof h) == ssize_t(sizeof h);
    ::close(fd);
    if (!ok)
        return {};
    return {quint32(h[0x3C]) | quint32(h[0x3D]) << 8 | quint32(h[0x3E]) << 16 | quint32(h[0x3F]) << 24,
            quint16(h[0x40] | h[0x41] << 8)};
}

quint32 le32(const QByteArray& b, qsizetype at)
{
    if (at < 0 || at + 4 > b.size())
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(b.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const QByteArray& b, qsizetype at)
{
    if (at < 0 || at + 2 > b.size())
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(b.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

// A NUL-terminated UTF-16 string at at, not beyond end.
std::optional<QString> utf16z(const QByteArray& b, qsizetype at, qsizetype end)
{
    if (at <= 0 || end > b.size())
        return std::nullopt;
    QString out;
    for (qsizetype p = at; p + 2 <= end; p += 2) {
        const quint16 c = le16(b, p);
        if (c == 0)
            return out;
        out += QChar(c);
    }
    return std::nullopt;
}

// The Unicode strings of a shortcut, decoded here: the packaged liblnk
// turns characters outside the Basic Multilingual Plane (surrogate pairs,
// such as emoji) into garbage. Absent strings stay nullopt.
struct UnicodeStrings {
    std::optional<QString> target, description, workingDirectory, arguments, iconLocation;
};

UnicodeStrings unicodeStringsOf(const QByteArray& host)
{
    UnicodeStrings u;
    QFile f(QFile::decodeName(host));
    if (!f.open(QIODevice::ReadOnly))
        return u;
    const QByteArray b = f.read(4 * 1024 * 1024);
    if (b.size() < 0x4C || le32(b, 0) != 0x4C)
        return u;
    const quint32 flags = le32(b, 0x14);
    qsizetype pos = 0x4C;
    if (flags & 0x01) // target ID list
        pos += 2 + le16(b, pos);
    if (flags & 0x02) { // link info
        const qsizetype info = pos;
        const qsizetype size = le32(b, info);
        const qsizetype end = qMin<qsizetype>(info + size, b.size());
        if (le32(b, info + 4) >= 0x24 && (le32(b, info + 8) & 1)) {
            const std::optional<QString> base = utf16z(b, info + le32(b, info + 0x1C), end);
            const std::optional<QString> suffix = utf16z(b, info + le32(b, info + 0x20), end);
            if (base && le32(b, info + 0x1C) > 0)
                u.target = *base + suffix.value_or(QString());
        }
        pos += size;
    }
    if (!(flags & 0x80)) // ANSI strings: liblnk reads those with the code page
        return u;
    std::optional<QString>* slots[] = {&u.description, nullptr, &u.workingDirectory, &u.arguments, &u.iconLocation};
    const quint32 bits[] = {0x04, 0x08, 0x10, 0x20, 0x40};
    for (int i = 0; i < 5; ++i) {
        if (!(flags & bits[i]))
            continue;
        const qsizetype count = le16(b, pos);
        if (pos + 2 + count * 2 > b.size())
            return u;
        if (slots[i])
            *slots[i] = QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData() + pos + 2), count);
        pos += 2 + count * 2;
    }
    return u;
}

struct LnkFile {
    liblnk_file_t* file = nullptr;
    bool open = false;
    ~LnkFile()
    {
        if (open)
            liblnk_file_close(file, nullptr);
        if (file)
            liblnk_file_free(&file, nullptr);
    }
};

} // namespace

std::optional<ShellLinkData> ShellLinkReader::read(const QString& winPath)
{
    const QByteArray host = PathMapper::toHost(winPath);
    struct stat st;
    if (host.isEmpty() || ::stat(host.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    LnkFile lnk;
    if (liblnk_file_initialize(&lnk.file, nullptr) != 1)
        return std::nullopt;
    // Unknown code pages are refused by liblnk and leave its default.
    liblnk_file_set_ascii_codepage(lnk.file, CodePage::ansi(), nullptr);
    lnk.open = liblnk_file_open(lnk.file, host.constData(), LIBLNK_OPEN_READ, nullptr) == 1;
    if (!lnk.open)
        return std::nullopt;

    ShellLinkData d;
    d.target = text(lnk.file, liblnk_file_get_utf8_local_path_size, liblnk_file_get_utf8_local_path);
    if (d.target.isEmpty())
        d.target = text(lnk.file, liblnk_file_get_utf8_network_path_size, liblnk_file_get_utf8_network_path);
    d.arguments = text(lnk.file, liblnk_file_get_utf8_command_line_arguments_size,
                       liblnk_file_get_utf8_command_line_arguments);
    d.workingDirectory = text(lnk.file, liblnk_file_get_utf8_working_directory_size,
                              liblnk_file_get_utf8_working_directory);
    d.description = text(lnk.file, liblnk_file_get_utf8_description_size, liblnk_file_get_utf8_description);
    d.iconLocation = text(lnk.file, liblnk_file_get_utf8_icon_location_size, liblnk_file_get_utf8_icon_location);
    uint32_t value = 0;
    if (liblnk_file_get_icon_index(lnk.file, &value, nullptr) == 1)
        d.iconIndex = int(value);
    const UnicodeStrings u = unicodeStringsOf(host);
    d.target = u.target.value_or(d.target);
    d.description = u.description.value_or(d.description);
    d.workingDirectory = u.workingDirectory.value_or(d.workingDirectory);
    d.arguments = u.arguments.value_or(d.arguments);
    d.iconLocation = u.iconLocation.value_or(d.iconLocation);
    const HeaderFields header = headerFieldsOf(host);
    d.showCommand = header.showCommand;
    d.hotKey = header.hotKey;
    return d;
}

} // namespace platform
