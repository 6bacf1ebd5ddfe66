#include "cleaners/browser/TIECForm.h"

#include "cleaners/browser/TEasyFileSearch.h"

namespace {

TBrowserCleanForm::Texts cacheTexts()
{
    return {QStringLiteral(" Очистка кеша"),
            QStringLiteral("Очистка кеша :"),
            QStringLiteral("Очистка кеша : "),
            QStringLiteral("Очистка кеша завершена"),
            QStringLiteral("Cache"),
            "IECacheList",
            "ieSearch",
            QStringLiteral("cache.htm")};
}

} // namespace

TIECForm::TIECForm(QWidget* parent)
    : TBrowserCleanForm(cacheTexts(), parent)
    , IECacheList(list_)
    , ieSearch(search_)
{
    setObjectName(QStringLiteral("TIECForm"));
    ieSearch->SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForDirectory, okLookForArchiveFile};
    ieSearch->FilterKind = {};
    ieSearch->setFilter(QStringLiteral("*.*"));
    ieSearch->OnFileFinded = [this](const TFileInformations& f) { ieSearchFileFinded(f); };
}

void TIECForm::ieSearchFileFinded(const TFileInformations& FileFinded)
{
    addFound(FileFinded);
}
