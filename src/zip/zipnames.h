#pragma once
// Entry names: how the writer stores them and how the reader decides
// whether a name read from an archive may be extracted at all.
#include <QList>
#include <QRegularExpression>
#include <QString>

namespace ZipNames {

// The name as the writer stores it: components separated by "/", without
// leading separators, empty or "." components; a folder name ends with "/".
// Returns an empty string when nothing is left or a component is "..".
QString NormalizeForWriting(const QString &name, bool folder);

// The relative path below the output folder that an entry name read from an
// archive stands for ("/"-separated, without a trailing "/"), or an empty
// string with `reason` when the name must be refused: an absolute name
// (leading "/" or "\"), a drive ("C:"), a ".." component (with either
// separator), a NUL or nothing left at all.
QString SafeRelativePath(const QString &entryName, QString *reason);

} // namespace ZipNames

// The "no compression" rule: every non-empty item of a ";"-separated list
// (such as "zip;rar;7z;jpg") becomes the file mask "*." + item, matched
// against a file's name without regard to case, with "*" and "?" as
// wildcards.
class ExtensionMatcher {
public:
    ExtensionMatcher() = default;
    explicit ExtensionMatcher(const QString &list);
    bool matches(const QString &fileName) const;

private:
    QList<QRegularExpression> m_masks;
};
