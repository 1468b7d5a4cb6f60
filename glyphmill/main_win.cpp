// glyphmill.exe: the same commands as the Linux glyphmill but printer, which
// plays the printer on a pseudo-terminal, a thing Windows lacks.
#include "CommandLine.h"
#include "DiffCommand.h"
#include "FontCommands.h"
#include "GlyphCommand.h"
#include "ImageCommands.h"
#include "ToolboxCommands.h"
#include "TransferCommands.h"

int main(int argc, char** argv) {
    CLI::App app;
    DescribeGlyphmill(app);
    int exitCode = ExitCode::kDone;
    AddImageCommands(app, exitCode);
    AddTransferCommands(app, exitCode);
    AddDiffCommand(app, exitCode);
    AddFontCommands(app, exitCode);
    AddToolboxCommands(app, exitCode);
    AddGlyphCommand(app, exitCode);
    // Set after the commands, which would inherit it.
    app.footer("Run 'glyphmill COMMAND --help' for a command's options.\n"
               "The printer command, which plays the printer on a pseudo-terminal, is in the Linux glyphmill only.");
    return RunCommandLine(app, argc, argv, exitCode);
}
