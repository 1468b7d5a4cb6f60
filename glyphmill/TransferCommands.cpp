#include "TransferCommands.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
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
    bool force = false;  // read replaces a read-only file of the user's
};

std::string PortList(const std::vector<SerialPortInfo>& ports) {
    std::string list;
    for (const SerialPortInfo& port : ports) list += (list.empty() ? "" : ", ") + port.name;
    return list;
}

// The port named, or the only one there is.
bool ChoosePort(std::string& port, std::string& error) {
    if (!port.empty()) return true;
    const std::vector<SerialPortInfo> ports = ListSerialPorts();
    if (ports.size() == 1) {
        port = ports.front().name;
        return true;
    }
    error = ports.empty() ? "no serial port found; name one with --port"
                          : "several serial ports (" + PortList(ports) + "); choose one with --port";
    return false;
}

// Opens the port for this process alone; on failure says why and returns the exit code, else -1.
int OpenLine(SerialLine& line, TransferArguments& args) {
    std::string error;
    if (!ChoosePort(args.port, error)) return Fail(error, TransferResult::ExitCodeFor(TransferResult::kPortMissing));
    const int result = line.Open(args.port, args.baud, error);
    if (result == TransferResult::kDone) return -1;
    return Fail(std::string(TransferResult::Message(result)) + ": " + error, TransferResult::ExitCodeFor(result));
}

std::chrono::milliseconds Timeout(const TransferArguments& args) {
    return std::chrono::milliseconds(static_cast<long long>(args.timeoutSeconds * 1000));
}

std::string Where(const TransferOutcome& outcome, const char* noun) {
    return outcome.paging ? std::string(noun) + " " + std::to_string(outcome.page) : "handshake";
}

// Says how a transfer that did not get through ended; returns the exit code.
int ReportFailure(const TransferOutcome& outcome, const TransferArguments& args, const char* noun) {
    std::string text = TransferResult::Message(outcome.result);
    if (outcome.result == TransferResult::kNoAnswer) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", args.timeoutSeconds);
        text += std::string(" within ") + seconds + " s";
    }
    if (outcome.result != TransferResult::kInterrupted) text += " (" + Where(outcome, noun) + ")";
    if (!outcome.detail.empty()) text += ": " + outcome.detail;
    return Fail(text, TransferResult::ExitCodeFor(outcome.result));
}

void Summarize(const char* verb, const std::string& file, const TransferOutcome& outcome, double seconds) {
    std::printf("%s %s: %d pages in %.2f s (%.1f KiB/s), %s\n", verb, file.c_str(), kPageTotal, seconds,
                kImageSize / 1024.0 / seconds, Repeats(outcome.repeats).c_str());
}

// Runs a transfer with its progress shown; the outcome's result tells how it ended.
template <typename Run>
TransferOutcome WithProgress(const TransferArguments& args, const char* noun, double& seconds, Run run) {
    Progress progress(Progress::StyleFor(stdout, args.quiet), noun);
    const TransferOutcome outcome = run([&progress](int pages, int repeats) { progress.Update(pages, repeats); });
    progress.Finish();
    seconds = progress.Seconds();
    return outcome;
}

int RunSend(TransferArguments& args) {
    FontImage model;
    std::string error;
    if (!args.raw && !OpenImage(args.file, model, error))
        return Fail(error + " (--raw sends it as it is)", TransferResult::ExitCodeFor(TransferResult::kBadImage));
    ImageBytes image{};
    if (const int read = ReadImageToSend(args.file, image); read != TransferResult::kDone)
        return Fail("cannot read " + args.file + ": " + std::strerror(errno), TransferResult::ExitCodeFor(read));

    SerialLine line;
    line.StopOnSignals();
    if (const int failed = OpenLine(line, args); failed >= 0) return failed;
    double seconds = 0;
    const TransferOutcome outcome = WithProgress(args, "page", seconds, [&](const ProgressFn& progress) {
        return SendImage(line, image, Timeout(args), progress);
    });
    if (outcome.result != TransferResult::kDone) return ReportFailure(outcome, args, "page");
    if (!args.quiet) Summarize("sent", args.file, outcome, seconds);
    return ExitCode::kDone;
}

// Reads the printer's image; on failure says why and returns the exit code, else -1.
int ReadPrinter(TransferArguments& args, ImageBytes& image, TransferOutcome& outcome, double& seconds) {
    SerialLine line;
    line.StopOnSignals();
    if (const int failed = OpenLine(line, args); failed >= 0) return failed;
    outcome = WithProgress(args, "block", seconds, [&](const ProgressFn& progress) {
        return ReceiveImage(line, image, Timeout(args), progress);
    });
    if (outcome.result != TransferResult::kDone) return ReportFailure(outcome, args, "block");
    return -1;
}

