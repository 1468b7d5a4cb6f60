#include "FontFile.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_BDF_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BdfProperties.h"
#include "Charsets.h"
#include "FontImage.h"
#include "GlyphColumns.h"

struct FontFile::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::vector<uint8_t> bytes;  // a face made from memory reads them as long as it lives

    Handles() = default;
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;
    ~Handles() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

namespace {

constexpr int kMaxHeight = 4;
constexpr int kDefaultHeight = 2;  // a scalable font's rows when neither size nor height is asked for

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

long Ascender(FT_Face face) { return WholePixels(face->size->metrics.ascender); }

long PixelHeight(FT_Face face) { return Ascender(face) + WholePixels(-face->size->metrics.descender); }

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

// How a code finds its glyph.
enum class Lookup {
    Unicode,     // the charset's character in the font's Unicode map
    OwnMap,      // raw: the code in the font's own map (a bitmap font's encoding)
    GlyphIndex,  // raw: the code is the glyph index (a scalable font)
};

bool ChooseLookup(FT_Face face, const Charset& charset, Lookup& lookup, std::string& error) {
    if (!charset.raw) {
        if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) {
            lookup = Lookup::Unicode;
            return true;
        }
        error = "the font has no Unicode character map; its codes are its own: import it with --charset raw";
        return false;
    }
    if (!FT_IS_SCALABLE(face) && face->num_charmaps > 0 && FT_Set_Charmap(face, face->charmaps[0]) == 0) {
        lookup = Lookup::OwnMap;
    } else {
        lookup = Lookup::GlyphIndex;
    }
    return true;
}

// The glyph of code, or -1 when the font lacks it.
long GlyphOf(FT_Face face, Lookup lookup, const Charset& charset, int code) {
    switch (lookup) {
        case Lookup::Unicode: {
            const FT_UInt index = FT_Get_Char_Index(face, charset.unicode[code]);
            return index == 0 ? -1 : static_cast<long>(index);
        }
        case Lookup::OwnMap: {
            const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
            return index == 0 ? -1 : static_cast<long>(index);
        }
        case Lookup::GlyphIndex: return code < face->num_glyphs ? code : -1;
    }
    return -1;
}

bool SelectScalableSize(FT_Face face, const ImportRequest& request, int& size, std::string& error) {
    if (request.size > 0) {
        size = request.size;
        if (const FT_Error failed = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size))) {
            error = "cannot set " + std::to_string(size) + " pixels per em: " + FreeTypeError(failed);
            return false;
        }
        return true;
    }
    const int rows = 8 * (request.height > 0 ? request.height : kDefaultHeight);
    for (size = rows; size >= 1; --size) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) continue;
        if (PixelHeight(face) <= rows) return true;
    }
    error = "no size of the font fits into " + std::to_string(rows) + " rows";
    return false;
}

int StrikeSize(const FT_Bitmap_Size& strike) { return static_cast<int>((strike.y_ppem + 32) >> 6); }

bool SelectStrike(FT_Face face, const ImportRequest& request, int& size, std::string& error) {
    if (face->num_fixed_sizes <= 0) {
        error = "the font has neither outlines nor bitmaps";
        return false;
    }
    int chosen = -1;
    std::string sizes;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        const FT_Bitmap_Size& strike = face->available_sizes[i];
        sizes += (sizes.empty() ? "" : ", ") + std::to_string(StrikeSize(strike));
        if (request.size > 0) {
            if (StrikeSize(strike) == request.size || strike.height == request.size) chosen = i;
            continue;
        }
        // The tallest that fits into the highest symbols, else the smallest.
        const FT_Bitmap_Size* best = chosen < 0 ? nullptr : &face->available_sizes[chosen];
        const bool fits = strike.height <= 8 * kMaxHeight;
        const bool bestFits = best && best->height <= 8 * kMaxHeight;
        if (!best || (fits && (!bestFits || strike.height > best->height)) ||
            (!fits && !bestFits && strike.height < best->height)) {
            chosen = i;
        }
    }
    if (chosen < 0) {
        error = "the font has no size of " + std::to_string(request.size) + " pixels (it has " + sizes + ")";
        return false;
    }
    if (const FT_Error failed = FT_Select_Size(face, chosen)) {
        error = "cannot use the font's size " + std::to_string(StrikeSize(face->available_sizes[chosen])) + ": " +
                FreeTypeError(failed);
        return false;
    }
    size = StrikeSize(face->available_sizes[chosen]);
    return true;
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

// Where the glyphs land: rows of the symbol counted from its top, the
// glyph's cell top (the font's ascender) on row 0.
struct SampleArea {
    long ascender = 0;
    int rows = 0;         // 8 x height
    int keptRows = 0;     // rows the saved image keeps: the limit for fonts 1 byte high
    int columns = kImportColumns;
};

