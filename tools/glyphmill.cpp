// glyphmill: the host companion of the two programs. Checks and rewrites font
// image files, and plays the printer's side of the serial line.
#include <cstdio>
#include <cstring>
#include <string>

#include "ImageCommands.h"
#include "PrinterCommand.h"

namespace {

void PrintUsage(std::FILE* out) {
    std::fputs(
        "usage: glyphmill COMMAND ...\n"
        "  new FILE                write a new document's font image\n"
        "  info [--json] FILE      list the fonts of an image\n"
        "  check FILE              exit 0 for a valid image, else say why\n"
        "  resave IN OUT           load IN and save it as OUT\n"
        "  printer [OPTIONS]       emulate the printer on a serial line (printer --help)\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    if (command == "printer") return RunPrinterCommand(argc - 2, argv + 2);
    if (IsImageCommand(command)) return RunImageCommand(command, argc - 2, argv + 2);
    std::fprintf(stderr, "glyphmill: unknown command '%s'\n", command.c_str());
    PrintUsage(stderr);
    return 2;
}
