#include "TransferCommands.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DiffCommand.h"
#include "FontImage.h"
#include "ImageCommands.h"
#include "Progress.h"
#include "Results.h"
#include "SerialLine.h"
#include "Transfers.h"

namespace {

struct TransferArguments {
    std::string file;  // IMAGE to send or verify, OUT to read into
    std::string port;
    unsigned baud = 115200;
    double timeoutSeconds = 5;
    bool quiet = false;
    bool raw = false;
    bool verify = false;  // send: read the image back and compare
    bool force = false;   // read replaces a read-only file of the user's
    std::FILE* report = stdout;  // where the progress and the summary go
};

std::string PortList(const std::vector<SerialPortInfo>& ports) {
    std::string list;
    for (const SerialPortInfo& port : ports) list += (list.empty() ? "" : ", ") + port.name;
    return list;
}

// The port named with --port, else in GLYPHMILL_PORT, else the only one there
// is; a port not named on the command line is said, so that a silent line is
// not mistaken for a silent printer.
bool ChoosePort(std::string& port, std::string& error) {
    if (!port.empty()) return true;
    const char* fromEnvironment = std::getenv("GLYPHMILL_PORT");
    if (fromEnvironment && *fromEnvironment) {
        port = fromEnvironment;
        std::fprintf(stderr, "glyphmill: port %s, from GLYPHMILL_PORT\n", port.c_str());
        return true;
    }
    const std::vector<SerialPortInfo> ports = ListSerialPorts();
    if (ports.size() == 1) {
        port = ports.front().name;
        std::fprintf(stderr, "glyphmill: port %s, the only one there is\n", port.c_str());
        return true;
    }
    error = ports.empty() ? "no serial port found; name one with --port or GLYPHMILL_PORT"
                          : "several serial ports (" + PortList(ports) + "); choose one with --port or GLYPHMILL_PORT";
    return false;
}

// Opens the port for this process alone; returns the exit code (on failure it says why).
int OpenLine(SerialLine& line, TransferArguments& args) {
    std::string error;
    if (!ChoosePort(args.port, error)) return Fail(error, ExitCode::kPortMissing);
    const int result = line.Open(PortPath(args.port), args.baud, error);
    if (result == TransferResult::kDone) return ExitCode::kDone;
    return Fail(std::string(TransferResult::Message(result)) + ": " + error, ExitCode::ForTransfer(result));
}

// Rounded, not cut: 0.3 s is 299.99999999999998 ms, and the 32-bit program,
// which keeps that in the x87's wider registers, would wait 299.
std::chrono::milliseconds Timeout(const TransferArguments& args) {
    return std::chrono::milliseconds(std::llround(args.timeoutSeconds * 1000));
}

std::string Where(const TransferProgress& progress) {
    return progress.paging ? "page " + std::to_string(progress.pages) : "handshake";
}

// Says how a transfer that did not get through ended; returns the exit code.
int ReportFailure(const TransferOutcome& outcome, const TransferArguments& args) {
    const int result = outcome.progress.result;
    std::string text = TransferResult::Message(result);
    if (result == TransferResult::kNoAnswer) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", args.timeoutSeconds);
        text += std::string(" within ") + seconds + " s";
    }
    if (result != TransferResult::kInterrupted) text += " (" + Where(outcome.progress) + ")";
    if (!outcome.detail.empty()) text += ": " + outcome.detail;
    return Fail(text, ExitCode::ForTransfer(result));
}

void Summarize(const char* verb, const TransferArguments& args, const TransferOutcome& outcome, double seconds) {
    std::fprintf(args.report, "%s %s: %d pages in %.2f s (%.1f KiB/s), %s\n", verb, args.file.c_str(), kPageTotal,
                 seconds, kImageSize / 1024.0 / seconds, Counted(outcome.progress.repeats, "repeat").c_str());
}

// Runs a transfer with its progress shown; the outcome's result tells how it ended.
template <typename Run>
TransferOutcome WithProgress(const TransferArguments& args, double& seconds, Run run) {
    Progress progress(Progress::StyleFor(args.report, args.quiet), args.report);
    const TransferOutcome outcome = run([&progress](int pages, int repeats) { progress.Update(pages, repeats); });
    progress.Finish();
    seconds = progress.Seconds();
    return outcome;
}

// Reads the file once, checked as a font image into model unless raw;
// returns the exit code (on failure it says why).
int ReadImage(const TransferArguments& args, std::vector<uint8_t>& bytes, FontImage& model) {
    if (const int failed = ReadImageFile(args.file, bytes); failed != ExitCode::kDone) return failed;
    std::string error;
    if (args.raw || ImageFromBytes(args.file, bytes, model, error)) return ExitCode::kDone;
    if (!args.verify) error += " (--raw sends it as it is)";
    return Fail(error, ExitCode::kBadImage);
}

