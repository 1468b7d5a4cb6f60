#include "ImageCommands.h"
// Being written.
bool IsImageCommand(const std::string&) { return false; }
int RunImageCommand(const std::string&, int, char**) { return 1; }
