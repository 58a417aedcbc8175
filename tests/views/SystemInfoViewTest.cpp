#include "SystemInfoService.h"
#include "SystemInfoView.h"
#include "WidgetPixels.h"
#include "support/AppFakes.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace joulemap {
namespace {

struct StaticSource : SystemInfoSource {
    explicit StaticSource(SystemInfo info) : info(std::move(info)) {}
    SystemInfo collect() override { return info; }
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override { return std::nullopt; }
    SystemInfo info;
};

const SystemInfo kDescribedMachine{.chipName = "Apple M2",
                                   .coreCount = "8",
                                   .memoryGB = "16 GB",
                                   .serialNumber = "C02ZX1YZMD6R",
                                   .diskCapacityGB = "494 GB",
                                   .gpuName = "Apple M2"};

class SystemInfoViewTest : public ::testing::Test {
protected:
    void load(SystemInfo info) {
        service_ = std::make_unique<SystemInfoService>(std::make_shared<StaticSource>(std::move(info)));
        view_ = std::make_unique<SystemInfoView>(service_.get(), &prefs_.theme);
        QSignalSpy spy(service_.get(), &SystemInfoService::infoChanged);
        service_->loadAsync();
        ASSERT_TRUE(spy.wait(5000));
    }

    QImage render() { return test::renderWidget(*view_, {300, view_->heightForWidth(300)}); }

    test::Preferences prefs_;
    std::unique_ptr<SystemInfoService> service_;
    std::unique_ptr<SystemInfoView> view_;
};

TEST_F(SystemInfoViewTest, HeightFollowsTheRowsAndTheirWrapping) {
    load({});
    const int loading = view_->heightForWidth(300);
    EXPECT_GT(loading, 2 * SystemInfoView::kPaddingY + 2 * SystemInfoView::kLoadingPadding);

    load(kDescribedMachine);
    const int rows = view_->heightForWidth(300);
    EXPECT_GT(rows, loading);
    EXPECT_EQ(view_->sizeHint(), QSize(300, rows));
    // A narrow card wraps its values onto more lines instead of cutting them off.
    EXPECT_GT(view_->heightForWidth(110), rows);
}

TEST_F(SystemInfoViewTest, CardFollowsTheThemeAtOnce) {
    load(kDescribedMachine);
    // A point in the bottom padding, where only the card's fill lies over the background.
    for (const auto& [theme, whiteOpacity] :
         {std::pair{AppTheme::light, 0.75}, std::pair{AppTheme::dark, 0.06}}) {
        prefs_.theme.setTheme(theme);
        const QImage image = render();
        const QRgb fill = image.pixel(image.width() / 2, image.height() - 5);
        EXPECT_TRUE(
            test::near(fill, test::overBackdrop(QColor(255, 255, 255, qRound(255 * whiteOpacity))), 2))
            << token(theme).toStdString();
        // Rounded corners leave the background untouched.
        EXPECT_EQ(QColor(image.pixel(1, 1)), test::kBackdrop);
    }
}

}  // namespace
}  // namespace joulemap
