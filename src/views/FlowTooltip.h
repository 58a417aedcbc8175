#pragma once

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <optional>

#include "MainViewModel.h"
#include "TextBox.h"

class QPainter;

namespace joulemap {

class ThemeManager;

// The small card over the diagram's top-right corner describing the highlighted destination. It
// fades and grows in from 95 % when a destination is highlighted and shrinks away again when the
// highlight goes; it never takes the pointer, so the diagram under it keeps reporting hovers.
class FlowTooltip : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTransitionMs = 150;
    static constexpr double kStartScale = 0.95;
    // Room around the card for its shadow; the widget is this much larger than the card on every side.
    static constexpr int kShadowMargin = 16;

    explicit FlowTooltip(QWidget* parent = nullptr);

    // Without one, the light palette is used.
    void setThemeManager(ThemeManager* manager);

    // Present content shows the card (animated from hidden; replaced at once when already shown);
    // absent content fades it away, keeping the last content on screen while it does.
    void setContent(const std::optional<MainViewModel::TooltipContent>& content);
    const std::optional<MainViewModel::TooltipContent>& content() const { return content_; }

    // 0 hidden, 1 fully shown; between the two while animating.
    double presence() const { return presence_; }

    // The lines of text of the shown content, in the widget's coordinates, at full size.
    TextBoxes textBoxes() const;
    // The card inside the widget (which reaches past it by the shadow margin).
    QRectF cardRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Metrics;
    Metrics measure() const;
    void animateTo(double presence);
    void refreshShadow();
    void paintTexts(QPainter& p, const QRectF& card, const Metrics& m, TextBoxes* boxes) const;

    QPointer<ThemeManager> themeManager_;
    std::optional<MainViewModel::TooltipContent> content_;
    MainViewModel::TooltipContent shown_;  // what is drawn, kept while fading out
    double presence_ = 0;
    QVariantAnimation transition_;
    QImage shadow_;
    QSize shadowSize_;
    qreal shadowDevicePixelRatio_ = 0;
};

}  // namespace joulemap
