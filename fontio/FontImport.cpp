#include "FontImport.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "AtomicFile.h"
#include "BitmapFontReader.h"
#include "Charsets.h"
#include "FontImage.h"
#include "FreeTypeReader.h"
#include "GlyphColumns.h"

namespace {

constexpr int kMaxHeight = 4;
constexpr int kMinSpaceWidth = 2;  // the width rule's one blank column would run words together
constexpr char kRawHint[] = "; its codes are its own: import it with --charset raw";

FontImportResult Failure(int result, std::string error) {
    FontImportResult failure;
    failure.result = result;
    failure.error = std::move(error);
    return failure;
}

// The interval and height limit the glyphs are laid out for.
struct FontSettings {
    int interval = 0;
    int heightLimit = 8;
    bool ownExport = false;  // taken from a BDF of glyphmill's
};

// Where the glyphs land: rows of the symbol counted from its top, the
// glyph's cell top (the font's ascender) on row 0.
struct SampleArea {
    long ascender = 0;
    int rows = 0;      // 8 x height
    int keptRows = 0;  // rows the saved image keeps: the limit for fonts 1 byte high
    int columns = kImportColumns;
};

// Where ink of a glyph fell outside the area: the glyph is cut.
struct Cut {
    bool rows = false;   // above or below the rows kept
    bool sides = false;  // left or right of the columns
};

// Samples glyph into columns, its pen shift columns right.
Cut SampleGlyph(const GlyphPixels& glyph, long shift, const SampleArea& area, GlyphColumns& columns) {
    columns.resize(area.columns);
    for (std::vector<int>& column : columns) column.assign(area.rows, 0);
    Cut cut;
    cut.sides = glyph.clipped;
    for (int j = 0; j < glyph.rows; ++j) {
        const long y = area.ascender - glyph.top + j;
        for (int i = 0; i < glyph.columns; ++i) {
            if (!glyph.At(i, j)) continue;
            const long x = shift + glyph.left + i;
            const bool outside = x < 0 || x >= area.columns;
            cut.sides = cut.sides || outside;
            if (outside || y < 0 || y >= area.rows) {
                cut.rows = cut.rows || y < 0 || y >= area.rows;
                continue;
            }
            const int entry = area.rows - 1 - static_cast<int>(y);
            columns[x][entry] = 1;
            cut.rows = cut.rows || entry >= area.keptRows;
        }
    }
    return cut;
}

// How far the pen moves right so that ink left of it is kept: a symbol of
// the width rule starts at the glyph's ink when that lies left of the pen.
long InkShift(const GlyphPixels& glyph) {
    for (int i = 0; i < glyph.columns && glyph.left + i < 0; ++i) {
        for (int j = 0; j < glyph.rows; ++j) {
            if (glyph.At(i, j)) return -(glyph.left + i);
        }
    }
    return 0;
}

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
int GlyphWidth(const FontImportRequest& request, bool ownExport, char32_t character, long advance,
               const SampleArea& area, const GlyphColumns& columns) {
    if (IsSpace(character) && (request.spaceWidth > 0 || !ownExport)) {
        const long wanted = request.spaceWidth > 0 ? request.spaceWidth : std::max<long>(advance, kMinSpaceWidth);
        return static_cast<int>(std::clamp(wanted, 1L, static_cast<long>(Symbol::kDataSize / (area.rows / 8))));
    }
    if (ownExport) return area.columns;
    return request.monospace && HasInk(columns) ? area.columns : ImportedWidth(columns);
}

// A file that gives no width but the ink's (a picture sheet) says nothing of
// a glyph without ink: a symbol of the font that was blank keeps its width
// (the space's unless a width is asked for), so that a sheet of the font
// imported back gives the font's own bytes. A blank symbol one column wide,
// as a new font holds them, takes the width rules, which its 0 means.
int KeptBlankWidth(const FontImportRequest& request, char32_t character, const GlyphPixels& glyph,
                   const GlyphColumns& columns, const Symbol& replaced, int height) {
    if (!glyph.inkOnly || HasInk(columns) || !replaced.IsEmpty() || replaced.width <= 1) return 0;
    if (IsSpace(character) && request.spaceWidth > 0) return 0;
    return std::clamp(replaced.width, 1, Symbol::kDataSize / height);
}

// The 256 symbols an import makes before they go into the font.
struct ImportedGlyphs {
    std::unique_ptr<Symbol[]> symbols{new Symbol[Font::kSymbolCount]};
    ImportSummary summary;
    int cutRows = 0;  // glyphs of summary.cut whose ink reaches beyond the rows
};

// Samples the glyph of every code at the size set into glyphs, for the
// symbols of font; image packs the bytes.
void SampleFont(FontReader& reader, const Charset& charset, const FontImportRequest& request,
                const FontSettings& settings, int size, const Font& font, FontImage& image, ImportedGlyphs& glyphs) {
    ImportSummary& summary = glyphs.summary;
    summary = ImportSummary{};
    glyphs.cutRows = 0;
    summary.size = size;
    summary.ownExport = settings.ownExport;
    summary.pixelHeight = static_cast<int>(std::max(reader.PixelHeight(), 0L));
    summary.height = request.height > 0 ? request.height : std::clamp((summary.pixelHeight + 7) / 8, 1, kMaxHeight);
    SampleArea area;
    area.ascender = reader.Ascender();
    area.rows = 8 * summary.height;
    area.keptRows = summary.height == 1 ? settings.heightLimit : area.rows;
    const long widest = Symbol::kDataSize / summary.height;
    GlyphColumns columns;
    GlyphPixels glyph;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        Symbol& symbol = glyphs.symbols[code];
        if (!reader.LoadGlyph(code, glyph)) {
            ++summary.missing;
            columns.assign(1, std::vector<int>(area.rows, 0));
            PackImportedGlyph(image, columns, 1, summary.height, settings.heightLimit, symbol);
            continue;
        }
        ++summary.imported;
        const bool ownCell = settings.ownExport || request.monospace;
        if (ownCell) area.columns = static_cast<int>(std::clamp(glyph.advance - settings.interval, 1L, widest));
        const Cut cut = SampleGlyph(glyph, ownCell ? 0 : InkShift(glyph), area, columns);
        summary.cut += cut.rows || cut.sides ? 1 : 0;
        glyphs.cutRows += cut.rows ? 1 : 0;
        int width = GlyphWidth(request, settings.ownExport, charset.unicode[code], glyph.advance, area, columns);
        if (const int kept = KeptBlankWidth(request, charset.unicode[code], glyph, columns, font.At(code),
                                            summary.height))
            width = kept;
        if (IsSpace(charset.unicode[code]) && summary.spaceWidth == 0) summary.spaceWidth = width;
        columns.resize(std::max<size_t>(columns.size(), width), std::vector<int>(area.rows, 0));
        PackImportedGlyph(image, columns, width, summary.height, settings.heightLimit, symbol);
    }
}

