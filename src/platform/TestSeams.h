#pragma once
// Fault injection for the tests and benchmarks: each call makes one piece
// of the platform fail or behave as it would on another machine, or lets a
// test watch it. The program itself never calls any of them; what a run
// works on (drives, prefix, folders, clock) is the RunEnvironment instead.
// Each setting holds for the whole process until set back (an empty
// function, false, or an empty folder).

#include "platform/FolderReadAhead.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace platform::testseams {

// Makes every folder read fail with the host error number (EACCES, ...)
// filter returns for its host path, when not 0: refused access that root
// would otherwise read through.
void setAccessFilter(std::function<int(const QByteArray& hostPath)> filter);

// Turns the one-call folder open (openat2) off, as on a kernel without it
// (false), or back on.
void setOneCallOpen(bool on);

// Smaller figures and an at-once start for the folder readers.
void setReadAheadTuning(const FolderReadAhead::Tuning& tuning);

// Called by a reader thread with the host path of each folder it has read.
void setReadAheadHook(std::function<void(const QByteArray& hostFolder)> hook);

// How many looks at entries the walks have taken from the thread that
// looks ahead of them (FolderStatAhead) so far in this process.
quint64 statAheadAnswers();

// Called after a file's new contents are on disk and before they replace
// the old file (tests die at that point).
void setBeforeReplaceHook(std::function<void()> hook);

// Called after every library load with the name asked for and whether it
// loaded.
void setLoadWatcher(std::function<void(const QString& name, bool loaded)> watcher);

// Makes a move into the trash copy into the home trash whatever file system
// the entry is on.
void setTrashAlwaysCopies(bool on);

// Makes a move into the trash treat every entry as lying on another disk
// file system whose top folder is topdir.
void setTrashTopDir(const QByteArray& topdir);

// Makes the next move into each trash sweep it again, as the first move of
// a new process does.
void forgetTrashSweeps();

// Turns the look at what processes hold off (false) or on again, for every
// deletion of this thread: the benchmark measures its cost this way.
void setInUseCheck(bool on);

} // namespace platform::testseams
