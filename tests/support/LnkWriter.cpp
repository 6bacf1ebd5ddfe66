#include "support/LnkWriter.h"

#include <QFile>
#include <QtEndian>

namespace {

enum LinkFlags : quint32 {
    HasLinkInfo = 0x02,
    HasName = 0x04,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
};

void u16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void u32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void put32(QByteArray& out, qsizetype at, quint32 v)
{
    qToLittleEndian(v, out.data() + at);
}

QByteArray linkInfo(const LnkSpec& s)
{
    const bool local = !s.localTarget.isEmpty();
    const int headerSize = local && s.unicodeTarget ? 0x24 : 0x1C;
    QByteArray info(headerSize, '\0');
    put32(info, 4, quint32(headerSize)); // header size
    put32(info, 8, local ? 1 : 2);       // VolumeIDAndLocalBasePath or CommonNetworkRelativeLinkAndPathSuffix
    if (local) {
        put32(info, 12, quint32(info.size())); // volume id
        QByteArray volume;
        u32(volume, 0x11); // size
        u32(volume, 3);    // DRIVE_FIXED
        u32(volume, 0x1234ABCD);
        u32(volume, 0x10); // label offset
        volume.append('\0');
        info.append(volume);
        put32(info, 16, quint32(info.size())); // local base path
        info.append(s.localTargetAnsi.isEmpty() ? s.localTarget.toLatin1() : s.localTargetAnsi).append('\0');
    } else {
        put32(info, 20, quint32(info.size())); // common network relative link
        QByteArray net;
        u32(net, 0); // size, filled below
        u32(net, 0); // flags
        u32(net, 0x14);
        u32(net, 0);
        u32(net, 0);
        net.append(s.networkShare.toLatin1()).append('\0');
        put32(net, 0, quint32(net.size()));
        info.append(net);
    }
    put32(info, 24, quint32(info.size())); // common path suffix
    info.append(s.networkSuffix.toLatin1()).append('\0');
    if (headerSize == 0x24) {
        put32(info, 0x1C, quint32(info.size())); // Unicode local base path
        for (QChar c : s.localTarget)
            u16(info, c.unicode());
        u16(info, 0);
        put32(info, 0x20, quint32(info.size())); // Unicode common path suffix
        u16(info, 0);
    }
    put32(info, 0, quint32(info.size()));
    return info;
}

void stringData(QByteArray& out, const QString& text, bool ansi)
{
    u16(out, quint16(text.size()));
    if (ansi) {
        out.append(text.toLatin1());
        return;
    }
    for (QChar c : text)
        u16(out, c.unicode());
}

} // namespace

QByteArray LnkWriter::build(const LnkSpec& s)
{
    quint32 flags = HasLinkInfo | (s.ansiStrings ? 0u : quint32(IsUnicode));
    if (!s.description.isEmpty())
        flags |= HasName;
    if (!s.workingDirectory.isEmpty())
        flags |= HasWorkingDir;
    if (!s.arguments.isEmpty())
        flags |= HasArguments;
    if (!s.iconLocation.isEmpty())
        flags |= HasIconLocation;

    QByteArray out;
    u32(out, 0x4C);
    out.append(QByteArray::fromHex("0114020000000000c000000000000046")); // the shell link class
    u32(out, flags);
    u32(out, 0x20);                   // target attributes: archive
    out.append(QByteArray(24, '\0')); // three times
    u32(out, 0);                      // target size
    u32(out, quint32(s.iconIndex));
    u32(out, s.showCommand);
    u16(out, s.hotKey);
    out.append(QByteArray(10, '\0')); // reserved
    out.append(linkInfo(s));
    if (flags & HasName)
        stringData(out, s.description, s.ansiStrings);
    if (flags & HasWorkingDir)
        stringData(out, s.workingDirectory, s.ansiStrings);
    if (flags & HasArguments)
        stringData(out, s.arguments, s.ansiStrings);
    if (flags & HasIconLocation)
        stringData(out, s.iconLocation, s.ansiStrings);
    u32(out, 0); // terminal block
    return out;
}

bool LnkWriter::write(const QByteArray& hostPath, const LnkSpec& spec)
{
    QFile f(QFile::decodeName(hostPath));
    return f.open(QIODevice::WriteOnly) && f.write(build(spec)) >= 0;
}
