#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "AppPaths.h"

namespace joulemap {
namespace {

// Sets or clears an environment variable for one scope, restoring the old value after.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

#ifndef __APPLE__
TEST(AppPathsTest, DataDirectoryPrefersAnAbsoluteXdgPathThenHome) {
    ScopedEnv home("HOME", "/home/ada");
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/data/ada");
        EXPECT_EQ(AppPaths::historyDatabasePath(), "/data/ada/Joulemap/history.db");
    }
    for (const char* ignored : {"relative/share", "", static_cast<const char*>(nullptr)}) {
        ScopedEnv xdg("XDG_DATA_HOME", ignored);
        EXPECT_EQ(AppPaths::dataDirectory(), "/home/ada/.local/share");
    }
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    ScopedEnv noHome("HOME", nullptr);
    EXPECT_FALSE(AppPaths::dataDirectory());
    EXPECT_FALSE(AppPaths::historyDatabasePath());
}

TEST(AppPathsTest, MetricsFileGoesToTheXdgStateDirectoryThenHome) {
    ScopedEnv home("HOME", "/home/ada");
    {
        ScopedEnv xdg("XDG_STATE_HOME", "/state/ada");
        EXPECT_EQ(AppPaths::defaultPrometheusTextfile(), "/state/ada/joulemap/joulemap.prom");
    }
    ScopedEnv relative("XDG_STATE_HOME", "state");
    EXPECT_EQ(AppPaths::defaultPrometheusTextfile(), "/home/ada/.local/state/joulemap/joulemap.prom");
    ScopedEnv noHome("HOME", nullptr);
    EXPECT_FALSE(AppPaths::defaultPrometheusTextfile());
}
#endif

}  // namespace
}  // namespace joulemap
