#include "Progress.h"

#include <unistd.h>

#include <algorithm>

#include "CommandLine.h"
#include "Protocol.h"

namespace {

constexpr int kBarWidth = 24;
// Plain lines come every this many pages; a terminal is redrawn at most this often.
constexpr int kPagesPerLine = 16;
constexpr auto kRedraw = std::chrono::milliseconds(100);

}  // namespace

Progress::Style Progress::StyleFor(std::FILE* out, bool quiet) {
    if (quiet) return Style::None;
    return isatty(fileno(out)) ? Style::Bar : Style::Lines;
}

Progress::Progress(Style style, std::FILE* out) : style_(style), out_(out) {}

double Progress::Seconds() const { return std::chrono::duration<double>(Clock::now() - started_).count(); }

// "64/128 pages, 32768/65536 bytes, 11.2 KiB/s, 2.9 s left"
std::string Progress::Figures(int pages) const {
    const double seconds = Seconds();
    const double bytes = static_cast<double>(pages) * kPageSize;
    const double rate = seconds > 0 ? bytes / seconds : 0;
    char text[160];
    int length = std::snprintf(text, sizeof text, "%d/%d pages, %d/%d bytes, %.1f KiB/s", pages, kPageTotal,
                               pages * kPageSize, kImageSize, rate / 1024);
    if (pages < kPageTotal && rate > 0)
        std::snprintf(text + length, sizeof text - length, ", %.1f s left", (kImageSize - bytes) / rate);
    else if (pages == kPageTotal)
        std::snprintf(text + length, sizeof text - length, ", %.1f s", seconds);
    return text;
}

void Progress::DrawBar(int pages, int repeats) {
    const int filled = pages * kBarWidth / kPageTotal;
    std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " + Figures(pages);
    if (repeats > 0) line += ", " + Counted(repeats, "repeat");
    const size_t length = line.size();
    line.resize(std::max(length, barLength_), ' ');  // wipes a longer line drawn before
    barLength_ = length;
    std::fprintf(out_, "\r%s", line.c_str());
    std::fflush(out_);
    drawn_ = Clock::now();
}

void Progress::Update(int pages, int repeats) {
    const bool repeated = repeats > repeats_;
    repeats_ = repeats;
    switch (style_) {
        case Style::None: return;
        case Style::Bar:
            if (pages == kPageTotal || repeated || Clock::now() - drawn_ >= kRedraw) DrawBar(pages, repeats);
            return;
        case Style::Lines:
            if (repeated) std::fprintf(out_, "page %d again, %s so far\n", pages, Counted(repeats, "repeat").c_str());
            else if (pages % kPagesPerLine == 0) std::fprintf(out_, "%s\n", Figures(pages).c_str());
            std::fflush(out_);
            return;
    }
}

void Progress::Finish() {
    if (style_ == Style::Bar && barLength_ > 0) std::fputc('\n', out_);
    std::fflush(out_);
    barLength_ = 0;
}
