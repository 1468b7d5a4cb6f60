// glyphmill send, read and verify against the printer emulator on a
// pseudo-terminal, both run as a user runs them.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FontImage.h"

extern char** environ;

namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Scratch(const std::string& name) { return ::testing::TempDir() + "glyphmill_transfer_" + name; }

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spill(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

// Starts glyphmill with arguments, its output going to files.
pid_t Start(const std::vector<std::string>& arguments, const std::string& out, const std::string& err) {
    std::vector<std::string> words = {GLYPHMILL_TOOL};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

Outcome Finish(pid_t pid, const std::string& out, const std::string& err) {
    int status = 0;
    waitpid(pid, &status, 0);
    return {ExitCodeOf(status), Slurp(out), Slurp(err)};
}

Outcome Glyphmill(const std::vector<std::string>& arguments) {
    const std::string out = Scratch("stdout"), err = Scratch("stderr");
    return Finish(Start(arguments, out, err), out, err);
}

// The emulated printer on a new pty, reached through a link; ended with the object.
class Printer {
public:
    explicit Printer(std::vector<std::string> options)
        : link_(Scratch("port")), log_(Scratch("printer.log")), err_(Scratch("printer.err")) {
        std::filesystem::remove(link_);
        options.insert(options.begin(), {"printer", "--link", link_, "--timeout", "30"});
        pid_ = Start(options, log_, err_);
        for (int i = 0; i < 200 && !std::filesystem::is_symlink(link_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~Printer() {
        if (pid_ < 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    // Ends the printer with signal; how it ended.
    Outcome Stop(int signal) {
        kill(pid_, signal);
        const Outcome ended = Finish(pid_, log_, err_);
        pid_ = -1;
        return ended;
    }
    const std::string& Port() const { return link_; }
    // The printer's report of its exchanges so far, once it has made count of them.
    std::string Report(int count) const {
        std::string log;
        for (int i = 0; i < 500; ++i) {
            log = Slurp(log_);
            size_t reports = 0;
            for (size_t at = log.find("printer: "); at != std::string::npos; at = log.find("printer: ", at + 1)) ++reports;
            if (reports >= size_t(count)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return log;
    }

private:
    std::string link_, log_, err_;
    pid_t pid_ = -1;
};

// A valid image with ink in it, saved at path; its bytes are returned.
std::string SampleImage(const std::string& path) {
    FontImage image;
    image.InitNew();
    image.SetFontName(0, "Sample");
    for (int code = 0; code < 256; ++code) image.FontAt(0).At(code).data[0] = static_cast<uint8_t>(code);
    EXPECT_EQ(image.Save(path), 1);
    return Slurp(path);
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Transfer, SendReadAndVerifyRoundTripByteForByte) {
    const std::string image = Scratch("sample.bin"), saved = Scratch("saved.bin"), out = Scratch("read.bin");
    const std::string bytes = SampleImage(image);
    std::filesystem::remove(out);
    Printer printer({"--exchanges", "6", "--save", saved});

    Outcome run = Glyphmill({"send", image, "--port", printer.Port()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // Saved before the printer's last answer: there once the send is done.
    EXPECT_EQ(Slurp(saved), bytes);
    // Not a terminal: a plain line every 16 pages, then the summary.
    EXPECT_TRUE(Has(run.out, "16/128 pages, 8192/65536 bytes, ")) << run.out;
    EXPECT_TRUE(Has(run.out, "128/128 pages, 65536/65536 bytes, ")) << run.out;
    EXPECT_TRUE(Has(run.out, "sent " + image + ": 128 pages in ")) << run.out;
    EXPECT_TRUE(Has(printer.Report(1), "transmit 128 pages, 0 repeats")) << printer.Report(1);

    // The image on standard output; what is said of it, counted in pages, on standard error.
    run = Glyphmill({"read", "-", "--port", printer.Port()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, bytes);
    EXPECT_TRUE(Has(run.err, "16/128 pages, 8192/65536 bytes, ")) << run.err;
    EXPECT_TRUE(Has(run.err, "read -: 128 pages in ")) << run.err;

    run = Glyphmill({"read", out, "--port", printer.Port(), "--quiet"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Slurp(out), bytes);

    run = Glyphmill({"verify", image, "--port", printer.Port(), "-q"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "identical\n");

    // Load and compare in one command, on the port GLYPHMILL_PORT names.
    setenv("GLYPHMILL_PORT", printer.Port().c_str(), 1);
    run = Glyphmill({"send", image, "--verify", "-q"});
    unsetenv("GLYPHMILL_PORT");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "identical\n");
    EXPECT_EQ(run.err, "glyphmill: port " + printer.Port() + ", from GLYPHMILL_PORT\n");
}

TEST(Transfer, EachPrinterFaultHasItsMessageAndExitCode) {
    const std::string image = Scratch("fault.bin"), out = Scratch("fault-read.bin");
    SampleImage(image);
    struct Case {
        const char* command;
        std::vector<std::string> printerOptions;
        int exitCode;
        const char* says;
        const char* printerSays;
    };
    // A silent printer keeps its line open: the PC, waiting longer than the
    // printer lingers after its last exchange, sees no answer, not a lost line.
    const Case cases[] = {
        {"send", {"--wrong", "5:4"}, 3, "page fault: the printer asked for a page a fourth time (page 5)",
         "transmit 5 pages, 3 repeats, "},
        {"send", {"--fail", "7"}, 4, "verification error: the printer could not store the image (page 7)", ""},
        {"send", {"--garbage", "9"}, 5, "unknown answer from the printer (page 9): 0x00", ""},
        {"send", {"--silent-after", "0"}, 6, "no answer from the printer within 1.5 s (page 1)",
         "transmit 1 page, 0 repeats, "},
        {"read", {"--bad-crc", "2", "--silent-after", "3"}, 6, "no answer from the printer within 1.5 s (page 4)",
         "receive 4 pages, 1 repeat, "},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(out);
        Printer printer(c.printerOptions);
        const bool send = std::string(c.command) == "send";
        const Outcome run = Glyphmill({c.command, send ? image : out, "--port", printer.Port(), "--timeout", "1.5"});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.printerOptions[0] << " " << run.err;
        EXPECT_EQ(run.err, std::string("glyphmill: ") + c.says + "\n") << c.printerOptions[0];
        EXPECT_TRUE(Has(printer.Report(1), c.printerSays)) << printer.Report(1);
        if (!send) {
            EXPECT_FALSE(std::filesystem::exists(out)) << c.printerOptions[0];
        }
    }
    // Recovered: three repeats of the last page, whose answer is awaited.
    Printer printer({"--wrong", "127:3"});
    const Outcome run = Glyphmill({"send", image, "--port", printer.Port()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "page 127 again, 3 repeats so far\n")) << run.out;
    EXPECT_TRUE(Has(run.out, ", 3 repeats\n")) << run.out;
}

TEST(Transfer, VerifyNamesEachDifferingFontAndSymbol) {
    const std::string image = Scratch("verify.bin"), served = Scratch("served.bin");
    SampleImage(image);
    FontImage other;
    other.InitNew();
    other.SetFontName(0, "Sample");
    for (int code = 0; code < 256; ++code) other.FontAt(0).At(code).data[0] = static_cast<uint8_t>(code);
    other.FontAt(0).At('A').data[0] = 0x00;
    other.FontAt(0).At('B').width = 3;
    other.SetInterval(0, 2);
    other.AddFont();
    ASSERT_EQ(other.Save(served), 1);
    Printer printer({"--serve", served, "--exchanges", "3"});

    const std::string differences =
        "font 0 \"Sample  \": interval 1 in the file, 2 in the printer\n"
        "font 0 \"Sample  \", code 65: the columns differ (width 1)\n"
        "font 0 \"Sample  \", code 66: width 1 in the file, 3 in the printer\n"
        "font 1 \"Unnamed \": only in the printer\n"
        "4 differences\n";
    Outcome run = Glyphmill({"verify", image, "--port", printer.Port(), "-q"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, differences);
    // The printer serves another image than it took.
    run = Glyphmill({"send", image, "--verify", "--port", printer.Port(), "-q"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, differences);
}

TEST(Transfer, PortsAndImagesThatCannotBeUsed) {
    const std::string image = Scratch("ports.bin"), junk = Scratch("junk.bin"), saved = Scratch("raw-saved.bin");
    SampleImage(image);
    Spill(junk, "not an image");

    Outcome run = Glyphmill({"send", image, "--port", Scratch("no-such-port")});
    EXPECT_EQ(run.exitCode, 8);
    EXPECT_TRUE(Has(run.err, "glyphmill: no such port: ")) << run.err;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"send", Scratch("no-such-image.bin"), "--port", Scratch("no-such-port")},
          {"verify", Scratch("no-such-image.bin"), "--port", Scratch("no-such-port")},
          {"printer", "--serve", Scratch("no-such-image.bin")}}) {
        run = Glyphmill(arguments);
        EXPECT_EQ(run.exitCode, 12) << arguments[0];
        EXPECT_EQ(run.err, "glyphmill: cannot open " + Scratch("no-such-image.bin") + ": No such file or directory\n");
    }
    // Each command lists the exit codes it can end with.
    run = Glyphmill({"read", "--help"});
    EXPECT_TRUE(Has(run.out, "  11   a page arrived damaged four times\n")) << run.out;
    EXPECT_FALSE(Has(run.out, "page fault")) << run.out;
    EXPECT_FALSE(Has(run.out, "not a valid font image")) << run.out;
    // The image is refused before the port is opened, unless --raw.
    run = Glyphmill({"send", junk, "--port", Scratch("no-such-port")});
    EXPECT_EQ(run.exitCode, 10);
    EXPECT_TRUE(Has(run.err, "12 bytes, a font image has 65536 (--raw sends it as it is)")) << run.err;
    {
        Printer printer({"--save", saved});
        run = Glyphmill({"send", junk, "--raw", "--port", printer.Port(), "-q"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        printer.Report(1);
        EXPECT_EQ(Slurp(saved), "not an image" + std::string(65536 - 12, '\0'));
    }
    EXPECT_EQ(Glyphmill({"send", image, "--baud", "38400"}).exitCode, 2);
    EXPECT_EQ(Glyphmill({"ports"}).exitCode, 0);
}

TEST(Transfer, BusyPortIsRefusedAndCtrlCLeavesNoPartialFile) {
    const std::string image = Scratch("busy.bin"), out = Scratch("interrupted.bin");
    SampleImage(image);
    std::filesystem::remove(out);
    // At 9600 baud a whole reception takes seven seconds.
    Printer printer({"--baud", "9600"});
    const std::string readOut = Scratch("read.out"), readErr = Scratch("read.err");
    const pid_t reading = Start({"read", out, "--port", printer.Port(), "--baud", "9600"}, readOut, readErr);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    const Outcome second = Glyphmill({"send", image, "--port", printer.Port()});
    EXPECT_EQ(second.exitCode, 7);
    // Said once, whether the lock or the kernel's exclusive mode refused it.
    EXPECT_EQ(second.err.rfind("another program holds it"), second.err.find("another program holds it")) << second.err;
    EXPECT_TRUE(Has(second.err, "glyphmill: port busy: another program holds it: " + printer.Port())) << second.err;

    kill(reading, SIGINT);
    const Outcome first = Finish(reading, readOut, readErr);
    EXPECT_EQ(first.exitCode, 130);
    EXPECT_EQ(first.err, "glyphmill: interrupted\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    // The printer, waiting for the answer to a block, is stopped as the PC is.
    const Outcome stopped = printer.Stop(SIGTERM);
    EXPECT_EQ(stopped.exitCode, 130);
    EXPECT_EQ(stopped.err, "glyphmill: interrupted\n");
    EXPECT_TRUE(Has(stopped.out, ", interrupted\n")) << stopped.out;
}

}  // namespace
