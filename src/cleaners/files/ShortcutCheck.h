#pragma once
// How the shortcut checker judges one shortcut: where its target would lie
// here, and whether it is there. The window and the command line both list
// exactly the shortcuts this calls broken.

#include "cleaners/files/TdcShellLink.h"

#include <QString>

class ShortcutCheck {
public:
    // What became of one shortcut.
    struct Verdict {
        bool counted = false; // its target could be placed on a drive here
        bool broken = false;  // counted, and no file is at the placed target
        QString target;       // the target as the shortcut names it
    };

    // The target's path on this machine's drives; empty when it has no
    // place here. Where the drive letters are Windows' own (a prefix, or
    // drives given by the user), a target on one of fixedLetters stays as
    // it is. On the host's own drive table, c: is the host root and the
    // target means the C: of the Windows that made the shortcut: the drive
    // the shortcut lies on, when that drive holds a Windows installation.
    static QString placedTarget(const QString& linkPath, const QString& target, const QString& fixedLetters);

    // Reads the shortcut at path through link (the caller's, made once for a
    // whole search) and judges it. With exeOnly only shortcuts to programs
    // (.exe) are judged. A shortcut that cannot be read has no target and
    // is passed over: one shortcut's trouble never ends a search.
    static Verdict judge(const QString& path, bool exeOnly, const QString& fixedLetters, TdcShellLink& link);
};
