#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace joulemap::test {

inline std::filesystem::path sysfsFixture(const std::string& name) {
    return std::filesystem::path(JOULEMAP_FIXTURES_DIR) / "sysfs" / name;
}

// A writable sysfs tree in a fresh temporary directory (a copy of a fixture tree, if named),
// removed when the test ends. Values are written the way the kernel prints them.
struct FakeSysfs {
    std::filesystem::path root;

    explicit FakeSysfs(const std::string& fixture = {}) {
        std::string dir = (std::filesystem::temp_directory_path() / "joulemap-sysfs-XXXXXX").string();
        root = ::mkdtemp(dir.data());
        if (!fixture.empty())
            std::filesystem::copy(sysfsFixture(fixture), root, std::filesystem::copy_options::recursive);
    }
    ~FakeSysfs() { std::filesystem::remove_all(root); }

    void write(const std::string& relative, const std::string& value) const {
        std::filesystem::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << value << '\n';
    }
    void remove(const std::string& relative) const { std::filesystem::remove_all(root / relative); }
};

}  // namespace joulemap::test
