#pragma once
// Writes shortcut (.lnk) files in the documented shell-link format, so the
// tests can make the shortcuts they read: a local or network target, the
// optional strings, show command and hot key, or a damaged file.

#include <QByteArray>
#include <QString>

struct LnkSpec {
    QString localTarget;        // "C:\OLD\APP.EXE": a target on a local volume
    QByteArray localTargetAnsi; // when set, the ANSI bytes written for localTarget
    bool unicodeTarget = false; // also write the Unicode form of the local target
    QString networkShare;       // "\\server\share": a target on a network share (with suffix)
    QString networkSuffix;      // "dir\app.exe"
    QString description;
    QString workingDirectory;
    QString arguments;
    QString iconLocation;
    // Write the four strings above in ANSI, each as its Latin-1 bytes (so
    // QString::fromLatin1 carries any code page's bytes), not in UTF-16.
    bool ansiStrings = false;
    int iconIndex = 0;
    quint32 showCommand = 1;
    quint16 hotKey = 0;
};

class LnkWriter {
public:
    // The bytes of a shortcut built from spec.
    static QByteArray build(const LnkSpec& spec);

    // Writes build(spec) to hostPath; false when it cannot.
    static bool write(const QByteArray& hostPath, const LnkSpec& spec);
};
