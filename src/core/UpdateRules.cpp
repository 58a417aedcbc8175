#include "UpdateRules.h"

#include <algorithm>
#include <cctype>

namespace joulemap {

namespace {

std::string_view trimmedSpacesAndTabs(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool isLoopbackIpv4(std::string_view host) {
    // Four dotted decimal parts, the first 127.
    int parts = 0;
    size_t start = 0;
    while (start <= host.size()) {
        const size_t end = std::min(host.find('.', start), host.size());
        const std::string_view part = host.substr(start, end - start);
        if (part.empty() || part.size() > 3 ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            std::stoi(std::string(part)) > 255) {
            return false;
        }
        if (parts == 0 && part != "127") return false;
        ++parts;
        start = end + 1;
    }
    return parts == 4;
}

}  // namespace

std::optional<std::string> mountPointFromAttachOutput(std::string_view toolOutput) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < toolOutput.size()) {
        const size_t end = std::min(toolOutput.find('\n', start), toolOutput.size());
        if (end > start) lines.push_back(toolOutput.substr(start, end - start));
        start = end + 1;
    }
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const std::string_view line = trimmedSpacesAndTabs(*it);
        if (const auto at = line.find(kMountPointMarker); at != std::string_view::npos) {
            return std::string(line.substr(at));
        }
    }
    return std::nullopt;
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::optional<std::string> bundleEntryName(const std::vector<std::string>& entryNames) {
    for (const auto& name : entryNames) {
        if (name.size() > kBundleSuffix.size() && name.ends_with(kBundleSuffix) && isPlainFileName(name)) {
            return name;
        }
    }
    return std::nullopt;
}

bool isPermittedDownloadAddress(std::string_view scheme, std::string_view host) {
    if (equalsIgnoringCase(scheme, "https")) return !host.empty();
    if (!equalsIgnoringCase(scheme, "http")) return false;
    return equalsIgnoringCase(host, "localhost") || host == "::1" || isLoopbackIpv4(host);
}

bool isInsideBundle(const std::filesystem::path& executable, const std::filesystem::path& bundle) {
    const auto exe = executable.lexically_normal();
    auto root = bundle.lexically_normal();
    if (!root.has_filename()) root = root.parent_path();  // a trailing "/" would add an empty element
    if (root.empty() || !exe.is_absolute() || !root.is_absolute()) return false;
    auto e = exe.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++e) {
        if (e == exe.end() || *e != *r) return false;
    }
    return e != exe.end();
}

}  // namespace joulemap
