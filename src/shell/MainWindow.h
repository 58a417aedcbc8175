#pragma once

#include <QPointer>
#include <QWidget>

class QSettings;

namespace joulemap {

class JoulemapViewModel;
class MainView;
class SystemInfoService;
class ThemeManager;

// The dashboard window "焦图". Its frame is saved on every move and resize and restored when the
// next one opens (centred the first time, brought back when the saved place is on no screen). It
// tells the model when the user can see it, and follows the theme. Ctrl+Q in it asks to quit, as
// in the tray panel. The objects it reads must outlive it.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kContentWidth = 1000;
    static constexpr int kContentHeight = 620;
    static constexpr int kMinimumWidth = 900;
    static constexpr int kMinimumHeight = 560;
    static constexpr const char* kFrameKey = "JoulemapMainWindow";

    MainWindow(JoulemapViewModel& model, ThemeManager& theme, SystemInfoService& systemInfo, QSettings& settings,
               QWidget* parent = nullptr);

    MainView* mainView() const { return mainView_; }

signals:
    void closed();
    void quitRequested();

protected:
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void restoreFrame();
    void saveFrame();
    void updateActivity();

    QPointer<JoulemapViewModel> model_;
    QPointer<ThemeManager> theme_;
    QSettings& settings_;
    MainView* mainView_ = nullptr;
};

}  // namespace joulemap
