#pragma once
// The browser cache cleaner: empties the folder of the Shell Folders value
// "Cache" (every entry the search reports, files and folders at any depth)
// and closes itself.

#include "cleaners/browser/TBrowserCleanForm.h"

class TIECForm : public TBrowserCleanForm {
    Q_OBJECT
public:
    explicit TIECForm(QWidget* parent = nullptr);

    // Appends the entry's folder and name as one line of the work list.
    void ieSearchFileFinded(const TFileInformations& FileFinded);

    QPlainTextEdit* IECacheList;
    TEasyFileSearch* ieSearch;
};
