#pragma once

#include <QPointer>
#include <QWidget>

#include "MenuBarPanelModel.h"

class QPushButton;
class QVBoxLayout;

namespace joulemap {

class JoulemapViewModel;
class ThemeManager;

// The tray panel: an optional update notice on top, then the charge with its state pill and the net
// battery power badge, the USB-C output warning, the ten-row flow list, the battery health row and
// the advice, and below a divider the footer with "打开主窗口" and "退出". What each part says
// comes from MenuBarPanelModel; this widget lays it out and paints it. The objects it reads must
// outlive it.
class MenuBarView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 360;
    static constexpr int kPadding = 14;
    static constexpr int kSectionSpacing = 14;

    MenuBarView(JoulemapViewModel& model, ThemeManager& theme, QWidget* parent = nullptr);

    const MenuBarPanelModel::Panel& panel() const { return panel_; }
    QPushButton* openMainWindowButton() const { return openButton_; }
    QPushButton* quitButton() const { return quitButton_; }
    // Height of the painted part between the notice and the footer.
    int bodyHeight() const;

public slots:
    // Places `notice` (e.g. the update notice) at the top; it may hide itself when there is nothing
    // to say, and the panel closes the gap. Replaces (and deletes) an earlier notice.
    void setUpdateNotice(QWidget* notice);

signals:
    void openMainWindowRequested();
    void quitRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Body;

    void rebuild();
    void applyTheme();
    void syncNoticeHolder();

    QPointer<JoulemapViewModel> model_;
    QPointer<ThemeManager> theme_;
    MenuBarPanelModel::Panel panel_;
    QWidget* noticeHolder_ = nullptr;
    QPointer<QWidget> notice_;
    Body* body_ = nullptr;
    QWidget* footer_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
};

}  // namespace joulemap
