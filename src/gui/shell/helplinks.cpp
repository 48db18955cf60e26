#include "gui/shell/helplinks.h"

#include <QDesktopServices>

namespace {
const char *const kSite = "https://www.quorvane.org";

std::function<bool(const QUrl &)> &opener()
{
    static std::function<bool(const QUrl &)> f;
    return f;
}
} // namespace

QUrl HelpPageUrl(HelpPage page, const QString &languageCode)
{
    const QString site = QLatin1String(kSite);
    if (page == HelpPage::UserGuide)
        return QUrl(site + QStringLiteral("/manual/index.html"));
    const QString language =
        languageCode.isEmpty() || languageCode == QLatin1String("en") ? QString() : QLatin1Char('/') + languageCode;
    return QUrl(site + language +
                (page == HelpPage::Support ? QStringLiteral("/support.html") : QStringLiteral("/contact.html")));
}

bool OpenUrlInBrowser(const QUrl &url)
{
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

void SetUrlOpenerForTests(std::function<bool(const QUrl &)> f)
{
    opener() = std::move(f);
}
