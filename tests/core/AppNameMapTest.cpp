#include "ProcessPowerService.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace joulemap::ProcessPowerService;

TEST(AppNameMap, ShippedRulesDecodeAndNameTypicalLinuxAndMacApplications) {
    std::ifstream file(JOULEMAP_RESOURCE_DIR "/AppNameMap.json", std::ios::binary);
    const auto rules = decodeRules(std::string{std::istreambuf_iterator<char>(file), {}});
    ASSERT_TRUE(rules && !rules->empty());
    // Keywords meet the lowercased path: one capital letter silently disables a rule.
    for (const auto& rule : *rules) {
        for (const auto* list : {&rule.keywords, &rule.allKeywords, &rule.excludeKeywords, &rule.pathContains}) {
            for (const auto& keyword : list->value_or(std::vector<std::string>{})) {
                EXPECT_EQ(keyword.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << keyword;
            }
        }
    }
    for (const auto& [path, name] : std::vector<std::pair<const char*, const char*>>{
             {"/opt/google/chrome/chrome", "Chrome"},
             {"/Applications/Google Chrome.app/Contents/Frameworks/Google Chrome Helper (GPU)", "Chrome"},
             {"/opt/brave.com/brave/chrome_crashpad_handler", "Brave"},
             {"/opt/microsoft/msedge/msedge", "Edge"},
             {"/usr/lib/firefox-esr/firefox-esr", "Firefox"},
             {"/Applications/Safari.app/Contents/MacOS/Safari", "Safari"},
             {"/usr/share/code/chrome_crashpad_handler", "VS Code"},
             {"/Applications/Visual Studio Code.app/Contents/MacOS/Electron", "VS Code"},
             {"/home/me/code/codegen/build/app", "app"},
             {"/Applications/企业微信.app/Contents/MacOS/企业微信", "企业微信"},
             {"/opt/wechat/wechat", "微信"},
             {"/opt/bytedance/lark/lark", "飞书"},
             {"/usr/bin/konsole", "终端"}}) {
        EXPECT_EQ(displayName(path, *rules), name) << path;
    }
}
