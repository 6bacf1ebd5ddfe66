#include "cleaners/files/EmptyFolderJob.h"

#include "cleaners/files/EmptyFolders.h"

#include <QList>

namespace {

// Drops the entries at positions (ascending) from all three lists.
void drop(QList<core::Finding>& found, QStringList& texts, QList<TFindDirs::Contents>& contents,
          const QList<int>& positions)
{
    for (qsizetype k = positions.size() - 1; k >= 0; --k) {
        found.removeAt(positions[k]);
        texts.removeAt(positions[k]);
        contents.removeAt(positions[k]);
    }
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
