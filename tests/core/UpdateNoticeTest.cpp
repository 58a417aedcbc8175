#include "UpdateNotice.h"

#include <gtest/gtest.h>

#include "Accents.h"

using namespace joulemap;

using Tone = UpdateNotice::StatusTone;
using Action = UpdateNotice::Action;

TEST(UpdateNotice, StatusAndButtonFollowTheProgress) {
    const UpdateInfo offer{"1.3.0", "https://h/j.tar.gz", "更快的采样", {}, {}};
    const struct {
        UpdateProgress progress;
        bool oneClick;
        std::string status;
        Tone tone;
        Action action;
        std::string button;
        std::string_view color;
    } cases[] = {
        {UpdateProgress::idle(), true, "更快的采样", Tone::secondary, Action::update, "一键更新", kAccentBlue},
        {UpdateProgress::idle(), false, "更快的采样", Tone::secondary, Action::download, "手动下载", kAccentOrange},
        {UpdateProgress::downloading(0.427), true, "下载中…42%", Tone::secondary, Action::none, "", {}},
        {UpdateProgress::downloading(0.999), true, "下载中…99%", Tone::secondary, Action::none, "", {}},
        {UpdateProgress::installing(), true, "正在安装…", Tone::secondary, Action::none, "", {}},
        {UpdateProgress::done(), true, "更新完成，点击「重启」生效", Tone::success, Action::restart, "重启", kAccentGreen},
        {UpdateProgress::failed("无法挂载 dmg"), true, "更新失败：无法挂载 dmg", Tone::failure, Action::download, "手动下载",
         kAccentOrange},
    };
    for (const auto& c : cases) {
        const auto notice = updateNotice(offer, c.progress, c.oneClick);
        ASSERT_TRUE(notice.has_value());
        EXPECT_EQ(*notice, (UpdateNotice{"发现新版本 v1.3.0", c.status, c.tone, c.action, c.button, c.color})) << c.status;
    }
    EXPECT_EQ(updateNotice(std::nullopt, UpdateProgress::done(), true), std::nullopt);
    EXPECT_EQ(updateNotice(UpdateInfo{"2", "u", {}, {}, {}}, UpdateProgress::idle(), true)->status, "");
}
