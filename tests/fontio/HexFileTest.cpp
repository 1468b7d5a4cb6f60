// Unifont's .hex files: Debian's unifont.hex against the same font as
// psf-unifont's console font and as FreeType renders unifont.otf, and our
// .hex read back.
#include <sstream>

#include "BitmapFontTestSupport.h"
#include "HexFile.h"
#include "PsfFile.h"

namespace {

const std::string kUnifontHex = "/usr/share/unifont/unifont.hex";

TEST(HexRead, UnifontIsTheFontOfItsConsoleAndOpenTypeForms) {
    const std::string packed = Scratch("unifont.hex.gz");
    RunOrFail("gzip -c " + kUnifontHex + " >" + packed);
    BitmapFont font, unpacked, console;
    std::string error;
    ASSERT_TRUE(ReadHex(Bytes(packed), font, error)) << error;
    ASSERT_TRUE(ReadHex(Bytes(kUnifontHex), unpacked, error)) << error;
    ASSERT_TRUE(ReadPsf(Bytes("/usr/share/consolefonts/Unifont-APL8x16.psf.gz"), console, error)) << error;
    const std::string lines = Text(kUnifontHex);
    EXPECT_EQ(font.glyphs.size(), static_cast<size_t>(std::count(lines.begin(), lines.end(), '\n')));
    EXPECT_EQ(font.unicode, unpacked.unicode);
    EXPECT_EQ(font.height, 16);

    int compared = 0;
    for (const auto& [character, glyph] : console.unicode) {
        // The APL console font draws its own minus, iota and the symbols from U+2000 on.
        if (character == U'-' || character == U'\u03B9' || character >= 0x2000) continue;
        const int ours = font.GlyphOf(character);
        ASSERT_GE(ours, 0) << std::hex << character;
        if (font.glyphs[ours].width != 8) continue;
        EXPECT_EQ(font.glyphs[ours].rows, console.glyphs[glyph].rows) << std::hex << character;
        ++compared;
    }
    EXPECT_GT(compared, 150);
    for (const char32_t character : {U'A', U'g', U'\u00E9', U'\u0416', U'\u2588', U'\u4E00', U'\uAC00', U'\uFF21'}) {
        const int glyph = font.GlyphOf(character);
        ASSERT_GE(glyph, 0);
        EXPECT_EQ(InkOf(font.glyphs[glyph], 16),
                  FreeTypeInk("/usr/share/fonts/opentype/unifont/unifont.otf", character, 16))
            << std::hex << character;
    }
    EXPECT_EQ(font.glyphs[font.GlyphOf(U'\u4E00')].width, 16);
}

TEST(HexRead, DamagedLinesAreRefusedByNumber) {
    const std::string narrow = std::string(32, '0'), wide = std::string(64, 'f');
    const struct {
        std::string text;
        std::string error;
    } kCases[] = {
        {"0041:" + narrow + "\n0042" + narrow + "\n", "line 2: no colon between a code point and its glyph"},
        {"0041:" + narrow + "\r\n\r\n:" + narrow + "\n", "line 3: the code point before the colon takes 1 to 8 hex "
                                                        "digits, not 0"},
        {"00G1:" + narrow + "\n", "line 1: 'G' in the code point is not a hex digit"},
        {"110000:" + narrow + "\n", "line 1: the code point 110000 lies past Unicode's last, 10FFFF"},
        {"0041:" + narrow.substr(2) + "\n", "line 1: 30 hex digits after the colon; a glyph takes 32 (8 x 16 "
                                            "pixels) or 64 (16 x 16)"},
        {"0041:" + wide + "\n0042:" + wide.substr(0, 63) + std::string(1, '\0') + "\n",
         "line 2: byte 0x00 in the glyph is not a hex digit"},
        {"\n \n", "no glyphs: a .hex file holds a line of code point and glyph for each"},
    };
    for (const auto& damaged : kCases) {
        BitmapFont font;
        font.height = 99;
        std::string error;
        EXPECT_FALSE(ReadHex(std::vector<uint8_t>(damaged.text.begin(), damaged.text.end()), font, error));
        EXPECT_EQ(error, damaged.error);
        EXPECT_EQ(font.height, 99) << "left alone: " << damaged.error;
    }
}

TEST(HexWrite, FontsOfOneAndTwoBytesReadBack) {
    const struct {
        const char* file;
        const char* charset;
        int height;
    } kFonts[] = {
        {"/usr/share/fonts/X11/misc/ter-u16n_unicode.pcf.gz", "cp1251", 2},
        {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "cp1252", 1},
    };
    for (const auto& source : kFonts) {
        FontImage image;
        Charset charset;
        ImportFontFile(source.file, source.charset, source.height, image, charset);
        std::string text, error;
        ASSERT_TRUE(WriteHex(image.FontAt(0), charset, text, error)) << error;
        BitmapFont read;
        ASSERT_TRUE(ReadHex(std::vector<uint8_t>(text.begin(), text.end()), read, error)) << error;
        std::vector<int> glyphOfCode(256);
        for (int code = 0; code < 256; ++code) glyphOfCode[code] = read.GlyphOf(charset.unicode[code]);
        ExpectSymbolsRead(image.FontAt(0), read, glyphOfCode);
        // Ordered by character, as Unifont's own files are.
        std::istringstream lines(text);
        long previous = -1;
        for (std::string line; std::getline(lines, line); previous = std::stol(line, nullptr, 16))
            EXPECT_LT(previous, std::stol(line, nullptr, 16)) << line;
    }
}

TEST(HexWrite, FontsAHexGlyphCannotHoldAreRefused) {
    FontImage image;
    Charset charset;
    ImportFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "cp1252", 3, image, charset);
    std::string text, error;
    EXPECT_FALSE(WriteHex(image.FontAt(0), charset, text, error));
    EXPECT_EQ(error, "the font is 24 rows high; a .hex glyph takes 16");
    ASSERT_EQ(image.SetFontHeight(0, 2), 1);
    // Blank columns past the 16th are the width rule's; ink there is refused.
    Symbol& wide = image.FontAt(0).At('M');
    wide.width = 17;
    EXPECT_TRUE(WriteHex(image.FontAt(0), charset, text, error)) << error;
    wide.data[16 * 2] = 0xFE;
    EXPECT_FALSE(WriteHex(image.FontAt(0), charset, text, error));
    EXPECT_EQ(error, "symbol 0x4D has ink in 17 columns; a .hex glyph takes at most 16");
}

}  // namespace
