// The commands only one system's glyphmill has: printer, which plays the
// printer on a pseudo-terminal, is Linux's alone (Windows has none).
#pragma once

#include <CLI/CLI.hpp>

#include <string>

// Adds them to app; returns what the program's help says of them at its end.
std::string AddSystemCommands(CLI::App& app, int& exitCode);
