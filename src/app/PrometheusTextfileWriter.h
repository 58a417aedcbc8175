#pragma once

#include "PrometheusExposition.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <filesystem>
#include <string>

namespace joulemap {

class JoulemapViewModel;

// Writes the model's figures for node_exporter's textfile collector after every refresh, so the
// file is as fresh as the window. Each write replaces the whole file at once: the collector may
// read it at any moment.
class PrometheusTextfileWriter : public QObject {
    Q_OBJECT

public:
    explicit PrometheusTextfileWriter(JoulemapViewModel& model, QObject* parent = nullptr);

    // Empty: no export. The file written under the previous path is removed, since a collector
    // would go on exporting its figures as if they were current.
    void setPath(const QString& path);
    QString path() const { return path_; }

    // Why the last write failed; empty after one that succeeded.
    QString lastError() const { return lastError_; }

    // What the model shows now, as the exposition's input.
    static PrometheusExposition::Snapshot snapshot(const JoulemapViewModel& model);

    // Creates the folder if needed, then replaces the file with the rendered snapshot.
    static bool write(const std::filesystem::path& file, const PrometheusExposition::Snapshot& snapshot,
                      std::string* error);

private:
    void writeNow();

    QPointer<JoulemapViewModel> model_;
    QString path_;
    QString written_;
    QString lastError_;
};

}  // namespace joulemap
