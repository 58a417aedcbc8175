#include "ProcessPowerService.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>

namespace joulemap::ProcessPowerService {

namespace {

constexpr double kSecondsPerDay = 86400;
constexpr double kSecondsPerUnit = 60;  // minutes -> seconds, hours -> minutes
// Below half a per cent of the applications' time an application is noise, not a consumer.
constexpr double kMinAppFraction = 0.005;
constexpr size_t kShortNameMaxChars = 18;
constexpr size_t kShortNameKeptChars = 17;
constexpr const char* kEllipsis = "…";
constexpr const char* kUnnamed = "其他";
constexpr const char* kUnknownPath = "unknown";

// Splits at any of the separators, dropping empty pieces.
template <typename Visit>
void forEachPiece(std::string_view text, std::string_view separators, Visit visit) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) visit(text.substr(start, end - start));
        start = end + 1;
    }
}

std::optional<double> toDouble(std::string_view piece) {
    double value = 0;
    const auto [ptr, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    // "nan" and "inf" convert, but a non-finite time would poison every sum it enters.
    if (ec != std::errc() || ptr != piece.data() + piece.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

double foldClock(std::string_view text) {
    double seconds = 0;
    forEachPiece(text, ":-", [&](std::string_view piece) {
        if (const auto value = toDouble(piece)) seconds = seconds * kSecondsPerUnit + *value;
    });
    return seconds;
}

std::string lowercased(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool occurs(std::string_view lower, std::string_view needle) {
    return lower.find(needle) != std::string_view::npos;
}

bool anyOccurs(std::string_view lower, const std::vector<std::string>& needles) {
    return std::any_of(needles.begin(), needles.end(),
                       [&](const std::string& n) { return occurs(lower, n); });
}

bool isUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Members decoded as absent when missing or null; a present member of another type fails the file.
bool decodeList(const nlohmann::json& object, const char* key, std::optional<std::vector<std::string>>& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return true;
    if (!it->is_array()) return false;
    std::vector<std::string> list;
    list.reserve(it->size());
    for (const auto& element : *it) {
        if (!element.is_string()) return false;
        list.push_back(element.get<std::string>());
    }
    out = std::move(list);
    return true;
}

std::string_view lastComponent(std::string_view path) {
    std::string_view last;
    forEachPiece(path, "/", [&](std::string_view piece) { last = piece; });
    return last;
}

// A session daemon is named by its executable, possibly with a suffix (kwin_wayland,
// pipewire-pulse); matching the whole path would catch /home/me/xorg-notes/tool.
bool isSessionDaemon(std::string_view lowerPath) {
    static constexpr std::array<std::string_view, 9> kDaemons{"xorg",        "xwayland",    "gnome-shell",
                                                              "kwin",        "dbus-daemon", "pipewire",
                                                              "wireplumber", "pulseaudio",  "dbus-broker"};
    const std::string_view base = lastComponent(lowerPath);
    return std::any_of(kDaemons.begin(), kDaemons.end(), [&](std::string_view daemon) {
        if (!base.starts_with(daemon)) return false;
        return base.size() == daemon.size() || base[daemon.size()] == '-' || base[daemon.size()] == '_';
    });
}

}  // namespace

double parseTime(std::string_view text) {
    // ps prints [[dd-]hh:]mm:ss.cc; the days field is not a multiple of 60 of the hours.
    const size_t hyphen = text.find('-');
    if (hyphen == std::string_view::npos) return foldClock(text);
    return foldClock(text.substr(0, hyphen)) * kSecondsPerDay + foldClock(text.substr(hyphen + 1));
}

Snapshot parseSnapshot(std::string_view psText) {
    Snapshot snapshot;
    std::vector<std::string_view> pieces;
    forEachPiece(psText, "\n", [&](std::string_view line) {
        pieces.clear();
        forEachPiece(line, " ", [&](std::string_view piece) { pieces.push_back(piece); });
        if (pieces.size() < 3) return;
        int64_t pid = 0;
        const auto [ptr, ec] = std::from_chars(pieces[0].data(), pieces[0].data() + pieces[0].size(), pid);
        if (ec != std::errc() || ptr != pieces[0].data() + pieces[0].size()) return;
        std::string path(pieces[2]);
        for (size_t i = 3; i < pieces.size(); ++i) {
            path += ' ';
            path += pieces[i];
        }
        snapshot[pid] = {parseTime(pieces[1]), std::move(path)};
    });
    return snapshot;
}

const std::vector<NameRule>& defaultRules() {
    static const std::vector<NameRule> rules = [] {
        const auto rule = [](std::vector<std::string> keywords, std::string name) {
            NameRule r;
            r.keywords = std::move(keywords);
            r.name = std::move(name);
            return r;
        };
        return std::vector<NameRule>{
            rule({"dingtalk", "dingdrive"}, "钉钉"),
            rule({"wechat", "微信"}, "微信"),
            rule({"brave"}, "Brave"),
            rule({"chrome"}, "Chrome"),
            rule({"cursor"}, "Cursor"),
        };
    }();
    return rules;
}

std::optional<std::vector<NameRule>> decodeRules(std::string_view json) {
    const auto document = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
    if (document.is_discarded() || !document.is_array()) return std::nullopt;
    std::vector<NameRule> rules;
    rules.reserve(document.size());
    for (const auto& element : document) {
        if (!element.is_object()) return std::nullopt;
        const auto name = element.find("name");
        if (name == element.end() || !name->is_string()) return std::nullopt;
        NameRule rule;
        rule.name = name->get<std::string>();
        if (!decodeList(element, "keywords", rule.keywords) ||
            !decodeList(element, "allKeywords", rule.allKeywords) ||
            !decodeList(element, "anyKeywords", rule.anyKeywords) ||
            !decodeList(element, "excludeKeywords", rule.excludeKeywords) ||
            !decodeList(element, "pathContains", rule.pathContains)) {
            return std::nullopt;
        }
        rules.push_back(std::move(rule));
    }
    return rules;
}

std::vector<NameRule> loadRules(const std::vector<std::filesystem::path>& candidates) {
    for (const auto& candidate : candidates) {
        std::ifstream file(candidate, std::ios::binary);
        if (!file) continue;
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (file.bad()) continue;
        if (auto rules = decodeRules(text); rules && !rules->empty()) return std::move(*rules);
    }
    return defaultRules();
}

bool ruleMatches(const NameRule& rule, std::string_view lowerPath) {
    if (rule.excludeKeywords && anyOccurs(lowerPath, *rule.excludeKeywords)) return false;
    const auto& anyList = rule.keywords ? rule.keywords : rule.anyKeywords;
    const bool anyOk = !anyList || anyList->empty() || anyOccurs(lowerPath, *anyList);
    if (rule.pathContains) {
        if (!rule.pathContains->empty() && !anyOccurs(lowerPath, *rule.pathContains)) return false;
        return anyOk;
    }
    const bool allOk =
        !rule.allKeywords || std::all_of(rule.allKeywords->begin(), rule.allKeywords->end(),
                                         [&](const std::string& k) { return occurs(lowerPath, k); });
    return anyOk && allOk;
}

std::string displayName(std::string_view path, const std::vector<NameRule>& rules) {
    const std::string lower = lowercased(path);
    for (const auto& rule : rules) {
        if (ruleMatches(rule, lower)) return rule.name;
    }
    constexpr std::string_view kApplications = "/Applications/";
    if (const size_t at = path.find(kApplications); at != std::string_view::npos) {
        const std::string_view rest = path.substr(at + kApplications.size());
        if (const size_t app = rest.find(".app"); app != std::string_view::npos && app > 0) {
            return std::string(rest.substr(0, app));
        }
    }
    return shorten(path);
}

bool isSystemProcess(std::string_view path) {
    static constexpr std::array<std::string_view, 11> kMacMarkers{
        "/system/",         "/usr/libexec/",    "/usr/sbin/",  "/usr/local/libexec/",
        "/system/library/", "/library/system/", "kernel_task", "windowserver",
        "launchd",          "systemstats",      "loginwindow"};
    // Their Linux counterparts: init and its helpers, administrative binaries, the X server.
    static constexpr std::array<std::string_view, 4> kLinuxMarkers{"/usr/lib/systemd/", "/lib/systemd/",
                                                                   "/sbin/", "/usr/lib/xorg/"};
    const std::string lower = lowercased(path);
    const auto occursIn = [&](std::string_view marker) { return occurs(lower, marker); };
    if (std::any_of(kMacMarkers.begin(), kMacMarkers.end(), occursIn) ||
        std::any_of(kLinuxMarkers.begin(), kLinuxMarkers.end(), occursIn)) {
        return true;
    }
    // Kernel threads have no executable; the Linux lister names them "[kworker/0:1]".
    if (path.size() >= 2 && path.front() == '[' && path.back() == ']') return true;
    return isSessionDaemon(lower);
}

std::string shorten(std::string_view path) {
    std::string_view last = lastComponent(path);
    if (last.empty()) last = path;
    if (last.empty()) return kUnnamed;
    // Count code points, so a Chinese name is cut after 17 characters rather than 17 bytes.
    size_t chars = 0;
    size_t keptBytes = last.size();
    for (size_t i = 0; i < last.size(); ++i) {
        if (isUtf8Continuation(static_cast<unsigned char>(last[i]))) continue;
        if (chars == kShortNameKeptChars) keptBytes = i;
        ++chars;
    }
    if (chars <= kShortNameMaxChars) return std::string(last);
    return std::string(last.substr(0, keptBytes)) + kEllipsis;
}

std::vector<AppShare> sharesBetween(const Snapshot& a, const Snapshot& b,
                                    const std::vector<NameRule>& rules) {
    if (a.empty() || b.empty()) return {};

    // Walk the processes by id so that sums and the order of equal shares do not depend on hashing.
    std::vector<std::pair<int64_t, double>> deltas;
    for (const auto& [pid, entry] : b) {
        const auto before = a.find(pid);
        if (before == a.end()) continue;
        const double delta = entry.first - before->second.first;
        if (delta > 0) deltas.emplace_back(pid, delta);
    }
    std::sort(deltas.begin(), deltas.end());
    double total = 0;
    for (const auto& [pid, delta] : deltas) total += delta;
    if (!(total > 0)) return {};

    double system = 0;
    std::vector<std::pair<std::string, double>> buckets;
    std::unordered_map<std::string, size_t> bucketIndex;
    for (const auto& [pid, delta] : deltas) {
        const auto entry = b.find(pid);
        const std::string_view path =
            entry != b.end() ? std::string_view(entry->second.second) : kUnknownPath;
        if (isSystemProcess(path)) {
            system += delta;
            continue;
        }
        std::string name = displayName(path, rules);
        const auto [it, inserted] = bucketIndex.try_emplace(name, buckets.size());
        if (inserted) buckets.emplace_back(std::move(name), 0.0);
        buckets[it->second].second += delta;
    }

    double apps = 0;
    for (const auto& bucket : buckets) apps += bucket.second;
    if (!(system + apps > 0)) return {};

    std::vector<AppShare> shares;
    for (auto& [name, value] : buckets) {
        const double fraction = value / apps;
        if (fraction > kMinAppFraction) shares.push_back({std::move(name), std::nullopt, fraction});
    }
    std::stable_sort(shares.begin(), shares.end(),
                     [](const AppShare& x, const AppShare& y) { return x.fraction > y.fraction; });
    if (apps / (system + apps) < 1)
        shares.push_back({kSystemShareName, std::nullopt, system / (system + apps)});
    return shares;
}

}  // namespace joulemap::ProcessPowerService
