#include "PrometheusTextfileWriter.h"

#include "AtomicFile.h"
#include "JoulemapViewModel.h"
#include "ThemeManager.h"  // completes the model's preferences pointer

#include <system_error>

namespace joulemap {

namespace {

std::filesystem::path toPath(const QString& path) { return std::filesystem::path(path.toStdString()); }

}  // namespace

PrometheusTextfileWriter::PrometheusTextfileWriter(JoulemapViewModel& model, QObject* parent)
    : QObject(parent), model_(&model) {
    connect(&model, &JoulemapViewModel::refreshed, this, &PrometheusTextfileWriter::writeNow);
}

void PrometheusTextfileWriter::setPath(const QString& path) {
    if (path == path_) return;
    if (!written_.isEmpty()) {
        std::error_code ignored;
        std::filesystem::remove(toPath(written_), ignored);
        written_.clear();
    }
    path_ = path;
    lastError_.clear();
}

PrometheusExposition::Snapshot PrometheusTextfileWriter::snapshot(const JoulemapViewModel& model) {
    PrometheusExposition::Snapshot s;
    if (model.hasBattery()) s.battery = model.battery();
    s.flow = model.flow();
    s.appEnergyWh = model.appEnergy().totalsWh();
    return s;
}

bool PrometheusTextfileWriter::write(const std::filesystem::path& file, const PrometheusExposition::Snapshot& snapshot,
                                     std::string* error) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        if (error) *error = "cannot create " + file.parent_path().string() + ": " + ec.message();
        return false;
    }
    return writeFileAtomically(file, PrometheusExposition::render(snapshot), error);
}

void PrometheusTextfileWriter::writeNow() {
    if (path_.isEmpty() || !model_) return;
    std::string error;
    if (write(toPath(path_), snapshot(*model_), &error)) {
        written_ = path_;
        lastError_.clear();
        return;
    }
    const QString message = QString::fromStdString(error);
    // Said once per cause, not on every refresh.
    if (message != lastError_) qWarning("joulemap: metrics file not written: %s", qPrintable(message));
    lastError_ = message;
}

}  // namespace joulemap