// Samples at the size asked for, or else at the largest of the reader's
// sizes to try whose glyphs all fit into the rows (the first to try when
// none does).
bool SampleAtSize(FontReader& reader, const Charset& charset, const FontImportRequest& request,
                  const FontSettings& settings, const Font& font, FontImage& image, ImportedGlyphs& glyphs,
                  std::string& error) {
    if (request.size > 0) {
        if (!reader.SetSize(request.size, error)) return false;
        SampleFont(reader, charset, request, settings, request.size, font, image, glyphs);
        return true;
    }
    const std::vector<int> sizes = reader.SizesToTry(request.height, error);
    if (sizes.empty()) return false;
    ImportedGlyphs trial;
    bool sampled = false;
    for (const int size : sizes) {
        if (!reader.SetSize(size, error)) continue;
        SampleFont(reader, charset, request, settings, size, font, image, sampled ? trial : glyphs);
        if (!sampled) {
            sampled = true;
            if (glyphs.cutRows == 0) return true;
        } else if (trial.cutRows == 0) {
            std::swap(glyphs, trial);
            return true;
        }
    }
    return sampled;
}

// Whether the font's own codes (--charset raw) find glyphs at the size asked
// for, where charset's found none.
bool OwnCodesFindGlyphs(FontReader& reader, const FontImportRequest& request) {
    Charset raw;
    std::string ignored;
    if (!LoadCharset("raw", raw, ignored) || !reader.UseCharset(raw, ignored)) return false;
    std::vector<int> sizes = {request.size};
    if (request.size == 0) sizes = reader.SizesToTry(request.height, ignored);
    if (sizes.empty() || !reader.SetSize(sizes.front(), ignored)) return false;
    GlyphPixels glyph;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        if (reader.LoadGlyph(code, glyph)) return true;
    }
    return false;
}

// Fills font index of image; on failure nothing of it has changed.
FontImportResult FillFont(FontReader& reader, const Charset& charset, const FontImportRequest& request,
                          FontImage& image, int index) {
    std::string error;
    if (!reader.UseCharset(charset, error)) {
        if (!charset.raw && OwnCodesFindGlyphs(reader, request)) error += kRawHint;
        return Failure(ImportResult::kUnusable, error);
    }
    Font& font = image.FontAt(index);
    FontSettings settings;
    settings.ownExport = reader.OwnSettings(settings.interval, settings.heightLimit);
    if (!settings.ownExport) {
        settings.interval = request.monospace ? 0 : font.GetInterval();
        settings.heightLimit = font.GetHeightLimit();
    }
    ImportedGlyphs glyphs;
    if (!SampleAtSize(reader, charset, request, settings, font, image, glyphs, error))
        return Failure(ImportResult::kUnusable, error);
    if (glyphs.summary.imported == 0) {
        error = charset.raw ? "none of the codes 0-255 has a glyph in the font"
                            : "none of the 256 codes of " + charset.name + " has a glyph in the font";
        if (!charset.raw && OwnCodesFindGlyphs(reader, request)) error += kRawHint;
        return Failure(ImportResult::kNothingImported, error);
    }

    if (settings.ownExport || request.monospace) font.SetInterval(settings.interval);
    font.SetHeightLimit(settings.heightLimit);
    for (int code = 0; code < Font::kSymbolCount; ++code) font.SetSymbol(code, glyphs.symbols[code]);
    font.SetHeight(glyphs.summary.height);
    FontImportResult filled;
    filled.index = index;
    filled.summary = glyphs.summary;
    return filled;
}

