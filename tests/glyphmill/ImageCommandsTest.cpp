// The image commands of glyphmill, run as a user runs them.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FontImage.h"
#include "Results.h"
#include "ToolRun.h"

namespace {

void Spill(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<uint8_t> NewImageBytes() {
    FontImage image;
    image.InitNew();
    std::vector<uint8_t> bytes;
    image.Serialize(bytes);
    return bytes;
}

TEST(NewCommand, WritesANewDocumentsImage) {
    const std::string path = Scratch("new.bin");
    const Outcome run = Glyphmill("new " + path);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<uint8_t> expected = NewImageBytes();
    EXPECT_EQ(Slurp(path), std::string(expected.begin(), expected.end()));
}

TEST(InfoCommand, ListsEveryFontInTextAndJson) {
    FontImage image;
    image.InitNew();
    image.AddFont();
    image.SetFontName(0, "Big \"Q\"");
    image.SetFontHeight(0, 2);
    image.SetInterval(0, 3);
    image.FontAt(0).At('A').data[0] = 0x00;
    image.FontAt(0).At('B').data[1] = 0x7F;
    // cp1252's euro sign and e acute, a code cp1252 leaves undefined.
    const char highName[] = {'\x80', '\xe9', '\x81', 't', 0};
    image.SetFontName(1, highName);
    image.SetHeightLimit(1, 5);
    const std::string path = Scratch("info.bin");
    ASSERT_EQ(image.Save(path), SaveResult::kSaved);

    Outcome run = Glyphmill("info " + path);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "0 \"Big \\\"Q\\\" \" height 2 interval 3 limit 8 inked 2\n"
              "1 \"\u20ac\u00e9\\x81t    \" height 1 interval 1 limit 5 inked 0\n");

    run = Glyphmill("info --json " + path);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"fonts\": [\n"
              "  {\"index\": 0, \"name\": \"Big \\\"Q\\\" \", \"height\": 2, \"interval\": 3, \"heightLimit\": 8, "
              "\"inkedSymbols\": 2},\n"
              "  {\"index\": 1, \"name\": \"\u20ac\u00e9\\uf081t    \", \"height\": 1, \"interval\": 1, "
              "\"heightLimit\": 5, \"inkedSymbols\": 0}\n"
              "]}\n");

    // In another code page, as Python's JSON reader and its cp437 codec read it.
    run = Glyphmill("info --json --charset cp437 " + path);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string json = Scratch("info.json");
    std::ofstream(json) << run.out;
    EXPECT_EQ(std::system(("python3 -c 'import json, sys; name = json.load(open(sys.argv[1]))[\"fonts\"][1][\"name\"]; "
                           "sys.exit(name.encode(\"cp437\") != b\"\\x80\\xe9\\x81t    \")' " + json).c_str()),
              0);
}

TEST(CheckCommand, AcceptsAValidImage) {
    const std::string path = Scratch("valid.bin");
    Spill(path, NewImageBytes());
    const Outcome run = Glyphmill("check " + path);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, path + ": valid font image, 1 font\n");
}

TEST(CheckCommand, RefusesBadImagesWithOneLineSayingWhy) {
    const std::vector<uint8_t> valid = NewImageBytes();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* why;
    };
    std::vector<Case> cases;
    cases.push_back({"short", std::vector<uint8_t>(valid.begin(), valid.begin() + 100), "100 bytes, a font image has 65536"});
    std::vector<uint8_t> longer = valid;
    longer.push_back(0);
    cases.push_back({"long", longer, "more than 65536 bytes"});
    std::vector<uint8_t> bytes = valid;
    bytes[0] = 0;
    cases.push_back({"empty", bytes, "byte 0 is 0"});
    bytes = valid;
    bytes[0] = 40;
    cases.push_back({"slots", bytes, "byte 0 claims 40 fonts"});
    bytes = valid;
    bytes[0x100 + 2 * 'A'] = 0x10;
    cases.push_back({"offset", bytes, "font 0, symbol 65: record address outside the font's bank"});
    bytes = valid;
    bytes[1] = 4;         // four bytes a column,
    bytes[0x1100] = 200;  // so 200 columns would need 800 bytes
    cases.push_back({"record", bytes, "font 0, symbol 0: record of 200 columns"});

    for (const Case& c : cases) {
        const std::string path = Scratch(c.name);
        Spill(path, c.bytes);
        const Outcome run = Glyphmill("check " + path);
        EXPECT_EQ(run.exitCode, 10) << c.name;
        EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}

TEST(ResaveCommand, RewritesAnImage) {
    const std::string in = Scratch("resave-in.bin"), out = Scratch("resave-out.bin");
    Spill(in, NewImageBytes());
    std::remove(out.c_str());
    const Outcome run = Glyphmill("resave " + in + " " + out);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Slurp(out), Slurp(in));
}

