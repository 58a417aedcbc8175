#include "AppPaths.h"

#include <cstdlib>

namespace joulemap::AppPaths {

namespace {

// An unset or empty variable counts as absent; so does a relative path, which would depend on
// whatever directory the program happened to be started from.
std::optional<std::filesystem::path> absoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    std::filesystem::path path(value);
    if (!path.is_absolute()) {
        return std::nullopt;
    }
    return path;
}

}  // namespace

std::optional<std::filesystem::path> dataDirectory() {
#ifdef __APPLE__
    if (auto home = absoluteFromEnvironment("HOME")) {
        return *home / "Library" / "Application Support";
    }
#else
    if (auto xdg = absoluteFromEnvironment("XDG_DATA_HOME")) {
        return xdg;
    }
    if (auto home = absoluteFromEnvironment("HOME")) {
        return *home / ".local" / "share";
    }
#endif
    return std::nullopt;
}

std::optional<std::filesystem::path> historyDatabasePath() {
    auto dir = dataDirectory();
    if (!dir) {
        return std::nullopt;
    }
    return *dir / "Joulemap" / "history.db";
}

std::optional<std::filesystem::path> stateDirectory() {
#ifdef __APPLE__
    return dataDirectory();
#else
    if (auto xdg = absoluteFromEnvironment("XDG_STATE_HOME")) {
        return xdg;
    }
    if (auto home = absoluteFromEnvironment("HOME")) {
        return *home / ".local" / "state";
    }
    return std::nullopt;
#endif
}

std::optional<std::filesystem::path> defaultPrometheusTextfile() {
    auto dir = stateDirectory();
    if (!dir) {
        return std::nullopt;
    }
    return *dir / "joulemap" / "joulemap.prom";
}

}  // namespace joulemap::AppPaths
