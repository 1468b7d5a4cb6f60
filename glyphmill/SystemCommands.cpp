#include "SystemCommands.h"

#include "PrinterCommand.h"

std::string AddSystemCommands(CLI::App& app, int& exitCode) {
    AddPrinterCommand(app, exitCode);
    return "";
}
