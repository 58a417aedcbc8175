#include "WindowPlacement.h"

#include <gtest/gtest.h>

using namespace joulemap::WindowPlacement;

const Size kPreferred{1000, 620};
const Size kMinimum{900, 560};
const Rect kLaptop{0, 0, 1920, 1050};
const Rect kRightMonitor{1920, 0, 2560, 1400};

TEST(WindowPlacement, RestoredFrameKeepsReachableFramesAndRecoversLostOnes) {
    struct Case {
        const char* what;
        std::optional<Rect> saved;
        std::vector<Rect> screens;
        Rect expected;
    };
    const Case cases[] = {
        {"nothing saved: centred", std::nullopt, {kLaptop}, {460, 215, 1000, 620}},
        {"saved on the laptop", Rect{100, 80, 1200, 700}, {kLaptop}, {100, 80, 1200, 700}},
        {"saved on the second monitor", Rect{2500, 300, 1000, 620}, {kLaptop, kRightMonitor}, {2500, 300, 1000, 620}},
        {"that monitor is gone", Rect{2500, 300, 1000, 620}, {kLaptop}, {460, 215, 1000, 620}},
        {"only a sliver left on screen", Rect{1850, 1000, 1000, 620}, {kLaptop}, {460, 215, 1000, 620}},
        {"a draggable strip left", Rect{1700, 500, 1000, 620}, {kLaptop}, {1700, 500, 1000, 620}},
        {"smaller than allowed", Rect{10, 10, 300, 200}, {kLaptop}, {10, 10, 900, 560}},
        {"taller than the screen", Rect{0, 0, 1000, 3000}, {kLaptop}, {0, 0, 1000, 1050}},
        {"small screen: fits inside", std::nullopt, {Rect{0, 0, 1280, 600}}, {140, 0, 1000, 600}},
        {"empty saved frame", Rect{0, 0, 0, 0}, {kLaptop}, {460, 215, 1000, 620}}};
    for (const Case& c : cases) {
        EXPECT_EQ(restoredFrame(c.saved, c.screens, kPreferred, kMinimum), c.expected) << c.what;
    }
}

TEST(WindowPlacement, PopupOpensBesideTheIconInsideTheScreen) {
    const Size popup{360, 600};
    const Rect available{0, 28, 1920, 1052};
    struct Case {
        const char* what;
        Rect anchor;
        Rect expected;
    };
    const Case cases[] = {{"top panel, middle", {800, 0, 24, 28}, {800, 28, 360, 600}},
                          {"top panel, right edge", {1896, 0, 24, 28}, {1560, 28, 360, 600}},
                          {"bottom panel", {1700, 1080, 24, 24}, {1560, 480, 360, 600}},
                          {"pointer only", {1000, 300, 0, 0}, {1000, 300, 360, 600}},
                          {"pointer low on screen", {1000, 900, 0, 0}, {1000, 300, 360, 600}}};
    for (const Case& c : cases) EXPECT_EQ(popupFrame(c.anchor, popup, available), c.expected) << c.what;
}
