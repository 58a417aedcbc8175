#pragma once

namespace joulemap {

// SIGTERM and SIGINT end the event loop instead of the process, so the windows save their frames,
// the workers finish and the history database is closed cleanly. Call once, after the application
// object exists.
void quitOnTerminateSignals();

}  // namespace joulemap
