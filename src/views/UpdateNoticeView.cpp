#include "UpdateNoticeView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include "Accents.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "UpdateChecker.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr int kPadding = 10;
constexpr int kRowSpacing = 8;
constexpr int kTextSpacing = 2;
constexpr double kSymbolSize = 16;
constexpr double kCornerRadius = 8;
constexpr double kTitleSize = 11.5;
constexpr double kStatusSize = 10;
constexpr double kButtonTextSize = 11;
constexpr int kButtonPaddingX = 10;
constexpr int kButtonPaddingY = 3;
constexpr int kButtonRadius = 5;
constexpr int kButtonTopMargin = 4;
const char* const kSymbol = "arrow.up.circle.fill";

QColor statusColor(UpdateNotice::StatusTone tone, const ThemePalette& palette) {
    switch (tone) {
        case UpdateNotice::StatusTone::success:
            return hexQColor(kAccentGreen);
        case UpdateNotice::StatusTone::failure:
            return hexQColor(kAccentRed);
        case UpdateNotice::StatusTone::secondary:
            break;
    }
    return palette.secondaryText;
}

// White label on the action's colour, dimmed while pressed; a style sheet because QPushButton has
// no other way to drop the platform frame and keep keyboard focus.
QString buttonStyle(const QColor& color) {
    return QStringLiteral("QPushButton { color: white; background: %1; border: none; border-radius: %2px;"
                          " padding: %3px %4px; }"
                          "QPushButton:pressed { background: %5; }")
        .arg(color.name())
        .arg(kButtonRadius)
        .arg(kButtonPaddingY)
        .arg(kButtonPaddingX)
        .arg(color.darker(120).name());
}

}  // namespace

UpdateNoticeView::UpdateNoticeView(UpdateChecker* checker, ThemeManager* theme, QWidget* parent)
    : QWidget(parent),
      checker_(checker),
      theme_(theme),
      title_(new QLabel(this)),
      status_(new QLabel(this)),
      button_(new QPushButton(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kPadding + int(SymbolIcon::boxSide(kSymbolSize)) + kRowSpacing, kPadding, kPadding, kPadding);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(kTextSpacing);
    row->addLayout(texts, 1);

    title_->setFont(Typography::font(kTitleSize, Typography::Weight::semibold));
    status_->setFont(Typography::font(kStatusSize));
    status_->setWordWrap(true);
    // Feed text is shown as written, never interpreted as markup or links.
    title_->setTextFormat(Qt::PlainText);
    status_->setTextFormat(Qt::PlainText);
    button_->setFont(Typography::font(kButtonTextSize, Typography::Weight::semibold));
    button_->setCursor(Qt::PointingHandCursor);
    texts->addWidget(title_);
    texts->addWidget(status_);
    texts->addSpacing(kButtonTopMargin - kTextSpacing);
    texts->addWidget(button_, 0, Qt::AlignLeft);
    connect(button_, &QPushButton::clicked, this, &UpdateNoticeView::onButton);

    if (checker_) {
        connect(checker_, &UpdateChecker::availableChanged, this, &UpdateNoticeView::refresh);
        connect(checker_, &UpdateChecker::progressChanged, this, &UpdateNoticeView::refresh);
    }
    if (theme_) connect(theme_, &ThemeManager::themeChanged, this, &UpdateNoticeView::refresh);
    refresh();
}

void UpdateNoticeView::refresh() {
    const auto notice = checker_ ? checker_->notice() : std::nullopt;
    setVisible(notice.has_value());
    if (!notice) return;
    const ThemePalette& palette = themePalette(theme_);

    title_->setText(QString::fromStdString(notice->title));
    QPalette titlePalette = title_->palette();
    titlePalette.setColor(QPalette::WindowText, palette.primaryText);
    title_->setPalette(titlePalette);

    status_->setText(QString::fromStdString(notice->status));
    status_->setVisible(!notice->status.empty());
    QPalette statusPalette = status_->palette();
    statusPalette.setColor(QPalette::WindowText, statusColor(notice->statusTone, palette));
    status_->setPalette(statusPalette);

    button_->setVisible(notice->action != UpdateNotice::Action::none);
    button_->setText(QString::fromStdString(notice->buttonText));
    button_->setStyleSheet(buttonStyle(hexQColor(notice->buttonColor)));
    update();
}

void UpdateNoticeView::onButton() {
    if (!checker_) return;
    const auto notice = checker_->notice();
    if (!notice) return;
    switch (notice->action) {
        case UpdateNotice::Action::update:
            checker_->performAutoUpdate();
            break;
        case UpdateNotice::Action::download:
            checker_->openDownload();
            break;
        case UpdateNotice::Action::restart:
            checker_->restartApp();
            break;
        case UpdateNotice::Action::none:
            break;
    }
}

void UpdateNoticeView::paintEvent(QPaintEvent*) {
    const ThemePalette& palette = themePalette(theme_);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    p.fillPath(background, withOpacity(hexQColor(kAccentBlue), palette.glowOpacity));
    const qreal side = SymbolIcon::boxSide(kSymbolSize);
    // Top-aligned with the title line.
    const qreal titleTop = title_->geometry().top() + (title_->height() - side) / 2;
    SymbolIcon::draw(p, QRectF(kPadding, std::max<qreal>(kPadding, titleTop), side, side), kSymbol,
                     hexQColor(kAccentBlue));
}

}  // namespace joulemap
