#pragma once
// The browser cache cleaner: empties the folder of the Shell Folders value
// "Cache" (every entry the search reports, files and folders at any depth)
// and closes itself.

#include "cleaners/browser/TBrowserCleanForm.h"

class TIECForm : public TBrowserCleanForm {
    Q_OBJECT
public:
    explicit TIECForm(QWidget* parent = nullptr);

    // The search's OnFileFinded, as the job reports each entry: appends its
    // path as one line of the work list.
    void ieSearchFileFinded(const core::Finding& FileFinded);

    QPlainTextEdit* IECacheList;
    TEasyFileSearch* ieSearch;

protected:
    void fileFound(const core::Finding& found) override;
};
