// The PC's side of the transmission and the reception over a SerialLine,
// driven by the printer's answers as they arrive: each frame or answer goes
// out as soon as the byte it waits for has been read.
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
    int result = 0;      // TransferResult code
    bool paging = false; // past the handshake
    int page = 0;        // the page the transfer ended at (128 when all went across)
    int repeats = 0;     // pages or blocks that went across again
    std::string detail;  // what arrived, for an unknown answer; the system's words for a failing line
};

// Called whenever a page has been answered: pages done so far and repeats.
using ProgressFn = std::function<void(int pages, int repeats)>;

// Sends the image as the window sender does, with the same bytes in the same
// order, and also waits for the answer to the last page (repeating it on
// "w"), so that success means the printer took every page. The printer must
// answer within timeout of the last byte's leaving or arriving.
TransferOutcome SendImage(SerialLine& line, const ImageBytes& image, std::chrono::milliseconds timeout,
                          const ProgressFn& progress);

// Reads the printer's image: every block checked, a bad one answered "w" and
// taken again up to three times; a fourth bad block ends the reception.
TransferOutcome ReceiveImage(SerialLine& line, ImageBytes& image, std::chrono::milliseconds timeout,
                             const ProgressFn& progress);
