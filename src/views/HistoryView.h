#pragma once

#include <QPointer>
#include <QThreadPool>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "HistoryStore.h"
#include "TextTranslation.h"

class QLabel;
class QScrollArea;
class QTimer;

namespace joulemap {

class CapsuleButton;
class HistoryAlertsCard;
class HistoryChartCard;
class HistoryEnergyCard;
class HistorySamplesCard;
class ThemeManager;

// The history window's content: the recorded power and charge of the last day or week as a chart,
// the energy each application used, the newest samples as a table and the alert log. It reads the history store itself, off the main
// thread, when shown, when the range changes and every 30 s while it stays shown.
class HistoryView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kReloadIntervalMs = 30'000;
    static constexpr int kDefaultHours = 24;
    static constexpr int kMargin = 20;
    static constexpr int kSpacing = 14;
    static constexpr int kButtonSpacing = 8;

    struct RangeOption {
        SourceText label;
        int64_t hours;
    };
    static const std::vector<RangeOption>& rangeOptions();

    // Reads the process-wide store.
    explicit HistoryView(ThemeManager* theme, QWidget* parent = nullptr);
    // Reads `store`, which must outlive the view.
    HistoryView(ThemeManager* theme, HistoryStore* store, QWidget* parent = nullptr);
    // Waits for a read still running, so it never outlives the store it was handed.
    ~HistoryView() override;

    int64_t selectedHours() const { return selectedHours_; }
    void setSelectedHours(int64_t hours);

    // Starts a read of the store; the newest request wins when several overlap.
    void reload();
    // Writes the kept history as CSV files into `folder`, off the main thread; the line beside the
    // button says where they went or why not. The button asks for the folder with a dialog.
    void exportCsv(const QString& folder);
    QString exportStatus() const;

    const std::vector<HistoryStore::Record>& records() const { return records_; }
    const std::vector<HistoryStore::AlertRecord>& alerts() const { return alerts_; }
    HistoryChartCard* chartCard() const { return chart_; }
    HistoryEnergyCard* energyCard() const { return energy_; }
    HistorySamplesCard* samplesCard() const { return samples_; }
    HistoryAlertsCard* alertsCard() const { return alertsCard_; }
    QTimer* reloadTimer() const { return reloadTimer_; }

signals:
    // After the results of a read have been shown.
    void loaded();
    // After an export, with an empty message when it succeeded.
    void exported(const QString& error);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Loaded {
        std::vector<HistoryStore::Record> records;
        std::vector<HistoryStore::AlertRecord> alerts;
        std::vector<AppEnergy> energy;
    };

    void apply(Loaded result, int64_t hours);
    void applyTheme();
    void chooseExportFolder();

    QPointer<ThemeManager> theme_;
    HistoryStore* store_;
    int64_t selectedHours_ = kDefaultHours;
    uint64_t generation_ = 0;
    // One read at a time, and the destructor can wait for it.
    QThreadPool readers_;
    std::vector<HistoryStore::Record> records_;
    std::vector<HistoryStore::AlertRecord> alerts_;

    QScrollArea* scrollArea_ = nullptr;
    QWidget* header_ = nullptr;
    std::vector<CapsuleButton*> rangeButtons_;
    CapsuleButton* exportButton_ = nullptr;
    QLabel* exportStatus_ = nullptr;
    HistoryChartCard* chart_ = nullptr;
    HistoryEnergyCard* energy_ = nullptr;
    HistorySamplesCard* samples_ = nullptr;
    HistoryAlertsCard* alertsCard_ = nullptr;
    QTimer* reloadTimer_ = nullptr;
};

}  // namespace joulemap
