#include "AutostartEntry.h"

#include "AtomicFile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace joulemap::AutostartEntry {

namespace {

std::optional<std::filesystem::path> absoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    std::filesystem::path path(value);
    if (!path.is_absolute()) return std::nullopt;
    return path;
}

// Exec quoting: the argument goes in double quotes with `"`, `` ` ``, `$` and `\` escaped; then the
// value as a whole escapes its backslashes once more, and `%` (a field code) is doubled.
std::string quotedExec(const std::string& executable) {
    std::string quoted = "\"";
    for (const char c : executable) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (const char c : quoted) {
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '%') {
            value += "%%";
        } else {
            value += c;
        }
    }
    return value;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::filesystem::path> defaultPath() {
    std::optional<std::filesystem::path> config = absoluteFromEnvironment("XDG_CONFIG_HOME");
    if (!config) {
        const auto home = absoluteFromEnvironment("HOME");
        if (!home) return std::nullopt;
        config = *home / ".config";
    }
    return *config / "autostart" / kFileName;
}

std::string desktopEntry(const std::string& executable) {
    std::ostringstream text;
    text << "[Desktop Entry]\n"
         << "Type=Application\n"
         << "Name=Joulemap\n"
         << "Name[zh_CN]=焦图\n"
         << "Comment=Shows where the machine's power goes\n"
         << "Exec=" << quotedExec(executable) << "\n"
         << "Terminal=false\n"
         << "X-GNOME-Autostart-enabled=true\n";
    return text.str();
}

bool isEnabled(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) return false;
    bool inMainGroup = false;
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false")) {
            return false;
        }
    }
    return true;
}

bool setEnabled(const std::filesystem::path& file, bool enabled, const std::string& executable) {
    std::error_code error;
    if (!enabled) {
        std::filesystem::remove(file, error);
        return !error;
    }
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) return false;
    // Renamed over the entry, so the desktop never reads half a file.
    return writeFileAtomically(file, desktopEntry(executable), nullptr);
}

}  // namespace joulemap::AutostartEntry
