// The commands of glyphmill that talk to the printer: ports, send, read, verify.
#pragma once

#include <CLI/CLI.hpp>

void AddTransferCommands(CLI::App& app, int& exitCode);
