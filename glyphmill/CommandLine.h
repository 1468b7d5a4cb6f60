// glyphmill's command line: every command is a CLI11 subcommand of one app
// and leaves the process's exit code in the shared exitCode.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

// The exit codes: one for each kind of failure, whatever the command that
// meets it. The manual's and the man page's tables and the codes a command's
// --help lists follow this one.
namespace ExitCode {
enum : int {
    kDone = 0,
    kFailed = 1,           // the command could not do its work (it says why), or the images compared differ
    kUsage = 2,            // a wrong command line, a font number the image does not have included
    kPageFault = 3,        // a page answered "w" a fourth time
    kVerifyError = 4,      // the printer answered "f"
    kUnknownAnswer = 5,    // bytes that hold none of the expected codes
    kNoAnswer = 6,         // the printer stayed silent past --timeout
    kPortBusy = 7,         // another program holds the port
    kPortMissing = 8,      // no such port, or none to choose by default
    kPortRefused = 9,      // the port cannot be opened or refuses its settings
    kBadImage = 10,        // a file to read as a font image is not a valid one
    kBadBlocks = 11,       // a block arrived damaged a fourth time
    kFileNotOpened = 12,   // a file to read is missing or may not be opened
    kFileNotRead = 13,     // reading a file failed
    kFileNotWritten = 14,  // a file could not be written, or is read-only and was left as it was
    kLineLost = 15,        // the line failed while a transfer ran
    kInterrupted = 130,    // Ctrl-C or a termination signal, as a shell reports a Ctrl-C
};

// The exit code of a transfer's outcome (a TransferResult code).
int ForTransfer(int result);
// The exit code for a file that could not be read (a ReadResult code).
int ForRead(int result);
// The exit code of a font file import that failed (an ImportResult code).
int ForImport(int result);

// What an exit code means, as a phrase.
std::string Meaning(int code);

// A line of an "Exit codes:" list: a code, and what it means for the command
// (by default its Meaning), with a note after it.
struct Entry {
    int code;
    std::string meaning = "";
    std::string note = "";
};
// The "Exit codes:" list of a command's --help, in the order of the codes.
std::string Listed(std::vector<Entry> entries);
}  // namespace ExitCode

// The program's name, description, version flag and rule of one command.
void DescribeGlyphmill(CLI::App& app);

// Says what went wrong on stderr, as "glyphmill: message"; returns exitCode.
// Every command reports its failures through it.
int Fail(const std::string& message, int exitCode = ExitCode::kFailed);
// count and noun, the noun in the plural but for 1: "1 page", "3 pages".
std::string Counted(int count, const std::string& noun);

// Says on stderr, as "glyphmill: warning: message", what a command that goes
// on did otherwise than asked.
void Warn(const std::string& message);

// The check of a numeric option: a number of its type (a whole one for an
// integer type) from first to last. Text that is no number is told so
// ("abc is not a number"), not as out of range. The help names the ranges
// in words, so it describes nothing.
CLI::Validator NumberIn(double first, double last, bool whole = true);
// NumberIn for an int the command checks itself (a font number, a value it clamps).
CLI::Validator AnyWholeNumber();

// Parses argv and runs the command it names. A wrong command line gets the
// command's usage line and what is wrong on stderr, and kUsage.
int RunCommandLine(CLI::App& app, int argc, char** argv, const int& exitCode);
