#include "macos/MacProcessLister.h"

#include <gtest/gtest.h>

using namespace joulemap;

TEST(MacProcessLister, ParsesTheTableOnlyWhenPsSucceeds) {
    const auto snapshot = MacProcessLister(JOULEMAP_FIXTURES_DIR "/ps/ps-table.sh").snapshot();
    ASSERT_EQ(snapshot.size(), 3u);
    EXPECT_DOUBLE_EQ(snapshot.at(1).cpuSeconds, 133.45);
    EXPECT_EQ(snapshot.at(412).path, "/Applications/Google Chrome.app/Contents/MacOS/Google Chrome");
    EXPECT_DOUBLE_EQ(snapshot.at(9001).cpuSeconds, 86401);

    EXPECT_TRUE(MacProcessLister(JOULEMAP_FIXTURES_DIR "/ps/ps-fails.sh").snapshot().empty());
    EXPECT_TRUE(MacProcessLister(JOULEMAP_FIXTURES_DIR "/ps/no-such-ps").snapshot().empty());
}
