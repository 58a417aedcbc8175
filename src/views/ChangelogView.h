#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <vector>

#include "ChangelogData.h"

class QScrollArea;
class QVBoxLayout;

namespace joulemap {

class HistoryVersionCard;
class ThemeManager;

// The changelog window's content: the release history from versions.json, the newest release open
// on a highlighted card and every older one on a card that opens with a click; the running
// version carries a "当前" badge. The file is read again each time the view is shown.
class ChangelogView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMargin = 24;
    static constexpr int kSpacing = 24;

    explicit ChangelogView(ThemeManager* theme, QWidget* parent = nullptr);

    // Where versions.json is looked for; by default next to and above the executable, then the
    // working directory.
    void setSources(std::vector<std::filesystem::path> sources);
    // The running version; empty when unknown, which marks no release as current.
    void setCurrentVersion(const QString& version);
    QString currentVersionText() const;

    // Reads the file again and rebuilds the cards.
    void reload();

    const ChangelogData::Root& root() const { return root_; }
    // The newest release's card, or none without releases.
    QWidget* latestCard() const { return latest_; }
    const std::vector<HistoryVersionCard*>& olderCards() const { return older_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void rebuild();
    void applyTheme();

    QPointer<ThemeManager> theme_;
    std::vector<std::filesystem::path> sources_;
    QString currentVersion_;
    ChangelogData::Root root_;

    QScrollArea* scrollArea_ = nullptr;
    QWidget* header_ = nullptr;
    QVBoxLayout* column_ = nullptr;
    QWidget* latest_ = nullptr;
    std::vector<HistoryVersionCard*> older_;
};

}  // namespace joulemap
