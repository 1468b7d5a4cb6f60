// glyphmill's font commands, run as a user runs them on real fonts, with
// FreeType, bdftopcf, pcf2bdf, libpng, kbd's psfxtable and Pillow as the
// judges.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "FontImage.h"
#include "Results.h"
#include "ToolRun.h"

namespace {

const std::string kDejaVuFolder = "/usr/share/fonts/truetype/dejavu/";
const std::string kDejaVu = kDejaVuFolder + "DejaVuSansMono.ttf";
const std::string kFixed = "/usr/share/fonts/X11/misc/6x13.pcf.gz";
const std::string kTerminusCp1251 = "/usr/share/fonts/X11/misc/ter-u16n_cp1251.pcf.gz";
const std::string kTerminusUnicode = "/usr/share/fonts/X11/misc/ter-u16n_unicode.pcf.gz";
const std::string kTerminusPsf = "/usr/share/consolefonts/Lat15-Terminus16.psf.gz";
const std::string kUnifontHex = "/usr/share/unifont/unifont.hex";
const std::string kUnifontOtf = "/usr/share/fonts/opentype/unifont/unifont.otf";

// A scratch path with nothing there yet.
std::string Fresh(const std::string& name) {
    const std::string path = Scratch(name);
    std::remove(path.c_str());
    return path;
}

// Runs a shell command of the tools that make or judge the files.
void RunOrFail(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

void RunOk(const std::string& arguments) {
    const Outcome run = Glyphmill(arguments);
    ASSERT_EQ(run.exitCode, 0) << arguments << "\n" << run.err;
}

void LoadAsTheEditorDoes(const std::string& path, FontImage& image) {
    ASSERT_EQ(image.Load(path), LoadResult::kLoaded) << path;
}

// Row 0 is the symbol's top row.
bool IsInk(const Symbol& symbol, int column, int row) {
    return symbol.IsInk(column, 8 * symbol.height - 1 - row);
}

void ExpectSameSymbols(const Font& expected, const Font& actual) {
    ASSERT_EQ(actual.GetHeight(), expected.GetHeight());
    const int height = expected.GetHeight();
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& want = expected.At(code);
        const Symbol& got = actual.At(code);
        ASSERT_EQ(got.width, want.width) << "code " << code;
        ASSERT_EQ(std::string(got.data.get(), got.data.get() + got.width * height),
                  std::string(want.data.get(), want.data.get() + want.width * height))
            << "code " << code;
    }
}

// The glyph FreeType itself renders for character (at ppem, or the bitmap
// font's strike for 0), laid out by the import's rules: the ascender on the
// top row, the pen at column 0 (or further right, where ink lies left of it),
// 128 columns sampled, one blank column after the ink, or for a monospaced
// import as wide as the glyph's advance.
void ExpectFreeTypesGlyph(const Symbol& symbol, const std::string& fontPath, FT_ULong character, int ppem,
                          bool monospace = false) {
    FT_Library library;
    FT_Face face;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    ASSERT_EQ(FT_New_Face(library, fontPath.c_str(), 0, &face), 0);
    ASSERT_EQ(ppem ? FT_Set_Pixel_Sizes(face, 0, ppem) : FT_Select_Size(face, 0), 0);
    ASSERT_EQ(FT_Load_Char(face, character, FT_LOAD_TARGET_MONO | FT_LOAD_RENDER), 0);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    ASSERT_EQ(bitmap.pixel_mode, FT_PIXEL_MODE_MONO);
    const int rows = 8 * symbol.height;
    std::vector<std::vector<bool>> ink(rows, std::vector<bool>(128));
    int lastInk = -1;
    const int top = static_cast<int>(face->size->metrics.ascender / 64) - face->glyph->bitmap_top;
    const auto inked = [&bitmap](unsigned i, unsigned j) { return bitmap.buffer[j * bitmap.pitch + i / 8] & (0x80 >> (i % 8)); };
    int pen = 0;
    for (unsigned j = 0; j < bitmap.rows && !monospace; ++j) {
        for (unsigned i = 0; i < bitmap.width; ++i) {
            if (inked(i, j)) pen = std::max(pen, -(face->glyph->bitmap_left + static_cast<int>(i)));
        }
    }
    for (unsigned j = 0; j < bitmap.rows; ++j) {
        for (unsigned i = 0; i < bitmap.width; ++i) {
            const int x = pen + face->glyph->bitmap_left + static_cast<int>(i), y = top + static_cast<int>(j);
            if (!inked(i, j)) continue;
            ASSERT_TRUE(x >= 0 && x < 128 && y >= 0 && y < rows) << "U+" << std::hex << character << " is cut";
            ink[y][x] = true;
            lastInk = std::max(lastInk, x);
        }
    }
    const int advance = static_cast<int>(face->glyph->advance.x / 64);
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    ASSERT_EQ(symbol.width, monospace ? advance : lastInk < 0 ? 1 : lastInk + 2) << "U+" << std::hex << character;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < symbol.width; ++x) {
            ASSERT_EQ(IsInk(symbol, x, y), ink[y][x]) << "U+" << std::hex << character << std::dec << " at " << x << "," << y;
        }
    }
}

