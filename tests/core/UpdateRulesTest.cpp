#include "UpdateRules.h"

#include <gtest/gtest.h>

using namespace joulemap;

TEST(UpdateRules, MountPointIsTheLastVolumesLineKeepingSpaces) {
    const std::string attach =
        "/dev/disk4          \tGUID_partition_scheme          \t\n"
        "/dev/disk4s1        \tApple_HFS                      \t/Volumes/Old One\n"
        "/dev/disk5s1        \tApple_HFS                      \t/Volumes/Joulemap 1.3 \t\n"
        "\n";
    EXPECT_EQ(mountPointFromAttachOutput(attach), "/Volumes/Joulemap 1.3");
    EXPECT_EQ(mountPointFromAttachOutput("/dev/disk4\tGUID_partition_scheme\n"), std::nullopt);
    EXPECT_EQ(mountPointFromAttachOutput(""), std::nullopt);
}

TEST(UpdateRules, BundleIsTheFirstPlainNameEndingInApp) {
    EXPECT_EQ(bundleEntryName({"Applications", "Joulemap.app", "Zed.app"}), "Joulemap.app");
    EXPECT_EQ(bundleEntryName({"../Evil.app", ".app", "a/b.app", "README"}), std::nullopt);
    for (const char* name : {"", ".", "..", "a/b", "../x"}) EXPECT_FALSE(isPlainFileName(name)) << name;
    EXPECT_TRUE(isPlainFileName("Joulemap 1.3.app"));
}

TEST(UpdateRules, PlainHttpOnlyToThisMachine) {
    const struct {
        const char* scheme;
        const char* host;
        bool permitted;
    } cases[] = {
        {"https", "example.org", true}, {"HTTPS", "example.org", true}, {"http", "example.org", false},
        {"http", "127.0.0.1", true},    {"http", "127.9.8.7", true},    {"http", "::1", true},
        {"http", "localhost", true},    {"http", "127.0.0.1.evil.org", false}, {"http", "128.0.0.1", false},
        {"http", "127.0.0.256", false}, {"file", "", false},            {"ftp", "127.0.0.1", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isPermittedDownloadAddress(c.scheme, c.host), c.permitted) << c.scheme << "://" << c.host;
    }
}

TEST(UpdateRules, OnlyTheInstalledBundleReplacesItself) {
    const std::filesystem::path bundle = "/home/u/Applications/Joulemap.app/";
    EXPECT_TRUE(isInsideBundle("/home/u/Applications/Joulemap.app/bin/joulemap", bundle));
    for (const char* outside : {"/home/u/Applications/Joulemap.app/../Other/bin/joulemap",
                                "/home/u/Applications/Joulemap.apps/bin/joulemap", "/usr/bin/joulemap", ""}) {
        EXPECT_FALSE(isInsideBundle(outside, bundle)) << outside;
    }
}
