#pragma once

#include "ModelSources.h"

#include <filesystem>
#include <string>

// "joulemap --export-metrics FILE": one look at the machine, written for node_exporter's textfile
// collector, for a cron job or a systemd timer on a machine that does not run the window. Needs no
// display and no application object, and leaves a running instance alone.
namespace joulemap::MetricsExport {

// Reads the battery and the meters, takes one process sample (which also spaces the meters' two
// readings, so they give averages instead of a baseline), builds the flow and writes the file.
// False with the reason when the file could not be written.
bool exportOnce(const std::filesystem::path& file, const ModelSources& sources, std::string* error);

// exportOnce with this machine's sources; the exit status, after a one-line message on stderr on
// failure.
int run(const std::filesystem::path& file);

}  // namespace joulemap::MetricsExport
