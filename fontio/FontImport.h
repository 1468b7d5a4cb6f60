// The one import of a font file into a font of an image, behind the
// editor's "Import font file..." and glyphmill import alike: the file is
// opened by the reader that knows its format, and the import does the rest
// the same way for every format (target font, charset, size, height, the
// width rules, the name, and leaving the image as it was on any failure).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FontImage;
struct Charset;

// The largest size an import takes: pixels per em, or a strike's size.
constexpr int kMaxImportSize = 255;
// The largest font file read.
constexpr size_t kMaxFontFileBytes = size_t{128} << 20;

namespace ImportResult {
enum Code : int {
    kImported = 0,
    kNotOpened = -1,        // the font file cannot be opened
    kNotRead = -2,          // reading it failed
    kNotAFont = -3,         // no reader takes the file, or it is damaged
    kBadRequest = -4,       // a charset or size the import does not take
    kNoSuchFont = -5,       // the font to fill is not one of the image's
    kNoRoom = -6,           // a new font was asked for, and the image holds as many as are added
    kUnusable = -7,         // the font cannot be used so: no such size, no map for the charset...
    kNothingImported = -8,  // not one of the 256 codes found a glyph: the font would be blank
};
}  // namespace ImportResult

// What an import asks for.
struct FontImportRequest {
    static constexpr int kNewFont = -1;
    int font = kNewFont;  // the font to fill, or a new one at the end of the list
    std::string charset = "cp1252";  // what the 256 codes stand for (a name of CharsetNames)
    int size = 0;    // pixels per em, or a strike's size; 0: the largest that fits and cuts nothing
    int height = 0;  // bytes per column, 1-4; 0: the fewest that hold the size
    // Every glyph as wide as its advance (its side bearings kept as blank
    // columns), with the font's interval 0, so that the printer keeps the
    // font's own pitch.
    bool monospace = false;
    int spaceWidth = 0;  // columns of the space; 0: its advance, at least 2
    // The font's name bytes (up to 8). Empty keeps the name of the font
    // filled, but a new font, or any with automaticName, is named after the
    // typeface and the size, as "DejaV16" (a letter in the 8th byte tells it
    // from another font of the image of that name).
    std::string name;
    bool automaticName = false;
};

struct ImportSummary {
    int size = 0;         // pixels per em of the size used
    int pixelHeight = 0;  // ascender less descender at that size
    int height = 0;       // bytes per column of the symbols
    int imported = 0;     // codes the font has a glyph for
    int missing = 0;      // codes it lacks: blank symbols one column wide
    int cut = 0;          // glyphs whose ink did not all fit into the symbol
    int spaceWidth = 0;   // columns of the space, 0 when the font has none
    bool ownExport = false;  // a BDF of glyphmill's: widths, interval and limit came from it
};

// How an import, or the opening of its file, went.
struct FontImportResult {
    int result = ImportResult::kImported;
    // Why, for a failure. An open failure names the file; an import failure
    // does not (its caller knows which file it gave).
    std::string error;
    int index = -1;  // the font filled
    ImportSummary summary;
    explicit operator bool() const { return result == ImportResult::kImported; }
};

// A glyph as a reader hands it over: its pixels, row 0 the top, placed by
// the pen position (left) and the baseline (top: the rows above it).
struct GlyphPixels {
    int columns = 0;
    int rows = 0;
    long left = 0;
    long top = 0;
    long advance = 0;          // whole pixels to the next pen position
    std::vector<uint8_t> ink;  // rows x columns, 1 for ink
    bool clipped = false;      // the glyph had more rows or columns than were handed over
    // The file gives no width but its ink's (a picture's cell): a glyph
    // without ink leaves a blank symbol it replaces as wide as it was.
    bool inkOnly = false;
    bool At(int x, int y) const { return ink[static_cast<size_t>(y) * columns + x] != 0; }
};

// The reader of one font file format: what the import needs of a file.
class FontReader {
public:
    virtual ~FontReader() = default;

    virtual std::string FamilyName() const = 0;
    // The weight and slant as XLFD names them ("Medium", "Bold"...; "R", "I", "O").
    virtual std::string WeightName() const = 0;
    virtual std::string SlantName() const = 0;
    // The interval and height limit of a BDF glyphmill exported; false for any other file.
    virtual bool OwnSettings(int& interval, int& heightLimit) const = 0;

    // Makes the codes find their glyphs as charset says; false, with error
    // saying why, when the file has no way to.
    virtual bool UseCharset(const Charset& charset, std::string& error) = 0;
    // Sets the size: pixels per em of a scalable font, or the strike of
    // that size (or height); false, with error saying why.
    virtual bool SetSize(int size, std::string& error) = 0;
    // The sizes to try, best first, when none is asked for and the symbols
    // are height bytes high (0: as high as the font needs); none, with error
    // saying why, when no size fits.
    virtual std::vector<int> SizesToTry(int height, std::string& error) = 0;
    // At the size set: whole pixels from the cell's top to the baseline, and
    // from the cell's top to its bottom.
    virtual long Ascender() const = 0;
    virtual long PixelHeight() const = 0;
    // The glyph of code at the size set; false when the file lacks it.
    virtual bool LoadGlyph(int code, GlyphPixels& glyph) = 0;
};

// What a file does not say of its glyphs, and the user does.
struct FontFileLayout {
    // A raw dump of 256 glyphs of rawWidth x rawHeight pixels, after
    // rawOffset bytes; 0 x 0: the file is not read as a raw dump.
    int rawWidth = 0;
    int rawHeight = 0;
    uint64_t rawOffset = 0;
    // A picture sheet's cells; 0 x 0: the picture's size divided by 16.
    int cellWidth = 0;
    int cellHeight = 0;
};

// A size as the user types it, W x H pixels ("8x16"); false for other text.
bool ParsePixelSize(const std::string& text, int& width, int& height);

// Reads the font file at path whole; false, with failure saying why, when it
// cannot be read or holds more than kMaxFontFileBytes.
bool ReadFontFile(const std::string& path, std::vector<uint8_t>& bytes, FontImportResult& failure);

// Opens the font file at path, or bytes read from it, with the reader that
// takes its format (a raw dump when layout says so); null, with failure
// saying why.
std::unique_ptr<FontReader> OpenFontFile(const std::string& path, FontImportResult& failure,
                                         const FontFileLayout& layout = {});
std::unique_ptr<FontReader> FontFromBytes(std::vector<uint8_t> bytes, const std::string& path,
                                          FontImportResult& failure, const FontFileLayout& layout = {});

// Fills the font request names (or a new one) of image from reader: every
// symbol, the height, the interval and limit of glyphmill's own export (or
// interval 0 for monospace), and the name. On failure image is as it was.
FontImportResult ImportFontFile(FontReader& reader, const FontImportRequest& request, FontImage& image);
