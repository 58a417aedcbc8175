#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "SystemInfo.h"

namespace joulemap {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::string fixture(const std::string& relative) {
    return readFile(std::string(JOULEMAP_FIXTURES_DIR) + "/" + relative);
}

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    explicit TempDir(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("joulemap-" + name + "-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Sets or clears an environment variable for one scope, restoring the old value after.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
        ::tzset();
    }
    ~ScopedEnv() {
        old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_);
        ::tzset();
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Runs body under a comma-decimal locale, where the C library would print "0,5"; false when that
// locale is not generated (tools/dev.sh does it).
inline bool underCommaLocale(const std::function<void()>& body) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) return false;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    body();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(std::string(probe), "0,5");  // the locale was really in effect
    return true;
}

// The MacBook Air of the profiler fixtures, as its reports describe it.
inline SystemInfo describedMac() {
    return {.modelName = "MacBook Air",
            .chipName = "Apple M2",
            .coreCount = "8",
            .memoryGB = "16 GB",
            .serialNumber = "C02ZX1YZMD6R",
            .hardwareUUID = "4B1E27A0-93C5-5F1D-8A62-0C7D3E9B1F44",
            .diskCapacityGB = "494 GB",
            .diskFreeGB = "123 GB",
            .gpuName = "Apple M2",
            .gpuCores = "10",
            .metalVersion = "Metal 3",
            .displayResolution = "2560 x 1664 Retina"};
}

}  // namespace joulemap
