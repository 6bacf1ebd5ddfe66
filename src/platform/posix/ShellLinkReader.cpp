#include "platform/ShellLinkReader.h"

#include "platform/PathMapper.h"

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
    const HeaderFields header = headerFieldsOf(host);
    d.showCommand = header.showCommand;
    d.hotKey = header.hotKey;
    return d;
}

} // namespace platform
