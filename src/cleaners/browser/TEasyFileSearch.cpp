#include "cleaners/browser/TEasyFileSearch.h"

#include "cleaners/browser/TFileSearch.h"

TEasyFileSearch::TEasyFileSearch(QObject* owner)
    : QObject(owner)
    , engine_(std::make_unique<TFileSearch>())
{}

TEasyFileSearch::~TEasyFileSearch() = default;

QString TEasyFileSearch::Filter() const
{
    return engine_->Filter;
}

void TEasyFileSearch::setFilter(const QString& mask)
{
    engine_->Filter = mask;
}

QString TEasyFileSearch::RootPath() const
{
    return engine_->RootPath;
}

void TEasyFileSearch::setRootPath(const QString& path)
{
    engine_->RootPath = path;
}

bool TEasyFileSearch::Execute()
{
    TFileSearch& e = *engine_;
    e.IncludeSubfolders = SearchOptions.contains(okIncludeSubfolder);
    e.LookForReadOnly = SearchOptions.contains(okLookForReadOnlyFile);
    e.LookForHidden = SearchOptions.contains(okLookForHiddenFile);
    e.LookForSystem = SearchOptions.contains(okLookForSystemFile);
    e.LookForDirectory = SearchOptions.contains(okLookForDirectory);
    e.LookForArchive = SearchOptions.contains(okLookForArchiveFile);
    e.AnyFile = SearchOptions.contains(okLookForAnyFile);
    e.DateFilterOn = FilterKind.contains(fkFilterOnDate);
    e.DateFilterAccess = DateFilterFileAccess;
    e.DateFilterKind = DateFilterKind;
    e.FirstDate = DateFilterFirstDate;
    e.SecondDate = DateFilterSecondDate;
    e.SizeFilterOn = FilterKind.contains(fkFilterOnSize);
    e.SizeFilterKind = SizeFilterKind;
    e.SizeFilterSize = SizeFilterSize;
    e.OnFileFinded = OnFileFinded;
    e.OnChangeFolder = OnChangeFolder;
    e.OnStatistics = OnStatistics;
    return e.Execute();
}
