#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// Helpers shared by the fuzz targets: one input split into several texts, and a scratch folder
// for the sources that read procfs or sysfs files rather than text.
namespace joulemap::fuzz {

inline std::string_view asText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A NUL byte never occurs in the texts themselves, so it separates the parts of one input; an input
// with fewer separators simply gives fewer parts.
inline std::vector<std::string_view> splitParts(std::string_view text, char separator = '\0') {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string_view::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

// A folder of its own under the temporary directory for the life of the process (one static
// instance per target, never copied). A file that cannot be written simply reads as missing.
class ScratchTree {
public:
    ScratchTree() { std::filesystem::create_directories(root_, ec_); }
    ~ScratchTree() { std::filesystem::remove_all(root_, ec_); }

    const std::filesystem::path& root() const { return root_; }

    void write(const std::filesystem::path& relative, std::string_view content) const {
        std::filesystem::create_directories((root_ / relative).parent_path(), ec_);
        std::ofstream(root_ / relative, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    void remove(const std::filesystem::path& relative) const {
        std::filesystem::remove(root_ / relative, ec_);
    }

private:
    mutable std::error_code ec_;
    std::filesystem::path root_ =
        std::filesystem::temp_directory_path(ec_) / ("joulemap-fuzz-" + std::to_string(::getpid()));
};

}  // namespace joulemap::fuzz