// Reads the printer's image on the open line; returns the exit code (on
// failure it says why).
int ReadPrinter(SerialLine& line, const TransferArguments& args, ImageBytes& image, TransferOutcome& outcome,
                double& seconds) {
    outcome = WithProgress(args, seconds, [&](const ProgressFn& progress) {
        return ReceiveImage(line, image, Timeout(args), progress);
    });
    if (outcome.progress.result != TransferResult::kDone) return ReportFailure(outcome, args);
    return ExitCode::kDone;
}

// Opens the line, its waits ended by SIGINT and SIGTERM, and reads the
// printer's image; returns the exit code (on failure it says why).
int OpenAndReadPrinter(SerialLine& line, TransferArguments& args, ImageBytes& image, TransferOutcome& outcome,
                       double& seconds) {
    line.StopOnSignals();
    if (const int failed = OpenLine(line, args); failed != ExitCode::kDone) return failed;
    return ReadPrinter(line, args, image, outcome, seconds);
}

int CompareWithPrinter(const FontImage& expected, const ImageBytes& image);

int RunSend(TransferArguments& args) {
    std::vector<uint8_t> bytes;
    FontImage model;
    if (const int failed = ReadImage(args, bytes, model); failed != ExitCode::kDone) return failed;
    ImageBytes image{};  // a short raw file goes out zero-padded
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());

    SerialLine line;
    line.StopOnSignals();
    if (const int failed = OpenLine(line, args); failed != ExitCode::kDone) return failed;
    double seconds = 0;
    const TransferOutcome outcome = WithProgress(args, seconds, [&](const ProgressFn& progress) {
        return SendImage(line, image, Timeout(args), progress);
    });
    if (outcome.progress.result != TransferResult::kDone) return ReportFailure(outcome, args);
    if (!args.quiet) Summarize("sent", args, outcome, seconds);
    if (!args.verify) return ExitCode::kDone;
    ImageBytes printer{};
    TransferOutcome readBack;
    if (const int failed = ReadPrinter(line, args, printer, readBack, seconds); failed != ExitCode::kDone) return failed;
    return CompareWithPrinter(model, printer);
}

int RunRead(TransferArguments& args) {
    // The image on standard output is not mixed with what is said of it.
    if (args.file == "-") args.report = stderr;
    if (const int refused = CheckWritable(args.file, args.force); refused != ExitCode::kDone) return refused;
    SerialLine line;
    ImageBytes image{};
    TransferOutcome outcome;
    double seconds = 0;
    if (const int failed = OpenAndReadPrinter(line, args, image, outcome, seconds); failed != ExitCode::kDone) return failed;
    // Only a whole image replaces the file, and atomically.
    if (const int written = WriteOut(args.file, image.data(), image.size(), args.force); written != ExitCode::kDone)
        return written;
    if (!args.quiet) Summarize("read", args, outcome, seconds);
    return ExitCode::kDone;
}

// Prints "identical", or each difference of the printer's image from expected
// and their count; returns the exit code.
int CompareWithPrinter(const FontImage& expected, const ImageBytes& image) {
    FontImage printer;
    std::string why;
    int loaded = CheckFontImage(image.data(), image.size(), &why);
    if (loaded == LoadResult::kLoaded) loaded = printer.Deserialize(image.data(), image.size());
    if (loaded != LoadResult::kLoaded) {
        std::printf("the printer's image is not a valid font image: %s\n",
                    why.empty() ? LoadResult::Message(loaded) : why.c_str());
        return ExitCode::kFailed;
    }
    if (PrintDifferences(expected, "the file", printer, "the printer") > 0)
        return ExitCode::kFailed;
    return ExitCode::kDone;
}

int RunVerify(TransferArguments& args) {
    std::vector<uint8_t> bytes;
    FontImage expected;
    if (const int failed = ReadImage(args, bytes, expected); failed != ExitCode::kDone) return failed;
    SerialLine line;
    ImageBytes image{};
    TransferOutcome outcome;
    double seconds = 0;
    if (const int failed = OpenAndReadPrinter(line, args, image, outcome, seconds); failed != ExitCode::kDone) return failed;
    return CompareWithPrinter(expected, image);
}

int RunPorts() {
    const std::vector<SerialPortInfo> ports = ListSerialPorts();
    if (ports.empty()) Fail("no serial ports found");
    for (const SerialPortInfo& port : ports) {
        std::string line = port.name + "\t" + port.description;
        if (!port.usb.empty()) line += "\tUSB " + port.usb;
        if (!port.serial.empty()) line += "\tserial " + port.serial;
        if (!port.byId.empty()) line += "\tby-id " + port.byId;
        std::printf("%s\n", line.c_str());
    }
    return ExitCode::kDone;
}

