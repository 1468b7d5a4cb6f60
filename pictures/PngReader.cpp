#include "PngReader.h"

#include <png.h>

#include <cstring>
#include <utility>

#include "Ink.h"

namespace {

// libpng's simplified reader; frees what it holds on every way out.
struct SimpleRead {
    png_image image{};
    SimpleRead() { image.version = PNG_IMAGE_VERSION; }
    SimpleRead(const SimpleRead&) = delete;
    SimpleRead& operator=(const SimpleRead&) = delete;
    ~SimpleRead() { png_image_free(&image); }

    bool Begin(const uint8_t* data, size_t size, std::string& error) {
        if (!IsPng(data, size)) {
            error = "not a PNG picture";
            return false;
        }
        if (png_image_begin_read_from_memory(&image, data, size)) return true;
        error = std::string("damaged PNG: ") + image.message;
        return false;
    }
};

constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace

bool IsPng(const uint8_t* data, size_t size) {
    return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

bool ReadPngSize(const uint8_t* data, size_t size, int& width, int& height, std::string& error) {
    SimpleRead read;
    if (!read.Begin(data, size, error)) return false;
    width = static_cast<int>(read.image.width);
    height = static_cast<int>(read.image.height);
    return true;
}

bool ReadPngInk(const uint8_t* data, size_t size, InkPicture& out, std::string& error) {
    SimpleRead read;
    if (!read.Begin(data, size, error)) return false;
    const long long pixels = static_cast<long long>(read.image.width) * read.image.height;
    if (pixels > kMaxInkPixels) {
        error = "the picture has " + std::to_string(pixels) + " pixels, more than " + std::to_string(kMaxInkPixels);
        return false;
    }
    // 8-bit RGBA with straight alpha: palettes, grey, tRNS and 16 bits are
    // expanded or reduced by libpng.
    read.image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> rgba(PNG_IMAGE_SIZE(read.image));
    if (!png_image_finish_read(&read.image, nullptr, rgba.data(), 0, nullptr)) {
        error = std::string("damaged PNG: ") + read.image.message;
        return false;
    }
    InkPicture picture;
    picture.width = static_cast<int>(read.image.width);
    picture.height = static_cast<int>(read.image.height);
    picture.ink.resize(static_cast<size_t>(pixels));
    for (size_t i = 0; i < picture.ink.size(); ++i) {
        const png_byte* p = &rgba[4 * i];
        picture.ink[i] = p[3] >= 128 && IsInkColour(p[0], p[1], p[2]);
    }
    out = std::move(picture);
    return true;
}
