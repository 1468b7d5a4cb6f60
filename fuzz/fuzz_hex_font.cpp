// Unifont .hex files from anywhere: every byte string named as a .hex file,
// gzip'ed or not, is read by the .hex reader as the import calls it, and
// imported or refused naming the line.
#include "FontImportChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImportAndCheck(data, size, "input.hex");
    return 0;
}
