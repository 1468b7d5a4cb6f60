#include "PrinterCommand.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "AtomicFile.h"
#include "PrinterEmulator.h"
#include "PrinterLine.h"

namespace {

std::atomic<bool> StopRequested{false};

void OnStopSignal(int) { StopRequested = true; }

void PrintUsage(std::FILE* out) {
    std::fputs(
        "usage: glyphmill printer [OPTIONS]\n"
        "Plays the printer on a new pseudo-terminal (or --device) and prints its path.\n"
        "  --device PATH       use this serial device instead of a new pty\n"
        "  --link PATH         place a symlink to the device at PATH\n"
        "  --save FILE         write each image received to FILE\n"
        "  --serve FILE        image to send when the PC reads (default: the image\n"
        "                      received last, else blank 0xFF)\n"
        "  --wrong P:N         answer \"w\" to page P N times (N of 4 or more: page fault)\n"
        "  --fail P            answer \"f\" to page P\n"
        "  --garbage P         answer page P with a byte that is no code\n"
        "  --silent-after P    answer nothing more after page (or block) P\n"
        "  --bad-crc P         corrupt the CRC of block P once when the PC reads\n"
        "  --exchanges N       exchanges to serve before ending (default 1, 0: no end)\n"
        "  --timeout SECONDS   give up after this long (default: never)\n"
        "  --baud B            pace the line at B baud, 10 bits a byte (default: as fast\n"
        "                      as it goes)\n"
        "  --answer-delay MS   hold each answer to a page back MS milliseconds\n"
        "Exit code 0 when every exchange ended as the options asked, 1 otherwise,\n"
        "2 for a wrong command line.\n",
        out);
}

bool ReadImageFile(const std::string& path, std::vector<uint8_t>& image) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

const char* KindName(const ExchangeReport& report) {
    if (!report.handshakeDone) return "no exchange:";
    return report.kind == TransferKind::Transmit ? "transmit" : "receive";
}

}  // namespace

int RunPrinterCommand(int argc, char** argv) {
    if (argc > 0 && (std::string(argv[0]) == "--help" || std::string(argv[0]) == "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    std::string error;
    const std::optional<PrinterOptions> options = ParsePrinterOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "glyphmill printer: %s\n", error.c_str());
        PrintUsage(stderr);
        return 2;
    }

    PrinterLine line;
    const bool opened = options->device.empty() ? line.OpenPseudoTerminal(error) : line.OpenDevice(options->device, error);
    if (!opened || (!options->linkPath.empty() && !line.PlaceLink(options->linkPath, error))) {
        std::fprintf(stderr, "glyphmill printer: %s\n", error.c_str());
        return 1;
    }
    PrinterEmulator printer(line.Descriptor(), *options);
    if (!options->servePath.empty()) {
        std::vector<uint8_t> image;
        if (!ReadImageFile(options->servePath, image)) {
            std::fprintf(stderr, "glyphmill printer: cannot read %s\n", options->servePath.c_str());
            return 1;
        }
        printer.SetServedImage(image);
    }
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::printf("%s\n", line.DevicePath().c_str());
    std::fflush(stdout);

    std::optional<PrinterEmulator::Clock::time_point> deadline;
    if (options->timeoutSeconds > 0) {
        deadline = PrinterEmulator::Clock::now() +
                   std::chrono::duration_cast<PrinterEmulator::Clock::duration>(
                       std::chrono::duration<double>(options->timeoutSeconds));
    }
    bool asAsked = true;
    for (int served = 0; options->exchanges == 0 || served < options->exchanges; ++served) {
        const ExchangeReport report = printer.RunExchange(deadline, StopRequested);
        if (report.outcome == ExchangeOutcome::TimedOut && StopRequested && options->exchanges == 0) {
            break;  // stopped while serving without end
        }
        if (report.kind == TransferKind::Transmit && report.outcome == ExchangeOutcome::Complete) {
            const auto& image = printer.ReceivedImage();
            // Without --serve, a read gets back what was sent last.
            if (options->servePath.empty()) printer.SetServedImage({image.begin(), image.end()});
            if (!options->savePath.empty() && !WriteFileAtomically(options->savePath, image.data(), image.size())) {
                std::fprintf(stderr, "glyphmill printer: cannot write %s\n", options->savePath.c_str());
                asAsked = false;
            }
        }
        const bool expected = report.outcome == printer.PlannedOutcome(report.kind);
        asAsked = asAsked && expected;
        std::printf("printer: %s %d pages, %d repeats, %.2f s, %s%s\n", KindName(report), report.pages,
                    report.repeats, report.seconds, OutcomeName(report.outcome), expected ? "" : " (not as asked)");
        std::fflush(stdout);
        if (report.outcome == ExchangeOutcome::TimedOut) break;
    }
    // A pty loses what is still unread when its master closes: give the PC a
    // few of its looks at the port to take the last answer.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return asAsked ? 0 : 1;
}
