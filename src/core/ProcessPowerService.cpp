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
constexpr double kPercent = 100;
// Bounds the walk up a tree that changed while it was listed (an id may even point at itself).
constexpr int kMaxAncestorDepth = 64;

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
        ProcessRecord record;
        record.cpuSeconds = parseTime(pieces[1]);
        record.system = isSystemProcess(path);
        record.path = std::move(path);
        snapshot[pid] = std::move(record);
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
    static constexpr std::array<std::string_view, 11> kMarkers{
        "/system/",         "/usr/libexec/",    "/usr/sbin/",  "/usr/local/libexec/",
        "/system/library/", "/library/system/", "kernel_task", "windowserver",
        "launchd",          "systemstats",      "loginwindow"};
    const std::string lower = lowercased(path);
    return std::any_of(kMarkers.begin(), kMarkers.end(),
                       [&](std::string_view marker) { return occurs(lower, marker); });
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

namespace {

bool isSameProcess(const ProcessRecord& before, const ProcessRecord& after) {
    // Without start times (macOS) a reused id shows as processor time that went down.
    return before.startTicks == after.startTicks && before.cpuSeconds <= after.cpuSeconds;
}

// What each process of b spent in the interval, itself and through the children it reaped.
std::vector<std::pair<int64_t, double>> intervalSeconds(const Snapshot& a, const Snapshot& b) {
    const auto survives = [&](int64_t pid) {
        const auto before = a.find(pid);
        const auto after = b.find(pid);
        return before != a.end() && after != b.end() && isSameProcess(before->second, after->second);
    };
    // A child seen in a that is gone from b was reaped (if by anyone) with all of its lifetime;
    // its parent's reaped time then grew by what a had already counted too. When the parent is
    // gone as well, both arrive in the reaped time of the first ancestor that is still there.
    std::unordered_map<int64_t, double> countedOfGone;
    for (const auto& [pid, before] : a) {
        if (survives(pid)) continue;
        int64_t ancestor = before.parentPid;
        for (int depth = 0; ancestor != 0 && depth < kMaxAncestorDepth && !survives(ancestor); ++depth) {
            const auto up = a.find(ancestor);
            ancestor = up != a.end() ? up->second.parentPid : 0;
        }
        if (ancestor != 0) countedOfGone[ancestor] += before.cpuSeconds + before.reapedChildSeconds;
    }

    std::vector<std::pair<int64_t, double>> spent;
    for (const auto& [pid, after] : b) {
        double own = after.cpuSeconds;
        double reaped = after.reapedChildSeconds;
        const auto before = a.find(pid);
        if (before != a.end() && isSameProcess(before->second, after)) {
            own -= before->second.cpuSeconds;
            reaped -= before->second.reapedChildSeconds;
            if (const auto gone = countedOfGone.find(pid); gone != countedOfGone.end()) reaped -= gone->second;
        }
        // A child may have moved to another reaper before it ended; it is then not ours to subtract.
        const double seconds = std::max(own, 0.0) + std::max(reaped, 0.0);
        // A garbled listing can give a time no processor has spent; it would turn every share into NaN.
        if (seconds > 0 && std::isfinite(seconds)) spent.emplace_back(pid, seconds);
    }
    // By id, so that sums and the order of equal shares do not depend on hashing.
    std::sort(spent.begin(), spent.end());
    return spent;
}

}  // namespace

std::vector<AppShare> sharesBetween(const Snapshot& a, const Snapshot& b, const std::vector<NameRule>& rules,
                                    double intervalSec, int64_t selfPid) {
    if (a.empty() || b.empty()) return {};
    const auto spent = intervalSeconds(a, b);

    double system = 0;
    std::vector<std::pair<std::string, double>> buckets;
    std::unordered_map<std::string, size_t> bucketIndex;
    for (const auto& [pid, seconds] : spent) {
        const ProcessRecord& record = b.at(pid);
        std::string name;
        if (pid == selfPid) {
            name = kSelfAppName;
        } else if (record.system) {
            system += seconds;
            continue;
        } else {
            name = displayName(record.path.empty() ? kUnknownPath : record.path, rules);
        }
        const auto [it, inserted] = bucketIndex.try_emplace(name, buckets.size());
        if (inserted) buckets.emplace_back(std::move(name), 0.0);
        buckets[it->second].second += seconds;
    }

    double apps = 0;
    for (const auto& bucket : buckets) apps += bucket.second;
    // Finite times can still add up to infinity; no shares then rather than NaN ones.
    if (!(system + apps > 0) || !std::isfinite(system + apps)) return {};

    const auto corePercent = [&](double seconds) {
        return intervalSec > 0 ? seconds / intervalSec * kPercent : 0.0;
    };
    std::vector<AppShare> shares;
    for (auto& [name, value] : buckets) {
        const double fraction = value / apps;
        if (fraction > kMinAppFraction) shares.push_back({std::move(name), std::nullopt, fraction, corePercent(value)});
    }
    std::stable_sort(shares.begin(), shares.end(),
                     [](const AppShare& x, const AppShare& y) { return x.fraction > y.fraction; });
    if (apps / (system + apps) < 1)
        shares.push_back({kSystemShareName, std::nullopt, system / (system + apps), corePercent(system)});
    return shares;
}

}  // namespace joulemap::ProcessPowerService
