#include "PrinterCommand.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ImageCommands.h"
#include "CommandLine.h"
#include "PrinterEmulator.h"
#include "PrinterLine.h"

namespace {

std::atomic<bool> StopRequested{false};

void OnStopSignal(int) { StopRequested = true; }

const char* KindName(const ExchangeReport& report) {
    if (!report.handshakeDone) return "no exchange:";
    return report.kind == TransferKind::Transmit ? "transmit" : "receive";
}

void Tell(const ExchangeReport& report, bool expected) {
    std::printf("printer: %s %s, %s, %.2f s, %s%s\n", KindName(report), Counted(report.pages, "page").c_str(),
                Counted(report.repeats, "repeat").c_str(), report.seconds, OutcomeName(report.outcome),
                expected ? "" : " (not as asked)");
    std::fflush(stdout);
}

int Interrupted() { return Fail("interrupted", ExitCode::kInterrupted); }

// Serves exchanges as the options ask; returns the exit code.
int RunPrinter(const PrinterOptions& options) {
    std::string error;
    PrinterLine line;
    const bool opened = options.device.empty() ? line.OpenPseudoTerminal(error)
                                               : line.OpenDevice(options.device, options.baud, error);
    if (!opened || (!options.linkPath.empty() && !line.PlaceLink(options.linkPath, error))) {
        return Fail(error);
    }
    PrinterEmulator printer(line.Line(), options);
    if (!options.servePath.empty()) {
        std::vector<uint8_t> image;
        if (const int failed = ReadImageFile(options.servePath, image); failed != ExitCode::kDone) return failed;
        printer.SetServedImage(image);
    }
    int saveFailure = ExitCode::kDone;  // the first failed --save, which outweighs an exchange not as asked
    printer.OnImageReceived([&](const PrinterEmulator::Image& image) {
        // Without --serve, a read gets back what was sent last.
        if (options.servePath.empty()) printer.SetServedImage({image.begin(), image.end()});
        if (options.savePath.empty()) return;
        const int saved = WriteOut(options.savePath, image.data(), image.size());
        if (saveFailure == ExitCode::kDone) saveFailure = saved;
    });
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::printf("%s\n", line.DevicePath().c_str());
    std::fflush(stdout);

    std::optional<PrinterEmulator::Clock::time_point> deadline;
    if (options.timeoutSeconds > 0) {
        deadline = PrinterEmulator::Clock::now() +
                   std::chrono::duration_cast<PrinterEmulator::Clock::duration>(
                       std::chrono::duration<double>(options.timeoutSeconds));
    }
    bool asAsked = true;
    for (int served = 0; options.exchanges == 0 || served < options.exchanges; ++served) {
        const ExchangeReport report = printer.RunExchange(deadline, StopRequested);
        if (report.outcome == ExchangeOutcome::Interrupted) {
            if (report.handshakeDone) Tell(report, true);
            return Interrupted();
        }
        const bool expected = report.outcome == printer.PlannedOutcome(report.kind);
        asAsked = asAsked && expected;
        Tell(report, expected);
        if (report.outcome == ExchangeOutcome::TimedOut) break;
        // Silent in the last exchange, the printer keeps its line open: the
        // PC must see no answer, not a line that went away.
        const bool last = options.exchanges != 0 && served + 1 == options.exchanges;
        if (last && report.outcome == ExchangeOutcome::Silent &&
            printer.StaySilent(deadline, StopRequested) == ExchangeOutcome::Interrupted)
            return Interrupted();
    }
    // A pty loses what is still unread when its master closes: give the PC a
    // few of its looks at the port to take the last answer.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    if (saveFailure != ExitCode::kDone) return saveFailure;
    return asAsked ? ExitCode::kDone : ExitCode::kFailed;
}

}  // namespace

void AddPrinterOptions(CLI::App& command, PrinterOptions& options) {
    // The help names each value and its range in words; the validators stay quiet there.
    command.add_option("--device", options.device, "use this serial device instead of a new pty")->type_name("PATH");
    command.add_option("--link", options.linkPath, "place a symlink to the device at PATH")->type_name("PATH");
    command.add_option("--save", options.savePath, "write each image received to FILE, before the last page's answer")
        ->type_name("FILE")
        ->check(CLI::Validator(
            [](const std::string& path) { return path == "-" ? "the printer reports on standard output: name a file" : ""; },
            ""));
    command
        .add_option("--serve", options.servePath,
                    "image to send when the PC reads (default: the image received last, else blank 0xFF)")
        ->type_name("FILE");
    command
        .add_option_function<std::string>(
            "--wrong",
            [&options](const std::string& text) {
                const size_t colon = text.find(':');
                options.wrongPage = std::stoi(text.substr(0, colon));
                options.wrongTimes = std::stoi(text.substr(colon + 1));
            },
            "answer \"w\" to page P (0-127) N times (N of 4 or more: page fault)")
        ->type_name("P:N")
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string {
                int pageNumber = -1, times = -1;
                char end = 0;
                if (std::sscanf(text.c_str(), "%d:%d%c", &pageNumber, &times, &end) != 2 || pageNumber < 0 ||
                    pageNumber >= kPageTotal || times < 0 || times > 1000000)
                    return "expected P:N, a page 0-127 and a count";
                return {};
            },
            ""));
    const auto addPage = [&command](const char* name, int& page, const char* help) {
        command.add_option(name, page, help)->check(NumberIn(0, kPageTotal - 1))->type_name("P");
    };
    addPage("--fail", options.failPage, "answer \"f\" to page P");
    addPage("--garbage", options.garbagePage, "answer page P with a byte that is no code");
    addPage("--silent-after", options.silentAfterPage,
            "answer nothing more after page (or block) P; in the last exchange, the line kept open until "
            "--timeout or a signal");
    addPage("--bad-crc", options.badCrcBlock, "corrupt the CRC of block P once when the PC reads");
    command.add_option("--exchanges", options.exchanges, "exchanges to serve before ending (default 1, 0: no end)")
        ->check(NumberIn(0, 1000000))
        ->type_name("N");
    // Bounded, so that the deadline computed from it cannot overflow.
    command.add_option("--timeout", options.timeoutSeconds, "give up after this long (default: never)")
        ->check(NumberIn(0.0, 1e6, false))
        ->type_name("SECONDS");
    command.add_option("--baud", options.baud, "pace the line at B baud, 10 bits a byte (default: as fast as it goes)")
        ->check(NumberIn(50, 4000000))
        ->type_name("B");
    command.add_option("--answer-delay", options.answerDelayMs, "hold each answer to a page back MS milliseconds")
        ->check(NumberIn(0, 1000000))
        ->type_name("MS");
}

void AddPrinterCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<PrinterOptions>();
    CLI::App* printer = app.add_subcommand("printer", "Play the printer on a new pseudo-terminal (or --device) and print its path.");
    AddPrinterOptions(*printer, *options);
    printer->footer(ExitCode::Listed({{ExitCode::kDone, "every exchange ended as the options asked"},
                                      {ExitCode::kFailed, "an exchange did not end as the options asked"},
                                      {ExitCode::kUsage},
                                      {ExitCode::kFileNotOpened, "", " (--serve)"},
                                      {ExitCode::kFileNotRead, "", " (--serve)"},
                                      {ExitCode::kFileNotWritten, "", " (--save)"},
                                      {ExitCode::kInterrupted}}));
    printer->callback([options, &exitCode] { exitCode = RunPrinter(*options); });
}