int WidestColumns(const Font& font) {
    int widest = 1;
    for (int code = 0; code < Font::kSymbolCount; ++code) widest = std::max(widest, font.At(code).width);
    return widest;
}

// The symbols of codes first to last of two fonts are the same.
void ExpectSameSymbolsAt(const Font& expected, const Font& actual, int first, int last) {
    for (int code = first; code <= last; ++code) {
        const Symbol& want = expected.At(code);
        const Symbol& got = actual.At(code);
        ASSERT_EQ(got.width, want.width) << "code " << code;
        ASSERT_EQ(std::string(got.data.get(), got.data.get() + got.ByteCount()),
                  std::string(want.data.get(), want.data.get() + want.ByteCount()))
            << "code " << code;
    }
}

void ExpectBlank(const Symbol& symbol) {
    EXPECT_EQ(symbol.width, 1);
    EXPECT_TRUE(symbol.IsEmpty());
}

TEST(FontImport, TrueTypeGlyphsAreFreeTypesOwnBitmaps) {
    const std::string path = Fresh("dejavu.bin");
    const Outcome run = Glyphmill("import " + path + " " + kDejaVu + " --add --size 16");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // Codes 0-31, 127 and the five cp1252 leaves undefined are missing.
    EXPECT_NE(run.out.find("218 glyphs imported, 38 missing, 0 cut"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(path + ": saved"), std::string::npos) << run.out;

    FontImage image;
    LoadAsTheEditorDoes(path, image);
    ASSERT_EQ(image.GetFontCount(), 1);
    char name[Font::kNameLength + 1];
    image.GetFontName(0, name);
    EXPECT_STREQ(name, "DejaV16 ");
    const Font& font = image.FontAt(0);
    EXPECT_EQ(font.GetHeight(), 3);  // 19 rows at 16 pixels per em
    ExpectFreeTypesGlyph(font.At('A'), kDejaVu, 'A', 16);
    ExpectFreeTypesGlyph(font.At('g'), kDejaVu, 'g', 16);
    ExpectFreeTypesGlyph(font.At('@'), kDejaVu, '@', 16);
    ExpectFreeTypesGlyph(font.At(0xE9), kDejaVu, U'\u00e9', 16);
    ExpectFreeTypesGlyph(font.At(0x80), kDejaVu, U'\u20ac', 16);
    for (const int code : {0x07, 0x81}) ExpectBlank(font.At(code));

    // A second import into the same font, too tall for it, keeps its name.
    const Outcome cut = Glyphmill("import " + path + " " + kDejaVu + " --font 0 --size 40 --height 4");
    EXPECT_NE(cut.out.find("the font does not fit into 32 rows: its bottom 16 rows are cut off"), std::string::npos)
        << cut.out;
    const Outcome one = Glyphmill("import " + path + " " + kDejaVu + " --size 7 --height 1 -o " + Scratch("one.bin"));
    EXPECT_NE(one.out.find("into 8 rows: its bottom row is cut off\n"), std::string::npos) << one.out;
    LoadAsTheEditorDoes(path, image);
    EXPECT_EQ(image.FontAt(0).GetHeight(), 4);
    image.GetFontName(0, name);
    EXPECT_STREQ(name, "DejaV16 ");
}

TEST(FontImport, AnEmptySizeIsTheLargestThatFitsAndCutsNothing) {
    // DejaVu Sans Bold fills 32 rows at 26 pixels per em, where J, j and Î
    // reach left of their pen.
    const std::string bold = kDejaVuFolder + "DejaVuSans-Bold.ttf", path = Fresh("largest.bin");
    const Outcome run = Glyphmill("import " + path + " " + bold + " --add --height 4");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("26 px, 32 rows high"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" 0 cut\n"), std::string::npos) << run.out;
    FontImage image;
    LoadAsTheEditorDoes(path, image);
    for (const FT_ULong character : {'J', 'j', 'W'}) ExpectFreeTypesGlyph(image.FontAt(0).At(character), bold, character, 26);
    ExpectFreeTypesGlyph(image.FontAt(0).At(0xCE), bold, U'\u00ce', 26);
}

