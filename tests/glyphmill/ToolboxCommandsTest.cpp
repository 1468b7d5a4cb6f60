// The font toolbox and the glyph command, run as a user runs them; the
// pictures for glyph come from ImageMagick and Pillow.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FontImage.h"
#include "Results.h"
#include "ToolRun.h"

namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const std::string kTerminus = "/usr/share/fonts/X11/misc/ter-u16b_unicode.pcf.gz";

Outcome RunOk(const std::string& arguments) {
    const Outcome run = Glyphmill(arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments << "\n" << run.err;
    return run;
}

void Load(const std::string& path, FontImage& image) {
    ASSERT_EQ(image.Load(path), LoadResult::kLoaded) << path;
}

std::string Name(const FontImage& image, int index) {
    char name[Font::kNameLength + 1];
    image.GetFontName(index, name);
    return name;
}

std::string Bytes(const Symbol& symbol) {
    return std::to_string(symbol.width) + ":" +
           std::string(symbol.data.get(), symbol.data.get() + symbol.width * symbol.height);
}

void Copy(const std::string& from, const std::string& to) {
    ASSERT_EQ(std::system(("cp " + from + " " + to).c_str()), 0);
}

TEST(FontNumbers, ImportReportsTheSavedNumberAndExportFindsTheFontByIt) {
    // Two big fonts do not share a bank: the second goes to the second bank,
    // behind seven fillers, and is font 8 of the file.
    const std::string image = Scratch("numbers.bin"), single = Scratch("single.bin");
    std::remove(image.c_str());
    std::remove(single.c_str());
    const std::string big = " " + kDejaVu + " --add --size 32 --height 4 --name Big";
    EXPECT_NE(RunOk("import " + image + big).out.find("into font 0 \"Big     \""), std::string::npos);
    const Outcome second = RunOk("import " + image + big);
    EXPECT_NE(second.out.find("into font 8 \"Big     \""), std::string::npos) << second.out;
    EXPECT_NE(RunOk("info " + image).out.find("\n8 \"Big     \""), std::string::npos);

    // Into the image with fillers, a small font comes last, as font 9.
    const std::string small = " " + kTerminus + " --add";
    EXPECT_NE(RunOk("import " + image + small).out.find("into font 9 \"Termi16 \""), std::string::npos);
    RunOk("import " + single + small);
    const std::string exported = Scratch("numbers.bdf"), alone = Scratch("single.bdf");
    RunOk("export " + image + " --font 9 -o " + exported);
    RunOk("export " + single + " --font 0 -o " + alone);
    EXPECT_TRUE(Slurp(exported) == Slurp(alone));
    RunOk("export " + image + " --font 8 -o " + exported);
    RunOk("export " + image + " --font 0 -o " + alone);
    EXPECT_TRUE(Slurp(exported) == Slurp(alone));

    for (const std::string& arguments :
         {"export " + image + " --font 1 -o " + exported, "copy " + image + " --font 1 " + single}) {
        const Outcome filler = Glyphmill(arguments);
        EXPECT_EQ(filler.exitCode, 1) << arguments;
        EXPECT_NE(filler.err.find("\"Empty\" filler"), std::string::npos) << filler.err;
    }
}

// Alpha (1 byte, an 'A'), Beta (2 bytes, interval 2), Gamma.
void WriteThreeFonts(const std::string& path) {
    FontImage image;
    ASSERT_EQ(image.InitNew(), 1);
    ASSERT_EQ(image.AddFont(), 1);
    ASSERT_EQ(image.AddFont(), 1);
    image.SetFontName(0, "Alpha");
    image.SetFontName(1, "Beta");
    image.SetFontName(2, "Gamma");
    image.FontAt(0).At('A').width = 3;
    image.FontAt(0).At('A').data[1] = 0x81;
    image.SetFontHeight(1, 2);
    image.SetInterval(1, 2);
    image.FontAt(1).At('B').width = 2;
    image.FontAt(1).At('B').data[3] = 0x3C;
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);
}

