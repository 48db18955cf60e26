#pragma once
// Readable names and printouts for the cases of parameterised tests. A
// case's name ends the test name that GoogleTest and ctest show
// ("Kinds/DamagedArchive.IsRefused/BothSizesSmaller"), and may hold only
// letters, digits and '_'; its printout is what a failure and the test
// list show as "GetParam() = ..." (without a PrintTo, a dump of its bytes).
//
//   INSTANTIATE_TEST_SUITE_P(Cases, BadArguments, ::testing::Values(...),
//                            [](const auto &i) { return TestNames::Words(i.param.what); });
//   void PrintTo(const BadArgs &c, std::ostream *os) { *os << TestNames::Quoted(c.what); }
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

namespace TestNames {

// Letters and digits as they stand, every run of other characters one
// '_', none at either end: "a source file went away" -> "a_source_file_went_away".
// "empty" for a text without letters or digits.
std::string Words(std::string_view text);

// For texts whose punctuation is the point (command-line words, paths,
// masks): every other character spelled out, one word each: "-backup" ->
// "dash_backup", "/a/x.txt" -> "slash_a_slash_x_dot_txt", "é" -> "U00E9";
// blanks separate words. "empty" for an empty text.
std::string Spelled(std::string_view utf8);

// A text in double quotes with its control characters escaped, for a PrintTo;
// "nullptr" for a null pointer.
std::string Quoted(std::string_view utf8);
std::string Quoted(const char *utf8);
std::string Quoted(const QString &text);
// The texts in braces: {"a", "b"}.
std::string Quoted(const QStringList &texts);

} // namespace TestNames
