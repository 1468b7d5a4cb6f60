// Result codes of the operations that report by integer, one enum per area
// with its messages beside it. Negative values name a failure; which of the
// others means done is each enum's own (0 for loads, reads, writes, ports and
// transfers; 1 for saves and edits, whose 0 is a refusal). Shared by the two
// programs and glyphmill.
#pragma once

namespace LoadResult {
enum Code : int {
    kLoaded = 0,
    kNotOpened = -1,   // the file could not be opened in 100 attempts
    kNoFonts = -2,     // byte 0 (the slot count) is 0
    kNoPool = -3,      // the font pool could not be created
    kBadHeader = -4,   // slot count above 16, or a height, interval or limit out of range
    kBadOffset = -5,   // an offset table entry points outside its bank's data area
    kBadRecord = -6,   // a symbol record larger than 512 bytes or running past its bank
};
// What the code means, as a phrase to follow "cannot load FILE: ".
const char* Message(int code);
}  // namespace LoadResult

namespace SaveResult {
enum Code : int {
    kSaved = 1,
    kFontsDoNotFit = -1,   // the records do not fit into the banks
    kTooManySlots = -2,    // more than 8 slots in a bank, or a 16th slot the header cannot hold
    kBadSymbolWidth = -3,  // a symbol is wider than its width byte holds (255 columns), or over 512 bytes
    kWriteFailed = -4,     // the file could not be created, written or put in place
    kBadFontSetting = -5,  // a height, interval or height limit that the header cannot carry back
    kNoFonts = -6,         // the document holds no font: such a file could not be opened again
};
// What the code means, as a phrase to follow "cannot save FILE: ".
const char* Message(int code);
}  // namespace SaveResult

namespace WriteResult {
enum Code : int {
    kWritten = 0,
    kReadOnly = -1,   // the file to replace is read-only, or not the user's to write: left as it was
    kFailed = -2,     // the new content could not be made, written, flushed or put in place: nothing changed
    kNotYours = -3,   // as kReadOnly, for another user's file, which no forcing replaces
};
}  // namespace WriteResult

namespace ReadResult {
enum Code : int {
    kRead = 0,
    kNotOpened = -1,  // the file is missing or may not be opened
    kNotRead = -2,    // reading it failed (a folder, an I/O error)
};
}  // namespace ReadResult

namespace EditResult {
enum Code : int {
    kDone = 1,
    kDeclined = 0,   // the user said no
    kTooWide = -1,   // a symbol would not fit into its 512 bytes at the new height
};
}  // namespace EditResult

namespace PortResult {
enum Code : int {
    kOpen = 0,
    kNotOpened = -1,        // CreateFileA: the port is missing or held by another program
    kNoState = -2,          // GetCommState
    kStateRefused = -3,     // SetCommState, e.g. a speed the device refuses
    kNoTimeouts = -4,       // GetCommTimeouts
    kTimeoutsRefused = -5,  // SetCommTimeouts
    kNoListener = -6,       // CreateThread: the transfer's listener could not start
};
// The sender's status text for a failed step: the first five differ only in
// letter case, each naming one step; a listener that cannot start is told
// as the last step of the set-up is.
const char* Message(int code);
}  // namespace PortResult

namespace TransferResult {
// How a transfer with the printer ended, or why it did not start. The window
// sender shows StatusText in its status line; glyphmill prints Message and
// ends with the exit code its table gives the outcome.
enum Code : int {
    kDone = 0,              // all 128 pages went across
    kDifferent = -1,        // verify: the printer's image differs from the file
    kPageFault = -2,        // a page answered "w" a fourth time
    kVerifyError = -3,      // the printer answered "f"
    kUnknownAnswer = -4,    // bytes arrived that hold none of the expected codes
    kNoAnswer = -5,         // the printer stayed silent where an answer, an echo or a block was due
    kPortBusy = -6,         // another program holds the port
    kPortMissing = -7,      // no such port, or none to choose by default
    kPortRefused = -8,      // the port cannot be opened or refuses its settings (e.g. the speed)
    kBadImage = -9,         // the file is not a valid font image
    kBadBlocks = -10,       // a block arrived damaged a fourth time
    kFileNotOpened = -11,   // the file to send or to replace cannot be opened
    kFileNotRead = -12,     // reading the file to send failed
    kFileNotWritten = -13,  // the image read could not replace the file
    kInterrupted = -14,     // Ctrl-C or a termination signal
    kLineLost = -15,        // the line failed while the transfer ran (a USB adapter pulled out)
};
// What the code means, as a phrase.
const char* Message(int code);
// The window sender's status text; a reception that is done says so.
const char* StatusText(int code, bool reception);
}  // namespace TransferResult
