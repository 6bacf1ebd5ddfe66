#include "cleaners/files/EmptyFolderJob.h"

#include "cleaners/files/EmptyFolders.h"

#include <QList>

#include <utility>

namespace {

// Keeps in list only the entries whose position is not in positions
// (ascending), in one pass: a deep tree's walk lists thousands of parents,
// and removing them one at a time would move the rest each time.
template <typename List>
void dropFrom(List& list, const QList<int>& positions)
{
    qsizetype kept = 0, next = 0;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (next < positions.size() && positions[next] == i) {
            ++next;
            continue;
        }
        if (kept != i)
            list[kept] = std::move(list[i]);
        ++kept;
    }
    list.resize(kept);
}

// Drops the entries at positions (ascending) from all three lists.
void drop(QList<core::Finding>& found, QStringList& texts, QList<TFindDirs::Contents>& contents,
          const QList<int>& positions)
{
    dropFrom(found, positions);
    dropFrom(texts, positions);
    dropFrom(contents, positions);
}

} // namespace

EmptyFolderJob::Result EmptyFolderJob::scan(const core::Context&, core::JobSink& sink, const QString& drive)
{
    Result result;
    walker_.DirsFound.clear();
    walker_.FoundIds.clear();
    walker_.FoundContents.clear();
    walker_.StartDir = drive.left(1) + QStringLiteral(":\\");
    try {
        walker_.Execute();
    } catch (const EInOutError& error) {
        result.failure = error;
    }
    QList<core::Finding> found;
    QStringList texts;
    // What the walk judged of each folder, so none is read a second time.
    QList<TFindDirs::Contents> contents = walker_.FoundContents;
    for (qsizetype i = 0; i < walker_.DirsFound.size(); ++i) {
        core::Finding folder;
        folder.path = TFindDirs::PathOf(walker_.DirsFound[i]);
        folder.id = walker_.FoundIds.value(i);
        texts.append(folder.path.toUpper());
        found.append(folder);
    }
    result.checked = int(found.size());
    drop(found, texts, contents, EmptyFolders::parentRows(texts));
    QStringList paths;
    for (const core::Finding& folder : found)
        paths.append(folder.path);
    drop(found, texts, contents, EmptyFolders::nonEmptyRows(paths, contents));
    for (const core::Finding& folder : found)
        sink.found(folder);
    return result;
}
