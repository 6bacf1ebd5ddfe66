#include "cleaners/browser/TIECookForm.h"

#include "cleaners/browser/TEasyFileSearch.h"

namespace {

TBrowserCleanForm::Texts cookieTexts()
{
    return {QStringLiteral(" Очистка Cookies"),
            QStringLiteral("Очистка Cookies :"),
            QStringLiteral("Очистка Cookies : "),
            QStringLiteral("Cookies удалены"),
            QStringLiteral("Cookies"),
            "IECookiesList",
            "CookieSearch",
            QStringLiteral("cookies.htm")};
}

} // namespace

TIECookForm::TIECookForm(QWidget* parent)
    : TBrowserCleanForm(cookieTexts(), parent)
    , IECookiesList(list_)
    , CookieSearch(search_)
{
    setObjectName(QStringLiteral("TIECookForm"));
    CookieSearch->SearchOptions = {okIncludeSubfolder, okLookForReadOnlyFile, okLookForArchiveFile};
    CookieSearch->FilterKind = {};
    CookieSearch->setFilter(QStringLiteral("*.txt"));
    CookieSearch->OnFileFinded = [this](const TFileInformations& f) { CookieSearchFileFinded(f); };
}

void TIECookForm::CookieSearchFileFinded(const TFileInformations& FileFinded)
{
    addFound(FileFinded);
}
