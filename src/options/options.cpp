#include "options/options.h"

#include "base/appstate.h"

TOptions &Options()
{
    static TOptions options;
    return options;
}

QString Translate(const QString &text)
{
    if (AppState::ApplicationClosing)
        return text;
    return TranslateWith(Options().Language, text);
}
