#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace joulemap {

// For a process running an interpreter (python3, node, java, a shell, ...), the program it runs:
// the script's or jar's path, a Python module or a Java main class. Two scripts are two
// applications, not one "python3". Absent when the executable is no interpreter we know, or when
// it runs code given inline (python3 -c, bash -c) or interactively.
// Whether the executable is an interpreter whose command line is worth reading.
bool isInterpreter(std::string_view executablePath);

std::optional<std::string> interpretedProgram(std::string_view executablePath,
                                              const std::vector<std::string_view>& arguments);

}  // namespace joulemap
