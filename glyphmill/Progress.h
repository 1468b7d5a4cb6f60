// The progress of a transfer on stdout: a bar redrawn in place on a
// terminal, a plain line now and then otherwise, or nothing at all.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

class Progress {
public:
    enum class Style { Bar, Lines, None };
    // Bar when out is a terminal, else Lines; None when quiet.
    static Style StyleFor(std::FILE* out, bool quiet);

    // Timing starts here.
    explicit Progress(Style style, std::FILE* out = stdout);
    // Pages done so far and repeats in all.
    void Update(int pages, int repeats);
    // Ends the bar's line, so that what follows starts on a line of its own.
    void Finish();
    double Seconds() const;

private:
    std::string Figures(int pages) const;
    void DrawBar(int pages, int repeats);

    using Clock = std::chrono::steady_clock;
    Style style_;
    std::FILE* out_;
    Clock::time_point started_ = Clock::now();
    Clock::time_point drawn_{};
    int repeats_ = 0;
    size_t barLength_ = 0;
};
