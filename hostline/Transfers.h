// The PC's side of the transmission and the reception over a SerialLine:
// the window sender's two state machines, driven with the printer's bytes as
// they arrive, so that each frame or answer goes out as soon as the byte it
// waits for has been read.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "Protocol.h"
#include "SerialLine.h"

using ImageBytes = std::array<uint8_t, kImageSize>;

struct TransferOutcome {
    TransferProgress progress;  // how the transfer ended and how far it came
    std::string detail;         // what arrived, for an unknown answer; the system's words for a failing line
};

// Called whenever a page has been answered: pages done so far and repeats.
using ProgressFn = std::function<void(int pages, int repeats)>;

// Sends the image with the same bytes in the same order as the window
// sender, and also waits for the answer to the last page (repeating it on
// "w"), so that success means the printer took every page. The printer must
// answer within timeout of when its answer is due.
TransferOutcome SendImage(SerialLine& line, const ImageBytes& image, std::chrono::milliseconds timeout,
                          const ProgressFn& progress);

// Reads the printer's image: every block checked, a bad one answered "w" and
// taken again up to three times; a fourth bad block in a row ends the
// reception. image is filled only when all of it came.
TransferOutcome ReceiveImage(SerialLine& line, ImageBytes& image, std::chrono::milliseconds timeout,
                             const ProgressFn& progress);
