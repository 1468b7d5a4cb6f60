#include "SystemCommands.h"

std::string AddSystemCommands(CLI::App&, int&) {
    return "\nThe printer command, which plays the printer on a pseudo-terminal, is in the Linux glyphmill only.";
}