TEST(FontImport, BitmapFontsFromPcfAndFromTheBdfPcf2bdfMakesOfIt) {
    const std::string bdf = Scratch("fixed.bdf");
    ASSERT_EQ(std::system(("pcf2bdf -o " + bdf + " " + kFixed).c_str()), 0);
    const std::string fromPcf = Fresh("fixed-pcf.bin"), fromBdf = Fresh("fixed-bdf.bin");
    const Outcome run = Glyphmill("import " + fromPcf + " " + kFixed + " --add");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("219 glyphs imported, 37 missing, 0 cut"), std::string::npos) << run.out;
    RunOk("import " + fromBdf + " " + bdf + " --add");

    FontImage pcfImage, bdfImage;
    LoadAsTheEditorDoes(fromPcf, pcfImage);
    LoadAsTheEditorDoes(fromBdf, bdfImage);
    const Font& font = pcfImage.FontAt(0);
    EXPECT_EQ(font.GetHeight(), 2);  // 13 rows
    ExpectSameSymbols(font, bdfImage.FontAt(0));
    ExpectFreeTypesGlyph(font.At('A'), kFixed, 'A', 0);
    ExpectFreeTypesGlyph(font.At('g'), kFixed, 'g', 0);
    ExpectFreeTypesGlyph(font.At(0xE9), kFixed, U'\u00e9', 0);
}

// Web fonts made of DejaVu Sans Mono by Debian's woff2_compress and
// sfnt2woff: the same font, so the same image, byte for byte.
TEST(FontImport, WebFontsImportAsTheTrueTypeTheyWereMadeOf) {
    const std::string ttf = Scratch("webfont.ttf");
    const std::string make = "cp " + kDejaVu + " " + ttf + " && woff2_compress " + ttf + " >/dev/null 2>&1 && " +
                             "sfnt2woff " + ttf;
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    const std::string stem = ttf.substr(0, ttf.size() - 4);
    const std::string fromTtf = Fresh("webfont-ttf.bin");
    RunOk("import " + fromTtf + " " + ttf + " --add --size 14");
    for (const std::string& webFont : {stem + ".woff2", stem + ".woff"}) {
        const std::string image = Fresh("webfont.bin");
        RunOk("import " + image + " " + webFont + " --add --size 14");
        EXPECT_EQ(Slurp(image), Slurp(fromTtf)) << webFont;
    }
}

TEST(FontImport, ACodePageMapsAsAFontMadeForThatCodePage) {
    // Terminus comes with cp1251 as its own encoding; the Unicode one mapped
    // through cp1251 must give the same symbols.
    const std::string own = Fresh("ter-own.bin"), mapped = Fresh("ter-mapped.bin");
    RunOk("import " + own + " " + kTerminusCp1251 + " --add --charset raw");
    RunOk("import " + mapped + " " + kTerminusUnicode + " --add --charset cp1251");
    FontImage ownImage, mappedImage;
    LoadAsTheEditorDoes(own, ownImage);
    LoadAsTheEditorDoes(mapped, mappedImage);
    ExpectSameSymbols(ownImage.FontAt(0), mappedImage.FontAt(0));
    EXPECT_FALSE(ownImage.FontAt(0).At(0xC6).IsEmpty());  // Cyrillic Zhe

    const Outcome unmapped = Glyphmill("import " + Fresh("ter-refused.bin") + " " + kTerminusCp1251 + " --add");
    EXPECT_EQ(unmapped.exitCode, 1);
    EXPECT_NE(unmapped.err.find("--charset raw"), std::string::npos) << unmapped.err;
}

// What FreeType says of a font file: its ascender in whole pixels at ppem (or
// of its first strike for 0), and the advance of a character there.
struct FreeTypeMetrics {
    int ascender = 0, advance = 0;
};

