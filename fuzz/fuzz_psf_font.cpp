// Console fonts come from anywhere: every byte string named as a PSF,
// gzip'ed or not, is read by the PSF reader as the import calls it, and
// imported or refused with a reason.
#include "FontImportChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImportAndCheck(data, size, "input.psf");
    return 0;
}
