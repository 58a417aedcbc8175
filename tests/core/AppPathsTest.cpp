#include "AppPaths.h"
#include "TestSupport.h"

using namespace joulemap;

#ifndef __APPLE__
TEST(AppPathsTest, DataAndMetricsGoToAnAbsoluteXdgPathThenHome) {
    const ScopedEnv home("HOME", "/home/ada");
    {
        const ScopedEnv data("XDG_DATA_HOME", "/data/ada");
        const ScopedEnv state("XDG_STATE_HOME", "/state/ada");
        EXPECT_EQ(AppPaths::historyDatabasePath(), "/data/ada/Joulemap/history.db");
        EXPECT_EQ(AppPaths::defaultPrometheusTextfile(), "/state/ada/joulemap/joulemap.prom");
    }
    for (const char* ignored : {"relative/share", "", static_cast<const char*>(nullptr)}) {
        const ScopedEnv data("XDG_DATA_HOME", ignored);
        EXPECT_EQ(AppPaths::dataDirectory(), "/home/ada/.local/share");
    }
    const ScopedEnv state("XDG_STATE_HOME", "state");
    EXPECT_EQ(AppPaths::defaultPrometheusTextfile(), "/home/ada/.local/state/joulemap/joulemap.prom");
    const ScopedEnv data("XDG_DATA_HOME", nullptr);
    const ScopedEnv noHome("HOME", nullptr);
    EXPECT_FALSE(AppPaths::dataDirectory());
    EXPECT_FALSE(AppPaths::historyDatabasePath());
    EXPECT_FALSE(AppPaths::defaultPrometheusTextfile());
}
#endif
