#include "app/TFoundFileModel.h"

#include "formats/WinPath.h"
#include "scan/JunkSearch.h"

#include <algorithm>

TFoundFileModel::TFoundFileModel(const QList<QIcon>* icons, QObject* parent)
    : QAbstractTableModel(parent)
    , icons_(icons)
{}

int TFoundFileModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int TFoundFileModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant TFoundFileModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const Row& row = rows_[indexOf(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return row.caption();
        case 1:
            return row.name();
        case 2:
            return row.sizeText();
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0 && row.imageIndex >= 0 && row.imageIndex < icons_->size())
        return icons_->at(row.imageIndex);
    return {};
}

QVariant TFoundFileModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral(" Путь");
    case 1:
        return QStringLiteral(" Имя файла");
    case 2:
        return QStringLiteral(" Размер ( Байт )");
    }
    return {};
}

QString TFoundFileModel::Row::caption() const
{
    return markers == 0 ? path : JunkSearch::SkipMarker.repeated(markers) + path;
}

core::Finding TFoundFileModel::Row::finding() const
{
    core::Finding found;
    found.path = path;
    found.id = id;
    found.size = size;
    found.protection = why;
    found.markers = markers;
    return found;
}

void TFoundFileModel::insertTop(const core::Finding& found, int imageIndex)
{
    const auto nameLength = quint16(qMin<qsizetype>(formats::WinPath::extractFileName(found.path).size(), 0xffff));
    beginInsertRows({}, 0, 0);
    rows_.push_back({found.path, found.id, found.size, imageIndex, nameLength, found.protection, found.markers});
    endInsertRows();
}

void TFoundFileModel::insertTop(const QString& path, quint64 size, int imageIndex, const platform::EntryId& id)
{
    core::Finding found;
    found.path = path;
    found.size = size;
    found.id = id;
    insertTop(found, imageIndex);
}

const TFoundFileModel::Row& TFoundFileModel::rowAt(int position) const
{
    return rows_[indexOf(position)];
}

QStringList TFoundFileModel::captions() const
{
    return captions(0, rowCount());
}

QStringList TFoundFileModel::captions(int first, int count) const
{
    first = qMax(0, first);
    const int last = qMin(rowCount(), first + qMax(0, count)); // one past
    QStringList out;
    out.reserve(qMax(0, last - first));
    for (int position = first; position < last; ++position)
        out.append(rows_[indexOf(position)].caption());
    return out;
}

void TFoundFileModel::markRows(const std::function<void(Row&)>& mark)
{
    for (Row& row : rows_)
        mark(row);
    if (!rows_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

void TFoundFileModel::removePositions(QList<int> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    // From the bottom up, merging neighbours, so each removal is one call.
    for (qsizetype i = positions.size() - 1; i >= 0;) {
        const int last = positions[i];
        int first = last;
        while (i > 0 && positions[i - 1] == first - 1)
            first = positions[--i];
        --i;
        if (first < 0 || last >= int(rows_.size()))
            continue;
        beginRemoveRows({}, first, last);
        const auto begin = rows_.begin() + qsizetype(indexOf(last));
        rows_.erase(begin, begin + (last - first + 1));
        endRemoveRows();
    }
}

void TFoundFileModel::clearRows()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}
