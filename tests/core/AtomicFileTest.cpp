#include "AtomicFile.h"

#include "TestSupport.h"

using namespace joulemap;

namespace {

std::vector<std::string> names(const std::filesystem::path& dir) {
    std::vector<std::string> result;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) result.push_back(entry.path().filename());
    return result;
}

}  // namespace

TEST(AtomicFile, ReplacesTheWholeFileWhileAReaderKeepsTheOldOne) {
    const TempDir temp("atomic");
    const auto& dir = temp.path();
    const auto file = dir / "joulemap.prom";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(file, "old\n", &error)) << error;
    std::ifstream reader(file);
    ASSERT_TRUE(writeFileAtomically(file, "new\n", &error)) << error;
    // A truncate-and-write would have emptied what the reader holds.
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), "old\n");
    EXPECT_EQ(readFile(file), "new\n");
    EXPECT_EQ(names(dir), std::vector<std::string>{"joulemap.prom"});  // no temporary left

    EXPECT_FALSE(writeFileAtomically(dir / "missing" / "joulemap.prom", "x", &error));
    EXPECT_NE(error.find((dir / "missing").string()), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    // A folder standing where the file belongs: the rename is refused and the temporary removed.
    std::filesystem::create_directories(dir / "taken" / "inside");
    EXPECT_FALSE(writeFileAtomically(dir / "taken", "x", nullptr));
    EXPECT_EQ(names(dir).size(), 2u);
}
