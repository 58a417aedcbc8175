#include "BatteryService.h"

#include "ReadingRange.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace joulemap::BatteryService {

namespace {

constexpr double kTemperatureScale = 100.0;    // the dump gives hundredths of a degree
constexpr int64_t kPdAdapterVoltageMv = 9000;  // above USB's 5 V only with power delivery
constexpr double kPdFastChargeWatts = 18.0;
constexpr std::string_view kHighVoltageMenuKey = "\"UsbHvcMenu\"";

// \s of the patterns: the ASCII white space of the C locale.
constexpr bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// [^\s",}]
constexpr bool isValueChar(char c) { return !isSpace(c) && c != '"' && c != ',' && c != '}'; }

size_t skipSpaces(std::string_view text, size_t pos) {
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    return pos;
}

// Where `\s*=\s*` starting at pos ends, or npos when there is no equals sign.
size_t skipEquals(std::string_view text, size_t pos) {
    pos = skipSpaces(text, pos);
    if (pos >= text.size() || text[pos] != '=') return std::string_view::npos;
    return skipSpaces(text, pos + 1);
}

// Calls attempt(afterKey) at each occurrence of `open key close` in order, where afterKey is the
// position just past it, until attempt reports success. Occurrences are tried one by one because
// a pattern that fails after one occurrence of its key may still match at a later one.
template <typename Attempt>
bool forEachKey(std::string_view text, std::string_view key, bool quoteBefore, Attempt attempt) {
    const size_t before = quoteBefore ? 1 : 0;
    const size_t literalSize = before + key.size() + 1;
    size_t from = 0;
    while (from + literalSize <= text.size()) {
        const size_t keyPos = text.find(key, from + before);
        if (keyPos == std::string_view::npos) return false;
        const size_t start = keyPos - before;
        const size_t afterKey = keyPos + key.size();
        if ((!quoteBefore || text[start] == '"') && afterKey < text.size() && text[afterKey] == '"' &&
            attempt(afterKey + 1)) {
            return true;
        }
        from = start + 1;
    }
    return false;
}

// "KEY"\s*=\s*"?([^\s",}]+)"? : group 1 of the first match.
std::optional<std::string_view> valueOf(std::string_view text, std::string_view key) {
    std::optional<std::string_view> found;
    forEachKey(text, key, true, [&](size_t pos) {
        pos = skipEquals(text, pos);
        if (pos == std::string_view::npos) return false;
        // A quote followed by another quote or a space cannot start a value either way, so taking
        // the optional quote whenever it is there gives the same result as backtracking.
        if (pos < text.size() && text[pos] == '"') ++pos;
        size_t end = pos;
        while (end < text.size() && isValueChar(text[end])) ++end;
        if (end == pos) return false;
        found = text.substr(pos, end - pos);
        return true;
    });
    return found;
}

// The text between the opening brace after pos-1 and its matching closing brace; empty when the
// text ends first.
std::string_view braceBlock(std::string_view text, size_t bodyStart) {
    int depth = 1;
    for (size_t i = bodyStart; i < text.size(); ++i) {
        if (text[i] == '{') {
            ++depth;
        } else if (text[i] == '}' && --depth == 0) {
            return text.substr(bodyStart, i - bodyStart);
        }
    }
    return {};
}

// "KEY"\s*=\s*(\d+) or, with oneDigit, KEY"\s*=\s*(\d) without the leading quote: group 1 of every
// match in order, until visit returns true.
template <typename Visit>
bool forEachDigits(std::string_view text, std::string_view key, bool quoteBefore, bool oneDigit,
                   Visit visit) {
    return forEachKey(text, key, quoteBefore, [&](size_t pos) {
        pos = skipEquals(text, pos);
        if (pos == std::string_view::npos || pos >= text.size() || !isDigit(text[pos])) return false;
        size_t end = pos + 1;
        while (!oneDigit && end < text.size() && isDigit(text[end])) ++end;
        return visit(text.substr(pos, end - pos));
    });
}

double numberOr(std::optional<std::string_view> value, double fallback) {
    if (!value) return fallback;
    return toDouble(*value).value_or(fallback);
}

double signedOr(std::optional<std::string_view> value, double fallback) {
    if (!value) return fallback;
    return signedToDouble(*value).value_or(fallback);
}

// The record keeps 0 for a figure it does not know.
double checkedOr(double value, const ReadingRange& range) { return range.contains(value) ? value : 0; }

}  // namespace

std::optional<int64_t> toInt(std::string_view s) {
    const char* first = s.data();
    const char* last = s.data() + s.size();
    // from_chars takes a minus sign but not a plus sign; "+-5" must still fail.
    if (first != last && *first == '+') {
        ++first;
        if (first == last || *first == '-') return std::nullopt;
    }
    int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc{} || ptr != last) return std::nullopt;
    return value;
}

std::optional<double> toDouble(std::string_view s) {
    const char* first = s.data();
    const char* last = s.data() + s.size();
    // One sign at most: from_chars would read "+-5" as -5 once the plus is skipped.
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-') return std::nullopt;
    }
    const char* body = (first != last && *first == '-') ? first + 1 : first;
    if (body == last || !(isDigit(*body) || *body == '.')) return std::nullopt;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc{} || ptr != last) return std::nullopt;
    return value;
}

std::optional<double> signedToDouble(std::string_view s) {
    if (s.empty()) return std::nullopt;
    std::string_view digits = s;
    if (digits.front() == '+') digits.remove_prefix(1);
    if (!digits.empty() && isDigit(digits.front())) {
        uint64_t bits = 0;
        const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), bits);
        if (ec == std::errc{} && ptr == digits.data() + digits.size()) {
            return static_cast<double>(static_cast<int64_t>(bits));
        }
    }
    return toDouble(s);
}

