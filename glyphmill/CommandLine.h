// glyphmill's command line: every command is a CLI11 subcommand of one app
// and leaves the process's exit code in the shared exitCode.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

// The exit codes of every command. Those of files are the ones the
// transfers give (TransferResult::ExitCodeFor), so that a missing file is 12
// whatever the command; the transfers add their own in between.
namespace ExitCode {
enum : int {
    kDone = 0,
    kFailed = 1,           // the command could not do its work (it says why)
    kUsage = 2,            // a wrong command line
    kFileNotOpened = 12,   // a file to read is missing or may not be opened
    kFileNotRead = 13,     // reading a file failed
    kFileNotWritten = 14,  // a file could not be written, or is read-only and was left as it was
};
}  // namespace ExitCode

// The program's name, description, version flag and rule of one command.
void DescribeGlyphmill(CLI::App& app);

// Says what went wrong on stderr, as "glyphmill: message"; returns exitCode.
// Every command reports its failures through it.
int Fail(const std::string& message, int exitCode = ExitCode::kFailed);
// Says on stderr, as "glyphmill: warning: message", what a command that goes
// on did otherwise than asked.
void Warn(const std::string& message);

// Parses argv and runs the command it names. A wrong command line gets the
// command's usage line and what is wrong on stderr, and kUsage.
int RunCommandLine(CLI::App& app, int argc, char** argv, const int& exitCode);
