#pragma once
// The rows of the found-file list: path, name, size and an index into the
// icon list. A protected row's path is shown behind one skip marker for each
// rule that protects it; the protection is the row's own field. New rows go to the
// top; rows are kept oldest-first underneath, so inserting at the top costs
// nothing however long the list grows. A search lists hundreds of thousands
// of rows, so a row keeps only what cannot be derived: the path shares the
// finder's text, the name is the path's tail and the size is a number, both
// turned into text when shown.

#include "core/Finding.h"
#include "platform/EntryId.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <deque>
#include <functional>

class TFoundFileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QString path;
        platform::EntryId id; // what the entry was when found; deletion checks it
        quint64 size = 0;
        int imageIndex = -1;
        quint16 nameLength = 0; // the name is this many characters at the path's end
        core::Protection why = core::Protection::None;
        quint8 markers = 0; // skip markers shown in front of the path

        QString name() const { return path.right(nameLength); }
        QString sizeText() const { return QString::number(size); }
        // The path as the list shows it, behind its skip markers.
        QString caption() const;
        core::Finding finding() const;
    };

    // icons is the icon list the rows index into; it must outlive the model.
    explicit TFoundFileModel(const QList<QIcon>* icons, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Inserts a row for the finding (its name is the part of its path after
    // the last "\" or ":") as the new first row.
    void insertTop(const core::Finding& found, int imageIndex);
    // The same for an unprotected entry.
    void insertTop(const QString& path, quint64 size, int imageIndex, const platform::EntryId& id);

    // The row shown at position (0 = top). Position must be valid.
    const Row& rowAt(int position) const;

    // Every caption as shown, top to bottom; and those of the count rows
    // from position first down (cut to the rows there are).
    QStringList captions() const;
    QStringList captions(int first, int count) const;

    // Lets mark change each row's protection and markers, then shows the
    // changed captions.
    void markRows(const std::function<void(Row&)>& mark);

    // Removes the rows at these positions (any order, duplicates allowed).
    void removePositions(QList<int> positions);
    void clearRows();

private:
    size_t indexOf(int position) const { return rows_.size() - 1 - size_t(position); }

    // Oldest first. A deque grows in blocks: a vector's doubling would hold
    // the old and the new array at once, a third more than the rows need.
    std::deque<Row> rows_;
    const QList<QIcon>* icons_;
};
