// Whole-font picture sheets: sheets Pillow draws in colours on either side of
// the ink rule, and our sheets of real fonts saved again by Pillow as a paint
// program saves them, read back to the same glyphs.
#include "BitmapFontTestSupport.h"
#include "FontSheet.h"

namespace {

// The ink Pillow's sheets below put into cell code at (x, y).
bool PatternInk(int code, int x, int y) { return (3 * x + y + code) % 4 == 0; }

// Pillow draws a sheet of 16 x 16 cells of width x height with PatternInk in
// a colour that is ink by the rule (near the line: 127 grey) on paper that is
// not (128 grey, yellow, transparent black), margin pixels of paper right
// and below, and saves it as PNG and, without the transparency, as BMP.
void DrawPatternSheet(int width, int height, int margin, const std::string& png, const std::string& bmp) {
    RunOrFail("/usr/bin/python3 -c 'import sys; from PIL import Image\n"
              "w, h, m = map(int, sys.argv[1:4])\n"
              "inks = [(0, 0, 0, 255), (90, 90, 90, 255), (200, 20, 20, 255), (0, 0, 255, 200), (127, 127, 127, 255)]\n"
              "papers = [(255, 255, 255, 255), (128, 128, 128, 255), (255, 255, 0, 255), (0, 0, 0, 60)]\n"
              "for path, mode in ((sys.argv[4], \"RGBA\"), (sys.argv[5], \"RGB\")):\n"
              "    sheet = Image.new(\"RGBA\", (16 * w + m, 16 * h + m), (255, 255, 255, 255))\n"
              "    for code in range(256):\n"
              "        for y in range(h):\n"
              "            for x in range(w):\n"
              "                paper = papers[code // 5 % 4] if mode == \"RGBA\" else papers[code // 5 % 3]\n"
              "                ink = (3 * x + y + code) % 4 == 0\n"
              "                sheet.putpixel((code % 16 * w + x, code // 16 * h + y), inks[code % 5] if ink else paper)\n"
              "    sheet.convert(mode).save(path)' " +
              std::to_string(width) + " " + std::to_string(height) + " " + std::to_string(margin) + " " + png + " " +
              bmp);
}

TEST(SheetRead, PillowsSheetsByTheInkRule) {
    const std::string png = Scratch("pattern.png"), bmp = Scratch("pattern.bmp");
    DrawPatternSheet(10, 16, 0, png, bmp);
    for (const std::string& path : {png, bmp}) {
        BitmapFont font;
        std::string error;
        ASSERT_TRUE(ReadSheetPicture(Bytes(path), 0, 0, font, error)) << path << ": " << error;
        ASSERT_EQ(font.glyphs.size(), 256u);
        EXPECT_EQ(font.height, 16);
        EXPECT_FALSE(font.HasUnicodeTable());
        for (int code = 0; code < 256; ++code) {
            ASSERT_EQ(font.glyphs[code].width, 10);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 10; ++x)
                    ASSERT_EQ(font.glyphs[code].IsInk(x, y), PatternInk(code, x, y)) << path << " " << code;
            }
        }
    }
    // A canvas larger than the cells: read with the cell's size given.
    DrawPatternSheet(6, 9, 5, png, bmp);
    BitmapFont font;
    std::string error;
    EXPECT_FALSE(ReadSheetPicture(Bytes(png), 0, 0, font, error));
    EXPECT_EQ(error, "the picture is 101 x 149 pixels, which is not 16 x 16 cells; name the cell's size to read the "
                     "cells in its top-left corner");
    ASSERT_TRUE(ReadSheetPicture(Bytes(bmp), 6, 9, font, error)) << error;
    EXPECT_EQ(font.glyphs[200].IsInk(1, 1), PatternInk(200, 1, 1));
}

