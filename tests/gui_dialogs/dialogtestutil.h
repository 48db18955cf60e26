#pragma once
// Shared set-up of the dialog tests: the interface language and widget lookup.
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// Loads the shipped translation table and selects `code` ("en", "de", ...).
// Restores English when it goes out of scope.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const QString &code);
    ~ScopedLanguage();
};

// The child of `parent` with this object name and type; fails the test when
// there is none.
template <typename T>
T *Child(QWidget &parent, const char *name)
{
    T *w = parent.findChild<T *>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << "no child " << name;
    return w;
}
