#include "SettingsTexts.h"

#include "SymbolIcon.h"
#include "Typography.h"
#include "ViewColors.h"

#include <QLabel>
#include <QVBoxLayout>

namespace joulemap {

QLabel* SettingsTexts::label(QWidget* parent, const QString& text, double pixelSize, int weight, Role role) {
    auto* result = new QLabel(text, parent);
    QFont font = Typography::font(pixelSize);
    font.setWeight(QFont::Weight(weight));
    result->setFont(font);
    labels_.emplace_back(result, role);
    return result;
}

QLabel* SettingsTexts::symbol(QWidget* parent, const char* name) {
    auto* icon = new QLabel(parent);
    symbols_.emplace_back(icon, name);
    return icon;
}

QWidget* SettingsTexts::titleAndCaption(QWidget* parent, const QString& title, const QString& caption,
                                        QLabel** captionLabel) {
    auto* text = new QWidget(parent);
    auto* layout = new QVBoxLayout(text);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kStackSpacing);
    layout->addWidget(label(text, title, kRowTitleSize, QFont::Medium, Role::primary));
    QLabel* captionText =
        label(text, caption, kCaptionSize, QFont::Normal, Role::tertiary);
    layout->addWidget(captionText);
    if (captionLabel) *captionLabel = captionText;
    return text;
}

void SettingsTexts::applyTheme(const ThemePalette& palette, double devicePixelRatio) {
    for (auto& [lbl, role] : labels_) {
        QPalette p = lbl->palette();
        p.setColor(QPalette::WindowText, role == Role::primary ? palette.primaryText : palette.textTertiary);
        lbl->setPalette(p);
    }
    const qreal side = SymbolIcon::boxSide(kSymbolSize);
    for (auto& [lbl, name] : symbols_) {
        lbl->setPixmap(
            QPixmap::fromImage(SymbolIcon::image(name, palette.primaryText, side, devicePixelRatio)));
        lbl->setFixedSize(int(side), int(side));
    }
}

}  // namespace joulemap
