#pragma once
// The pages of the program's web site that the Help menu and the welcome
// window open in the default browser.
#include <QString>
#include <QUrl>
#include <functional>

enum class HelpPage { UserGuide, Support, ContactUs };

// https://<site>/manual/index.html, https://<site>[/<code>]/support.html,
// https://<site>[/<code>]/contact.html: the language segment is "/" and the
// code when the language is not English.
QUrl HelpPageUrl(HelpPage page, const QString &languageCode);

// Opens a URL in the default browser; tests replace the opener to record it.
bool OpenUrlInBrowser(const QUrl &url);
void SetUrlOpenerForTests(std::function<bool(const QUrl &)> opener);
