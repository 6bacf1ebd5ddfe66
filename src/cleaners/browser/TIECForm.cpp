#include "cleaners/browser/TIECForm.h"

namespace {

TBrowserCleanForm::Texts cacheTexts()
{
    return {QStringLiteral(" Очистка кеша"),
            QStringLiteral("Очистка кеша :"),
            QStringLiteral("Очистка кеша : "),
            QStringLiteral("Очистка кеша завершена"),
            BrowserCleanJob::Store::Cache,
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
}

void TIECForm::ieSearchFileFinded(const core::Finding& FileFinded)
{
    addFound(FileFinded);
}

void TIECForm::fileFound(const core::Finding& found)
{
    ieSearchFileFinded(found);
}
