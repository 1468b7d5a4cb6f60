// Raw dumps: the VGA font of a console font cut out by the shell's tools, as
// a DOS .f16 file holds it, and dumps Python writes with bytes before them.
#include "BitmapFontTestSupport.h"
#include "PsfFile.h"
#include "RawDump.h"

namespace {

TEST(RawDump, TheVgaFontOfAConsoleFont) {
    const std::string dump = Scratch("vga.f16");
    // A PSF1 of 512 glyphs: a 4-byte header, then the glyphs' rows.
    RunOrFail("zcat /usr/share/consolefonts/Uni2-VGA16.psf.gz | tail -c +5 | head -c 4096 >" + dump);
    BitmapFont raw, console;
    std::string error;
    ASSERT_TRUE(ReadRawDump(Bytes(dump), 8, 16, 0, raw, error)) << error;
    ASSERT_TRUE(ReadPsf(Bytes("/usr/share/consolefonts/Uni2-VGA16.psf.gz"), console, error)) << error;
    ASSERT_EQ(raw.glyphs.size(), 256u);
    EXPECT_EQ(raw.height, 16);
    EXPECT_FALSE(raw.HasUnicodeTable());
    for (int i = 0; i < 256; ++i) EXPECT_EQ(raw.glyphs[i].rows, console.glyphs[i].rows) << i;
}

TEST(RawDump, GlyphsOfEverySizeAfterAnOffset) {
    const std::string dump = Scratch("dump.bin");
    const struct {
        int width, height, offset;
    } kDumps[] = {{8, 8, 0}, {8, 14, 3}, {12, 32, 1000}, {1, 1, 7}, {32, 32, 0}, {17, 5, 2}};
    for (const auto& kind : kDumps) {
        const int glyphBytes = kind.height * ((kind.width + 7) / 8);
        RunOrFail("/usr/bin/python3 -c 'import sys, random; random.seed(1); n = int(sys.argv[1]); "
                  "open(sys.argv[2], \"wb\").write(bytes(random.getrandbits(8) for _ in range(n)))' " +
                  std::to_string(kind.offset + 256 * glyphBytes + 5) + " " + dump);
        const std::vector<uint8_t> bytes = Bytes(dump);
        BitmapFont font;
        std::string error;
        ASSERT_TRUE(ReadRawDump(bytes, kind.width, kind.height, kind.offset, font, error)) << error;
        ASSERT_EQ(font.glyphs.size(), 256u);
        for (int i = 0; i < 256; ++i) {
            const auto start = bytes.begin() + kind.offset + i * glyphBytes;
            ASSERT_EQ(font.glyphs[i].width, kind.width);
            ASSERT_EQ(font.glyphs[i].rows, std::vector<uint8_t>(start, start + glyphBytes)) << i;
        }
        // Starting 6 bytes on, the last glyph lacks a byte.
        EXPECT_FALSE(ReadRawDump(bytes, kind.width, kind.height, kind.offset + 6, font, error));
    }
}

TEST(RawDump, ADumpTooShortSaysHowManyGlyphsItHolds) {
    const std::vector<uint8_t> bytes(4000);
    const struct {
        int width, height;
        uint64_t offset;
        std::string error;
    } kCases[] = {
        {8, 16, 0, "the file holds 250 glyphs of 8 x 16 pixels (16 bytes each) after 0 bytes; a raw dump holds 256 "
                   "(4096 bytes)"},
        {10, 8, 10, "the file holds 249 glyphs of 10 x 8 pixels (16 bytes each) after 10 bytes; a raw dump holds 256 "
                    "(4096 bytes)"},
        {8, 8, 5000, "the file holds 0 glyphs of 8 x 8 pixels (8 bytes each) after 5000 bytes; a raw dump holds 256 "
                     "(2048 bytes)"},
        {33, 8, 0, "a raw dump's glyphs are 1 to 32 pixels wide, not 33"},
        {8, 0, 0, "a raw dump's glyphs are 1 to 32 pixels high, not 0"},
    };
    for (const auto& wrong : kCases) {
        BitmapFont font;
        std::string error;
        EXPECT_FALSE(ReadRawDump(bytes, wrong.width, wrong.height, wrong.offset, font, error));
        EXPECT_EQ(error, wrong.error);
    }
}

}  // namespace