TEST(Toolbox, EachCommandChangesWhatItSaysAndTheModelsRulesHold) {
    const std::string base = Scratch("three.bin"), work = Scratch("work.bin"), other = Scratch("other.bin");
    const std::string dest = Scratch("dest.bin");
    WriteThreeFonts(base);
    FontImage original;
    Load(base, original);

    struct Case {
        std::string arguments;  // work is the image, a copy of base
        std::string says;       // on stdout
        std::function<void(const FontImage&)> check;
    };
    const std::vector<Case> cases = {
        {"rename " + work + " --font 1 Mono", "font 1 \"Mono    \", was \"Beta    \"",
         [](const FontImage& image) { EXPECT_EQ(Name(image, 1), "Mono    "); }},
        {"remove " + work + " --font 0", "renumbered: 1 \"Beta    \" -> 0, 2 \"Gamma   \" -> 1",
         [](const FontImage& image) {
             ASSERT_EQ(image.GetFontCount(), 2);
             EXPECT_EQ(Name(image, 0), "Beta    ");
         }},
        {"move " + work + " --font 0 --to 2", "font 2 \"Alpha   \", was font 0",
         [&](const FontImage& image) {
             EXPECT_EQ(Name(image, 0) + Name(image, 1) + Name(image, 2), "Beta    Gamma   Alpha   ");
             EXPECT_EQ(Bytes(image.FontAt(2).At('A')), Bytes(original.FontAt(0).At('A')));
         }},
        {"set " + work + " --font 0 --height-limit 5", "font 0 \"Alpha   \": height 1, interval 1, limit 5",
         [](const FontImage& image) { EXPECT_EQ(image.GetHeightLimit(0), 5); }},
        {"copy " + work + " --font 1 " + dest, "font 1 of " + work + " copied as font 1 \"Beta    \" of " + dest,
         [&](const FontImage&) {
             FontImage copied;
             Load(dest, copied);
             ASSERT_EQ(copied.GetFontCount(), 2);
             EXPECT_EQ(copied.GetInterval(1), 2);
             EXPECT_EQ(Bytes(copied.FontAt(1).At('B')), Bytes(original.FontAt(1).At('B')));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Copy(base, work);
        RunOk("new --force " + dest);
        const Outcome run = RunOk(c.arguments);
        EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(": saved\n"), std::string::npos) << run.out;
        FontImage image;
        Load(work, image);
        c.check(image);
    }

    // -o writes elsewhere; values out of range are clamped, and said to be.
    Copy(base, work);
    const Outcome set = RunOk("set " + work + " --font 0 --height 2 --interval 20 -o " + other);
    EXPECT_NE(set.err.find("--interval 20 taken as 15 (it takes 0-15)"), std::string::npos) << set.err;
    EXPECT_TRUE(Slurp(work) == Slurp(base));
    FontImage changed;
    Load(other, changed);
    EXPECT_EQ(changed.GetFontHeight(0), 2);
    EXPECT_EQ(changed.GetInterval(0), 15);
}

TEST(Toolbox, RefusalsLeaveTheImageAsItWas) {
    const std::string base = Scratch("refuse.bin"), one = Scratch("one.bin"), full = Scratch("full.bin");
    WriteThreeFonts(base);
    FontImage wide;
    ASSERT_EQ(wide.Load(base), LoadResult::kLoaded);
    wide.FontAt(0).At('W').width = 200;
    wide.FontAt(0).At('W').data[199] = 0x00;  // ink keeps the width (a blank symbol would share a record)
    ASSERT_EQ(wide.Save(base), SaveResult::kSaved);
    RunOk("new " + one);
    FontImage fifteen;
    ASSERT_EQ(fifteen.InitNew(), 1);
    while (fifteen.AddFont() == 1) {
    }
    ASSERT_EQ(fifteen.Save(full), SaveResult::kSaved);

    struct Case {
        std::string arguments, why;
        int exitCode;
    };
    const std::vector<Case> cases = {
        {"remove " + one + " --font 0", "the last font of an image is never removed", 1},
        {"copy " + base + " --font 0 " + full,
         full + " holds 15 fonts; a font is added only to an image of fewer than 15", 1},
        {"set " + base + " --font 0 --height 4", "a symbol 200 columns wide does not fit into 512 bytes at 4 bytes", 1},
        {"set " + base + " --font 1 --height-limit 5", "--height-limit counts only for a font 1 byte high", 1},
        {"rename " + base + " --font 3 X", "the image has 3 fonts: --font takes 0 to 2", 2},
        {"move " + base + " --font 0 --to 3", "--to takes 0 to 2", 2},
        {"set " + base + " --font 0", "nothing to set", 2},
    };
    const std::string before = Slurp(base), oneBefore = Slurp(one), fullBefore = Slurp(full);
    for (const Case& c : cases) {
        const Outcome run = Glyphmill(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
    }
    EXPECT_TRUE(Slurp(base) == before && Slurp(one) == oneBefore && Slurp(full) == fullBefore);
}

// Runs a picture tool of the test machine; scripts/setup installs them.
void Make(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(Glyph, ASymbolGoesOutAsPngAndComesBackThroughBmpAndTransparentPng) {
    // An asymmetric 'A' 7 columns wide in a font 2 bytes high, and a font 1
    // byte high limited to 5 rows.
    FontImage image;
    ASSERT_EQ(image.InitNew(), 1);
    image.SetFontHeight(0, 2);
    Symbol& a = image.FontAt(0).At('A');
    a.width = 7;
    for (int b = 0; b < 14; ++b) a.data[b] = static_cast<uint8_t>(0x13 * b + 0x21);
    ASSERT_EQ(image.AddFont(), 1);
    image.SetHeightLimit(1, 5);
    image.FontAt(1).At('x').width = 4;
    image.FontAt(1).At('x').data[2] = 0xEA;
    const std::string path = Scratch("glyph.bin"), png = Scratch("glyph.png"), bmp = Scratch("glyph.bmp");
    const std::string clear = Scratch("clear.png");
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);
    Load(path, image);

    EXPECT_NE(
        RunOk("glyph " + path + " --font 0 --code A -o " + png).out.find("symbol 65 of font 0 \"Unnamed \", 7 x 16"),
        std::string::npos);
    Make("convert " + png + " " + bmp);
    // Paper made transparent black: alpha, not colour, makes it background.
    Make(
        "/usr/bin/python3 -c 'import sys; from PIL import Image; g = Image.open(sys.argv[1]).convert(\"L\"); "
        "Image.merge(\"RGBA\", [Image.new(\"L\", g.size, 0)] * 3 + [g.point(lambda v: 255 - v)]).save(sys.argv[2])' " +
        png + " " + clear);
    const Outcome fromBmp = RunOk("glyph " + path + " --font 0 --code 0x42 --from " + bmp);
    EXPECT_NE(fromBmp.out.find("symbol 66 of font 0 \"Unnamed \": 7 columns from " + bmp), std::string::npos);
    RunOk("glyph " + path + " --font 0 --code \xc3\x84 --from " + clear);  // Ä, 0xC4 in cp1252
    RunOk("glyph " + path + " --font 1 --code x -o " + png);
    RunOk("glyph " + path + " --font 1 --code 200 --from " + png);
    FontImage back;
    Load(path, back);
    const std::string original = Bytes(image.FontAt(0).At('A'));
    EXPECT_EQ(Bytes(back.FontAt(0).At('B')), original);
    EXPECT_EQ(Bytes(back.FontAt(0).At(0xC4)), original);
    EXPECT_EQ(Bytes(back.FontAt(1).At(200)), Bytes(image.FontAt(1).At('x')));

    // The symbol editor's limits, the height first; a picture of neither kind, and a damaged PNG.
    const std::string tall = Scratch("tall.png"), wide = Scratch("wide.bmp");
    const std::string text = Scratch("text.png"), broken = Scratch("broken.png");
    Make("convert -size 4x17 xc:black " + tall);
    Make("convert -size 129x6 xc:black " + wide);
    Make("echo not a picture >" + text + " && head -c 45 " + png + " >" + broken);
    for (const auto& [arguments, why] :
         {std::pair<std::string, std::string>{"--font 0 --code 1 --from " + tall,
                                              "Bitmap height is larger than grid height (4 x 17 pixels; the symbol "
                                              "takes at most 128 x 16)"},
          {"--font 1 --code 1 --from " + tall, "Bitmap height is larger than grid height"},
          {"--font 0 --code 1 --from " + wide, "Bitmap width is larger than 128 pixels"},
          {"--font 0 --code 1 --from " + text, text + ": neither a PNG nor a BMP picture"},
          {"--font 0 --code 1 --from " + broken, broken + ": damaged PNG: "},
          {"--font 0 --code \xd0\x96 -o " + png, "U+0416 has no code in cp1252"}}) {
        const Outcome run = Glyphmill("glyph " + path + " " + arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments;
        EXPECT_NE(run.err.find(why), std::string::npos) << run.err;
    }
}

}  // namespace
