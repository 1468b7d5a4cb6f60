#include "CommandLine.h"

#include <cstdio>
#include <string>

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

void Warn(const std::string& message) { std::fprintf(stderr, "glyphmill: warning: %s\n", message.c_str()); }

int RunCommandLine(CLI::App& app, int argc, char** argv, const int& exitCode) {
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
