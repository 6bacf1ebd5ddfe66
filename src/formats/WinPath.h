#pragma once
// Text helpers for Windows-form paths ("c:\dir\name"). Pure string work: no
// file system access, so they behave the same on every host.

#include <QString>
#include <QStringList>

namespace formats::WinPath {

// True for the characters that end a folder part: "\" and ":".
bool isDelimiter(QChar c);

// The folder part of path: everything up to and including the last "\" or
// ":"; empty when there is none.
QString extractFilePath(const QString& path);

// The name part of path: the text after the last "\" or ":".
QString extractFileName(const QString& path);
// The same as a view into path.
QStringView fileNameOf(QStringView path);

// path with one trailing backslash added unless it already ends in one (or
// is empty, which stays empty).
QString includeTrailingBackslash(const QString& path);

// path without its trailing backslash, unless it is a drive root such as "c:\".
QString excludeTrailingBackslash(const QString& path);

// The lower-case drive letter of an absolute path such as "C:\x", or a null
// QChar when the path does not start with a letter and a colon.
QChar driveLetter(const QString& path);

// True when text begins with prefix without regard to case, compared one
// character at a time with a case folding that keeps lengths, so that
// "C:\STRASSE" never stands for "c:\Straße" nor the reverse.
bool startsWithIgnoringCase(QStringView text, QStringView prefix);

// text with every character case-folded the same length-keeping way.
QString foldedCase(QStringView text);

} // namespace formats::WinPath
