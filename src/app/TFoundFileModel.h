#pragma once
// The rows of the found-file list: path, name, size and an index into the
// icon list. A protected row's path is shown behind one skip marker for each
// rule that protects it; the protection is the row's own field. New rows go to the
// top; rows are kept oldest-first underneath, so inserting at the top costs
// nothing however long the list grows. A search lists hundreds of thousands
// of rows, so a row keeps only what cannot be derived, packed: the path lies
// in a text store (shared with the log's line of the same text), the name
// is the path's tail and the size is a number, both turned into text when
// shown, and the entry's device is a number in a table of the few there are.

#include "app/FoundIconList.h"
#include "core/Finding.h"
#include "platform/EntryId.h"
#include "core/TextStore.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class TFoundFileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // One row as a whole; the list keeps it packed and makes this on demand.
    struct Row {
        QString path;
        platform::EntryId id; // what the entry was when found; deletion checks it
        quint64 size = 0;
        int imageIndex = -1;
        core::Protection why = core::Protection::None;
        quint8 markers = 0; // skip markers shown in front of the path

        // The part of the path after its last "\" or ":".
        QString name() const;
        QString sizeText() const { return QString::number(size); }
        // The path as the list shows it, behind its skip markers.
        QString caption() const;
        core::Finding finding() const;
    };

    // icons is the icon list the rows index into; it must outlive the model.
    explicit TFoundFileModel(const FoundIconList* icons, QObject* parent = nullptr);
    ~TFoundFileModel() override;

    // Keeps the paths in store from now on (the rows there are move along),
    // so that a log showing the same paths keeps no second copy.
    void setTextStore(std::shared_ptr<core::TextStore> store);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Inserts a row for the finding (its name is the part of its path after
    // the last "\" or ":") as the new first row.
    void insertTop(const core::Finding& found, int imageIndex);
    // The same for an unprotected entry.
    void insertTop(const QString& path, quint64 size, int imageIndex, const platform::EntryId& id);

    // The row shown at position (0 = top), a copy. Position must be valid.
    Row rowAt(int position) const;

    // Every caption as shown, top to bottom; and those of the count rows
    // from position first down (cut to the rows there are).
    QStringList captions() const;
    QStringList captions(int first, int count) const;

    // Lets mark change each row's protection and markers, then shows the
    // changed captions. The row's path is valid only during the call: mark
    // must not keep it (nor a copy of it) beyond.
    void markRows(const std::function<void(Row&)>& mark);

    // Removes the rows at these positions (any order, duplicates allowed).
    void removePositions(QList<int> positions);
    void clearRows();

private:
    // A row as kept: 48 bytes and its path's characters.
    struct Stored {
        quint64 inode = 0;
        qint64 bornSeconds = 0;
        quint64 size = 0;
        core::TextStore::Ref path;
        quint32 bornNanoseconds = 0;
        qint32 imageIndex = -1;
        quint32 device = 0; // index into devices_
        platform::EntryKind kind = platform::EntryKind::Unknown;
        core::Protection why = core::Protection::None;
        quint8 markers = 0;
    };

    size_t indexOf(int position) const { return rows_.size() - 1 - size_t(position); }
    // The row with its path copied, or (raw) pointing into the store.
    Row rowOf(const Stored& stored, bool raw) const;
    QString captionOf(const Stored& stored) const;
    quint32 deviceIndex(quint64 device);
    void releasePaths(std::deque<Stored>::const_iterator begin, std::deque<Stored>::const_iterator end);

    // Oldest first. A deque grows in blocks: a vector's doubling would hold
    // the old and the new array at once, a third more than the rows need.
    std::deque<Stored> rows_;
    std::vector<quint64> devices_; // the devices the rows' entries lie on
    std::shared_ptr<core::TextStore> store_;
    const FoundIconList* icons_;
};
