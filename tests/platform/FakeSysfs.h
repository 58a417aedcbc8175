#pragma once

#include "core/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace joulemap::test {

inline std::filesystem::path sysfsFixture(const std::string& name) {
    return std::filesystem::path(JOULEMAP_FIXTURES_DIR) / "sysfs" / name;
}

// A writable sysfs tree in a fresh folder (a copy of a fixture tree, if named). Values are written
// the way the kernel prints them.
struct FakeSysfs {
    TempDir dir{"sysfs"};
    const std::filesystem::path& root = dir.path();

    explicit FakeSysfs(const std::string& fixture = {}) {
        if (!fixture.empty())
            std::filesystem::copy(sysfsFixture(fixture), root, std::filesystem::copy_options::recursive);
    }

    void write(const std::string& relative, const std::string& value) const {
        std::filesystem::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << value << '\n';
    }
    // Each "file=value" is written, each "file" without a value removed.
    void set(const std::string& folder, const std::vector<std::string>& assignments) const {
        for (const std::string& a : assignments) {
            const auto equals = a.find('=');
            if (equals == std::string::npos)
                remove(folder + a);
            else
                write(folder + a.substr(0, equals), a.substr(equals + 1));
        }
    }
    void remove(const std::string& relative) const { std::filesystem::remove_all(root / relative); }
};

}  // namespace joulemap::test
