#pragma once

#include <QDateTime>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>

#include "TextBox.h"

class QPainter;

namespace joulemap {

class SymbolButton;
class ThemeManager;

// The main window's top row: logo, title and tagline on the left, then a notice when there is one;
// the live indicator, the time of the last update and the buttons for the history, changelog and settings windows on the right.
// The buttons post their window requests on the NotificationHub.
class MainHeader : public QWidget {
    Q_OBJECT

public:
    static constexpr int kLogoSide = 32;

    explicit MainHeader(QWidget* parent = nullptr);

    // Without one, the light palette is used.
    void setThemeManager(ThemeManager* manager);

    void setLastUpdated(const QDateTime& lastUpdated);
    // A remark the user should read (e.g. that the desktop has no tray), in a tinted pill of normal
    // size beside the title; empty for none. Cut with an ellipsis where the row is too narrow.
    void setNotice(const QString& notice);
    const QString& notice() const { return notice_; }
    QString updatedText() const;

    // History, changelog, settings, left to right.
    const std::array<SymbolButton*, 3>& buttons() const { return buttons_; }

    // The time of day with seconds in the user's locale, without date or time zone.
    static QString formatTime(const QDateTime& time);

    // The lines of text as painted, in the header's coordinates.
    TextBoxes textBoxes() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeButtons();
    void paintHeader(QPainter& p, TextBoxes* boxes) const;
    double indicatorRight() const;
    void paintNotice(QPainter& p, double left, double right, TextBoxes* boxes) const;
    // The logo at kLogoSide points in device pixels of `devicePixelRatio`, kept for the next paint.
    const QPixmap& logoAt(qreal devicePixelRatio) const;

    QPointer<ThemeManager> themeManager_;
    QDateTime lastUpdated_;
    QString notice_;
    std::array<SymbolButton*, 3> buttons_{};
    // The full-size picture; drawn only through logoAt.
    QImage logoSource_;
    mutable QPixmap logo_;
};

}  // namespace joulemap
