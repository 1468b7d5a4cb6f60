#include "CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>

#include "FontImport.h"
#include "Results.h"
#include "Version.h"

namespace {

// The deepest command named on the line: its usage is the one to show.
CLI::App& NamedCommand(CLI::App& app) {
    CLI::App* command = &app;
    while (!command->get_subcommands().empty()) command = command->get_subcommands().front();
    return *command;
}

std::string UsageLine(CLI::App& command) {
    std::string prefix;
    for (CLI::App* parent = command.get_parent(); parent; parent = parent->get_parent())
        prefix = parent->get_name() + (prefix.empty() ? "" : " " + prefix);
    const std::string help = command.help(prefix);
    const size_t start = help.find("Usage: ");
    if (start == std::string::npos) return command.get_name();
    const size_t end = help.find('\n', start);
    return help.substr(start + 7, end - start - 7);
}

std::string FullName(CLI::App& command) {
    std::string name = command.get_name();
    for (CLI::App* parent = command.get_parent(); parent; parent = parent->get_parent())
        name = parent->get_name() + " " + name;
    return name;
}

}  // namespace

namespace ExitCode {

int ForTransfer(int result) {
    switch (result) {
        case TransferResult::kDone: return kDone;
        case TransferResult::kDifferent: return kFailed;
        case TransferResult::kPageFault: return kPageFault;
        case TransferResult::kVerifyError: return kVerifyError;
        case TransferResult::kUnknownAnswer: return kUnknownAnswer;
        case TransferResult::kNoAnswer: return kNoAnswer;
        case TransferResult::kPortBusy: return kPortBusy;
        case TransferResult::kPortMissing: return kPortMissing;
        case TransferResult::kPortRefused: return kPortRefused;
        case TransferResult::kBadImage: return kBadImage;
        case TransferResult::kBadBlocks: return kBadBlocks;
        case TransferResult::kFileNotOpened: return kFileNotOpened;
        case TransferResult::kFileNotRead: return kFileNotRead;
        case TransferResult::kFileNotWritten: return kFileNotWritten;
        case TransferResult::kInterrupted: return kInterrupted;
        case TransferResult::kLineLost: return kLineLost;
    }
    return kFailed;
}

int ForRead(int result) {
    switch (result) {
        case ReadResult::kRead: return kDone;
        case ReadResult::kNotOpened: return kFileNotOpened;
        case ReadResult::kNotRead: return kFileNotRead;
    }
    return kFailed;
}

int ForImport(int result) {
    switch (result) {
        case ImportResult::kImported: return kDone;
        case ImportResult::kNotOpened: return kFileNotOpened;
        case ImportResult::kNotRead: return kFileNotRead;
        case ImportResult::kBadRequest:
        case ImportResult::kNoSuchFont: return kUsage;
    }
    return kFailed;
}

std::string Meaning(int code) {
    switch (code) {
        case kDone: return "done";
        case kFailed: return "the command could not do its work";
        case kUsage: return "a wrong command line";
        case kPageFault: return TransferResult::Message(TransferResult::kPageFault);
        case kVerifyError: return TransferResult::Message(TransferResult::kVerifyError);
        case kUnknownAnswer: return TransferResult::Message(TransferResult::kUnknownAnswer);
        case kNoAnswer: return TransferResult::Message(TransferResult::kNoAnswer);
        case kPortBusy: return TransferResult::Message(TransferResult::kPortBusy);
        case kPortMissing: return TransferResult::Message(TransferResult::kPortMissing);
        case kPortRefused: return TransferResult::Message(TransferResult::kPortRefused);
        case kBadImage: return TransferResult::Message(TransferResult::kBadImage);
        case kBadBlocks: return TransferResult::Message(TransferResult::kBadBlocks);
        case kFileNotOpened: return TransferResult::Message(TransferResult::kFileNotOpened);
        case kFileNotRead: return TransferResult::Message(TransferResult::kFileNotRead);
        case kFileNotWritten: return TransferResult::Message(TransferResult::kFileNotWritten);
        case kLineLost: return TransferResult::Message(TransferResult::kLineLost);
        case kInterrupted: return TransferResult::Message(TransferResult::kInterrupted);
    }
    return "unknown exit code";
}

std::string Listed(std::vector<Entry> entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.code < b.code; });
    std::string text = "Exit codes:\n";
    for (const Entry& entry : entries) {
        char number[16];
        std::snprintf(number, sizeof number, "  %-4d ", entry.code);
        text += number + (entry.meaning.empty() ? Meaning(entry.code) : entry.meaning) + entry.note + "\n";
    }
    return text;
}

}  // namespace ExitCode

CLI::Validator NumberIn(double first, double last, bool whole) {
    return CLI::Validator(
        [first, last, whole](const std::string& text) -> std::string {
            // Whole numbers as CLI11 converts them (0x for hex), else any number.
            long long integer = 0;
            double value = 0;
            if (whole && CLI::detail::lexical_cast(text, integer)) value = static_cast<double>(integer);
            else if (!CLI::detail::lexical_cast(text, value) || !std::isfinite(value)) return text + " is not a number";
            else if (whole && value != std::floor(value)) return text + " is not a whole number";
            if (value >= first && value <= last) return "";
            std::ostringstream range;
            range << std::setprecision(12) << text << " is not in the range " << first << " to " << last;
            return range.str();
        },
        "");
}

CLI::Validator AnyWholeNumber() {
    return NumberIn(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

void DescribeGlyphmill(CLI::App& app) {
    app.name("glyphmill");
    app.description("The host companion of Glyver and glysend: font image files and the printer's serial line.");
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("glyphmill ") + GLYPHMILL_VERSION);
}

int Fail(const std::string& message, int exitCode) {
    std::fprintf(stderr, "glyphmill: %s\n", message.c_str());
    return exitCode;
}

std::string Counted(int count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void Warn(const std::string& message) { std::fprintf(stderr, "glyphmill: warning: %s\n", message.c_str()); }

namespace {

int ParseAndRun(CLI::App& app, int argc, char** argv, const int& exitCode) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);  // --help or --version
    } catch (const CLI::ParseError& error) {
        CLI::App& command = NamedCommand(app);
        std::string what = error.what();
        if (&command == &app && argc > 1)
            what = std::string(argv[1][0] == '-' ? "unknown option '" : "unknown command '") + argv[1] + "'";
        std::fprintf(stderr, "%s: usage: %s\n%s: %s\nRun '%s --help' for more.\n", app.get_name().c_str(),
                     UsageLine(command).c_str(), app.get_name().c_str(), what.c_str(), FullName(command).c_str());
        return ExitCode::kUsage;
    }
    return exitCode;
}

}  // namespace

int RunCommandLine(CLI::App& app, int argc, char** argv, const int& exitCode) {
    const int code = ParseAndRun(app, argc, argv, exitCode);
    // What a command printed is its result: output lost (a full disk, a
    // closed pipe's reader gone) is a failure like a file not written.
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    std::cout.flush();
    if (flushed && !std::ferror(stdout) && std::cout.good()) return code;
    return Fail(std::string("cannot write standard output: ") + (flushed ? "a write failed" : std::strerror(error)),
                ExitCode::kFileNotWritten);
}
