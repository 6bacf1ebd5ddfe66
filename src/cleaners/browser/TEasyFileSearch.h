#pragma once
// The file search component: a published shell over its engine
// (TFileSearch). Its properties are copied into the engine at the start of
// every Execute; Filter and RootPath live in the engine itself. The
// component owns its engine.
//
// Every event is raised from inside Execute on the caller's thread; the
// component itself processes no messages.

#include "cleaners/browser/FileSearchTypes.h"

#include <QDate>
#include <QObject>
#include <memory>

class TFileSearch;

class TEasyFileSearch : public QObject {
    Q_OBJECT
public:
    explicit TEasyFileSearch(QObject* owner = nullptr);
    ~TEasyFileSearch() override;

    // "TEasyFileSearch v1.00"; assignments are ignored.
    QString Version() const { return QStringLiteral("TEasyFileSearch v1.00"); }
    void setVersion(const QString&) {}

    TOptions SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForHiddenFile, okLookForSystemFile,
                              okLookForDirectory, okLookForArchiveFile,  okLookForAnyFile};
    TFilter FilterKind;
    TDateFilterAccessKind DateFilterFileAccess = dfakAnyFiles;
    TDateFilterKind DateFilterKind = dfkSame;
    QDate DateFilterFirstDate = QDate::currentDate();
    QDate DateFilterSecondDate = QDate::currentDate();
    TSizeFilterKind SizeFilterKind = sfkSmallerOrEqualTo;
    qint32 SizeFilterSize = 0;

    // The wildcard mask and the folder the walk starts in (the engine's).
    QString Filter() const;
    void setFilter(const QString& mask);
    QString RootPath() const;
    void setRootPath(const QString& path);

    TOnFileFinded OnFileFinded;
    TOnChangeFolder OnChangeFolder;
    TOnStatistics OnStatistics;

    // Copies the properties into the engine (options, then the date and
    // size filters) and walks. True when every folder could be read, false
    // when the walk ended at one that could not. Throws EFileSearchError
    // for an invalid mask or an empty RootPath.
    bool Execute();

    // The engine, as the last Execute left it.
    const TFileSearch& Engine() const { return *engine_; }

private:
    std::unique_ptr<TFileSearch> engine_;
};
