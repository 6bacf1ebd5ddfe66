#pragma once
// Where the browser keeps its cache and cookies. Whether such a folder may
// be emptied is the platform's FolderCheck::emptiable().

#include <QString>

class BrowserFolders {
public:
    // Reads the text value valueName ("Cache", "Cookies") of the current
    // user's Shell Folders key into folder, the key opened without creating
    // it. A missing key or value gives empty text and true; a value of
    // another type gives false.
    static bool ReadShellFolders(const QString& valueName, QString& folder);
};
