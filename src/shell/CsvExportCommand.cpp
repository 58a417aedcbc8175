#include "CsvExportCommand.h"

#include "AppPaths.h"
#include "CsvExport.h"
#include "HistoryStore.h"

#include <chrono>
#include <cstdio>

namespace joulemap {

int runCsvExport(const std::string& folder, int64_t days) {
    const std::optional<std::filesystem::path> database = AppPaths::historyDatabasePath();
    if (!database) {
        std::fputs("joulemap: no history yet: there is no home folder to keep it in\n", stderr);
        return 1;
    }
    HistoryStore store(
        *database,
        [] { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); },
        HistoryStore::Access::readOnly);
    if (const std::optional<std::string> error = CsvExport::exportHistory(store, folder, days)) {
        std::fprintf(stderr, "joulemap: %s\n", error->c_str());
        return 1;
    }
    std::printf("joulemap: wrote %s, %s and %s to %s\n", CsvExport::kSamplesFile, CsvExport::kAppsFile,
                CsvExport::kAlertsFile, folder.c_str());
    return 0;
}

}  // namespace joulemap
