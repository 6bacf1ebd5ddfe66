#pragma once
// Where the browser keeps its cache and cookies, and whether such a folder
// may be emptied.

#include <QString>

class BrowserFolders {
public:
    // Reads the text value valueName ("Cache", "Cookies") of the current
    // user's Shell Folders key into folder, the key opened without creating
    // it. A missing key or value gives empty text and true; a value of
    // another type gives false.
    static bool ReadShellFolders(const QString& valueName, QString& folder);

    // True when folder may be searched and emptied: an absolute path of a
    // real folder (no link on the way) on a fixed drive that is neither a
    // drive root nor the Windows folder nor the user's profile folder (in a
    // prefix c:\users\<name>, and the host home in any case), and holds
    // none of them. Empty text is never safe.
    static bool IsSafeToEmpty(const QString& folder);
};
