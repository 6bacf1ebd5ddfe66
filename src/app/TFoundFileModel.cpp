#include "app/TFoundFileModel.h"

#include "formats/WinPath.h"
#include "scan/JunkSearch.h"

#include <algorithm>

namespace {

// The name in a path, as WinPath::extractFileName finds it, without a copy.
QStringView nameIn(QStringView path)
{
    qsizetype i = path.size();
    while (i > 0 && !formats::WinPath::isDelimiter(path[i - 1]))
        --i;
    return path.sliced(i);
}

} // namespace

TFoundFileModel::TFoundFileModel(const FoundIconList* icons, QObject* parent)
    : QAbstractTableModel(parent)
    , store_(std::make_shared<core::TextStore>())
    , icons_(icons)
{}

TFoundFileModel::~TFoundFileModel()
{
    if (store_.use_count() > 1)
        releasePaths(rows_.cbegin(), rows_.cend());
}

void TFoundFileModel::setTextStore(std::shared_ptr<core::TextStore> store)
{
    if (!store || store == store_)
        return;
    for (Stored& row : rows_) {
        const core::TextStore::Ref moved = store->add(store_->view(row.path));
        store_->release(row.path);
        row.path = moved;
    }
    store_ = std::move(store);
}

void TFoundFileModel::releasePaths(std::deque<Stored>::const_iterator begin, std::deque<Stored>::const_iterator end)
{
    for (auto it = begin; it != end; ++it)
        store_->release(it->path);
}

quint32 TFoundFileModel::deviceIndex(quint64 device)
{
    // A search meets a handful of devices, mostly one after another.
    for (size_t i = devices_.size(); i-- > 0;)
        if (devices_[i] == device)
            return quint32(i);
    devices_.push_back(device);
    return quint32(devices_.size() - 1);
}

TFoundFileModel::Row TFoundFileModel::rowOf(const Stored& stored, bool raw) const
{
    Row row;
    const QStringView path = store_->view(stored.path);
    row.path = raw ? QString::fromRawData(reinterpret_cast<const QChar*>(path.utf16()), path.size()) : path.toString();
    row.id = {devices_[stored.device], stored.inode, stored.bornSeconds, stored.bornNanoseconds, stored.kind};
    row.size = stored.size;
    row.imageIndex = stored.imageIndex;
    row.why = stored.why;
    row.markers = stored.markers;
    return row;
}

QString TFoundFileModel::captionOf(const Stored& stored) const
{
    const QStringView path = store_->view(stored.path);
    return stored.markers == 0 ? path.toString() : JunkSearch::SkipMarker.repeated(stored.markers).append(path);
}

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
    const Stored& row = rows_[indexOf(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return captionOf(row);
        case 1:
            return nameIn(store_->view(row.path)).toString();
        case 2:
            return QString::number(row.size);
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0 && icons_ && row.imageIndex >= 0
        && row.imageIndex < icons_->size())
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

QString TFoundFileModel::Row::name() const
{
    return formats::WinPath::extractFileName(path);
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
    static_assert(sizeof(Stored) <= 48, "a row is kept for each of hundreds of thousands of entries");
    Stored row;
    row.inode = found.id.inode;
    row.bornSeconds = found.id.bornSeconds;
    row.bornNanoseconds = found.id.bornNanoseconds;
    row.kind = found.id.kind;
    row.device = deviceIndex(found.id.device);
    row.size = found.size;
    row.imageIndex = imageIndex;
    row.why = found.protection;
    row.markers = found.markers;
    row.path = store_->add(found.path);
    beginInsertRows({}, 0, 0);
    rows_.push_back(row);
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

TFoundFileModel::Row TFoundFileModel::rowAt(int position) const
{
    return rowOf(rows_[indexOf(position)], false);
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
        out.append(captionOf(rows_[indexOf(position)]));
    return out;
}

void TFoundFileModel::markRows(const std::function<void(Row&)>& mark)
{
    for (Stored& stored : rows_) {
        Row row = rowOf(stored, true);
        mark(row);
        stored.why = row.why;
        stored.markers = row.markers;
    }
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
        releasePaths(begin, begin + (last - first + 1));
        rows_.erase(begin, begin + (last - first + 1));
        endRemoveRows();
    }
}

void TFoundFileModel::clearRows()
{
    beginResetModel();
    releasePaths(rows_.cbegin(), rows_.cend());
    rows_.clear();
    devices_.clear();
    endResetModel();
}
