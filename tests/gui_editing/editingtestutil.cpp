#include "editingtestutil.h"

#include "options/options.h"
#include "support/testenv.h"

#include <QFileDialog>
#include <QFileInfo>

ScopedLanguage::ScopedLanguage(const QString &code)
{
    TLanguageOptions &lang = Options().Language;
    lang.LanguageOfInterface = code;
    EXPECT_TRUE(LoadTranslationFile(TestEnv::SourceDir() + QStringLiteral("/data/transl.dt"), lang));
}

ScopedLanguage::~ScopedLanguage()
{
    Options().Language.LanguageOfInterface = QStringLiteral("en");
    Options().Language.iLanguage = 0;
}

int AnswerFileDialog(QDialog &dialog, const QString &path)
{
    auto *fd = qobject_cast<QFileDialog *>(&dialog);
    EXPECT_NE(fd, nullptr) << dialog.metaObject()->className();
    if (!fd)
        return QDialog::Rejected;
    if (fd->fileMode() == QFileDialog::Directory) {
        fd->setDirectory(path);
        fd->selectFile(path);
    } else {
        fd->setDirectory(QFileInfo(path).absolutePath());
        fd->selectFile(QFileInfo(path).fileName());
    }
    // QFileDialog::accept() is protected; it checks the choice like its OK button.
    static_cast<QDialog *>(fd)->accept();
    return fd->result();
}
