#pragma once

#include <string_view>

namespace joulemap {

// Whether a Linux program (by its path) belongs to the operating system or to the desktop session
// rather than being an application the user runs: init and its helpers, administrative binaries,
// display servers and compositors, the sound server, the session's settings daemons. A user's
// program under /usr/libexec/ (a terminal server, say) is an application like any other.
bool isLinuxSystemProgram(std::string_view path);

}  // namespace joulemap