bool OfferedSpeed(unsigned baud) {
    // The window sender's speeds, and the faster ones a port may support.
    return std::find(kBaudRates.begin(), kBaudRates.end(), baud) != kBaudRates.end() ||
           (baud >= 230400 && baud <= 4000000);
}

// A command's own outcomes, as TransferResult codes, with a note for those of an option.
struct Outcome {
    int result;
    const char* note = "";
};

// The exit codes a transfer command can end with: its own outcomes and those
// of every transfer on the line.
std::string ExitCodes(const char* done, std::vector<Outcome> outcomes) {
    using namespace TransferResult;
    for (int line : {kNoAnswer, kPortBusy, kPortMissing, kPortRefused, kLineLost, kInterrupted}) outcomes.push_back({line});
    std::vector<ExitCode::Entry> entries = {{ExitCode::kDone, done}, {ExitCode::kUsage}};
    for (const Outcome& outcome : outcomes)
        entries.push_back({ExitCode::ForTransfer(outcome.result), Message(outcome.result), outcome.note});
    return ExitCode::Listed(entries);
}

void AddLineOptions(CLI::App& command, TransferArguments& args) {
    command
        .add_option("--port", args.port,
                    "the serial port: a device, or a name in /dev/serial/by-id (default: GLYPHMILL_PORT, else the "
                    "only one there is)")
        ->type_name("PORT");
    command
        .add_option("--baud", args.baud,
                    "line speed: 2400, 4800, 9600, 19200, 57600, 115200, or 230400 up to 4000000 where the port "
                    "supports it")
        ->check(CLI::Validator(
            [](const std::string& text) {
                return OfferedSpeed(static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10))) ? ""
                                                                                                   : "not a speed offered";
            },
            ""))
        ->type_name("B")
        ->capture_default_str();
    command
        .add_option("--timeout", args.timeoutSeconds,
                    "give up when the printer has not answered this long after the last byte left")
        ->check(NumberIn(0.01, 3600.0, false))
        ->type_name("SECONDS")
        ->capture_default_str();
    command.add_flag("--quiet,-q", args.quiet, "no progress and no summary");
}

}  // namespace

void AddTransferCommands(CLI::App& app, int& exitCode) {
    auto args = std::make_shared<TransferArguments>();

    CLI::App* ports = app.add_subcommand("ports", "List the serial ports: name, description, USB vendor and product, serial number, /dev/serial/by-id name.");
    ports->callback([&exitCode] { exitCode = RunPorts(); });

    CLI::App* send = app.add_subcommand("send", "Load IMAGE into the printer.");
    send->add_option("IMAGE", args->file, "the font image to send")->required();
    AddLineOptions(*send, *args);
    CLI::Option* raw =
        send->add_flag("--raw", args->raw, "send the file's bytes as they are, even when not a valid image (zero-padded)");
    send->add_flag("--verify", args->verify,
                   "then read the image back and compare its fonts with IMAGE, as verify does")
        ->excludes(raw);
    using namespace TransferResult;
    send->footer(ExitCodes("done (--verify: identical)",
                           {{kDifferent, " (--verify)"}, {kPageFault}, {kVerifyError}, {kUnknownAnswer}, {kBadImage},
                            {kBadBlocks, " (--verify)"}, {kFileNotOpened}, {kFileNotRead}}));
    send->callback([args, &exitCode] { exitCode = RunSend(*args); });

    CLI::App* read = app.add_subcommand("read", "Read the printer's image into OUT (replaced only when all of it came).");
    read->add_option("OUT", args->file, "the file to write")->required();
    AddLineOptions(*read, *args);
    AddForceOption(*read, args->force);
    read->footer(ExitCodes("done", {{kBadBlocks}, {kFileNotOpened}, {kFileNotWritten}}));
    read->callback([args, &exitCode] { exitCode = RunRead(*args); });

    CLI::App* verify = app.add_subcommand(
        "verify", "Read the printer's image and compare its fonts with IMAGE: \"identical\", or each difference.");
    verify->add_option("IMAGE", args->file, "the font image the printer should hold")->required();
    AddLineOptions(*verify, *args);
    verify->footer(ExitCodes("identical", {{kDifferent}, {kBadImage}, {kBadBlocks}, {kFileNotOpened}, {kFileNotRead}}));
    verify->callback([args, &exitCode] {
        args->verify = true;
        exitCode = RunVerify(*args);
    });
}