// Samples the glyph in the face's slot into columns; true when ink fell
// outside the area (the glyph is cut).
bool SampleGlyph(FT_Library library, FT_GlyphSlot slot, const SampleArea& area, GlyphColumns& columns) {
    columns.resize(area.columns);
    for (std::vector<int>& column : columns) column.assign(area.rows, 0);
    const GlyphInk ink(library, slot->bitmap);
    bool cut = false;
    for (int j = 0; j < ink.Rows(); ++j) {
        const long y = area.ascender - slot->bitmap_top + j;
        for (int i = 0; i < ink.Columns(); ++i) {
            if (!ink.At(i, j)) continue;
            const long x = static_cast<long>(slot->bitmap_left) + i;
            if (x < 0 || x >= area.columns || y < 0 || y >= area.rows) {
                cut = true;
                continue;
            }
            const int entry = area.rows - 1 - static_cast<int>(y);
            columns[x][entry] = 1;
            if (entry >= area.keptRows) cut = true;
        }
    }
    return cut;
}

// The C library's words for why path cannot be opened, as ": words", or
// nothing. FreeType's own stream leaves errno alone on Windows, so ask again.
std::string WhyNotOpened(const std::string& path) {
    errno = 0;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
        return "";
    }
    return errno ? std::string(": ") + std::strerror(errno) : "";
}

constexpr int kMinSpaceWidth = 2;  // the width rule's one blank column would run words together

// Only the space: the image file gives every other blank symbol one shared
// record, and so one width.
bool IsSpace(char32_t character) { return character == U' '; }

bool HasInk(const GlyphColumns& columns) {
    return std::any_of(columns.begin(), columns.end(), [](const std::vector<int>& column) {
        return std::find(column.begin(), column.end(), 1) != column.end();
    });
}

// The symbol width of the glyph sampled into columns. The width rule (ink
// plus one blank column) fits glyphs with ink; a space keeps its advance, and
// glyphmill's own export, or a monospaced import of a glyph with ink, the
// width the area was laid out with.
int GlyphWidth(const ImportRequest& request, bool ownExport, char32_t character, long advance,
               const SampleArea& area, const GlyphColumns& columns) {
    if (IsSpace(character) && (request.spaceWidth > 0 || !ownExport)) {
        const long wanted = request.spaceWidth > 0 ? request.spaceWidth : std::max<long>(advance, kMinSpaceWidth);
        return static_cast<int>(std::clamp(wanted, 1L, static_cast<long>(Symbol::kDataSize / (area.rows / 8))));
    }
    if (ownExport) return area.columns;
    return request.monospace && HasInk(columns) ? area.columns : ImportedWidth(columns);
}

}  // namespace

std::unique_ptr<FontFile::Handles> FontFile::StartFreeType(std::string& error) {
    auto handles = std::make_unique<Handles>();
    if (const FT_Error failed = FT_Init_FreeType(&handles->library)) {
        error = "cannot start FreeType: " + FreeTypeError(failed);
        return nullptr;
    }
    return handles;
}

FontFile::FontFile(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

FontFile::~FontFile() = default;

std::unique_ptr<FontFile> FontFile::Open(const std::string& path, std::string& error) {
    auto handles = StartFreeType(error);
    if (!handles) return nullptr;
    if (const FT_Error failed = FT_New_Face(handles->library, path.c_str(), 0, &handles->face)) {
        if (failed == FT_Err_Cannot_Open_Resource) {
            error = "cannot open " + path + WhyNotOpened(path);
        } else if (failed == FT_Err_Unknown_File_Format) {
            error = path + ": not a font file (TrueType, OpenType, BDF or PCF)";
        } else {
            error = path + ": " + FreeTypeError(failed);
        }
        return nullptr;
    }
    return std::unique_ptr<FontFile>(new FontFile(std::move(handles)));
}

std::unique_ptr<FontFile> FontFile::FromBytes(std::vector<uint8_t> bytes, std::string& error) {
    auto handles = StartFreeType(error);
    if (!handles) return nullptr;
    handles->bytes = std::move(bytes);
    if (const FT_Error failed = FT_New_Memory_Face(handles->library, handles->bytes.data(),
                                                   static_cast<FT_Long>(handles->bytes.size()), 0, &handles->face)) {
        error = "not a font: " + FreeTypeError(failed);
        return nullptr;
    }
    return std::unique_ptr<FontFile>(new FontFile(std::move(handles)));
}

std::string FontFile::FamilyName() const {
    const char* family = handles_->face->family_name;
    return family ? family : "";
}

std::string FontFile::WeightName() const {
    const FT_Face face = handles_->face;
    if (std::string weight = TextProperty(face, "WEIGHT_NAME"); !weight.empty()) return weight;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWeightClass > 0) return WeightClassName(os2->usWeightClass);
    return (face->style_flags & FT_STYLE_FLAG_BOLD) ? "Bold" : "Medium";
}

