// glyphmill printer: the printer's side of the transmit and receive protocols.
#pragma once

#include <CLI/CLI.hpp>

#include "PrinterEmulator.h"

// The printer's options on command, bound to options.
void AddPrinterOptions(CLI::App& command, PrinterOptions& options);
void AddPrinterCommand(CLI::App& app, int& exitCode);
