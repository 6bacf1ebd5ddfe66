#include "formats/ShellLinkBytes.h"

#include "formats/CodePage.h"
#include "formats/Utf16Text.h"

#include <libbfio.h>
#include <liblnk.h>

#include <algorithm>
#include <vector>

namespace formats {

namespace {

using SizeFn = int (*)(liblnk_file_t*, size_t*, liblnk_error_t**);
using TextFn = int (*)(liblnk_file_t*, uint8_t*, size_t, liblnk_error_t**);

// More than any string of a shortcut in UTF-8: 65535 UTF-16 units of three
// bytes each. A larger size from liblnk is a fault of its own.
constexpr size_t kStringLimit = 3 * 65536;

// Zeros after the bytes liblnk is given: libbfio 20170123 copies the whole
// length asked for past the end of a memory range, and a string count asks
// for at most 128 KiB, so its over-reads stay inside this allocation.
constexpr qsizetype kOverreadPad = 128 * 1024 + 16;

// One of the shortcut's strings; empty when it has none, nullopt when
// liblnk answers a size no shortcut string has.
std::optional<QString> text(liblnk_file_t* file, SizeFn sizeOf, TextFn get)
{
    size_t size = 0;
    if (sizeOf(file, &size, nullptr) != 1 || size == 0)
        return QString();
    if (size > kStringLimit)
        return std::nullopt;
    std::vector<char> buf(size + 1, '\0'); // ends in a NUL whatever liblnk writes
    if (get(file, reinterpret_cast<uint8_t*>(buf.data()), size, nullptr) != 1)
        return QString();
    return QString::fromUtf8(buf.data(), qsizetype(qstrnlen(buf.data(), uint(size))));
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

// True when a NUL-terminated string of width-byte units (1: ANSI, 2:
// UTF-16) starts at offset in the structure at [block, blockEnd) and ends
// inside it. An offset of 0 means no string; one inside the structure's
// first headerSize bytes is no string either.
bool stringInside(const QByteArray& b, qsizetype block, qsizetype blockEnd, quint32 offset, qsizetype headerSize,
                  int width)
{
    if (offset == 0)
        return true;
    if (offset < headerSize || block + qsizetype(offset) >= blockEnd)
        return false;
    for (qsizetype at = block + offset; at + width <= blockEnd; at += width)
        if (b[at] == 0 && (width == 1 || b[at + 1] == 0))
            return true;
    return false;
}

// True when the volume ID at offset in the link info [info, end) lies
// inside it with its label strings.
bool volumeIdInside(const QByteArray& b, qsizetype info, qsizetype end, quint32 offset)
{
    const qsizetype vol = info + offset;
    const quint32 size = le32(b, vol);
    if (size < 0x10 || vol + qsizetype(size) > end)
        return false;
    const qsizetype volEnd = vol + size;
    const quint32 label = le32(b, vol + 0x0C);
    if (label == 0x14) // the Unicode label's offset follows
        return size >= 0x14 && stringInside(b, vol, volEnd, le32(b, vol + 0x10), 0x14, 2);
    return stringInside(b, vol, volEnd, label, 0x10, 1);
}

// True when the common network relative link at offset in the link info
// [info, end) lies inside it with its names.
bool networkLinkInside(const QByteArray& b, qsizetype info, qsizetype end, quint32 offset)
{
    const qsizetype net = info + offset;
    const quint32 size = le32(b, net);
    if (size < 0x14 || net + qsizetype(size) > end)
        return false;
    const qsizetype netEnd = net + size;
    const quint32 name = le32(b, net + 0x08);
    if (name == 0 || !stringInside(b, net, netEnd, name, 0x14, 1)
        || !stringInside(b, net, netEnd, le32(b, net + 0x0C), 0x14, 1))
        return false;
    if (name <= 0x14) // no Unicode names
        return true;
    return size >= 0x1C && stringInside(b, net, netEnd, le32(b, net + 0x14), 0x1C, 2)
        && stringInside(b, net, netEnd, le32(b, net + 0x18), 0x1C, 2);
}

// True when the link info at info is whole: its header, every offset in it
// pointing inside its own size, every string ending there. liblnk trusts
// these offsets and reads past its copy of the block when one is wrong.
bool linkInfoSound(const QByteArray& b, qsizetype info)
{
    const quint32 size = le32(b, info);
    const quint32 header = le32(b, info + 4);
    if (size < 0x1C || info + qsizetype(size) > b.size())
        return false;
    if (header != 0x1C && (header < 0x24 || header > size))
        return false;
    const qsizetype end = info + size;
    const quint32 located = le32(b, info + 8);
    const quint32 volume = le32(b, info + 0x0C), local = le32(b, info + 0x10);
    const quint32 network = le32(b, info + 0x14), suffix = le32(b, info + 0x18);
    if (((located & 1) && (volume == 0 || local == 0)) || ((located & 2) && network == 0))
        return false;
    if (volume != 0 && (volume < header || !volumeIdInside(b, info, end, volume)))
        return false;
    if (network != 0 && (network < header || !networkLinkInside(b, info, end, network)))
        return false;
    if (!stringInside(b, info, end, local, header, 1) || !stringInside(b, info, end, suffix, header, 1))
        return false;
    return header < 0x24
        || (stringInside(b, info, end, le32(b, info + 0x1C), header, 2)
            && stringInside(b, info, end, le32(b, info + 0x20), header, 2));
}

// True when the header is a shortcut's and every block up to the extra data
// fits in the file as its size field claims, counted as liblnk consumes
// them. liblnk allocates what the link info claims before reading it (4 GiB
// for a file of a few hundred bytes) and trusts the offsets inside it; the
// extra data blocks it checks against the file's size itself.
bool blocksFit(const QByteArray& b)
{
    if (b.size() < 0x4C || le32(b, 0) != 0x4C)
        return false;
    const quint32 flags = le32(b, 0x14);
    qint64 pos = 0x4C;
    // Moves pos past a block whose size field of width bytes stands at pos;
    // the block's length is header + units * the field's value.
    const auto skip = [&](int width, qint64 header, qint64 unit) {
        if (pos + width > b.size())
            return false;
        pos += header + unit * (width == 2 ? le16(b, pos) : le32(b, pos));
        return pos <= b.size();
    };
    if ((flags & 0x01) && !skip(2, 2, 1)) // target ID list: its size follows the field
        return false;
    if (flags & 0x02) { // link info: its size counts the field
        if (!linkInfoSound(b, pos))
            return false;
        pos += le32(b, pos);
    }
    const qint64 unit = flags & 0x80 ? 2 : 1; // string data: a count of characters
    for (const quint32 bit : {0x04u, 0x08u, 0x10u, 0x20u, 0x40u})
        if ((flags & bit) && !skip(2, 2, unit))
            return false;
    return true;
}

// The show command (offset 0x3C) and hot key (0x40) of the header, read
// here rather than through liblnk: its 20181227 release answers the
// target's size for both.
void headerFieldsOf(const QByteArray& b, ShellLinkData& d)
{
    d.showCommand = le32(b, 0x3C);
    d.hotKey = le16(b, 0x40);
}

// The UTF-16 string, NUL-terminated, at offset inside the block at block;
// nullopt when offset is 0 (no such string) or it is not terminated
// before end.
std::optional<QString> utf16At(const QByteArray& b, qsizetype block, quint32 offset, qsizetype end)
{
    const qsizetype at = block + offset;
    if (offset == 0 || end > b.size() || at < 0 || at >= end)
        return std::nullopt;
    const QString text = formats::Utf16Text::fromLittleEndian(QByteArrayView(b).sliced(at, end - at));
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul < 0)
        return std::nullopt;
    return text.left(nul);
}

// The same for an ANSI string: its bytes, without the NUL.
std::optional<QByteArray> ansiAt(const QByteArray& b, qsizetype block, quint32 offset, qsizetype end)
{
    const qsizetype at = block + offset;
    if (offset == 0 || end > b.size() || at >= end)
        return std::nullopt;
    const qsizetype nul = b.indexOf('\0', at);
    if (nul < 0 || nul >= end)
        return std::nullopt;
    return b.mid(at, nul - at);
}

// A path and the common path suffix after it, joined as liblnk joins them.
QString joined(const QString& path, const QString& suffix)
{
    if (suffix.isEmpty())
        return path;
    if (path.isEmpty() || path.endsWith(u'\\'))
        return path + suffix;
    return path + u'\\' + suffix;
}

// The strings of a shortcut, read here rather than through liblnk: the
// packaged liblnk turns characters outside the Basic Multilingual Plane
// (surrogate pairs, such as emoji) into garbage, and its tables for the
// double-byte code pages read one byte past a string that ends in a lead
// byte. ANSI strings are read in the code page (CodePage::toUnicode); with a
// code page the program cannot read they stay liblnk's. Absent strings stay
// nullopt. Each ends at its first NUL, as the shell link object's getters
// give it. A string holding an unpaired surrogate is no text: the shortcut
// is damaged.
struct OwnStrings {
    std::optional<QString> target, description, workingDirectory, arguments, iconLocation;
    bool damaged = false;

