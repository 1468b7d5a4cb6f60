// The image commands of glyphmill: new, info, check, resave.
#pragma once

#include <string>

bool IsImageCommand(const std::string& command);
// Runs command with its arguments; returns the process exit code.
int RunImageCommand(const std::string& command, int argc, char** argv);
