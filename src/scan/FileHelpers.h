#pragma once
// The common file helpers every part of the program shares. Paths are in
// Windows form.

#include "platform/EntryId.h"
#include "scan/CleanOutcome.h"

#include <QString>

// The program's folder with a trailing backslash.
QString GetAppDir();

// The Windows folder without a trailing backslash.
QString GetWindowsDir();

// The temporary-files folder with a trailing backslash.
QString GetTempDir();

// Moves one file or folder into the trash (one shell delete with undo).
// True when all of it was moved. With the id the entry had when it was
// listed, nothing is moved unless the entry is still that one.
bool RecycleFile(const QString& path, const platform::EntryId& listed = {});

// Deletes one file or folder for good (one shell delete without undo).
// True when all of it is gone. The id works as for RecycleFile.
bool EraseFile(const QString& path, const platform::EntryId& listed = {});

// Erases the folder at path for good, like EraseFile, but only while it
// holds nothing but folders and zero-byte files (what the empty-folder
// finder listed). True when all of it is gone.
bool EraseEmptyFolder(const QString& path, const platform::EntryId& listed = {});

// How a listed entry goes: for good, into the trash, or for good while it
// still holds nothing but folders and zero-byte files.
enum class Disposal { Erase, Recycle, EraseEmptyFolder };

// Disposes of the entry at path as how says, by the id it had when it was
// listed. The outcome is Deleted, or Failed with the shell's error code and
// reason; its size is left 0.
CleanOutcome Dispose(const QString& path, const platform::EntryId& listed, Disposal how);

// The size in bytes of the file at path as found by opening it for reading;
// 0 for a folder, a device or a file that cannot be opened or has vanished.
// A link is a file of its own: its size is the link's.
quint64 FileSizeOfPath(const QString& path);
