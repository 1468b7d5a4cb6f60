// The import of font files over arbitrary bytes, the reader chosen by the
// bytes alone (FreeType's formats, or a PSF, .hex or picture sheet of ours):
// whatever metrics and bitmaps it reports, the sampling must stay inside the
// symbols and leave a font that saves and exports.
#include "FontImportChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImportAndCheck(data, size, "input");
    return 0;
}
