// glyphmill: the host companion of the two programs. Checks and rewrites font
// image files, and plays the printer's side of the serial line.
#include "CommandLine.h"
#include "DiffCommand.h"
#include "FontCommands.h"
#include "GlyphCommand.h"
#include "ImageCommands.h"
#include "PrinterCommand.h"
#include "ToolboxCommands.h"
#include "TransferCommands.h"
#include "Version.h"

int main(int argc, char** argv) {
    CLI::App app{"The host companion of Glyver and glysend: font image files and the printer's serial line.",
                 "glyphmill"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("glyphmill ") + GLYPHMILL_VERSION);
    int exitCode = ExitCode::kDone;
    AddImageCommands(app, exitCode);
    AddPrinterCommand(app, exitCode);
    AddTransferCommands(app, exitCode);
    AddDiffCommand(app, exitCode);
    AddFontCommands(app, exitCode);
    AddToolboxCommands(app, exitCode);
    AddGlyphCommand(app, exitCode);
    // Set after the commands, which would inherit it.
    app.footer("Run 'glyphmill COMMAND --help' for a command's options.");
    return RunCommandLine(app, argc, argv, exitCode);
}
