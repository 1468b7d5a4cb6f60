// glyphmill: the host companion of the two programs. Checks and rewrites font
// image files, brings fonts in and out, loads them into the printer, and
// plays the printer's side of the serial line.
#include "CommandLine.h"
#include "DiffCommand.h"
#include "FontCommands.h"
#include "GlyphCommand.h"
#include "ImageCommands.h"
#include "SystemCommands.h"
#include "ToolboxCommands.h"
#include "TransferCommands.h"

int main(int argc, char** argv) {
    CLI::App app;
    DescribeGlyphmill(app);
    int exitCode = ExitCode::kDone;
    AddImageCommands(app, exitCode);
    const std::string systemNote = AddSystemCommands(app, exitCode);
    AddTransferCommands(app, exitCode);
    AddDiffCommand(app, exitCode);
    AddFontCommands(app, exitCode);
    AddToolboxCommands(app, exitCode);
    AddGlyphCommand(app, exitCode);
    // Set after the commands, which would inherit it.
    app.footer("Run 'glyphmill COMMAND --help' for a command's options." + systemNote);
    return RunCommandLine(app, argc, argv, exitCode);
}
