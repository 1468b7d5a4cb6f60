// The font image reader over arbitrary bytes. Whatever it accepts must also
// be written out again (or refused) without fault, and what is written must
// read back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FontImage.h"
#include "Results.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FontImage image;
    const int checked = CheckFontImage(data, size, nullptr);
    const int loaded = image.Deserialize(data, size);
    if (checked != loaded) __builtin_trap();
    if (loaded != LoadResult::kLoaded) return 0;

    std::vector<uint8_t> bytes;
    if (image.Serialize(bytes) != SaveResult::kSaved) return 0;
    FontImage reread;
    if (reread.Deserialize(bytes.data(), bytes.size()) != LoadResult::kLoaded) __builtin_trap();
    if (reread.GetFontCount() < image.GetFontCount()) __builtin_trap();
    return 0;
}
