// Font files read by FreeType (TrueType, OpenType, BDF, PCF) and imported
// into a font of the image by the sampling rules of the Windows import.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FontImage;
struct Charset;

struct ImportRequest {
    const Charset* charset = nullptr;
    int size = 0;    // pixels per em, or a strike's size; 0: see FontFile::Import
    int height = 0;  // bytes per column, 1-4; 0: the fewest that hold the font, at most 4
    // Every glyph as wide as its advance (its side bearings kept as blank
    // columns), with the font's interval 0, so that the printer keeps the
    // font's own pitch.
    bool monospace = false;
    int spaceWidth = 0;  // columns of the space; 0: its advance, at least 2
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

class FontFile {
public:
    // Null, with error saying why, when FreeType cannot read the file.
    static std::unique_ptr<FontFile> Open(const std::string& path, std::string& error);
    static std::unique_ptr<FontFile> FromBytes(std::vector<uint8_t> bytes, std::string& error);
    ~FontFile();

    std::string FamilyName() const;
    // The weight and slant as XLFD names them ("Medium", "Bold"...; "R", "I",
    // "O"): a BDF's or PCF's own properties, else the OpenType weight class
    // and style, else FreeType's bold and italic flags.
    std::string WeightName() const;
    std::string SlantName() const;

    // Replaces every symbol of font index of image and sets its height.
    // A scalable font is rendered monochrome with hinting at request.size
    // pixels per em (by default the largest whose height fits request.height
    // bytes, or 2 bytes); a bitmap font uses its strike of that size (by
    // default the largest up to 32 rows). False, with error saying why and
    // the font untouched, when the font cannot be used that way.
    bool Import(const ImportRequest& request, FontImage& image, int index, ImportSummary& summary,
                std::string& error);

private:
    struct Handles;
    static std::unique_ptr<Handles> StartFreeType(std::string& error);
    explicit FontFile(std::unique_ptr<Handles> handles);
    std::unique_ptr<Handles> handles_;
};

// The name of a font added by an import: the typeface (its characters in
// charset, spaces left out) and the pixel size in 7 bytes, as "DejaV16"; when
// another font of image than index has that name, a letter in the 8th byte
// tells them apart.
std::string AutomaticFontName(const std::string& family, int size, const Charset& charset, const FontImage& image,
                              int index);
