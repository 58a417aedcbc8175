#pragma once

#include <QPointer>
#include <QWidget>

#include "TextBox.h"

class QPainter;

namespace joulemap {

class SystemInfoService;
class ThemeManager;

// The "设备信息" card of the main window's side panel: the machine's description and live network
// rates, as rows of label and value. Which rows and texts comes from systemInfoRows(); the card only
// lays them out and paints them, again whenever the service publishes or the theme changes.
class SystemInfoView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kPaddingX = 16;
    static constexpr double kPaddingY = 12;
    static constexpr double kCornerRadius = 14;
    static constexpr double kSectionSpacing = 8;  // header to content
    static constexpr double kHeaderSpacing = 6;   // symbol to title
    static constexpr double kRowSpacing = 5;
    static constexpr double kLabelWidth = 38;
    static constexpr double kLabelGap = 8;
    static constexpr double kLoadingPadding = 8;
    static constexpr double kSymbolSize = 11;
    static constexpr double kTitleFontSize = 12;
    static constexpr double kLoadingFontSize = 11;
    static constexpr double kRowFontSize = 10.5;
    // The width of the main window's side panel.
    static constexpr int kPreferredWidth = 300;

    // Without a theme manager the light palette is used.
    explicit SystemInfoView(SystemInfoService* service, ThemeManager* themeManager,
                            QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // The lines of text as painted, in the card's coordinates.
    TextBoxes textBoxes() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Lays the card out for width and returns its height; paints it as well when given a painter
    // and records the text boxes when given a list, so the measured, the painted and the checked
    // card cannot disagree.
    double layOut(double width, QPainter* painter, TextBoxes* boxes = nullptr) const;

    QPointer<SystemInfoService> service_;
    QPointer<ThemeManager> themeManager_;
};

}  // namespace joulemap
