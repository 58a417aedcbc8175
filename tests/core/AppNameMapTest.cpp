#include "ProcessPowerService.h"

#include "TestSupport.h"

using namespace joulemap::ProcessPowerService;

TEST(AppNameMap, ShippedRulesDecodeAndNameTypicalLinuxAndMacApplications) {
    const auto rules = decodeRules(joulemap::readFile(JOULEMAP_RESOURCE_DIR "/AppNameMap.json"));
    ASSERT_TRUE(rules && !rules->empty());
    // Keywords meet the lowercased path: one capital letter silently disables a rule.
    for (const auto& rule : *rules) {
        for (const auto* list : {&rule.keywords, &rule.allKeywords, &rule.excludeKeywords, &rule.pathContains}) {
            for (const auto& keyword : list->value_or(std::vector<std::string>{})) {
                EXPECT_EQ(keyword.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << keyword;
            }
        }
    }
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/google/chrome/chrome", "Chrome"},
        {"/opt/microsoft/msedge/msedge", "Edge"},
        {"/Applications/Google Chrome.app/Contents/Frameworks/Google Chrome Helper (GPU)", "Chrome"},
        {"/opt/brave.com/brave/chrome_crashpad_handler", "Brave"},
        {"/usr/lib/firefox-esr/firefox-esr", "Firefox"},
        {"/Applications/Safari.app/Contents/MacOS/Safari", "Safari"},
        {"/usr/share/code/chrome_crashpad_handler", "VS Code"},
        {"/Applications/Visual Studio Code.app/Contents/MacOS/Electron", "VS Code"},
        {"/home/me/code/codegen/build/app", "app"},
        {"/opt/wechat/wechat", "微信"},
        {"/opt/bytedance/lark/lark", "飞书"},
        {"/Applications/企业微信.app/Contents/MacOS/企业微信", "企业微信"},
        {"/usr/bin/konsole", "终端"}};
    for (const auto& [path, name] : cases) EXPECT_EQ(displayName(path, *rules), name) << path;
}
