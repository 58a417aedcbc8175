#include "AutostartEntry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

using namespace joulemap;

namespace {

class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() / ("joulemap-autostart-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

void write(const std::filesystem::path& file, const std::string& text) { std::ofstream(file) << text; }

}  // namespace

TEST(AutostartEntry, SwitchingOnWritesAnEntryTheDesktopStartsAndOffRemovesIt) {
    TempDir dir;
    const auto file = dir.path() / "nested" / "autostart" / "joulemap.desktop";
    EXPECT_FALSE(AutostartEntry::isEnabled(file));

    ASSERT_TRUE(AutostartEntry::setEnabled(file, true, "/opt/my apps/joulemap"));
    EXPECT_TRUE(AutostartEntry::isEnabled(file));
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Exec=\"/opt/my apps/joulemap\"\n"), std::string::npos) << text;

    ASSERT_TRUE(AutostartEntry::setEnabled(file, false, ""));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(AutostartEntry::setEnabled(file, false, "")) << "removing an absent entry is no failure";
}

TEST(AutostartEntry, ExecQuotingAndDisabledEntries) {
    const std::string entry = AutostartEntry::desktopEntry("/home/a$b/100%\\x");
    EXPECT_NE(entry.find("Exec=\"/home/a\\\\$b/100%%\\\\\\\\x\"\n"), std::string::npos) << entry;

    TempDir dir;
    const auto file = dir.path() / "joulemap.desktop";
    const struct {
        const char* text;
        bool enabled;
    } cases[] = {
        {"[Desktop Entry]\nExec=x\n", true},
        {"[Desktop Entry]\nExec=x\nHidden=true\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled = false\n", false},
        {"[Desktop Entry]\nExec=x\n[Desktop Action quit]\nHidden=true\n", true},
    };
    for (const auto& c : cases) {
        write(file, c.text);
        EXPECT_EQ(AutostartEntry::isEnabled(file), c.enabled) << c.text;
    }
}

TEST(AutostartEntry, DefaultPathFollowsXdgConfigHome) {
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = oldConfig ? oldConfig : "";
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(AutostartEntry::defaultPath(), std::filesystem::path("/cfg/autostart/joulemap.desktop"));
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(AutostartEntry::defaultPath(), std::filesystem::path("/home/u/.config/autostart/joulemap.desktop"));
    setenv("HOME", oldHome.c_str(), 1);
    if (oldConfig) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}
