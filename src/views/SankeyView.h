#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QSizeF>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "JoulemapData.h"
#include "PowerGroup.h"
#include "SankeyGeometry.h"
#include "TextBox.h"

class QPainter;

namespace joulemap {

class ThemeManager;

// The flow diagram: the power source on the left, one bar per destination on the right, bands
// between them with particles running along. Every number comes from SankeyGeometry; this class
// only turns it into paint and turns pointer events into destination ids.
class SankeyView : public QWidget {
    Q_OBJECT

public:
    explicit SankeyView(QWidget* parent = nullptr);
    ~SankeyView() override;

    void setData(const JoulemapData& data);
    const JoulemapData& data() const { return data_; }

    // The highlighted destination and/or group; everything else fades.
    void setHighlight(std::optional<std::string> id, std::optional<PowerGroup> group);

    // Whether the particles move at the frame rate (only while the widget is also visible).
    void setAnimationActive(bool active);
    bool animationActive() const { return animationActive_; }

    // Without one, the light palette is used.
    void setThemeManager(ThemeManager* manager);

    // Outputs: the destination under a click, or under the pointer while it moves (nothing when
    // it leaves the widget or rests on empty space).
    std::function<void(std::optional<std::string>)> onSelect;
    std::function<void(std::optional<std::string>)> onHover;

    // One frame for a canvas of `size`, as the widget would paint it at `timeSeconds`. Lets the
    // benchmark and tests paint into an image without showing a window.
    void paintFrame(QPainter& painter, QSizeF size, double timeSeconds);

    // The lines of text of the current size's frame (labels, headers, legend), in the widget's
    // coordinates.
    TextBoxes textBoxes();

    // The animation tick; exposed so its period can be checked.
    const QTimer& tickTimer() const { return tick_; }

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // A frame is mostly blits of images painted when something other than time changes: the
    // bands and glows when the highlight changes, the texts when the palette does. Vector fills
    // at 30 frames a second would cost far more, and the raster engine hands large fills to
    // worker threads, which on a busy machine costs more still.
    struct Sprite {
        QImage image;
        QPointF origin;  // on a device pixel, so the blit stays sharp

        void draw(QPainter& painter) const;
    };
    struct Band {
        SankeyGeometry::Rect slice;
        SankeyGeometry::Rect bar;
        double powerWatts = 0;
        QPainterPath path;
        QLinearGradient gradient;
        QColor color;
        double alpha = 1;
        Sprite fill;
        Sprite glow;  // only for a highlighted band
    };
    struct Scene {
        bool drawable = false;
        QSizeF canvasSize;
        double bandCenterX = 0;
        QColor inputColor;
        QRectF sourceNode;
        QRectF legendBar;
        QRect particleArea;  // where the particles of every band can be
        std::vector<Band> bands;
        std::vector<SankeyGeometry::TextItem> backItems;   // legend and headers, under the bands
        std::vector<SankeyGeometry::TextItem> frontItems;  // node labels, over everything
        std::vector<Sprite> backTexts;
        std::vector<Sprite> frontTexts;
    };
    struct TextStyle {
        qreal devicePixelRatio = 0;
        QColor primary;
        QColor secondary;

        bool operator==(const TextStyle&) const = default;
    };

    const SankeyGeometry::Layout& layoutFor(QSizeF size);
    void buildScene(QSizeF size);
    void buildEmphasis(qreal devicePixelRatio);
    void buildTexts(const TextStyle& style);
    // While animating, what the window paints under this widget is kept as one image, and the
    // widget declares itself opaque: 30 times a second Qt then repaints only the particles' strip
    // of this widget instead of the window's background and the card under it as well.
    struct BackdropKey {
        QPoint position;  // in the window
        QSize windowSize;
        QSize size;
        qreal devicePixelRatio = 0;

        bool operator==(const BackdropKey&) const = default;
    };
    BackdropKey backdropKey() const;
    void ensureBackdrop();
    void dropBackdrop();
    void watchAncestors();
    // Lays out the frame for `size` and brings its images up to date; false when nothing is drawn.
    bool prepareFrame(QSizeF size, qreal devicePixelRatio);
    void paintStill(QPainter& painter) const;  // legend, headers, bands and glows
    void paintParticles(QPainter& painter, double timeSeconds) const;
    void paintFront(QPainter& painter, const QRectF& exposed) const;  // nodes and their labels
    // Where the particles are at `timeSeconds`, as the widget paints them.
    QRegion particleRegion(double timeSeconds) const;
    void updateTickInterval();
    void tick();
    std::optional<std::string> hitTest(QPointF position);

    JoulemapData data_;
    std::optional<std::string> highlightedId_;
    std::optional<PowerGroup> highlightedGroup_;
    bool animationActive_ = false;
    QPointer<ThemeManager> themeManager_;

    SankeyGeometry::Layout layout_;
    std::optional<QSizeF> layoutSize_;  // empty when the layout must be recomputed
    Scene scene_;
    bool sceneValid_ = false;
    bool emphasisValid_ = false;
    qreal emphasisDevicePixelRatio_ = 1;
    std::optional<TextStyle> textStyle_;  // of the painted texts; empty when they must be repainted

    QImage backdrop_;
    QImage underlay_;  // the backdrop with everything under the particles painted on it
    bool underlayValid_ = false;
    std::optional<BackdropKey> backdropKey_;  // empty when there is no usable backdrop
    std::vector<QPointer<QWidget>> watchedAncestors_;

    QTimer tick_;
    bool shown_ = false;  // between a show and a hide event, spontaneous ones included
    QElapsedTimer clock_;
    std::optional<QRegion> shownParticles_;  // of the last tick's frame, in the current scene
    double frameTimeSeconds_ = 0;  // the last tick's time: repaints between ticks keep the particles still
    std::optional<QPointF> pressPosition_;
};

}  // namespace joulemap