std::string FontFile::SlantName() const {
    const FT_Face face = handles_->face;
    if (std::string slant = TextProperty(face, "SLANT"); !slant.empty()) return slant;
    if (!(face->style_flags & FT_STYLE_FLAG_ITALIC)) return "R";
    const bool oblique = face->style_name && std::strstr(face->style_name, "Oblique");
    return oblique ? "O" : "I";
}

bool FontFile::Import(const ImportRequest& request, FontImage& image, int index, ImportSummary& summary,
                      std::string& error) {
    FT_Face face = handles_->face;
    const Charset& charset = *request.charset;
    Lookup lookup;
    if (!ChooseLookup(face, charset, lookup, error)) return false;
    summary = ImportSummary{};
    const bool sized = FT_IS_SCALABLE(face) ? SelectScalableSize(face, request, summary.size, error)
                                            : SelectStrike(face, request, summary.size, error);
    if (!sized) return false;

    summary.pixelHeight = static_cast<int>(std::max(PixelHeight(face), 0L));
    summary.height = request.height > 0 ? request.height : std::clamp((summary.pixelHeight + 7) / 8, 1, kMaxHeight);
    Font& font = image.FontAt(index);
    long interval = 0, limit = 0;
    summary.ownExport = IntegerProperty(face, kIntervalProperty, interval) && interval >= 0 && interval <= 15 &&
                        IntegerProperty(face, kHeightLimitProperty, limit) && limit >= 1 && limit <= 8;
    if (summary.ownExport) {
        font.SetInterval(static_cast<int>(interval));
        font.SetHeightLimit(static_cast<int>(limit));
    } else if (request.monospace) {
        interval = 0;
        font.SetInterval(0);
    }

    SampleArea area;
    area.ascender = Ascender(face);
    area.rows = 8 * summary.height;
    area.keptRows = summary.height == 1 ? font.GetHeightLimit() : area.rows;
    const long widest = Symbol::kDataSize / summary.height;
    GlyphColumns columns;
    Symbol glyph;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const long glyphIndex = GlyphOf(face, lookup, charset, code);
        const bool loaded = glyphIndex >= 0 &&
                            FT_Load_Glyph(face, static_cast<FT_UInt>(glyphIndex), FT_LOAD_TARGET_MONO | FT_LOAD_RENDER) == 0 &&
                            face->glyph->format == FT_GLYPH_FORMAT_BITMAP;
        if (!loaded) {
            ++summary.missing;
            columns.assign(1, std::vector<int>(area.rows, 0));
            PackImportedGlyph(image, columns, 1, summary.height, font.GetHeightLimit(), glyph);
            font.SetSymbol(code, glyph);
            continue;
        }
        ++summary.imported;
        const long advance = WholePixels(face->glyph->advance.x);
        if (summary.ownExport || request.monospace)
            area.columns = static_cast<int>(std::clamp(advance - interval, 1L, widest));
        if (SampleGlyph(handles_->library, face->glyph, area, columns)) ++summary.cut;
        const int width = GlyphWidth(request, summary.ownExport, charset.unicode[code], advance, area, columns);
        if (IsSpace(charset.unicode[code]) && summary.spaceWidth == 0) summary.spaceWidth = width;
        columns.resize(std::max<size_t>(columns.size(), width), std::vector<int>(area.rows, 0));
        PackImportedGlyph(image, columns, width, summary.height, font.GetHeightLimit(), glyph);
        font.SetSymbol(code, glyph);
    }
    font.SetHeight(summary.height);
    return true;
}

namespace {

bool NameTaken(const FontImage& image, int index, const std::string& name) {
    std::string padded = name;
    padded.resize(Font::kNameLength, ' ');
    for (int i = 0; i < image.GetFontCount(); ++i) {
        if (i != index && std::string(image.FontAt(i).name, Font::kNameLength) == padded) return true;
    }
    return false;
}

}  // namespace

std::string AutomaticFontName(const std::string& family, int size, const Charset& charset, const FontImage& image,
                              int index) {
    const std::string digits = std::to_string(size);
    std::u32string characters;
    std::string name;
    if (DecodeUtf8(family, characters)) {
        for (const char32_t character : characters) {
            const int code = charset.CodeOf(character);
            if (code > ' ' && name.size() + digits.size() < Font::kNameLength - 1) name += static_cast<char>(code);
        }
    }
    name += digits;
    for (char mark = 'b'; NameTaken(image, index, name) && mark <= 'z'; ++mark)
        name = name.substr(0, Font::kNameLength - 1 - digits.size()) + digits + mark;
    return name;
}