// What a user does: a sheet of a font, opened and saved by a paint program
// (Pillow, as RGB PNG and as BMP), read back.
TEST(SheetRead, OurSheetsSavedByAPaintProgramReadBack) {
    const struct {
        const char* file;
        int height;
    } kFonts[] = {
        {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", 1},
        {"/usr/share/fonts/X11/misc/ter-u16b_unicode.pcf.gz", 2},
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 4},
    };
    for (const auto& source : kFonts) {
        FontImage image;
        Charset charset;
        ImportFontFile(source.file, "cp1252", source.height, image, charset);
        const Font& font = image.FontAt(0);
        std::vector<uint8_t> png;
        std::string error;
        ASSERT_TRUE(EncodePng(GridSheetOf(font), 1, png, error)) << error;
        const std::string ours = Scratch("ours.png"), again = Scratch("again.png"), bmp = Scratch("again.bmp");
        WriteBytes(ours, png);
        RunOrFail("/usr/bin/python3 -c 'import sys; from PIL import Image; sheet = Image.open(sys.argv[1]).convert(\"RGB\"); "
                  "sheet.save(sys.argv[2]); sheet.save(sys.argv[3])' " + ours + " " + again + " " + bmp);
        for (const std::string& path : {ours, again, bmp}) {
            BitmapFont read;
            ASSERT_TRUE(ReadSheetPicture(Bytes(path), 0, 0, read, error)) << path << ": " << error;
            EXPECT_EQ(read.glyphs[0].width, WidestSymbol(font));
            std::vector<int> glyphOfCode(256);
            for (int code = 0; code < 256; ++code) glyphOfCode[code] = code;
            ExpectSymbolsRead(font, read, glyphOfCode);
        }
    }
}

TEST(SheetRead, PicturesThatAreNoSheetAreRefusedBySize) {
    const auto picture = [](int width, int height, int inkX = -1, int inkY = -1) {
        InkPicture made;
        made.width = width;
        made.height = height;
        made.ink.assign(static_cast<size_t>(width) * height, 0);
        if (inkX >= 0) made.ink[static_cast<size_t>(inkY) * width + inkX] = 1;
        return made;
    };
    const struct {
        InkPicture picture;
        int cellWidth, cellHeight;
        std::string error;
    } kCases[] = {
        {picture(100, 256), 0, 0,
         "the picture is 100 x 256 pixels, which is not 16 x 16 cells; name the cell's size to read the cells in its "
         "top-left corner"},
        {picture(128, 256), 9, 16,
         "the picture is 128 x 256 pixels, smaller than 16 x 16 cells of 9 x 16 (144 x 256 pixels)"},
        {picture(130, 260, 129, 3), 8, 16,
         "the picture has ink at 129, 3, outside its 16 x 16 cells of 8 x 16 (128 x 256 pixels)"},
        {picture(130, 260, 2, 258), 8, 16,
         "the picture has ink at 2, 258, outside its 16 x 16 cells of 8 x 16 (128 x 256 pixels)"},
        {picture(128, 640), 0, 0, "cells of 8 x 40 pixels: a symbol holds 1 to 512 columns of 1 to 32 rows"},
    };
    for (const auto& wrong : kCases) {
        BitmapFont font;
        std::string error;
        EXPECT_FALSE(ReadSheet(wrong.picture, wrong.cellWidth, wrong.cellHeight, font, error));
        EXPECT_EQ(error, wrong.error);
    }

    const std::string bmp = Scratch("cut.bmp"), wide = Scratch("wide.png");
    RunOrFail("/usr/bin/python3 -c 'import sys; from PIL import Image; Image.new(\"1\", (128, 128), 1).save(sys.argv[1]); "
              "Image.new(\"1\", (8200, 16), 1).save(sys.argv[2])' " + bmp + " " + wide);
    std::vector<uint8_t> cut = Bytes(bmp);
    ASSERT_GT(cut.size(), 100u);
    cut.resize(cut.size() - 100);
    const struct {
        std::vector<uint8_t> bytes;
        std::string error;
    } kFiles[] = {
        {cut, "the bitmap file ends before its pixel data do"},
        {Bytes(wide), "the picture is 8200 x 16 pixels; a sheet of the largest cells is 8192 x 512"},
        {{'G', 'I', 'F', '8'}, "neither a PNG nor a BMP picture"},
    };
    for (const auto& wrong : kFiles) {
        BitmapFont font;
        std::string error;
        EXPECT_FALSE(ReadSheetPicture(wrong.bytes, 0, 0, font, error));
        EXPECT_EQ(error, wrong.error);
    }
}

}  // namespace
