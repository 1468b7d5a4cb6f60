#include "FreeTypeReader.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_BDF_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BdfProperties.h"
#include "Charsets.h"

namespace {

constexpr int kMaxHeight = 4;
constexpr int kDefaultHeight = 2;  // a scalable font's rows when neither size nor height is asked for
// The most rows and columns of a glyph handed over; ink beyond them is cut.
constexpr int kMaxGlyphSide = 1024;
constexpr char kNoGlyphs[] = "the font has neither outlines nor bitmaps";

// FreeType's own words for its errors, from its list of them: its
// FT_Error_String knows them only when built with the error strings.
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {e, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
const struct {
    int code;
    const char* text;
} kFreeTypeErrors[] =
#include FT_ERRORS_H

std::string FreeTypeError(FT_Error error) {
    for (const auto& known : kFreeTypeErrors) {
        if (known.text && known.code == FT_ERROR_BASE(error)) return known.text;
    }
    char code[40];
    std::snprintf(code, sizeof code, "FreeType error 0x%02X", static_cast<unsigned>(error));
    return code;
}

// Whole pixels of a 26.6 distance, rounded away from the baseline; bounded so
// that the arithmetic on the rows of a hostile font cannot overflow.
long WholePixels(FT_Pos distance) {
    return std::clamp(static_cast<long>(std::ceil(static_cast<double>(distance) / 64.0)), -100000L, 100000L);
}

bool IntegerProperty(FT_Face face, const char* name, long& value) {
    BDF_PropertyRec property;
    if (FT_Get_BDF_Property(face, name, &property) != 0) return false;
    if (property.type == BDF_PROPERTY_TYPE_INTEGER) {
        value = property.u.integer;
    } else if (property.type == BDF_PROPERTY_TYPE_CARDINAL) {
        value = static_cast<long>(property.u.cardinal);
    } else if (property.type == BDF_PROPERTY_TYPE_ATOM && property.u.atom) {
        // FreeType's BDF reader keeps a property it does not know as text.
        char* end = nullptr;
        value = std::strtol(property.u.atom, &end, 10);
        return end != property.u.atom && *end == '\0';
    } else {
        return false;
    }
    return true;
}

std::string TextProperty(FT_Face face, const char* name) {
    BDF_PropertyRec property;
    if (FT_Get_BDF_Property(face, name, &property) != 0 || property.type != BDF_PROPERTY_TYPE_ATOM || !property.u.atom)
        return "";
    return property.u.atom;
}

// The OpenType weight classes, 100 to 900, by XLFD's names: 400, the
// regular weight, is "Medium" there.
std::string WeightClassName(int weightClass) {
    static const char* const kNames[] = {"Thin",   "ExtraLight", "Light",     "Medium", "Medium",
                                         "DemiBold", "Bold",     "ExtraBold", "Black"};
    return kNames[std::clamp((weightClass + 50) / 100, 1, 9) - 1];
}

// The ink of a rendered glyph in whatever pixel mode FreeType gave it.
class GlyphInk {
public:
    GlyphInk(FT_Library library, const FT_Bitmap& bitmap) : library_(library), bitmap_(&bitmap) {
        FT_Bitmap_Init(&converted_);
        if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
            bitmap_ = FT_Bitmap_Convert(library, &bitmap, &converted_, 1) == 0 ? &converted_ : nullptr;
        // A glyph of a broken font can come without its pixels.
        if (bitmap_ && (!bitmap_->buffer || std::abs(bitmap_->pitch) < RowBytes(*bitmap_))) bitmap_ = nullptr;
    }
    GlyphInk(const GlyphInk&) = delete;
    GlyphInk& operator=(const GlyphInk&) = delete;
    ~GlyphInk() { FT_Bitmap_Done(library_, &converted_); }

    int Rows() const { return bitmap_ ? static_cast<int>(bitmap_->rows) : 0; }
    int Columns() const { return bitmap_ ? static_cast<int>(bitmap_->width) : 0; }

    // Row y counts from the top.
    bool At(int x, int y) const {
        const int pitch = bitmap_->pitch;
        const unsigned char* row =
            bitmap_->buffer + static_cast<long>(pitch >= 0 ? y : Rows() - 1 - y) * std::abs(pitch);
        if (bitmap_->pixel_mode == FT_PIXEL_MODE_MONO) return (row[x >> 3] & (0x80 >> (x & 7))) != 0;
        return 2 * row[x] >= std::max<int>(bitmap_->num_grays, 2);
    }

private:
    static int RowBytes(const FT_Bitmap& bitmap) {
        const int width = static_cast<int>(bitmap.width);
        return bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (width + 7) / 8 : width;
    }

    FT_Library library_;
    const FT_Bitmap* bitmap_;
    FT_Bitmap converted_;
};


int StrikeSize(const FT_Bitmap_Size& strike) { return static_cast<int>((strike.y_ppem + 32) >> 6); }

// How a code finds its glyph.
enum class Lookup {
    Unicode,     // the charset's character in the font's Unicode map
    OwnMap,      // raw: the code in the font's own map (a bitmap font's encoding)
    GlyphIndex,  // raw: the code is the glyph index (a scalable font)
};

class FreeTypeFont : public FontReader {
public:
    ~FreeTypeFont() override {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }

    // Null, with error saying why (empty for a format FreeType does not know).
    static std::unique_ptr<FreeTypeFont> Open(std::vector<uint8_t> bytes, std::string& error) {
        std::unique_ptr<FreeTypeFont> font(new FreeTypeFont(std::move(bytes)));
        if (const FT_Error failed = FT_Init_FreeType(&font->library_)) {
            error = "cannot start FreeType: " + FreeTypeError(failed);
            return nullptr;
        }
        const FT_Error failed = FT_New_Memory_Face(font->library_, font->bytes_.data(),
                                                   static_cast<FT_Long>(font->bytes_.size()), 0, &font->face_);
        if (failed == 0) return font;
        error = failed == FT_Err_Unknown_File_Format ? "" : FreeTypeError(failed);
        return nullptr;
    }

    std::string FamilyName() const override { return face_->family_name ? face_->family_name : ""; }

    // A BDF's or PCF's own properties, else the OpenType weight class and
    // style, else FreeType's bold and italic flags.
    std::string WeightName() const override {
        if (std::string weight = TextProperty(face_, "WEIGHT_NAME"); !weight.empty()) return weight;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF && os2->usWeightClass > 0) return WeightClassName(os2->usWeightClass);
        return (face_->style_flags & FT_STYLE_FLAG_BOLD) ? "Bold" : "Medium";
    }

    std::string SlantName() const override {
        if (std::string slant = TextProperty(face_, "SLANT"); !slant.empty()) return slant;
        if (!(face_->style_flags & FT_STYLE_FLAG_ITALIC)) return "R";
        const bool oblique = face_->style_name && std::strstr(face_->style_name, "Oblique");
        return oblique ? "O" : "I";
    }

    bool OwnSettings(int& interval, int& heightLimit) const override {
        long intervalValue = 0, limitValue = 0;
        if (!IntegerProperty(face_, kIntervalProperty, intervalValue) || intervalValue < 0 || intervalValue > 15 ||
            !IntegerProperty(face_, kHeightLimitProperty, limitValue) || limitValue < 1 || limitValue > 8)
            return false;
        interval = static_cast<int>(intervalValue);
        heightLimit = static_cast<int>(limitValue);
        return true;
    }

    bool UseCharset(const Charset& charset, std::string& error) override {
        charset_ = charset;
        if (!charset.raw) {
            lookup_ = Lookup::Unicode;
            if (FT_Select_Charmap(face_, FT_ENCODING_UNICODE) == 0) return true;
            error = "the font has no Unicode character map";
            return false;
        }
        const bool ownMap = !FT_IS_SCALABLE(face_) && face_->num_charmaps > 0 &&
                            FT_Set_Charmap(face_, face_->charmaps[0]) == 0;
        lookup_ = ownMap ? Lookup::OwnMap : Lookup::GlyphIndex;
        return true;
    }

    bool SetSize(int size, std::string& error) override {
        if (FT_IS_SCALABLE(face_)) {
            if (const FT_Error failed = FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(size))) {
                error = "cannot set " + std::to_string(size) + " pixels per em: " + FreeTypeError(failed);
                return false;
            }
            return true;
        }
        if (face_->num_fixed_sizes <= 0) {
            error = kNoGlyphs;
            return false;
        }
        const int strike = StrikeOf(size);
        if (strike < 0) {
            error = "the font has no size of " + std::to_string(size) + " pixels (it has " + StrikeList() + ")";
            return false;
        }
        if (const FT_Error failed = FT_Select_Size(face_, strike)) {
            error = "cannot use the font's size " + std::to_string(size) + ": " + FreeTypeError(failed);
            return false;
        }
        return true;
    }

