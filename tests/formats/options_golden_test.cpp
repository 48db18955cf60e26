// The options file of every format version the reader takes, as committed
// golden files: each loads with the fields of its version, and the writer
// reproduces the file of the current version byte for byte.
#include "goldentest.h"

#include "options/options.h"

using namespace GoldenTest;

namespace {

QString OptionsFile(int version)
{
    return GoldenPath(QStringLiteral("options/options-v%1.qvo").arg(version));
}

class OptionsGolden : public GoldenFiles, public ::testing::WithParamInterface<int> {};

TEST_P(OptionsGolden, LoadsEveryFieldOfItsVersion)
{
    TOptions options;
    ASSERT_TRUE(LoadOptions(options, OptionsFile(GetParam())));
    ExpectSameOptions(options, Golden::OptionsAsReadFrom(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Versions, OptionsGolden, ::testing::Range(1, Golden::kOptionsVersion + 1),
                         [](const auto &i) { return "v" + std::to_string(i.param); });

TEST_F(GoldenFiles, OptionsWriterReproducesTheCurrentVersion)
{
    const QString path = Dir() + QStringLiteral("/options.qvo");
    ASSERT_TRUE(SaveOptions(Golden::Options(), path));
    ExpectSameBytes(Bytes(path), Bytes(OptionsFile(Golden::kOptionsVersion)));
}

} // namespace
