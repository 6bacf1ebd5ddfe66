#include "platform/ShellLinkReader.h"

#include "platform/PathMapper.h"

#include <liblnk.h>
#include <sys/stat.h>

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
    if (liblnk_file_get_show_window_value(lnk.file, &value, nullptr) == 1)
        d.showCommand = value;
    uint16_t hotKey = 0;
    if (liblnk_file_get_hot_key_value(lnk.file, &hotKey, nullptr) == 1)
        d.hotKey = hotKey;
    return d;
}

} // namespace platform