TEST(ResaveCommand, LeavesOutAsItWasWhenItCannotSave) {
    // One font whose 256 symbols all point at one inked record: valid to
    // read, but each counts on its own when written.
    std::vector<uint8_t> in = NewImageBytes();
    in[0x01] = 4;
    for (int code = 0; code < 256; ++code) {
        in[0x100 + 2 * code] = 0x91;
        in[0x101 + 2 * code] = 0x00;
    }
    in[0x1100] = 128;
    std::memset(&in[0x1101], 0x00, 512);
    const std::string inPath = Scratch("resave-big.bin"), outPath = Scratch("resave-kept.bin");
    Spill(inPath, in);
    Spill(outPath, {1, 2, 3});

    Outcome run = Glyphmill("resave " + inPath + " " + outPath);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("do not fit"), std::string::npos) << run.err;
    EXPECT_EQ(Slurp(outPath), std::string("\x01\x02\x03"));

    run = Glyphmill("resave " + Scratch("missing") + " " + outPath);
    EXPECT_EQ(run.exitCode, 12);
    EXPECT_EQ(Slurp(outPath), std::string("\x01\x02\x03"));
}

TEST(StandardStreams, StandInForTheOneFileACommandReadsOrWrites) {
    const std::string image = Scratch("streams.bin"), bdf = Scratch("streams.bdf"), copy = Scratch("streams-copy.bin");
    Spill(image, NewImageBytes());
    EXPECT_EQ(Glyphmill("info - <" + image).out, Glyphmill("info " + image).out);
    ASSERT_EQ(Glyphmill("export " + image + " --font 0 -o " + bdf).exitCode, 0);
    const Outcome exported = Glyphmill("export " + image + " --font 0 -o -");
    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(exported.out, Slurp(bdf));
    EXPECT_EQ(Glyphmill("resave - " + copy + " <" + image).exitCode, 0);
    EXPECT_EQ(Slurp(copy), Slurp(image));
    EXPECT_EQ(Glyphmill("resave " + image + " -").out, Slurp(image));
}