FreeTypeMetrics FreeTypesMetrics(const std::string& fontPath, FT_ULong character, int ppem) {
    FT_Library library;
    FT_Face face;
    FreeTypeMetrics metrics;
    if (FT_Init_FreeType(&library) != 0) return metrics;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) == 0) {
        if ((ppem ? FT_Set_Pixel_Sizes(face, 0, ppem) : FT_Select_Size(face, 0)) == 0 &&
            FT_Load_Char(face, character, FT_LOAD_TARGET_MONO) == 0) {
            metrics.ascender = static_cast<int>((face->size->metrics.ascender + 63) / 64);
            metrics.advance = static_cast<int>(face->glyph->advance.x / 64);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return metrics;
}

TEST(FontImport, TheSpaceKeepsItsAdvanceAndMonospaceKeepsEveryGlyphsCell) {
    const std::string sans = kDejaVuFolder + "DejaVuSans.ttf", path = Fresh("spacing.bin");
    const int space = FreeTypesMetrics(sans, ' ', 16).advance;
    ASSERT_GE(space, 2);
    const Outcome run = Glyphmill("import " + path + " " + sans + " --add --size 16");
    EXPECT_NE(run.out.find("the space is " + std::to_string(space) + " columns wide\n"), std::string::npos) << run.out;
    RunOk("import " + path + " " + sans + " --add --size 16 --space-width 9");
    RunOk("import " + path + " " + kDejaVu + " --add --size 16 --monospace");
    FontImage image;
    LoadAsTheEditorDoes(path, image);
    EXPECT_EQ(image.FontAt(0).At(' ').width, space);
    EXPECT_EQ(image.FontAt(1).At(' ').width, 9);
    const Font& mono = image.FontAt(2);
    EXPECT_EQ(mono.GetInterval(), 0);
    EXPECT_EQ(mono.At(' ').width, FreeTypesMetrics(kDejaVu, ' ', 16).advance);
    for (const FT_ULong character : {'i', 'W', 'g', 'j'})
        ExpectFreeTypesGlyph(mono.At(character), kDejaVu, character, 16, true);
}

TEST(FontImport, NamesAreTheCharsetsBytesAndAutomaticNamesTellFontsApart) {
    const std::string path = Fresh("names.bin");
    for (const char* options : {"--size 16", "--size 16", "--size 12", "--size 12 --name 'Größe€'",
                                "--size 12 --charset cp1251 --name 'Жук'"})
        RunOk("import " + path + " " + kDejaVu + " --add " + options);
    const Outcome cut = Glyphmill("import " + path + " " + kDejaVu + " --font 0 --name Proportional");
    EXPECT_EQ(cut.exitCode, 0) << cut.err;
    EXPECT_NE(cut.err.find("glyphmill: warning: the name is 12 bytes in cp1252; a font's name keeps the first 8\n"),
              std::string::npos) << cut.err;
    const Outcome refused = Glyphmill("import " + path + " " + kDejaVu + " --font 1 --name 'Ωmega'");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("the name: the character U+03A9 has no code in cp1252"), std::string::npos) << refused.err;

    FontImage image;
    LoadAsTheEditorDoes(path, image);
    const std::vector<std::string> names = {"Proporti", "DejaV16b", "DejaV12 ", "Gr\xF6\xDF" "e\x80  ",
                                            "\xC6\xF3\xEA     "};
    ASSERT_EQ(image.GetFontCount(), static_cast<int>(names.size()));
    for (int i = 0; i < image.GetFontCount(); ++i) EXPECT_EQ(std::string(image.FontAt(i).name, 8), names[i]) << i;
}

TEST(FontExport, BdfAndThePcfBdftopcfMakesOfItImportAsTheSameFont) {
    const std::string path = Fresh("export.bin");
    RunOk("import " + path + " " + kDejaVu + " --add --size 12");
    FontImage image;
    LoadAsTheEditorDoes(path, image);
    // What an editor's user leaves behind: ink in a symbol's last column, a
    // wide blank space, a symbol on a code cp1252 leaves undefined, and a
    // font 1 byte high with its own interval and limit.
    Font& drawn = image.FontAt(0);
    drawn.At('A').width = 9;
    drawn.At('A').data[8 * 2] = 0xFE;
    drawn.At(' ').width = 4;
    drawn.At(0x81).width = 2;
    drawn.At(0x81).data[0] = 0x0F;
    ASSERT_EQ(image.AddFont(), 1);
    image.SetInterval(1, 3);
    image.SetHeightLimit(1, 6);
    Symbol& small = image.FontAt(1).At('x');
    small.width = 3;
    small.data[0] = 0xEA;
    small.data[2] = 0xD5;
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);
    LoadAsTheEditorDoes(path, image);

    for (const auto& [index, charset] : {std::pair<int, std::string>{0, "cp1252"}, {1, "cp437"}, {1, "raw"}}) {
        SCOPED_TRACE(std::to_string(index) + " " + charset);
        const std::string bdf = Scratch("font.bdf"), pcf = Scratch("font.pcf");
        RunOk("export " + path + " --font " + std::to_string(index) + " -o " + bdf + " --charset " + charset);
        ASSERT_EQ(std::system(("bdftopcf -o " + pcf + " " + bdf).c_str()), 0);
        for (const std::string& file : {bdf, pcf}) {
            const std::string back = Fresh("back.bin");
            RunOk("import " + back + " " + file + " --add --charset " + charset);
            FontImage imported;
            LoadAsTheEditorDoes(back, imported);
            const Font& font = imported.FontAt(0);
            ExpectSameSymbols(image.FontAt(index), font);
            EXPECT_EQ(font.GetInterval(), image.FontAt(index).GetInterval());
            EXPECT_EQ(font.GetHeightLimit(), image.FontAt(index).GetHeightLimit());
        }
    }
}

// What FreeType reads of the BDF or PCF font at path: the ascent and descent
// of its strike, its weight and slant properties and its family.
struct BitmapFontFacts {
    long ascent = -1, descent = -1;
    std::string weight, slant, family;
};

