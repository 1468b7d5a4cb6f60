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
        case kTimeoutsRefused:
        case kNoListener: return "PorT IniT Error";
    }
    return "PorT IniT Error";
}
}  // namespace PortResult

namespace TransferResult {
const char* Message(int code) {
    switch (code) {
        case kDone: return "done";
        case kDifferent: return "the printer's image differs";
        case kPageFault: return "page fault: the printer asked for a page a fourth time";
        case kVerifyError: return "verification error: the printer could not store the image";
        case kUnknownAnswer: return "unknown answer from the printer";
        case kNoAnswer: return "no answer from the printer";
        case kPortBusy: return "port busy: another program holds it";
        case kPortMissing: return "no such port";
        case kPortRefused: return "the port cannot be opened or set up";
        case kBadImage: return "not a valid font image";
        case kBadBlocks: return "a page arrived damaged four times";
        case kFileNotOpened: return "the file cannot be opened";
        case kFileNotRead: return "the file cannot be read";
        case kFileNotWritten: return "the file cannot be written";
        case kInterrupted: return "interrupted";
        case kLineLost: return "the line to the printer failed";
    }
    return "unknown transfer result";
}

const char* StatusText(int code, bool reception) {
    switch (code) {
        case kDone: return reception ? "File Received" : "File Transmitted";
        case kFileNotOpened: return "Can't open file";
        case kFileNotRead: return "Read file error";
        case kFileNotWritten: return "File write error";
        case kPageFault: return "Page fault error";
        case kVerifyError: return "Verification error";
        case kNoAnswer: return "No answer";
    }
    return "Unknown Error";
}
}  // namespace TransferResult
