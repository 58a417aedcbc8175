#include "SystemInfoService.h"
#include "SystemInfoView.h"
#include "support/AppFakes.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>

namespace joulemap {
namespace {

struct StaticSource : SystemInfoSource {
    explicit StaticSource(SystemInfo info) : info(std::move(info)) {}
    SystemInfo collect() override { return info; }
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override { return std::nullopt; }
    SystemInfo info;
};

SystemInfo describedMachine() {
    SystemInfo info;
    info.chipName = "Apple M2";
    info.coreCount = "8";
    info.memoryGB = "16 GB";
    info.diskCapacityGB = "494 GB";
    info.gpuName = "Apple M2";
    info.serialNumber = "C02ZX1YZMD6R";
    return info;
}

class SystemInfoViewTest : public ::testing::Test {
protected:
    void load(SystemInfo info) {
        service_ = std::make_unique<SystemInfoService>(std::make_shared<StaticSource>(std::move(info)));
        view_ = std::make_unique<SystemInfoView>(service_.get(), &prefs_.theme);
        QSignalSpy spy(service_.get(), &SystemInfoService::infoChanged);
        service_->loadAsync();
        ASSERT_TRUE(spy.wait(5000));
    }

    // The card painted over an opaque grey, as the window background would show through it.
    QImage render(int width) {
        view_->resize(width, view_->heightForWidth(width));
        QImage image(view_->size(), QImage::Format_ARGB32);
        image.fill(kBase);
        view_->render(&image, {}, {}, QWidget::DrawChildren);
        return image;
    }

    static constexpr QRgb kBase = 0xff808080;
    test::Preferences prefs_;
    std::unique_ptr<SystemInfoService> service_;
    std::unique_ptr<SystemInfoView> view_;
};

TEST_F(SystemInfoViewTest, HeightFollowsTheRowsAndTheirWrapping) {
    load({});
    const int loading = view_->heightForWidth(300);
    EXPECT_GT(loading, 2 * SystemInfoView::kPaddingY + 2 * SystemInfoView::kLoadingPadding);

    load(describedMachine());
    const int rows = view_->heightForWidth(300);
    EXPECT_GT(rows, loading);
    EXPECT_EQ(view_->sizeHint(), QSize(300, rows));
    // A narrow card wraps its values onto more lines instead of cutting them off.
    EXPECT_GT(view_->heightForWidth(110), rows);
}

TEST_F(SystemInfoViewTest, CardFollowsTheThemeAtOnce) {
    load(describedMachine());
    // A point in the bottom padding, where only the card's fill lies over the background.
    const auto fill = [this] {
        const QImage image = render(300);
        return QColor(image.pixel(image.width() / 2, image.height() - 5));
    };
    const auto expect = [](QColor actual, double whiteOpacity) {
        const int expected = qRound(128 + (255 - 128) * whiteOpacity);
        EXPECT_NEAR(actual.red(), expected, 2);
        EXPECT_NEAR(actual.green(), expected, 2);
        EXPECT_NEAR(actual.blue(), expected, 2);
    };

    prefs_.theme.setTheme(AppTheme::light);
    expect(fill(), 0.75);
    prefs_.theme.setTheme(AppTheme::dark);
    expect(fill(), 0.06);

    // Rounded corners leave the background untouched.
    EXPECT_EQ(render(300).pixel(1, 1), kBase);
}

}  // namespace
}  // namespace joulemap