BitmapFontFacts FreeTypesFacts(const std::string& path) {
    FT_Library library;
    FT_Face face;
    BitmapFontFacts facts;
    if (FT_Init_FreeType(&library) != 0) return facts;
    if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
        if (face->family_name) facts.family = face->family_name;
        if (FT_Select_Size(face, 0) == 0) {
            facts.ascent = face->size->metrics.ascender / 64;
            facts.descent = -face->size->metrics.descender / 64;
        }
        BDF_PropertyRec property;
        if (FT_Get_BDF_Property(face, "WEIGHT_NAME", &property) == 0 && property.type == BDF_PROPERTY_TYPE_ATOM)
            facts.weight = property.u.atom;
        if (FT_Get_BDF_Property(face, "SLANT", &property) == 0 && property.type == BDF_PROPERTY_TYPE_ATOM)
            facts.slant = property.u.atom;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return facts;
}

TEST(FontExport, TheBaselineIsWhereTheImportPutItAndTheStyleTheSourcesAsFreeTypeReadsThem) {
    struct Source {
        std::string font, size, weight, slant;
    };
    for (const Source& source : {Source{kDejaVuFolder + "DejaVuSansMono-BoldOblique.ttf", "16", "Bold", "O"},
                                 Source{kFixed, "0", "Medium", "R"}, Source{kDejaVu, "12", "Medium", "R"}}) {
        SCOPED_TRACE(source.font);
        const std::string path = Fresh("baseline.bin"), bdf = Scratch("baseline.bdf"), pcf = Scratch("baseline.pcf");
        RunOk("import " + path + " " + source.font + " --add" + (source.size == "0" ? "" : " --size " + source.size));
        RunOk("export " + path + " --font 0 -o " + bdf + " --source " + source.font);
        ASSERT_EQ(std::system(("bdftopcf -o " + pcf + " " + bdf).c_str()), 0);
        FontImage image;
        LoadAsTheEditorDoes(path, image);
        const int rows = 8 * image.FontAt(0).GetHeight();
        const int ascender = FreeTypesMetrics(source.font, 'A', std::stoi(source.size)).ascender;
        for (const std::string& file : {bdf, pcf}) {
            const BitmapFontFacts facts = FreeTypesFacts(file);
            EXPECT_EQ(facts.ascent, ascender) << file;
            EXPECT_EQ(facts.descent, rows - ascender) << file;
            EXPECT_EQ(facts.weight, source.weight) << file;
            EXPECT_EQ(facts.slant, source.slant) << file;
        }
    }
}

TEST(FontCommands, TheDosCodePagesStandForTheirGraphicCharactersAtTheControlCodes) {
    const std::string path = Fresh("dos.bin"), bdf = Scratch("dos.bdf"), png = Scratch("dos.png");
    RunOk("import " + path + " " + kDejaVu + " --add --size 16 --charset cp437 --name '\u263a\u2665'");
    FontImage image;
    LoadAsTheEditorDoes(path, image);
    ExpectFreeTypesGlyph(image.FontAt(0).At(0x01), kDejaVu, U'\u263a', 16);
    ExpectFreeTypesGlyph(image.FontAt(0).At(0x7F), kDejaVu, U'\u2302', 16);
    EXPECT_EQ(std::string(image.FontAt(0).name, 2), "\x01\x03");
    RunOk("render " + path + " --font 0 '\u263a\u2665\u2666\u2302' --charset cp850 -o " + png);
    RunOk("export " + path + " --font 0 --charset cp437 -o " + bdf);
    const std::string exported = Slurp(bdf);
    for (const char* encoding : {"ENCODING 9786\n", "ENCODING 9660\n", "ENCODING 8962\n"})
        EXPECT_NE(exported.find(encoding), std::string::npos) << encoding;
    EXPECT_EQ(exported.find("ENCODING 1\n"), std::string::npos);
    EXPECT_EQ(FreeTypesFacts(bdf).family, "\u263a\u2665");  // the name's characters, not its bytes
}

// The PNG's pixels as 8-bit grey, read by libpng.
std::vector<uint8_t> ReadPng(const std::string& path, int& width, int& height) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> pixels;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return pixels;
    png.format = PNG_FORMAT_GRAY;
    pixels.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
    width = static_cast<int>(png.width);
    height = static_cast<int>(png.height);
    return pixels;
}