int RunRead(TransferArguments& args) {
    if (const int refused = CheckWritable(args.file, args.force); refused != ExitCode::kDone) return refused;
    ImageBytes image{};
    TransferOutcome outcome;
    double seconds = 0;
    if (const int failed = ReadPrinter(args, image, outcome, seconds); failed >= 0) return failed;
    // Only a whole image replaces the file, and atomically.
    if (const int written = WriteOut(args.file, image.data(), image.size(), args.force); written != ExitCode::kDone)
        return written;
    if (!args.quiet) Summarize("read", args.file, outcome, seconds);
    return ExitCode::kDone;
}

int RunVerify(TransferArguments& args) {
    FontImage expected;
    std::string error;
    if (!OpenImage(args.file, expected, error)) return Fail(error, TransferResult::ExitCodeFor(TransferResult::kBadImage));
    ImageBytes image{};
    TransferOutcome outcome;
    double seconds = 0;
    if (const int failed = ReadPrinter(args, image, outcome, seconds); failed >= 0) return failed;

    FontImage printer;
    std::string why;
    int loaded = CheckFontImage(image.data(), image.size(), &why);
    if (loaded == LoadResult::kLoaded) loaded = printer.Deserialize(image.data(), image.size());
    if (loaded != LoadResult::kLoaded) {
        std::printf("the printer's image is not a valid font image: %s\n",
                    why.empty() ? LoadResult::Message(loaded) : why.c_str());
        return TransferResult::ExitCodeFor(TransferResult::kDifferent);
    }
    if (PrintDifferences(expected, "the file", printer, "the printer") > 0)
        return TransferResult::ExitCodeFor(TransferResult::kDifferent);
    return ExitCode::kDone;
}

int RunPorts() {
    const std::vector<SerialPortInfo> ports = ListSerialPorts();
    if (ports.empty()) Fail("no serial ports found");
    for (const SerialPortInfo& port : ports) {
        std::printf("%s\t%s%s\n", port.name.c_str(), port.description.c_str(),
                    port.usb.empty() ? "" : ("\tUSB " + port.usb).c_str());
    }
    return ExitCode::kDone;
}

bool OfferedSpeed(unsigned baud) {
    // The window sender's speeds, and the faster ones a port may support.
    return std::find(kBaudRates.begin(), kBaudRates.end(), baud) != kBaudRates.end() ||
           (baud >= 230400 && baud <= 4000000);
}

std::string ExitCodes(bool verify) {
    std::string text = "Exit codes:\n  0    " + std::string(verify ? "identical" : "done") + "\n";
    if (verify) text += "  1    " + std::string(TransferResult::Message(TransferResult::kDifferent)) + "\n";
    text += "  2    a wrong command line\n";
    for (int code = TransferResult::kPageFault; code >= TransferResult::kInterrupted; --code) {
        char line[16];
        std::snprintf(line, sizeof line, "  %-4d ", TransferResult::ExitCodeFor(code));
        text += line + std::string(TransferResult::Message(code)) + "\n";
    }
    return text;
}

void AddLineOptions(CLI::App& command, TransferArguments& args) {
    command.add_option("--port", args.port, "the serial port (default: the only one there is)")->type_name("PORT");
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
        ->check(CLI::Range(0.01, 3600.0).description(""))
        ->type_name("SECONDS")
        ->capture_default_str();
    command.add_flag("--quiet,-q", args.quiet, "no progress and no summary");
}

}  // namespace

void AddTransferCommands(CLI::App& app, int& exitCode) {
    auto args = std::make_shared<TransferArguments>();

    CLI::App* ports = app.add_subcommand("ports", "List the serial ports: name, description, USB vendor and product.");
    ports->callback([&exitCode] { exitCode = RunPorts(); });

    CLI::App* send = app.add_subcommand("send", "Load IMAGE into the printer.");
    send->add_option("IMAGE", args->file, "the font image to send")->required();
    AddLineOptions(*send, *args);
    send->add_flag("--raw", args->raw, "send the file's bytes as they are, even when not a valid image (zero-padded)");
    send->footer(ExitCodes(false));
    send->callback([args, &exitCode] { exitCode = RunSend(*args); });

    CLI::App* read = app.add_subcommand("read", "Read the printer's image into OUT (replaced only when all of it came).");
    read->add_option("OUT", args->file, "the file to write")->required();
    AddLineOptions(*read, *args);
    AddForceOption(*read, args->force);
    read->footer(ExitCodes(false));
    read->callback([args, &exitCode] { exitCode = RunRead(*args); });

    CLI::App* verify = app.add_subcommand(
        "verify", "Read the printer's image and compare its fonts with IMAGE: \"identical\", or each difference.");
    verify->add_option("IMAGE", args->file, "the font image the printer should hold")->required();
    AddLineOptions(*verify, *args);
    verify->footer(ExitCodes(true));
    verify->callback([args, &exitCode] { exitCode = RunVerify(*args); });
}
