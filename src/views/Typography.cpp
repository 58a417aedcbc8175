#include "Typography.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace joulemap::Typography {

namespace {

constexpr const char* kChineseFamily = "Noto Sans CJK SC";
constexpr const char* kEmojiFamily = "Noto Color Emoji";

QFont::Weight qtWeight(Weight weight) {
    switch (weight) {
        case Weight::medium:
            return QFont::Medium;
        case Weight::semibold:
            return QFont::DemiBold;
        case Weight::bold:
            return QFont::Bold;
        case Weight::regular:
            break;
    }
    return QFont::Normal;
}

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

struct DigitMetrics {
    qreal cell = 0;         // the widest digit
    bool alreadyTabular = false;
};

DigitMetrics digitMetrics(const QFontMetricsF& metrics) {
    qreal narrowest = metrics.horizontalAdvance(QLatin1Char('0'));
    qreal widest = narrowest;
    for (char c = '1'; c <= '9'; ++c) {
        const qreal advance = metrics.horizontalAdvance(QLatin1Char(c));
        narrowest = std::min(narrowest, advance);
        widest = std::max(widest, advance);
    }
    return {widest, widest - narrowest < 0.01};
}

}  // namespace

QString uiFamily() { return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(); }

QFont font(double pixelSize, Weight weight) {
    QFont result;
    result.setFamilies({uiFamily(), QString::fromLatin1(kChineseFamily), QString::fromLatin1(kEmojiFamily)});
    result.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    result.setWeight(qtWeight(weight));
    return result;
}

qreal tabularWidth(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    const DigitMetrics digits = digitMetrics(metrics);
    if (digits.alreadyTabular) return metrics.horizontalAdvance(text);
    qreal width = 0;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isAsciiDigit(text[i])) continue;
        width += metrics.horizontalAdvance(text.mid(runStart, i - runStart));
        if (i < text.size()) width += digits.cell;
        runStart = i + 1;
    }
    return width;
}

void drawTabular(QPainter& painter, QPointF baselineStart, const QString& text) {
    const QFontMetricsF metrics(painter.font());
    const DigitMetrics digits = digitMetrics(metrics);
    if (digits.alreadyTabular) {
        painter.drawText(baselineStart, text);
        return;
    }
    QPointF pen = baselineStart;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isAsciiDigit(text[i])) continue;
        const QString run = text.mid(runStart, i - runStart);
        if (!run.isEmpty()) {
            painter.drawText(pen, run);
            pen.rx() += metrics.horizontalAdvance(run);
        }
        if (i < text.size()) {
            const QString digit(text[i]);
            painter.drawText(pen + QPointF((digits.cell - metrics.horizontalAdvance(digit)) / 2, 0), digit);
            pen.rx() += digits.cell;
        }
        runStart = i + 1;
    }
}

qreal lineHeight(const QFont& font) {
    const QFontMetricsF metrics(font);
    return metrics.ascent() + metrics.descent();
}

qreal ascent(const QFont& font) { return QFontMetricsF(font).ascent(); }

}  // namespace joulemap::Typography