TEST(FontPictures, RenderPrintsTheSymbolsSideBySideWithTheInterval) {
    FontImage image;
    ASSERT_EQ(image.InitNew(), 1);
    image.SetFontHeight(0, 2);
    image.SetInterval(0, 2);
    image.FontAt(0).At('A').width = 3;
    for (int b = 0; b < 6; ++b) image.FontAt(0).At('A').data[b] = static_cast<uint8_t>(0x5A + 17 * b);
    image.FontAt(0).At('B').width = 2;
    image.FontAt(0).At('B').data[3] = 0x00;
    ASSERT_EQ(image.AddFont(), 1);
    image.SetHeightLimit(1, 5);
    const std::string path = Fresh("render.bin"), png = Scratch("render.png");
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);

    RunOk("render " + path + " --font 0 ABA -o " + png + " --scale 2");
    int width = 0, height = 0;
    std::vector<uint8_t> pixels = ReadPng(png, width, height);
    ASSERT_EQ(width, 2 * (3 + 2 + 2 + 2 + 3));
    ASSERT_EQ(height, 2 * 16);
    const Font& font = image.FontAt(0);
    const int lefts[] = {0, 5, 9};
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const int dot = x / 2, row = y / 2;
            bool ink = false;
            for (int i = 0; i < 3; ++i) {
                const Symbol& symbol = font.At(i == 1 ? 'B' : 'A');
                if (dot >= lefts[i] && dot < lefts[i] + symbol.width) ink = IsInk(symbol, dot - lefts[i], row);
            }
            ASSERT_EQ(pixels[y * width + x], ink ? 0 : 255) << x << "," << y;
        }
    }

    // A font 1 byte high prints the rows below its limit.
    RunOk("render " + path + " --font 1 AAAA -o " + png);
    pixels = ReadPng(png, width, height);
    EXPECT_EQ(width, 4 * 1 + 3 * 1);
    EXPECT_EQ(height, 5);
}

int InkPixels(const std::string& png) {
    int width = 0, height = 0;
    const std::vector<uint8_t> pixels = ReadPng(png, width, height);
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), 0));
}

TEST(FontPictures, SheetShowsEverySymbolInCellsAsWideAsTheWidest) {
    FontImage image;
    ASSERT_EQ(image.InitNew(), 1);
    ASSERT_EQ(image.AddFont(), 1);
    image.SetFontHeight(1, 2);
    Symbol& wide = image.FontAt(1).At('M');
    wide.width = 12;
    wide.data[0] = 0xFE;
    const std::string path = Fresh("sheet.bin"), png = Scratch("sheet.png");
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);
    RunOk("sheet " + path + " -o " + png + " --scale 3");
    int bothWidth = 0, bothHeight = 0, width = 0, height = 0;
    ReadPng(png, bothWidth, bothHeight);
    const int inkBefore = InkPixels(png);
    RunOk("sheet " + path + " -o " + png + " --scale 3 --font 1");
    ReadPng(png, width, height);
    EXPECT_LT(height, bothHeight);

    // A symbol of 4 x 16 dots of ink adds as many dots to the sheet, and the
    // widest symbol 20 columns wider widens all 16 columns of cells.
    Symbol& inked = image.FontAt(1).At('Q');
    inked.width = 4;
    std::fill(inked.data.get(), inked.data.get() + 8, 0x00);
    wide.width = 32;
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);
    RunOk("sheet " + path + " -o " + png + " --scale 3");
    EXPECT_EQ(InkPixels(png), inkBefore + 4 * 16 * 9);
    RunOk("sheet " + path + " -o " + png + " --scale 3 --font 1");
    int widerWidth = 0, widerHeight = 0;
    ReadPng(png, widerWidth, widerHeight);
    EXPECT_EQ(widerWidth, width + 16 * 20 * 3);
    EXPECT_EQ(widerHeight, height);

    // A title shows the name's characters in --charset: the same name in
    // cp437's bytes draws the same sheet, and "?" only where there is none.
    const std::string cp437 = Scratch("sheet-cp437.png"), unknown = Scratch("sheet-unknown.png");
    for (const auto& [name, charset, sheet] : {std::tuple{"Gr\xF6\xDF" "e", "cp1252", png}, {"Gr\x94\xE1" "e", "cp437", cp437},
                                               {"Gr??e", "cp1252", unknown}}) {
        image.SetFontName(1, name);
        ASSERT_EQ(image.Save(path), SaveResult::kSaved);
        RunOk("sheet " + path + " -o " + sheet + " --font 1 --charset " + charset);
    }
    EXPECT_TRUE(Slurp(png) == Slurp(cp437));
    EXPECT_FALSE(Slurp(png) == Slurp(unknown));
}

