#include "cleaners/browser/TIECookForm.h"

namespace {

TBrowserCleanForm::Texts cookieTexts()
{
    return {QStringLiteral(" Очистка Cookies"),
            QStringLiteral("Очистка Cookies :"),
            QStringLiteral("Очистка Cookies : "),
            QStringLiteral("Cookies удалены"),
            BrowserCleanJob::Store::Cookies,
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
}

void TIECookForm::CookieSearchFileFinded(const core::Finding& FileFinded)
{
    addFound(FileFinded);
}

void TIECookForm::fileFound(const core::Finding& found)
{
    CookieSearchFileFinded(found);
}
