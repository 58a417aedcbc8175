#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace joulemap {

class ThemeManager;
class UpdateChecker;

// The panel's update notice: the offered version, how far its update got and the one action that
// fits (update, manual download, restart). Hidden while there is no offer.
class UpdateNoticeView : public QWidget {
    Q_OBJECT

public:
    UpdateNoticeView(UpdateChecker* checker, ThemeManager* theme, QWidget* parent = nullptr);

    QLabel* titleLabel() const { return title_; }
    QLabel* statusLabel() const { return status_; }
    QPushButton* button() const { return button_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    void onButton();

    QPointer<UpdateChecker> checker_;
    QPointer<ThemeManager> theme_;
    QLabel* title_;
    QLabel* status_;
    QPushButton* button_;
};

}  // namespace joulemap
