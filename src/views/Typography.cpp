#include "Typography.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

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
    qreal cell = 0;  // the widest digit
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

namespace {

qreal pixelSize(const QFont& font) {
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

}  // namespace

qreal lineHeight(const QFont& font) { return kLineHeightEm * pixelSize(font); }

qreal ascent(const QFont& font) { return kBaselineEm * pixelSize(font); }

qreal centredBaseline(const QFont& font, qreal midY) { return midY - lineHeight(font) / 2 + ascent(font); }

qreal textWidth(const QFont& font, const QString& text, Digits digits) {
    return digits == Digits::tabular ? tabularWidth(font, text) : QFontMetricsF(font).horizontalAdvance(text);
}

QString elided(const QFont& font, const QString& text, qreal maxWidth, Digits digits) {
    if (textWidth(font, text, digits) <= maxWidth) return text;
    const QString ellipsis(QChar(0x2026));
    // Cut by whole characters (surrogate pairs and combined marks stay together) until it fits.
    QString kept = text;
    while (!kept.isEmpty()) {
        qsizetype cut = kept.size() - 1;
        while (cut > 0 && (kept[cut].isLowSurrogate() || kept[cut].isMark() || kept[cut] == QChar(0xFE0F)))
            --cut;
        kept.truncate(cut);
        const QString candidate = kept.trimmed() + ellipsis;
        if (textWidth(font, candidate, digits) <= maxWidth) return candidate;
    }
    return {};
}

namespace {

const QString kPartSeparator = QStringLiteral(" \u00B7 ");
const QString kLineEndSeparator = QStringLiteral(" \u00B7");

// Lines of one part that is too long for a line, broken between words where it can.
QStringList wrapWords(const QFont& font, const QString& text, qreal maxWidth) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max<qreal>(maxWidth, 1));
        lines.push_back(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    lines.removeAll(QString());
    return lines;
}

}  // namespace

QStringList wrapLines(const QFont& font, const QString& text, qreal maxWidth, int maxLines) {
    const QFontMetricsF metrics(font);
    const auto fits = [&](const QString& line) { return metrics.horizontalAdvance(line) <= maxWidth; };
    QStringList lines;
    QString current;
    for (const QString& part : text.split(kPartSeparator)) {
        if (!current.isEmpty()) {
            if (fits(current + kPartSeparator + part)) {
                current += kPartSeparator + part;
                continue;
            }
            lines.push_back(fits(current + kLineEndSeparator) ? current + kLineEndSeparator : current);
            current.clear();
        }
        if (fits(part)) {
            current = part;
            continue;
        }
        QStringList pieces = wrapWords(font, part, maxWidth);
        if (pieces.isEmpty()) continue;
        current = pieces.takeLast();
        lines += pieces;
    }
    if (!current.isEmpty()) lines.push_back(current);
    if (maxLines > 0 && lines.size() > maxLines) {
        const QString rest = lines.mid(maxLines - 1).join(QLatin1Char(' '));
        lines = lines.mid(0, maxLines - 1);
        // The last part is what such a text ends on (the figure); the words before it give way first.
        const qsizetype cut = rest.lastIndexOf(kPartSeparator);
        const QString tail = cut > 0 ? rest.mid(cut) : QString();
        const qreal room = maxWidth - metrics.horizontalAdvance(tail);
        if (cut > 0 && room > metrics.horizontalAdvance(QStringLiteral("\u2026"))) {
            lines.push_back(elided(font, rest.left(cut), room) + tail);
        } else {
            lines.push_back(elided(font, rest, maxWidth));
        }
    }
    return lines;
}

QRectF drawLine(QPainter& painter, QPointF topLeft, const QString& text, TextBoxes* boxes, Digits digits) {
    const QFont& font = painter.font();
    const QRectF box(topLeft, QSizeF(textWidth(font, text, digits), lineHeight(font)));
    const QPointF baseline(topLeft.x(), topLeft.y() + ascent(font));
    if (digits == Digits::tabular) {
        drawTabular(painter, baseline, text);
    } else {
        painter.drawText(baseline, text);
    }
    if (boxes && !text.isEmpty()) boxes->push_back({box, text});
    return box;
}

}  // namespace joulemap::Typography