std::optional<std::string_view> stringField(std::string_view text, std::string_view key) {
    return valueOf(text, key);
}

std::optional<int64_t> intField(std::string_view text, std::string_view key) {
    const auto value = valueOf(text, key);
    return value ? toInt(*value) : std::nullopt;
}

std::optional<std::string_view> nestedString(std::string_view text, std::string_view outerKey,
                                             std::string_view innerKey) {
    size_t bodyStart = std::string_view::npos;
    forEachKey(text, outerKey, true, [&](size_t pos) {
        pos = skipEquals(text, pos);
        if (pos == std::string_view::npos || pos >= text.size() || text[pos] != '{') return false;
        bodyStart = pos + 1;
        return true;
    });
    if (bodyStart == std::string_view::npos) return std::nullopt;
    return valueOf(braceBlock(text, bodyStart), innerKey);
}

std::optional<int64_t> nestedInt(std::string_view text, std::string_view outerKey,
                                 std::string_view innerKey) {
    const auto value = nestedString(text, outerKey, innerKey);
    return value ? toInt(*value) : std::nullopt;
}

BatteryInfo parse(std::string_view text) {
    BatteryInfo info = BatteryInfo::unknown();
    // Every figure is checked against what a real battery reports; an implausible one counts as
    // not reported.
    namespace plausible = PlausibleReadings;
    info.cycleCount = plausible::kCycleCount.check(intField(text, "CycleCount")).value_or(0);
    info.designCapacityMah = checkedOr(numberOr(valueOf(text, "DesignCapacity"), 0), plausible::kCapacityMah);
    info.maxCapacityMah = checkedOr(
        numberOr(valueOf(text, "AppleRawMaxCapacity"), numberOr(valueOf(text, "NominalChargeCapacity"), 0)),
        plausible::kCapacityMah);
    info.currentCapacityMah =
        checkedOr(numberOr(valueOf(text, "AppleRawCurrentCapacity"), 0), plausible::kCapacityMah);
    info.designCycleCount = plausible::kCycleCount.check(intField(text, "DesignCycleCount9C")).value_or(0);
    info.voltageMv = checkedOr(numberOr(valueOf(text, "Voltage"), 0), plausible::kVoltageMv);
    info.instantAmperageMa =
        checkedOr(signedOr(valueOf(text, "InstantAmperage"), 0), plausible::kBatteryCurrentMa);
    info.isCharging = valueOf(text, "IsCharging") == "Yes";
    info.isExternalConnected = valueOf(text, "ExternalConnected") == "Yes";
    info.currentCapacityPct = plausible::kChargePct.check(intField(text, "CurrentCapacity"));
    if (const auto temperature = valueOf(text, "Temperature")) {
        if (const auto hundredths = toDouble(*temperature)) {
            info.temperatureC = checkedOr(*hundredths / kTemperatureScale, plausible::kTemperatureC);
        }
    }
    info.timeRemainingMin = plausible::kMinutesLeft.check(intField(text, "TimeRemaining")).value_or(0);
    if (const auto watts = nestedInt(text, "AdapterDetails", "Watts")) {
        info.adapterWatts = checkedOr(static_cast<double>(*watts), plausible::kAdapterWatts);
    }
    if (const auto description = nestedString(text, "AdapterDetails", "Description")) {
        info.adapterDescription = std::string(*description);
    }

    const bool highVoltageMenu = text.find(kHighVoltageMenuKey) != std::string_view::npos;
    int64_t adapterVoltageMv = 0;
    forEachDigits(text, "AdapterVoltage", true, false, [&](std::string_view digits) {
        adapterVoltageMv = toInt(digits).value_or(0);
        return true;
    });
    if (info.isExternalConnected && (highVoltageMenu || adapterVoltageMv >= kPdAdapterVoltageMv)) {
        info.chargingProtocol = "USB-PD";
        info.isPdFastCharge = info.adapterWatts >= kPdFastChargeWatts;
    }

    info.systemPowerInMw = checkedOr(numberOr(nestedString(text, "PowerTelemetryData", "SystemPowerIn"), 0),
                                     plausible::kAdapterPowerMw);
    info.batteryPowerMw = checkedOr(signedOr(nestedString(text, "PowerTelemetryData", "BatteryPower"), 0),
                                    plausible::kBatteryPowerMw);
    info.systemLoadMw = checkedOr(numberOr(nestedString(text, "PowerTelemetryData", "SystemLoad"), 0),
                                  plausible::kAdapterPowerMw);
    // No quote before the key: every port's role key ends in this word, whatever its prefix.
    info.isProvidingPower = forEachDigits(text, "FedPortPowerRole", false, true,
                                          [](std::string_view digit) { return digit == "1"; });
    info.systemHealthPct = 0;
    return info;
}

int64_t parseSystemHealthPct(std::string_view profilerText) {
    constexpr std::string_view kLabel = "Maximum Capacity:";
    for (size_t at = profilerText.find(kLabel); at != std::string_view::npos;
         at = profilerText.find(kLabel, at + 1)) {
        const size_t start = skipSpaces(profilerText, at + kLabel.size());
        size_t end = start;
        while (end < profilerText.size() && isDigit(profilerText[end])) ++end;
        if (end > start) return toInt(profilerText.substr(start, end - start)).value_or(0);
    }
    return 0;
}

}  // namespace joulemap::BatteryService
