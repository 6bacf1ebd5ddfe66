#pragma once
// The system's own rules for what its temporary-file cleaning must leave
// alone: the "x" and "X" lines of tmpfiles.d (/usr/lib/tmpfiles.d,
// /run/tmpfiles.d, /etc/tmpfiles.d, a file of the same name in a later
// folder replacing the earlier one), such as the private temporary folders
// of running services. Such an entry is neither listed nor deleted; "X",
// which protects a folder but not what it holds, is taken like "x": what
// cannot be told apart safely is left alone.
//
// Paths are globs; "%b" stands for the boot id, "%m" the machine id, "%%"
// for "%"; any other specifier matches anything, so it protects more, never
// less.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace platform {

class TmpfilesExclusions {
public:
    // True when hostPath (absolute, links resolved) or a folder above it is
    // excluded. Reads the rules at the first question, from the run
    // environment's tmpfiles folders when it names some.
    static bool excludes(QByteArrayView hostPath);

    // The name patterns (fnmatch, last component) that exclude entries of
    // the folder hostFolder; empty for almost every folder.
    static QList<QByteArray> namePatternsIn(QByteArrayView hostFolder);
};

} // namespace platform
