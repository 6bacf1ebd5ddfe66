#pragma once
// The cookie cleaner: deletes the "*.txt" files (archive or read-only) of
// the folder of the Shell Folders value "Cookies" and its sub-folders, and
// closes itself.

#include "cleaners/browser/TBrowserCleanForm.h"

class TIECookForm : public TBrowserCleanForm {
    Q_OBJECT
public:
    explicit TIECookForm(QWidget* parent = nullptr);

    // The search's OnFileFinded, as the job reports each file: appends its
    // path as one line of the work list.
    void CookieSearchFileFinded(const core::Finding& FileFinded);

    QPlainTextEdit* IECookiesList;
    TEasyFileSearch* CookieSearch;

protected:
    void fileFound(const core::Finding& found) override;
};