// The bitmap font files glyphmill reads itself, each against a font it was
// made of or is made like, read by FreeType: a console font as X11's
// Terminus, Unifont's .hex as its OpenType form, and dumps cut out of a
// console font by the shell's tools as that font's own glyphs.
TEST(FontImport, ConsoleFontsUnifontAndRawDumpsAsTheFontsTheyAreMadeOf) {
    const std::string unpacked = Scratch("terminus.psf"), dump = Scratch("terminus.f16");
    // Lat15-Terminus16 is a PSF1: 16-byte glyphs after a 4-byte header.
    RunOrFail("zcat " + kTerminusPsf + " >" + unpacked + " && tail -c +5 " + unpacked + " | head -c 4096 >" + dump);
    struct Case {
        std::string file, options, reference, referenceOptions;
        int first, last;  // the codes compared
        std::string said;
    };
    const std::vector<Case> cases = {
        {kTerminusPsf, "--charset iso8859-15", kTerminusUnicode, "--charset iso8859-15", ' ', '~',
         "(Lat15-Terminus16, 16 px, 16 rows high)"},
        {kUnifontHex, "--charset cp437", kUnifontOtf, "--charset cp437 --size 16", 0, 255, "256 glyphs imported"},
        {dump, "--raw 8x16 --charset raw", kTerminusPsf, "--charset raw", 0, 255, "256 glyphs imported, 0 missing"},
        {unpacked, "--raw 8x16 --offset 4 --charset raw", kTerminusPsf, "--charset raw", 0, 255, "16 px, 16 rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.options);
        const std::string path = Fresh("bitmap.bin"), reference = Fresh("reference.bin");
        const Outcome run = Glyphmill("import " + path + " " + c.file + " --add " + c.options);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(c.said), std::string::npos) << run.out;
        RunOk("import " + reference + " " + c.reference + " --add " + c.referenceOptions);
        FontImage image, referenceImage;
        LoadAsTheEditorDoes(path, image);
        LoadAsTheEditorDoes(reference, referenceImage);
        EXPECT_EQ(image.FontAt(0).GetHeight(), 2);
        ExpectSameSymbolsAt(referenceImage.FontAt(0), image.FontAt(0), c.first, c.last);
    }
}

// A sheet drawn with sheet --grid, opened and saved again by a paint program
// (Pillow, as an RGB PNG and as a BMP), imports back into its font as the
// image it came from, byte for byte: inked symbols by the width rule (or,
// monospaced, the cell), blank ones keeping their widths, the space too.
TEST(FontImport, ASheetSavedByAPaintProgramImportsBackToTheSameBytes) {
    const std::string path = Fresh("sheets.bin");
    RunOk("import " + path + " " + kDejaVuFolder + "DejaVuSans.ttf --add --size 14");
    RunOk("import " + path + " " + kTerminusPsf + " --add --monospace --charset cp437");
    FontImage image;
    LoadAsTheEditorDoes(path, image);
    ASSERT_LT(image.FontAt(0).At(' ').width, image.FontAt(0).At('W').width);
    for (const int font : {0, 1}) {
        const std::string grid = Scratch("grid.png");
        RunOk("sheet " + path + " --grid --font " + std::to_string(font) + " -o " + grid);
        for (const char* saved : {"resaved.png", "resaved.bmp"}) {
            SCOPED_TRACE(std::to_string(font) + " " + saved);
            const std::string picture = Scratch(saved), back = Fresh("back.bin");
            RunOrFail("/usr/bin/python3 -c 'import sys; from PIL import Image; "
                      "Image.open(sys.argv[1]).convert(\"RGB\").save(sys.argv[2])' " + grid + " " + picture);
            const Outcome run = Glyphmill("import " + path + " " + picture + " --font " + std::to_string(font) +
                                          (font == 1 ? " --monospace" : "") + " -o " + back);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            EXPECT_NE(run.out.find("256 glyphs imported, 0 missing, 0 cut"), std::string::npos) << run.out;
            EXPECT_TRUE(Slurp(back) == Slurp(path));
        }
    }
    // Into a new font the sheet's space is as wide as its cell.
    const Outcome added = Glyphmill("import " + path + " " + Scratch("resaved.png") + " --add");
    EXPECT_NE(added.out.find("the space is 8 columns wide"), std::string::npos) << added.out;
}

// export --format psf and hex (or by the extension): kbd's psfxtable reads
// the PSF's table, and both files import back as the font's symbols; the
// space takes the PSF's one width, the widest symbol's. Unifont's own lines
// come back byte for byte.
TEST(FontExport, PsfAndHexImportBackAsTheSameSymbolsAndKbdReadsThePsfsTable) {
    const std::string path = Fresh("out.bin");
    RunOk("import " + path + " " + kTerminusPsf + " --add --charset cp1252");
    FontImage image;
    LoadAsTheEditorDoes(path, image);
    const Font& font = image.FontAt(0);
    const std::string psf = Scratch("out.psf"), hex = Scratch("out.hex"), named = Scratch("out.txt");
    RunOk("export " + path + " --font 0 -o " + psf);
    RunOk("export " + path + " --font 0 -o " + hex);
    RunOk("export " + path + " --font 0 -o " + named + " --format hex");
    EXPECT_EQ(Slurp(named), Slurp(hex));
    const std::string table = Scratch("out.table");
    RunOrFail("psfxtable -i " + psf + " -ot " + table);
    const std::string listed = Slurp(table);
    for (const char* line : {"\n0x041\tU+0041\n", "\n0x080\tU+20ac\n", "\n0x0e9\tU+00e9\n"})
        EXPECT_NE(listed.find(line), std::string::npos) << line;

    for (const std::string& file : {psf, hex}) {
        SCOPED_TRACE(file);
        const std::string back = Fresh("back.bin");
        RunOk("import " + back + " " + file + " --add --charset cp1252");
        FontImage imported;
        LoadAsTheEditorDoes(back, imported);
        const Font& read = imported.FontAt(0);
        ExpectSameSymbolsAt(font, read, 0, ' ' - 1);
        ExpectSameSymbolsAt(font, read, ' ' + 1, 255);
        EXPECT_TRUE(read.At(' ').IsEmpty());
        EXPECT_EQ(read.At(' ').width, file == psf ? WidestColumns(font) : 8);
    }

    const std::string latin1 = Scratch("latin1.hex"), unifont = Fresh("unifont.bin");
    RunOrFail("grep -E '^00[0-9A-F]{2}:' " + kUnifontHex + " >" + latin1);
    RunOk("import " + unifont + " " + latin1 + " --add --charset iso8859-1");
    RunOk("export " + unifont + " --font 0 --charset iso8859-1 -o " + hex);
    EXPECT_TRUE(Slurp(hex) == Slurp(latin1));
}

