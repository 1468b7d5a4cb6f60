// Result codes of the operations that report by integer, in one place.
// Positive or zero values mean done; negative values name the failure.
#pragma once

namespace LoadResult {
constexpr int kLoaded = 0;
constexpr int kNotOpened = -1;       // the file could not be opened in 100 attempts
constexpr int kNoFonts = -2;         // byte 0 (the slot count) is 0
constexpr int kNoPool = -3;          // the font pool could not be created
constexpr int kBadHeader = -4;       // slot count above 16, or a height, interval or limit out of range
constexpr int kBadOffset = -5;       // an offset table entry points outside its bank's data area
constexpr int kBadRecord = -6;       // a symbol record is 0 columns wide, larger than 512 bytes or runs past its bank
}  // namespace LoadResult

namespace SaveResult {
constexpr int kSaved = 1;
constexpr int kFontsDoNotFit = -1;   // the records do not fit into the banks
constexpr int kTooManySlots = -2;    // more than 8 slots in a bank, or a 16th slot the header cannot hold
constexpr int kBadSymbolWidth = -3;  // a symbol is wider than its width byte holds (255 columns), or over 512 bytes
constexpr int kWriteFailed = -4;     // the file could not be created, written or put in place
constexpr int kBadFontSetting = -5;  // a height, interval or height limit that the header cannot carry back
constexpr int kNoFonts = -6;         // the document holds no font: such a file could not be opened again
}  // namespace SaveResult

namespace EditResult {
constexpr int kDone = 1;
constexpr int kDeclined = 0;         // the user said no
constexpr int kTooWide = -1;         // a symbol would not fit into its 512 bytes at the new height
}  // namespace EditResult

namespace PortResult {
constexpr int kOpen = 0;
constexpr int kNotOpened = -1;       // CreateFileA: the port is missing or held by another program
constexpr int kNoState = -2;         // GetCommState
constexpr int kStateRefused = -3;    // SetCommState, e.g. a speed the device refuses
constexpr int kNoTimeouts = -4;      // GetCommTimeouts
constexpr int kTimeoutsRefused = -5; // SetCommTimeouts
}  // namespace PortResult