// One exit code for one kind of failure, whatever the command.
TEST(Failures, EachSaysWhyWithTheExitCodeOfItsKind) {
    const std::string image = Scratch("failing.bin"), folder = Scratch("folder.bin");
    const std::string missing = Scratch("missing.bin"), damaged = Scratch("damaged.bdf");
    const std::string invalid = Scratch("invalid.bin"), unmapped = Scratch("unmapped.bdf");
    const std::string unencoded = Scratch("unencoded.bdf");
    Spill(image, NewImageBytes());
    Spill(invalid, std::vector<uint8_t>(100, 0x01));
    std::remove(missing.c_str());
    std::filesystem::create_directory(folder);
    // The glyph's bitmap stops after two of its eight rows.
    std::ofstream(damaged) << "STARTFONT 2.1\nFONT -x-t-medium-r-normal--8-80-75-75-c-80-iso10646-1\nSIZE 8 75 75\n"
                              "FONTBOUNDINGBOX 8 8 0 0\nCHARS 1\nSTARTCHAR A\nENCODING 65\nBBX 8 8 0 0\nBITMAP\n18\n24\n"
                              "ENDFONT\n";
    // A glyph without a code, in a font of no charset and in a Unicode one.
    const std::string glyph = "CHARS 1\nSTARTCHAR A\nENCODING -1\nBBX 8 8 0 0\nBITMAP\n18\n24\n42\n7E\n42\n42\n42\n00\n"
                              "ENDCHAR\nENDFONT\n";
    const std::string header = "STARTFONT 2.1\nFONT -x-t-medium-r-normal--8-80-75-75-c-80-iso10646-1\nSIZE 8 75 75\n"
                               "FONTBOUNDINGBOX 8 8 0 0\n";
    std::ofstream(unmapped) << header << glyph;
    std::ofstream(unencoded) << header << "STARTPROPERTIES 2\nCHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n"
                             << "ENDPROPERTIES\n" << glyph;
    FontImage full;
    full.InitNew();
    while (full.GetFontCount() < 15) full.AddFont();
    const std::string fullPath = Scratch("fifteen.bin");
    ASSERT_EQ(full.Save(fullPath), SaveResult::kSaved);
    const std::string dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    const std::string png = " -o " + Scratch("x.png");
    const std::string link = Scratch("link.bin");
    std::filesystem::remove(link);
    std::filesystem::create_symlink(image, link);

    const struct {
        std::string arguments;
        int exitCode;
        std::string said;
    } cases[] = {
        {"info " + missing, 12, "cannot open " + missing + ": No such file or directory"},
        {"check " + missing, 12, "No such file or directory"},
        {"export " + missing + " --font 0 -o " + Scratch("x.bdf"), 12, "No such file or directory"},
        {"import " + missing + " " + dejaVu, 12, "No such file or directory"},
        {"import " + image + " " + missing, 12, "cannot open " + missing + ": No such file or directory"},
        {"glyph " + image + " --font 0 --code A --from " + missing, 12, "No such file or directory"},
        {"sheet " + folder + png, 13, "cannot read " + folder + ": Is a directory"},
        {"import " + image + " " + folder, 13, "cannot read " + folder + ": Is a directory"},
        {"info " + invalid, 10, "100 bytes, a font image has 65536"},
        {"check " + invalid, 10, "100 bytes"},
        {"resave " + invalid + " " + Scratch("x.bin"), 10, "100 bytes"},
        {"sheet " + invalid + png, 10, "100 bytes"},
        {"diff " + image + " " + invalid, 10, "100 bytes"},
        {"rename " + invalid + " --font 0 X", 10, "100 bytes"},
        {"import " + invalid + " " + dejaVu, 10, "100 bytes"},
        {"export " + image + " --font 0 -o /nonexistent/x.bdf", 14,
         "cannot write /nonexistent/x.bdf: No such file or directory"},
        {"rename " + image + " --font 1 X", 2, "the image has 1 font: --font takes 0"},
        {"import " + image + " " + dejaVu + " --font 1", 2, "the image has 1 font: --font takes 0"},
        {"import " + image + " " + dejaVu + " --font 16", 2, "--font"},
        {"export " + image + " --font 1 -o " + Scratch("x.bdf"), 2, "--font takes 0"},
        {"move " + image + " --font 0 --to 3", 2, "--to takes 0 to 0"},
        {"glyph " + image + " --font 0 --code 300" + png, 2, "a code is 0-255"},
        {"import " + image + " " + damaged, 1, damaged + ": Font glyphs corrupted or missing fields"},
        {"import " + fullPath + " " + dejaVu + " --add", 1,
         "the image already holds 15 fonts: fonts are added up to 15 (only an image file loaded with 16 holds more)"},
        // An import that takes no glyph would blank the font: refused, and
        // --charset raw is offered only where the font's own codes find glyphs.
        {"import " + image + " " + unmapped, 1, "the font has no Unicode character map\n"},
        {"import " + image + " " + unencoded, 1, "none of the 256 codes of cp1252 has a glyph in the font\n"},
        {"import " + image + " " + unencoded + " --charset raw", 1, "none of the codes 0-255 has a glyph in the font"},
        {"import " + image + " " + dejaVu + " -o -", 2, "name a file"},
        // An image on standard output would be mixed with the report.
        {"rename - --font 0 X", 2, "the image would go to standard output, where this command writes its report"},
        {"glyph - --font 0 --code A --from " + Scratch("x.png"), 2, "name a file with -o"},
        {"copy " + image + " --font 0 -", 2, "name a file with -o"},
        {"printer --save -", 2, "the printer reports on standard output: name a file"},
        // An output never replaces its input, by name or through a link.
        {"render " + image + " --font 0 A -o " + image, 1, image + " and " + image + " are the same file"},
        {"glyph " + image + " --font 0 --code A -o " + link, 1, link + " and " + image + " are the same file"},
        {"import " + image + " " + dejaVu + " --size abc", 2, "--size: abc is not a number"},
        {"set " + image + " --font 0 --interval 1.5", 2, "--interval: 1.5 is not a whole number"},
        {"printer --serve " + missing, 12, "cannot open " + missing + ": No such file or directory"},
        {"--versoin", 2, "unknown option '--versoin'"},
    };
    for (const auto& c : cases) {
        const Outcome run = Glyphmill(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.arguments << "\n" << run.err;
    }
    // What a command prints is its result: output that cannot be written fails it.
    for (const std::string& arguments : {"info " + image, "check " + image, "diff " + image + " " + image,
                                         std::string("--help"), std::string("ports")}) {
        if (arguments == "ports" && Glyphmill(arguments).out.empty()) continue;  // no port to list
        const Outcome run = Glyphmill(arguments, "sh -c 'exec \"$0\" \"$@\" >/dev/full' ");
        EXPECT_EQ(run.exitCode, 14) << arguments;
        EXPECT_NE(run.err.find("cannot write standard output: No space left on device"), std::string::npos)
            << arguments << "\n" << run.err;
    }
    const std::vector<uint8_t> untouched = NewImageBytes();
    EXPECT_EQ(Slurp(image), std::string(untouched.begin(), untouched.end()));
    std::filesystem::remove(folder);
    std::filesystem::remove(link);
}

TEST(Arguments, WrongOnesGetAUsageLine) {
    for (const char* arguments : {"new", "info", "info --yaml x", "check a b", "resave a", "new a b"}) {
        const Outcome run = Glyphmill(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.err.rfind("glyphmill: usage: ", 0), 0u) << run.err;
    }
}

}  // namespace
