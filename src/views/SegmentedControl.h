#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace joulemap {

class ThemeManager;

// A row of mutually exclusive segments, the selected one raised on a card-coloured chip. Arrow
// keys move the selection.
class SegmentedControl : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(QStringList labels, QWidget* parent = nullptr);
    void setThemeManager(ThemeManager* manager);

    int currentIndex() const { return current_; }
    // Without emitting, for showing a value that changed elsewhere.
    void setCurrentIndex(int index);
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;

signals:
    // Only on the user's choice.
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void choose(int index);

    QStringList labels_;
    int current_ = 0;
    QPointer<ThemeManager> themeManager_;
};

}  // namespace joulemap