bool NameTaken(const FontImage& image, int index, const std::string& name) {
    std::string padded = name;
    padded.resize(Font::kNameLength, ' ');
    for (int i = 0; i < image.GetFontCount(); ++i) {
        if (i != index && std::string(image.FontAt(i).name, Font::kNameLength) == padded) return true;
    }
    return false;
}

// The name of a font added by an import: the typeface (its characters in
// charset, spaces left out) and the pixel size in 7 bytes, as "DejaV16"; when
// another font of image than index has that name, a letter in the 8th byte
// tells them apart.
std::string AutomaticFontName(const std::string& family, int size, const Charset& charset, const FontImage& image,
                              int index) {
    const std::string digits = std::to_string(size);
    std::u32string characters;
    std::string typeface;
    if (DecodeUtf8(family, characters)) {
        for (const char32_t character : characters) {
            const int code = charset.CodeOf(character);
            if (code > ' ' && typeface.size() + digits.size() < Font::kNameLength - 1)
                typeface += static_cast<char>(code);
        }
    }
    std::string name = typeface + digits;
    for (char mark = 'b'; NameTaken(image, index, name) && mark <= 'z'; ++mark) name = typeface + digits + mark;
    return name;
}

}  // namespace

bool ParsePixelSize(const std::string& text, int& width, int& height) {
    char separator = 0, rest = 0;
    return std::sscanf(text.c_str(), "%d%c%d%c", &width, &separator, &height, &rest) == 3 &&
           (separator == 'x' || separator == 'X');
}

bool ReadFontFile(const std::string& path, std::vector<uint8_t>& bytes, FontImportResult& failure) {
    const FileRead read = ReadAtMost(path, kMaxFontFileBytes + 1, bytes);
    if (!read) {
        failure = read.result == ReadResult::kNotOpened
                      ? Failure(ImportResult::kNotOpened, "cannot open " + path + ": " + read.reason)
                      : Failure(ImportResult::kNotRead, "cannot read " + path + ": " + read.reason);
        return false;
    }
    if (bytes.size() <= kMaxFontFileBytes) return true;
    failure = Failure(ImportResult::kNotAFont,
                      path + ": more than " + std::to_string(kMaxFontFileBytes >> 20) + " MiB, too large for a font file");
    return false;
}

std::unique_ptr<FontReader> OpenFontFile(const std::string& path, FontImportResult& failure,
                                         const FontFileLayout& layout) {
    std::vector<uint8_t> bytes;
    if (!ReadFontFile(path, bytes, failure)) return nullptr;
    return FontFromBytes(std::move(bytes), path, failure, layout);
}

std::unique_ptr<FontReader> FontFromBytes(std::vector<uint8_t> bytes, const std::string& path,
                                          FontImportResult& failure, const FontFileLayout& layout) {
    std::string error;
    const BitmapFontFormat format = BitmapFontFormatOf(bytes, path, layout);
    std::unique_ptr<FontReader> font = format != BitmapFontFormat::kNone
                                           ? ReadBitmapFontFile(format, bytes, path, layout, error)
                                           : ReadWithFreeType(std::move(bytes), error);
    if (font) return font;
    if (error.empty()) error = "not a font file (TrueType, OpenType, BDF, PCF, PSF or .hex)";
    failure = Failure(ImportResult::kNotAFont, path + ": " + error);
    return nullptr;
}

FontImportResult ImportFontFile(FontReader& reader, const FontImportRequest& request, FontImage& image) {
    Charset charset;
    std::string error;
    if (!LoadCharset(request.charset, charset, error)) return Failure(ImportResult::kBadRequest, error);
    if (request.size < 0 || request.size > kMaxImportSize)
        return Failure(ImportResult::kBadRequest, "a size is 1 to " + std::to_string(kMaxImportSize) + " pixels per em");
    const bool added = request.font == FontImportRequest::kNewFont;
    if (!added && (request.font < 0 || request.font >= image.GetFontCount()))
        return Failure(ImportResult::kNoSuchFont, "the image has no font " + std::to_string(request.font));
    if (added && !image.AddFont())
        return Failure(ImportResult::kNoRoom, "the image already holds " + std::to_string(image.GetFontCount()) +
                                                  " fonts: fonts are added up to " +
                                                  std::to_string(FontImage::kMaxAddedFonts) +
                                                  " (only an image file loaded with 16 holds more)");
    const int index = added ? image.GetFontCount() - 1 : request.font;
    FontImportResult result = FillFont(reader, charset, request, image, index);
    if (!result) {
        if (added) image.RemoveFont(index);
        return result;
    }
    if (!request.name.empty()) {
        image.SetFontName(index, request.name.c_str());
    } else if (added || request.automaticName) {
        image.SetFontName(index, AutomaticFontName(reader.FamilyName(), result.summary.size, charset, image, index).c_str());
    }
    return result;
}
