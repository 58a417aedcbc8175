#include "AtomicFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include <unistd.h>

using namespace joulemap;

namespace {

std::string read(std::istream& in) { return {std::istreambuf_iterator<char>(in), {}}; }

std::vector<std::string> names(const std::filesystem::path& dir) {
    std::vector<std::string> result;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) result.push_back(entry.path().filename());
    return result;
}

}  // namespace

TEST(AtomicFile, ReplacesTheWholeFileWhileAReaderKeepsTheOldOne) {
    const auto dir = std::filesystem::temp_directory_path() / ("joulemap-atomic-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "joulemap.prom";

    std::string error;
    ASSERT_TRUE(writeFileAtomically(file, "old\n", &error)) << error;
    std::ifstream reader(file);
    ASSERT_TRUE(writeFileAtomically(file, "new\n", &error)) << error;
    // A truncate-and-write would have emptied what the reader holds.
    EXPECT_EQ(read(reader), "old\n");
    std::ifstream fresh(file);
    EXPECT_EQ(read(fresh), "new\n");
    EXPECT_EQ(names(dir), std::vector<std::string>{"joulemap.prom"});  // no temporary left

    const auto missing = dir / "missing" / "joulemap.prom";
    EXPECT_FALSE(writeFileAtomically(missing, "x", &error));
    EXPECT_NE(error.find((dir / "missing").string()), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    EXPECT_EQ(names(dir), std::vector<std::string>{"joulemap.prom"});

    // A folder standing where the file belongs: the rename is refused and the temporary removed.
    std::filesystem::create_directories(dir / "taken" / "inside");
    EXPECT_FALSE(writeFileAtomically(dir / "taken", "x", nullptr));
    EXPECT_EQ(names(dir).size(), 2u);
    std::filesystem::remove_all(dir);
}
