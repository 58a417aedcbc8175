#include "linux/SysfsFile.h"

#include "FakeSysfs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace joulemap {
namespace {

namespace fs = std::filesystem;
using test::FakeSysfs;

TEST(SysfsFile, OnlyRegularFilesWithinTheCapAreRead) {
    FakeSysfs tree;
    // A FIFO without a writer would block a plain open for ever; /dev/zero never ends.
    ASSERT_EQ(::mkfifo((tree.root / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", tree.root / "endless");
    tree.write("at-cap", std::string(SysfsFile::kMaxAttributeBytes - 1, '7'));  // and the line break
    tree.write("over-cap", std::string(SysfsFile::kMaxAttributeBytes, '7'));
    tree.write("value", "42");
    fs::create_symlink(tree.root / "value", tree.root / "link");

    struct Case {
        const char* name;
        std::optional<size_t> length;
    };
    for (const auto& [name, length] : {Case{"fifo", std::nullopt}, Case{"endless", std::nullopt},
                                       Case{"over-cap", std::nullopt}, Case{"missing", std::nullopt},
                                       Case{"at-cap", SysfsFile::kMaxAttributeBytes - 1}, Case{"link", 2}}) {
        const auto text = SysfsFile::readText(tree.root / name);
        EXPECT_EQ(text ? std::optional(text->size()) : std::nullopt, length) << name;
    }
    EXPECT_EQ(SysfsFile::readInt(tree.root / "link"), 42);
    // procfs reports size 0 for files that are not empty; the size must not be trusted.
    EXPECT_TRUE(SysfsFile::readBounded("/proc/self/stat", 4096).value_or("").starts_with(std::to_string(::getpid())));
}

}  // namespace
}  // namespace joulemap
