#include "Results.h"

namespace LoadResult {
const char* Message(int code) {
    switch (code) {
        case kLoaded: return "loaded";
        case kNotOpened: return "the file cannot be opened";
        case kNoFonts: return "the image holds no fonts";
        case kNoPool: return "out of memory";
        case kBadHeader: return "a font's count, height, interval or height limit is out of range";
        case kBadOffset: return "a symbol's address lies outside its bank";
        case kBadRecord: return "a symbol's record is too large or runs past its bank";
    }
    return "unknown load result";
}
}  // namespace LoadResult

namespace SaveResult {
const char* Message(int code) {
    switch (code) {
        case kSaved: return "saved";
        case kFontsDoNotFit: return "the fonts do not fit into the printer's two banks";
        case kTooManySlots:
            return "the fonts need more slots than the image has (8 for the second bank, and a 16th only when "
                   "its height is font 0's interval)";
        case kBadSymbolWidth: return "a symbol is wider than 255 columns or larger than 512 bytes";
        case kWriteFailed: return "the file cannot be written";
        case kBadFontSetting: return "a font's height, interval or height limit is out of range";
        case kNoFonts: return "the document holds no fonts";
    }
    return "unknown save result";
}
}  // namespace SaveResult

namespace PortResult {
const char* Message(int code) {
    switch (code) {
        case kOpen: return "";
        case kNotOpened: return "Port init error";
        case kNoState: return "Port Init error";
        case kStateRefused: return "Port Init Error";
        case kNoTimeouts: return "PorT Init Error";
        case kTimeoutsRefused: return "PorT IniT Error";
    }
    return "PorT IniT Error";
}
}  // namespace PortResult

namespace TransferResult {
const char* Message(int code) {
    switch (code) {
        case kTransmitted: return "File Transmitted";
        case kReceived: return "File Received";
        case kFileNotOpened: return "Can't open file";
        case kFileNotRead: return "Read file error";
        case kFileNotWritten: return "File write error";
        case kPageFault: return "Page fault error";
        case kVerificationFailed: return "Verification error";
        case kUnknownAnswer: return "Unknown Error";
        case kNoAnswer: return "No answer";
    }
    return "Unknown Error";
}
}  // namespace TransferResult
