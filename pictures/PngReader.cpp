#include "PngReader.h"

#include <png.h>

#include <cstring>
#include <utility>
#include <vector>

#include "Ink.h"

namespace {

constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// libpng's reader over bytes in memory, set up as libpng's simplified reader
// sets itself up, so that pictures read as they always have: every picture
// becomes 8-bit RGBA in sRGB with straight alpha (palettes, grey and tRNS
// expanded, 16 bits scaled, a 16-bit picture without gamma taken as linear).
// libpng reports an error by a longjmp to the setjmp of the step that called
// it; no object with a destructor is made between the two.
class PngRead {
public:
    PngRead(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    PngRead(const PngRead&) = delete;
    PngRead& operator=(const PngRead&) = delete;
    ~PngRead() { png_destroy_read_struct(&png_, &info_, nullptr); }

    // The chunks up to the pixels: the size, the colours, the gamma.
    bool Begin(std::string& error) {
        if (!IsPng(data_, size_)) {
            error = "not a PNG picture";
            return false;
        }
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
        if (png_) info_ = png_create_info_struct(png_);
        if (!info_) return Failed("png_image_read: out of memory", error);
        if (setjmp(png_jmpbuf(png_))) return Failed(message_, error);
        png_set_read_fn(png_, this, ReadBytes);
        RelaxChecksumsWhenFuzzing();
        png_set_benign_errors(png_, 1);
        png_read_info(png_, info_);
        return true;
    }

    png_uint_32 Width() const { return png_get_image_width(png_, info_); }
    png_uint_32 Height() const { return png_get_image_height(png_, info_); }

    // Every pixel, as 4 bytes each of rows stride bytes apart (at least 8
    // bytes a pixel, what the widest pixel of a file takes: libpng 1.6.39
    // may combine interlaced rows at the file's depth before scaling them).
    bool Finish(png_bytepp rows, std::string& error) {
        if (setjmp(png_jmpbuf(png_))) return Failed(message_, error);
        SetUpRgba();
        const int passes = png_set_interlace_handling(png_);
        png_read_update_info(png_, info_);
        for (int pass = 0; pass < passes; ++pass) {
            for (png_uint_32 y = 0; y < Height(); ++y) png_read_row(png_, rows[y], nullptr);
        }
        return true;
    }

private:
    static void OnError(png_structp png, png_const_charp message) {
        PngRead& read = *static_cast<PngRead*>(png_get_error_ptr(png));
        // As the simplified reader keeps it.
        std::strncpy(read.message_, message, sizeof read.message_ - 1);
        png_longjmp(png, 1);
    }

    static void OnWarning(png_structp, png_const_charp) {}

    static void ReadBytes(png_structp png, png_bytep out, size_t count) {
        PngRead& read = *static_cast<PngRead*>(png_get_io_ptr(png));
        if (read.size_ - read.at_ < count) png_error(png, "read beyond end of data");
        std::memcpy(out, read.data_ + read.at_, count);
        read.at_ += count;
    }

    bool Failed(const char* why, std::string& error) {
        error = std::string("damaged PNG: ") + why;
        return false;
    }

    // A fuzzer's mutations nearly all break a chunk's CRC or the zlib
    // checksum; in a fuzzing build both are ignored so that they reach the
    // decoding. Never in the programs.
    void RelaxChecksumsWhenFuzzing() {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        png_set_crc_action(png_, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
        png_set_option(png_, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
    }

    // The transformations of libpng's simplified reader for PNG_FORMAT_RGBA.
    void SetUpRgba() {
        const png_byte colourType = png_get_color_type(png_, info_);
        const bool sixteenBits = png_get_bit_depth(png_, info_) == 16;
        int transparent = 0;
        png_get_tRNS(png_, info_, nullptr, &transparent, nullptr);
        const bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || transparent > 0;
        png_set_expand(png_);
        if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png_);
        png_set_alpha_mode_fixed(png_, PNG_ALPHA_PNG, sixteenBits ? PNG_GAMMA_LINEAR : PNG_DEFAULT_sRGB);
        if (sixteenBits) png_set_scale_16(png_);
        if (!alpha) png_set_add_alpha(png_, 0xFF, PNG_FILLER_AFTER);
        png_set_alpha_mode_fixed(png_, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    }

    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    char message_[64] = {};
};

}  // namespace

bool IsPng(const uint8_t* data, size_t size) {
    return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

bool ReadPngSize(const uint8_t* data, size_t size, int& width, int& height, std::string& error) {
    PngRead read(data, size);
    if (!read.Begin(error)) return false;
    width = static_cast<int>(read.Width());
    height = static_cast<int>(read.Height());
    return true;
}

bool ReadPngInk(const uint8_t* data, size_t size, InkPicture& out, std::string& error) {
    PngRead read(data, size);
    if (!read.Begin(error)) return false;
    const long long pixels = static_cast<long long>(read.Width()) * read.Height();
    if (pixels > kMaxInkPixels) {
        error = "the picture has " + std::to_string(pixels) + " pixels, more than " + std::to_string(kMaxInkPixels);
        return false;
    }
    const size_t stride = 8 * static_cast<size_t>(read.Width());
    std::vector<png_byte> pixelBytes(stride * read.Height());
    std::vector<png_bytep> rows(read.Height());
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = pixelBytes.data() + y * stride;
    if (!read.Finish(rows.data(), error)) return false;
    InkPicture picture;
    picture.width = static_cast<int>(read.Width());
    picture.height = static_cast<int>(read.Height());
    picture.ink.resize(static_cast<size_t>(pixels));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const png_byte* p = rows[y] + 4 * x;
            picture.ink[static_cast<size_t>(y) * picture.width + x] = p[3] >= 128 && IsInkColour(p[0], p[1], p[2]);
        }
    }
    out = std::move(picture);
    return true;
}
