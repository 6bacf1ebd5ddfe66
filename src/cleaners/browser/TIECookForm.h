#pragma once
// The cookie cleaner: deletes the "*.txt" files (archive or read-only) of
// the folder of the Shell Folders value "Cookies" and its sub-folders, and
// closes itself.

#include "cleaners/browser/TBrowserCleanForm.h"

class TIECookForm : public TBrowserCleanForm {
    Q_OBJECT
public:
    explicit TIECookForm(QWidget* parent = nullptr);

    // Appends the file's folder and name as one line of the work list.
    void CookieSearchFileFinded(const TFileInformations& FileFinded);

    QPlainTextEdit* IECookiesList;
    TEasyFileSearch* CookieSearch;
};
