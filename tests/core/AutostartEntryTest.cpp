#include "AutostartEntry.h"

#include "TestSupport.h"

using namespace joulemap;

TEST(AutostartEntry, SwitchingOnWritesAnEntryTheDesktopStartsAndOffRemovesIt) {
    const TempDir dir("autostart");
    const auto file = dir.path() / "nested" / "autostart" / "joulemap.desktop";
    EXPECT_FALSE(AutostartEntry::isEnabled(file));
    ASSERT_TRUE(AutostartEntry::setEnabled(file, true, "/opt/my apps/joulemap"));
    EXPECT_TRUE(AutostartEntry::isEnabled(file));
    EXPECT_NE(readFile(file).find("Exec=\"/opt/my apps/joulemap\"\n"), std::string::npos) << readFile(file);
    ASSERT_TRUE(AutostartEntry::setEnabled(file, false, ""));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(AutostartEntry::setEnabled(file, false, "")) << "removing an absent entry is no failure";
}

TEST(AutostartEntry, ExecQuotingAndDisabledEntries) {
    const std::string entry = AutostartEntry::desktopEntry("/home/a$b/100%\\x");
    EXPECT_NE(entry.find("Exec=\"/home/a\\\\$b/100%%\\\\\\\\x\"\n"), std::string::npos) << entry;

    const TempDir dir("autostart");
    const auto file = dir.path() / "joulemap.desktop";
    const std::pair<const char*, bool> cases[] = {
        {"[Desktop Entry]\nExec=x\n", true},
        {"[Desktop Entry]\nExec=x\nHidden=true\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled = false\n", false},
        {"[Desktop Entry]\nExec=x\n[Desktop Action quit]\nHidden=true\n", true}};
    for (const auto& [text, enabled] : cases) {
        std::ofstream(file) << text;
        EXPECT_EQ(AutostartEntry::isEnabled(file), enabled) << text;
    }
}

TEST(AutostartEntry, DefaultPathFollowsXdgConfigHome) {
    const ScopedEnv home("HOME", "/home/u");
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(AutostartEntry::defaultPath(), std::filesystem::path("/cfg/autostart/joulemap.desktop"));
    }
    const ScopedEnv relative("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(AutostartEntry::defaultPath(), std::filesystem::path("/home/u/.config/autostart/joulemap.desktop"));
}
