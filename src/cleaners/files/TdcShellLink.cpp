#include "cleaners/files/TdcShellLink.h"

#include "platform/ShellLinkReader.h"

TdcShellLink::TdcShellLink(QObject* parent)
    : TumdcComponent(parent)
{}

void TdcShellLink::SetFILENAME(const QString& name)
{
    if (name == fileName_ && name.isEmpty())
        return;
    fileName_ = name;
    LoadLink();
}

quint16 TdcShellLink::ShortCutOf(quint16 hotKey)
{
    const quint16 key = hotKey & 0xFF;
    const quint16 modifiers = hotKey >> 8;
    quint16 out = key;
    if (modifiers & 1)
        out |= 0x2000;
    if (modifiers & 2)
        out |= 0x4000;
    if (modifiers & 4)
        out |= 0x8000;
    if (modifiers & 8)
        out |= 0x0800;
    return out;
}

bool TdcShellLink::LoadLink()
{
    HotKey = 0;
    LinkTarget.clear();
    Parameters.clear();
    WorkingDirectory.clear();
    IconLocation.clear();
    ShortDescription.clear();
    IconIndex = 0;
    RunAs = TdcShellLinkRunAs::raNormal;
    const std::optional<platform::ShellLinkData> link = platform::ShellLinkReader::read(fileName_);
    if (!link)
        return false;
    LinkTarget = link->target;
    Parameters = link->arguments;
    WorkingDirectory = link->workingDirectory;
    if (link->showCommand == 3)
        RunAs = TdcShellLinkRunAs::raMaximized;
    else if (link->showCommand == 7)
        RunAs = TdcShellLinkRunAs::raMinimized;
    HotKey = ShortCutOf(link->hotKey);
    ShortDescription = link->description;
    IconLocation = link->iconLocation;
    IconIndex = link->iconIndex;
    return true;
}
