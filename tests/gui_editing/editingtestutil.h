#pragma once
// Shared helpers of the editing-window tests: the interface language,
// widget lookup and answering the program's file dialogs.
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

class QDialog;

// Loads the shipped translation table and selects `code` ("en", "de", ...);
// English again when it goes out of scope.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const QString &code);
    ~ScopedLanguage();
};

template <typename T>
T *Child(QWidget &parent, const char *name)
{
    T *w = parent.findChild<T *>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << "no child " << name;
    return w;
}

// A modal step that answers a QFileDialog with `path` (a folder for a
// folder picker, a file for a save dialog) and accepts it.
int AnswerFileDialog(QDialog &dialog, const QString &path);
