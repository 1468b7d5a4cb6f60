// Runs the built glyphmill as a user runs it, for the tests of its commands.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// A file of this test program's own, apart from those of tests running beside it.
inline std::string Scratch(const std::string& name) {
    return ::testing::TempDir() + "glyphmill_tool_" + std::to_string(::getpid()) + "_" + name;
}

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs glyphmill with arguments; a shell command before it (prefix) can run
// it as another user or with other limits.
inline Outcome Glyphmill(const std::string& arguments, const std::string& prefix = "") {
    const std::string out = Scratch("stdout"), err = Scratch("stderr");
    const std::string command = prefix + std::string(GLYPHMILL_TOOL) + " " + arguments + " >" + out + " 2>" + err;
    const int status = std::system(command.c_str());
    Outcome run;
    // A crash shows as a signal, never as an exit code.
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
}