TEST(FontCommands, WrongLinesGetTheUsageAndFailuresSayWhy) {
    for (const char* arguments :
         {"import x", "import x f --height 5", "import x f --charset koi8-r", "import x f --add --font 1",
          "export x -o y.bdf", "sheet x", "sheet x -o y --scale 0", "render x --font 0 -o y.png",
          "import x f --offset 3", "import x f --raw 8x33", "import x f --raw 8x16 --cell 8x16",
          "import x f --cell 16", "sheet x -o y --grid", "sheet x -o y --grid --font 0 --scale 2",
          "export x --font 0 -o y --format pdf"}) {
        const Outcome run = Glyphmill(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.err.rfind("glyphmill: usage: ", 0), 0u) << run.err;
    }

    const std::string path = Fresh("refusals.bin"), notAFont = Fresh("not-a-font.bin");
    RunOk("new " + path);
    RunOk("new " + notAFont);
    // Bitmap font files damaged as files are: cut short, a line mistyped, a
    // picture of no 16 x 16 cells.
    const std::string cutPsf = Scratch("cut.psf"), badHex = Scratch("bad.hex"), shortDump = Scratch("short.f16"),
                      noSheet = Scratch("no-sheet.png"), cutGzip = Scratch("cut.psf.gz");
    RunOrFail("zcat " + kTerminusPsf + " | head -c 3000 >" + cutPsf + " && head -c 1000 " + kTerminusPsf + " >" +
              cutGzip + " && head -n 2 " + kUnifontHex + " >" + badHex + " && echo 0041:00zz >>" + badHex +
              " && head -c 100 /dev/zero >" + shortDump + " && /usr/bin/python3 -c 'import sys; from PIL import Image; "
              "Image.new(\"1\", (100, 100), 1).save(sys.argv[1])' " + noSheet);
    struct Case {
        std::string arguments, why;
    };
    const std::vector<Case> cases = {
        {"import " + path + " " + notAFont, "not a font file"},
        {"import " + path + " " + kFixed + " --size 20", "no size of 20 pixels (it has 13)"},
        {"render " + path + " --font 0 '\xd0\x96' -o " + Scratch("x.png") + " --charset cp437", "U+0416 has no code in cp437"},
        {"import " + path + " " + cutPsf, cutPsf + ": the header gives 256 glyphs of 16 bytes"},
        {"import " + path + " " + cutGzip, cutGzip + ": the gzip data are cut short"},
        {"import " + path + " " + badHex, badHex + ": line 3: 4 hex digits after the colon"},
        {"import " + path + " " + shortDump + " --raw 8x16", shortDump + ": the file holds 6 glyphs of 8 x 16 pixels"},
        {"import " + path + " " + noSheet, noSheet + ": the picture is 100 x 100 pixels, which is not 16 x 16 cells"},
        {"import " + path + " " + kTerminusPsf + " --size 14", "its glyphs are 16 pixels high, its only size"},
    };
    const std::string untouched = Slurp(path);
    for (const Case& c : cases) {
        const Outcome run = Glyphmill(c.arguments);
        EXPECT_EQ(run.exitCode, 1) << c.arguments;
        EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_EQ(Slurp(path), untouched) << c.arguments;
    }

    // Three big fonts do not fit into the two banks: the third import is
    // refused by Save and the image stays as the second one left it.
    const std::string big = Fresh("big.bin");
    RunOk("import " + big + " " + kDejaVu + " --add --size 32 --height 4");
    RunOk("import " + big + " " + kDejaVu + " --add --size 32 --height 4");
    const std::string before = Slurp(big);
    const Outcome refused = Glyphmill("import " + big + " " + kDejaVu + " --add --size 32 --height 4");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("218 glyphs imported"), std::string::npos) << refused.out;
    EXPECT_NE(refused.err.find("do not fit"), std::string::npos) << refused.err;
    EXPECT_EQ(Slurp(big), before);
}

}  // namespace
