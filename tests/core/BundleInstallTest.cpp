#include "BundleInstall.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace joulemap {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

class BundleInstall : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("bundle-install-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::remove_all(source.parent_path());
        destination = root / "Applications" / "Joulemap.app";
        writeFile(destination / "bin" / "joulemap", "old");
        writeFile(source / "bin" / "joulemap", "new");
        writeFile(source / "share" / "joulemap" / "AppNameMap.json", "[]");
        fs::permissions(source / "bin" / "joulemap", fs::perms::owner_all);
        fs::create_symlink("bin/joulemap", source / "run");
    }
    void TearDown() override {
        fs::remove_all(root);
        fs::remove_all(source.parent_path());
    }

    fs::path root;
    fs::path source = fs::temp_directory_path() / ("bundle-source-" + std::to_string(::getpid())) / "Joulemap.app";
    fs::path destination;
};

TEST_F(BundleInstall, ReplacesTheOldBundleWithAFaithfulCopy) {
    ASSERT_EQ(replaceBundle(source, destination), std::nullopt);
    EXPECT_EQ(contents(destination / "bin" / "joulemap"), "new");
    EXPECT_EQ(contents(destination / "share" / "joulemap" / "AppNameMap.json"), "[]");
    EXPECT_EQ(fs::status(destination / "bin" / "joulemap").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    EXPECT_EQ(fs::read_symlink(destination / "run"), "bin/joulemap");
    // Nothing but the bundle is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(destination.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(BundleInstall, AFailedCopyLeavesTheOldBundleWorking) {
    // A pipe cannot be copied as a file, so the copy fails half-way.
    ASSERT_EQ(::mkfifo((source / "share" / "pipe").c_str(), 0600), 0);
    const auto error = replaceBundle(source, destination);
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->empty());
    EXPECT_EQ(contents(destination / "bin" / "joulemap"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(destination.parent_path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace joulemap