    // text, or nullopt, noting damage.
    std::optional<QString> checked(std::optional<QString> text)
    {
        if (text && !QStringView(*text).isValidUtf16())
            damaged = true;
        return text;
    }
};

OwnStrings ownStringsOf(const QByteArray& b, int codePage)
{
    OwnStrings u;
    if (b.size() < 0x4C || le32(b, 0) != 0x4C)
        return u;
    const bool readsAnsi = CodePage::canDecode(codePage);
    const auto ansi = [&](std::optional<QByteArray> bytes) -> std::optional<QString> {
        if (!bytes || !readsAnsi)
            return std::nullopt;
        return CodePage::toUnicode(codePage, *bytes);
    };
    const quint32 flags = le32(b, 0x14);
    qsizetype pos = 0x4C;
    if (flags & 0x01) // target ID list
        pos += 2 + le16(b, pos);
    if (flags & 0x02) { // link info
        const qsizetype info = pos;
        const qsizetype size = le32(b, info);
        const qsizetype end = qMin<qsizetype>(info + size, b.size());
        const bool unicodeOffsets = le32(b, info + 4) >= 0x24;
        const quint32 located = le32(b, info + 8);
        // A path of the link info: its Unicode form when the block has an
        // offset field for one (unicodeField, 0 for none), else its ANSI form.
        const auto path = [&](qsizetype block, qsizetype blockEnd, qsizetype unicodeField, qsizetype ansiField) {
            std::optional<QString> text;
            if (unicodeField > 0)
                text = u.checked(utf16At(b, block, le32(b, unicodeField), blockEnd));
            if (!text)
                text = ansi(ansiAt(b, block, le32(b, ansiField), blockEnd));
            return text;
        };
        const std::optional<QString> suffix = path(info, end, unicodeOffsets ? info + 0x20 : 0, info + 0x18);
        std::optional<QString> local, network;
        if (located & 1) // volume ID and local base path
            local = path(info, end, unicodeOffsets ? info + 0x1C : 0, info + 0x10);
        if (located & 2) { // common network relative link
            const qsizetype net = info + le32(b, info + 0x14);
            const qsizetype netEnd = qMin<qsizetype>(net + le32(b, net), end);
            // A net name offset beyond 0x14 leaves room for the Unicode one's field.
            network = path(net, netEnd, le32(b, net + 8) > 0x14 ? net + 0x14 : 0, net + 8);
        }
        // The local path first, as liblnk gives it; a local path that could
        // not be read leaves the target to liblnk.
        const QString tail = suffix.value_or(QString());
        if (local && !local->isEmpty())
            u.target = joined(*local, tail);
        else if (network && (local || !(located & 1)))
            u.target = joined(*network, tail);
        pos += size;
    }
    const bool unicode = flags & 0x80;
    const qsizetype unit = unicode ? 2 : 1;
    std::optional<QString>* slots[] = {&u.description, nullptr, &u.workingDirectory, &u.arguments, &u.iconLocation};
    const quint32 bits[] = {0x04, 0x08, 0x10, 0x20, 0x40};
    for (int i = 0; i < 5; ++i) {
        if (!(flags & bits[i]))
            continue;
        const qsizetype count = le16(b, pos);
        if (pos + 2 + count * unit > b.size())
            return u;
        if (slots[i] && unicode) {
            QString text = formats::Utf16Text::fromLittleEndian(QByteArrayView(b).sliced(pos + 2, count * 2));
            if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
                text.truncate(nul);
            *slots[i] = u.checked(std::move(text));
        } else if (slots[i]) {
            *slots[i] = ansi(b.mid(pos + 2, count));
        }
        pos += 2 + count * unit;
    }
    return u;
}

// liblnk reading from bytes in memory (a libbfio memory range), so it sees
// exactly the bytes the checks above saw. The bytes must outlive it.
struct LnkFile {
    libbfio_handle_t* range = nullptr;
    liblnk_file_t* file = nullptr;
    bool open = false;
    ~LnkFile()
    {
        if (open)
            liblnk_file_close(file, nullptr);
        if (file)
            liblnk_file_free(&file, nullptr);
        if (range)
            libbfio_handle_free(&range, nullptr);
    }
};

} // namespace

std::optional<ShellLinkData> ShellLinkBytes::parse(const QByteArray& bytes, int codePage)
{
    if (!blocksFit(bytes))
        return std::nullopt;
    const OwnStrings u = ownStringsOf(bytes, codePage);
    if (u.damaged)
        return std::nullopt;
    // liblnk reads this copy; the zeros after it are not part of the range.
    QByteArray padded(bytes.size() + kOverreadPad, '\0');
    std::copy(bytes.cbegin(), bytes.cend(), padded.begin());
    LnkFile lnk;
    if (libbfio_memory_range_initialize(&lnk.range, nullptr) != 1
        || libbfio_memory_range_set(lnk.range, reinterpret_cast<uint8_t*>(padded.data()), size_t(bytes.size()),
                                    nullptr)
            != 1
        || liblnk_file_initialize(&lnk.file, nullptr) != 1)
        return std::nullopt;
    // Unknown code pages are refused by liblnk and leave its default. A
    // double-byte one it is never given: its tables for those read past a
    // string that ends in a lead byte; those strings are read here.
    if (!CodePage::isDoubleByte(codePage))
        liblnk_file_set_ascii_codepage(lnk.file, codePage, nullptr);
    lnk.open = liblnk_file_open_file_io_handle(lnk.file, lnk.range, LIBLNK_OPEN_READ, nullptr) == 1;
    if (!lnk.open)
        return std::nullopt;

    std::optional<QString> target =
        text(lnk.file, liblnk_file_get_utf8_local_path_size, liblnk_file_get_utf8_local_path);
    if (target && target->isEmpty())
        target = text(lnk.file, liblnk_file_get_utf8_network_path_size, liblnk_file_get_utf8_network_path);
    const std::optional<QString> arguments = text(lnk.file, liblnk_file_get_utf8_command_line_arguments_size,
                                                  liblnk_file_get_utf8_command_line_arguments);
    const std::optional<QString> workingDirectory =
        text(lnk.file, liblnk_file_get_utf8_working_directory_size, liblnk_file_get_utf8_working_directory);
    const std::optional<QString> description =
        text(lnk.file, liblnk_file_get_utf8_description_size, liblnk_file_get_utf8_description);
    const std::optional<QString> iconLocation =
        text(lnk.file, liblnk_file_get_utf8_icon_location_size, liblnk_file_get_utf8_icon_location);
    if (!target || !arguments || !workingDirectory || !description || !iconLocation)
        return std::nullopt;
    ShellLinkData d;
    uint32_t value = 0;
    if (liblnk_file_get_icon_index(lnk.file, &value, nullptr) == 1)
        d.iconIndex = int(value);
    d.target = u.target.value_or(*target);
    d.description = u.description.value_or(*description);
    d.workingDirectory = u.workingDirectory.value_or(*workingDirectory);
    d.arguments = u.arguments.value_or(*arguments);
    d.iconLocation = u.iconLocation.value_or(*iconLocation);
    headerFieldsOf(bytes, d);
    return d;
}

} // namespace formats