    std::vector<int> SizesToTry(int height, std::string& error) override {
        std::vector<int> sizes;
        if (FT_IS_SCALABLE(face_)) {
            const int rows = 8 * (height > 0 ? height : kDefaultHeight);
            for (int size = rows; size >= 1; --size) {
                if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(size)) == 0 && PixelHeight() <= rows)
                    sizes.push_back(size);
            }
            if (sizes.empty()) error = "no size of the font fits into " + std::to_string(rows) + " rows";
            return sizes;
        }
        if (face_->num_fixed_sizes <= 0) {
            error = kNoGlyphs;
            return sizes;
        }
        // The strikes that fit, tallest first; else the smallest.
        const int rows = 8 * (height > 0 ? height : kMaxHeight);
        std::vector<const FT_Bitmap_Size*> strikes;
        for (int i = 0; i < face_->num_fixed_sizes; ++i) strikes.push_back(&face_->available_sizes[i]);
        std::stable_sort(strikes.begin(), strikes.end(),
                         [](const FT_Bitmap_Size* a, const FT_Bitmap_Size* b) { return a->height > b->height; });
        for (const FT_Bitmap_Size* strike : strikes) {
            if (strike->height <= rows) sizes.push_back(StrikeSize(*strike));
        }
        if (sizes.empty()) sizes.push_back(StrikeSize(*strikes.back()));
        return sizes;
    }

    long Ascender() const override { return WholePixels(face_->size->metrics.ascender); }
    long PixelHeight() const override { return Ascender() + WholePixels(-face_->size->metrics.descender); }

    bool LoadGlyph(int code, GlyphPixels& glyph) override {
        const long index = GlyphOf(code);
        if (index < 0 || FT_Load_Glyph(face_, static_cast<FT_UInt>(index), FT_LOAD_TARGET_MONO | FT_LOAD_RENDER) != 0 ||
            face_->glyph->format != FT_GLYPH_FORMAT_BITMAP)
            return false;
        const FT_GlyphSlot slot = face_->glyph;
        const GlyphInk ink(library_, slot->bitmap);
        glyph.columns = std::min(ink.Columns(), kMaxGlyphSide);
        glyph.rows = std::min(ink.Rows(), kMaxGlyphSide);
        glyph.clipped = glyph.columns < ink.Columns() || glyph.rows < ink.Rows();
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.advance = WholePixels(slot->advance.x);
        glyph.ink.assign(static_cast<size_t>(glyph.rows) * glyph.columns, 0);
        for (int y = 0; y < glyph.rows; ++y) {
            for (int x = 0; x < glyph.columns; ++x) glyph.ink[static_cast<size_t>(y) * glyph.columns + x] = ink.At(x, y);
        }
        return true;
    }

