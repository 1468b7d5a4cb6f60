// Reading the sender's command line: glysend.exe -fn:"<path>".
#pragma once

#include <optional>
#include <string>

// The path after the first " -fn:" of the whole command line, quoted or
// unquoted; nothing when the line holds no " -fn:".
std::optional<std::string> PathFromCommandLine(const std::string& commandLine);

// The part of a path after its last backslash (the whole path without one).
std::string DisplayNameOf(const std::string& path);
