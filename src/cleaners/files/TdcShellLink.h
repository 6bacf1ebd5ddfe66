#pragma once
// What a shortcut (.lnk) file holds: target, arguments, working folder,
// description, icon, hot key and window state. Writing FILENAME reads it;
// nothing is ever written back to the shortcut.

#include "cleaners/files/TumdcComponent.h"

enum class TdcShellLinkRunAs { raNormal, raMinimized, raMaximized };

class TdcShellLink : public TumdcComponent {
    Q_OBJECT
public:
    explicit TdcShellLink(QObject* parent = nullptr);

    const QString& FILENAME() const { return fileName_; }
    // Stores name and reads the shortcut, when it differs from the current
    // name or is not empty.
    void SetFILENAME(const QString& name);

    // Clears every result and reads the shortcut. Returns false when it is
    // missing or cannot be read; a target that is no path (a shell object,
    // a damaged file) leaves LinkTarget empty.
    bool LoadLink();
    bool Refresh() override { return LoadLink(); }

    QString LinkTarget;
    QString Parameters;
    QString WorkingDirectory;
    QString ShortDescription;
    QString IconLocation;
    int IconIndex = 0;
    // The hot key as a toolkit shortcut: virtual key in the low byte,
    // Shift 0x2000, Ctrl 0x4000, Alt 0x8000, extended key 0x0800.
    quint16 HotKey = 0;
    TdcShellLinkRunAs RunAs = TdcShellLinkRunAs::raNormal;

    // The shortcut form of a shortcut file's hot key word (virtual key in
    // the low byte, HOTKEYF_ bits in the high byte).
    static quint16 ShortCutOf(quint16 hotKey);

private:
    QString fileName_;
};