private:
    explicit FreeTypeFont(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // The glyph of code, or -1 when the font lacks it.
    long GlyphOf(int code) const {
        switch (lookup_) {
            case Lookup::Unicode: {
                const FT_UInt index = FT_Get_Char_Index(face_, charset_.unicode[code]);
                return index == 0 ? -1 : static_cast<long>(index);
            }
            case Lookup::OwnMap: {
                const FT_UInt index = FT_Get_Char_Index(face_, static_cast<FT_ULong>(code));
                return index == 0 ? -1 : static_cast<long>(index);
            }
            case Lookup::GlyphIndex: return code < face_->num_glyphs ? code : -1;
        }
        return -1;
    }

    // The strike of that size, else of that height; -1 for none.
    int StrikeOf(int size) const {
        for (int i = 0; i < face_->num_fixed_sizes; ++i) {
            if (StrikeSize(face_->available_sizes[i]) == size) return i;
        }
        for (int i = 0; i < face_->num_fixed_sizes; ++i) {
            if (face_->available_sizes[i].height == size) return i;
        }
        return -1;
    }

    std::string StrikeList() const {
        std::string sizes;
        for (int i = 0; i < face_->num_fixed_sizes; ++i)
            sizes += (sizes.empty() ? "" : ", ") + std::to_string(StrikeSize(face_->available_sizes[i]));
        return sizes;
    }

    std::vector<uint8_t> bytes_;  // a face made from memory reads them as long as it lives
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    Charset charset_;
    Lookup lookup_ = Lookup::Unicode;
};

}  // namespace

std::unique_ptr<FontReader> ReadWithFreeType(std::vector<uint8_t> bytes, std::string& error) {
    return FreeTypeFont::Open(std::move(bytes), error);
}
