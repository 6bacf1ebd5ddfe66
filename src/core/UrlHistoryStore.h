#pragma once
// The browser's URL history store. Inside a Wine prefix it is the user's
// history folder (the "History" value of the user's Shell Folders key);
// on the host there is none.

#include <QString>
#include <memory>

namespace core {

class UrlHistoryStore {
public:
    // The store, or nullptr when the system has none (on the host, or when
    // the prefix names no usable history folder).
    static std::unique_ptr<UrlHistoryStore> create();

    // Empties the history: deletes, for good, every entry in the history
    // folder (links themselves, never what they point to). True when all
    // of them went.
    bool ClearHistory();

    QString folder() const { return folder_; }

private:
    explicit UrlHistoryStore(QString folder)
        : folder_(std::move(folder))
    {}
    QString folder_;
};

} // namespace core
