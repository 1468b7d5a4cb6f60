// The console's PSF fonts: Debian's own (console-setup-linux, psf-unifont),
// fonts whose table kbd's psfaddtable wrote, and our PSF2, judged by kbd's
// psfgettable and psfxtable and by FreeType's reading of X11's Terminus.
#include <cstdlib>
#include <map>
#include <sstream>

#include "BitmapFontTestSupport.h"
#include "PsfFile.h"

namespace {

const std::string kConsoleFonts = "/usr/share/consolefonts/";

BitmapFont ReadOrFail(const std::string& path) {
    BitmapFont font;
    std::string error;
    EXPECT_TRUE(ReadPsf(Bytes(path), font, error)) << path << ": " << error;
    return font;
}

struct KbdTable {
    int glyphs = 0;                 // kbd prints a line for each
    std::map<char32_t, int> first;  // each single character at the first glyph that lists it
};

// What kbd's psfgettable or psfxtable makes of a plain PSF's table. A line
// is "0xNNN\t" and the glyph's characters; the members of a sequence end in
// a comma but the last.
KbdTable KbdReads(const std::string& command) {
    const std::string listing = Scratch("table.txt");
    RunOrFail(command + " " + listing);
    KbdTable table;
    std::istringstream lines(Text(listing));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("0x", 0) != 0) continue;
        ++table.glyphs;
        const int glyph = static_cast<int>(std::strtol(line.c_str(), nullptr, 16));
        std::istringstream items(line.substr(line.find('\t') + 1));
        bool inSequence = false;
        for (std::string item; items >> item;) {
            const bool continues = item.back() == ',';
            if (!inSequence && !continues) table.first.emplace(std::strtoul(item.c_str() + 2, nullptr, 16), glyph);
            inSequence = continues;
        }
    }
    return table;
}

void ExpectTable(const BitmapFont& font, const KbdTable& kbd, const std::string& what) {
    EXPECT_EQ(font.unicode.size(), kbd.first.size()) << what;
    for (const auto& [character, glyph] : kbd.first)
        EXPECT_EQ(font.GlyphOf(character), glyph) << what << " U+" << std::hex << character;
}

TEST(PsfRead, DebiansConsoleFontsAsKbdReadsThem) {
    const struct {
        const char* name;
        int width, height, glyphs;
    } kFonts[] = {
        {"Uni1-VGA8", 8, 8, 512},           {"Uni2-VGA16", 8, 16, 512},
        {"Uni2-Terminus12x6", 6, 12, 512},  {"Lat2-Terminus20x10", 10, 20, 256},
        {"Uni3-TerminusBold28x14", 14, 28, 512}, {"Lat15-Terminus32x16", 16, 32, 256},
        {"Unifont-APL8x16", 8, 16, 0},
    };
    for (const auto& expected : kFonts) {
        const std::string packed = kConsoleFonts + expected.name + ".psf.gz", plain = Scratch("plain.psf");
        RunOrFail("zcat " + packed + " >" + plain);
        const BitmapFont font = ReadOrFail(packed);
        ASSERT_FALSE(font.glyphs.empty()) << expected.name;
        EXPECT_EQ(font.height, expected.height) << expected.name;
        EXPECT_EQ(font.glyphs[0].width, expected.width) << expected.name;
        const KbdTable kbd = KbdReads("psfgettable " + plain);
        EXPECT_EQ(static_cast<int>(font.glyphs.size()), kbd.glyphs) << expected.name;
        if (expected.glyphs) {
            EXPECT_EQ(static_cast<int>(font.glyphs.size()), expected.glyphs) << expected.name;
        }
        ExpectTable(font, kbd, expected.name);
        const BitmapFont unpacked = ReadOrFail(plain);
        EXPECT_EQ(unpacked.unicode, font.unicode) << expected.name;
        ASSERT_EQ(unpacked.glyphs.size(), font.glyphs.size());
        for (size_t i = 0; i < font.glyphs.size(); ++i) EXPECT_EQ(unpacked.glyphs[i].rows, font.glyphs[i].rows);
    }
}

TEST(PsfRead, TerminusGlyphsAreThoseFreeTypeReadsInX11sTerminus) {
    const struct {
        const char* console;
        const char* x11;
    } kPairs[] = {
        {"Uni2-Terminus12x6", "ter-u12n_unicode.pcf.gz"},
        {"Uni2-Terminus16", "ter-u16n_unicode.pcf.gz"},
        {"Lat15-Terminus32x16", "ter-u32n_unicode.pcf.gz"},
    };
    for (const auto& pair : kPairs) {
        const BitmapFont font = ReadOrFail(kConsoleFonts + pair.console + ".psf.gz");
        for (char32_t character = U'!'; character <= U'~'; ++character) {
            const int glyph = font.GlyphOf(character);
            ASSERT_GE(glyph, 0) << pair.console;
            EXPECT_EQ(InkOf(font.glyphs[glyph], font.height),
                      FreeTypeInk(std::string("/usr/share/fonts/X11/misc/") + pair.x11, character, 0))
                << pair.console << " " << static_cast<char>(character);
        }
    }
}

// Glyphs from Python, a header of no table around them, and the table that
// kbd's psfaddtable adds: single characters, several for one glyph, ranges
// and sequences.
TEST(PsfRead, FontsWhoseTableKbdWrote) {
    const std::string table = Scratch("table.in");
    WriteText(table,
              "0x41 U+0041\n0x42 U+0042 U+0391 U+0412\n0x43 U+00c7 U+0043,U+0327\n0x44 U+0044,U+0301\n"
              "0x45-0x47 U+0045-U+0047\n0x48 U+2588\n0x49 U+0041\n");
    const struct {
        int version, width, height, glyphs;
    } kFonts[] = {{1, 8, 16, 256}, {1, 8, 14, 512}, {2, 20, 24, 256}, {2, 1, 1, 300}, {2, 32, 32, 256}};
    for (const auto& kind : kFonts) {
        const std::string what = "PSF" + std::to_string(kind.version) + " " + std::to_string(kind.width) + "x" +
                                 std::to_string(kind.height);
        const std::string raw = Scratch("glyphs.raw"), bare = Scratch("bare.psf"), psf = Scratch("table.psf");
        RunOrFail("/usr/bin/python3 -c 'import sys, struct, random; random.seed(" + std::to_string(kind.width) +
            "); w, h, n, v = map(int, sys.argv[1:5]); rows = h * ((w + 7) // 8); "
            "glyphs = bytes(random.getrandbits(8) & (0xFF << (8 - w) if w < 8 else 0xFF) for _ in range(n * rows)); "
            "open(sys.argv[5], \"wb\").write(glyphs); "
            "head = bytes([0x36, 4, int(n == 512), h]) if v == 1 else "
            "bytes([0x72, 0xB5, 0x4A, 0x86]) + struct.pack(\"<7I\", 0, 32, 0, n, rows, h, w); "
            "open(sys.argv[6], \"wb\").write(head + glyphs)' " +
            std::to_string(kind.width) + " " + std::to_string(kind.height) + " " + std::to_string(kind.glyphs) +
            " " + std::to_string(kind.version) + " " + raw + " " + bare);
        RunOrFail("psfaddtable " + bare + " " + table + " " + psf + " 2>/dev/null");
        RunOrFail("gzip -kf " + psf);
        for (const std::string& path : {psf, psf + ".gz"}) {
            const BitmapFont font = ReadOrFail(path);
            ASSERT_EQ(static_cast<int>(font.glyphs.size()), kind.glyphs) << what;
            EXPECT_EQ(font.height, kind.height) << what;
            const std::vector<uint8_t> glyphs = Bytes(raw);
            const size_t rows = static_cast<size_t>(kind.height) * ((kind.width + 7) / 8);
            for (int i = 0; i < kind.glyphs; ++i) {
                EXPECT_EQ(font.glyphs[i].width, kind.width) << what;
                EXPECT_EQ(font.glyphs[i].rows,
                          std::vector<uint8_t>(glyphs.begin() + i * rows, glyphs.begin() + (i + 1) * rows))
                    << what << " glyph " << i;
            }
            ExpectTable(font, KbdReads("psfgettable " + psf), what);
            // A sequence is no character; the first glyph of a character keeps it.
            EXPECT_EQ(font.GlyphOf(U'C'), -1) << what;
            EXPECT_EQ(font.GlyphOf(U'\u00C7'), 0x43) << what;
            EXPECT_EQ(font.GlyphOf(U'\u0412'), 0x42) << what;
            EXPECT_EQ(font.GlyphOf(U'A'), 0x41) << what;
            EXPECT_EQ(font.GlyphOf(U'G'), 0x47) << what;
        }
    }
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(PsfRead, DamagedFontsAreRefusedSayingWhatIsWrong) {
    // A PSF2 of 256 glyphs 10 x 4 (8 bytes each) whose table gives glyph n
    // the character n, and a PSF1 of 256 glyphs 8 x 2 with the same table.
    std::vector<uint8_t> psf2 = {0x72, 0xB5, 0x4A, 0x86};
    psf2.resize(32);
    PutU32(psf2, 8, 32), PutU32(psf2, 12, 1), PutU32(psf2, 16, 256), PutU32(psf2, 20, 8), PutU32(psf2, 24, 4),
        PutU32(psf2, 28, 10);
    psf2.resize(32 + 256 * 8, 0x55);
    std::vector<uint8_t> psf1 = {0x36, 0x04, 0x02, 0x02};
    psf1.resize(4 + 256 * 2, 0x55);
    for (int glyph = 0; glyph < 256; ++glyph) {
        const std::string character = EncodeUtf8(static_cast<char32_t>(glyph));
        psf2.insert(psf2.end(), character.begin(), character.end());
        psf2.push_back(0xFF);
        psf1.insert(psf1.end(), {static_cast<uint8_t>(glyph), 0, 0xFF, 0xFF});
    }
    const std::string packed = Scratch("packed.psf");
    WriteBytes(packed, psf2);
    RunOrFail("gzip -nf " + packed);
    const std::vector<uint8_t> gzip = Bytes(packed + ".gz");

    const auto changed = [](std::vector<uint8_t> bytes, size_t at, uint32_t value) {
        PutU32(bytes, at, value);
        return bytes;
    };
    const auto cut = [](const std::vector<uint8_t>& bytes, size_t size) {
        return std::vector<uint8_t>(bytes.begin(), bytes.begin() + size);
    };
    std::vector<uint8_t> notUtf8 = psf2;
    notUtf8[32 + 256 * 8 + 2 * 128 + 3 * 72 + 1] = 'A';  // glyph 200's entry: a lead byte and no more
    std::vector<uint8_t> badGzip = gzip;
    badGzip[gzip.size() / 2] ^= 0xFF;
    std::vector<uint8_t> psf1Mode = psf1;
    psf1Mode[2] = 8;

    const struct {
        std::vector<uint8_t> bytes;
        std::string error;
    } kCases[] = {
        {{'B', 'M', 0, 0}, "not a PSF font: it starts with neither PSF1's nor PSF2's magic number"},
        {cut(psf2, 20), "a PSF2 header takes 32 bytes; the file has 20"},
        {cut(psf1, 3), "a PSF1 header takes 4 bytes; the file has 3"},
        {cut(psf2, 32 + 100 * 8 + 3),
         "the header gives 256 glyphs of 8 bytes, 2080 bytes with the header; the file has 835, room for 100 glyphs"},
        {cut(psf1, 4 + 7), "the header gives 256 glyphs of 2 bytes, 516 bytes with the header; the file has 11, room "
                           "for 3 glyphs"},
        {changed(psf2, 16, 0xFFFFFFFF), "the header gives 4294967295 glyphs of 8 bytes, 34359738392 bytes with the "
                                        "header; the file has 2720, room for 336 glyphs"},
        {changed(psf2, 16, 0), "the header gives no glyphs"},
        {changed(changed(psf2, 28, 33), 20, 20), "the header gives glyphs 33 pixels wide; a font takes them 1 to 32 "
                                                 "pixels wide"},
        {changed(psf2, 24, 0), "the header gives glyphs 0 rows high; a font takes them 1 to 32 rows high"},
        {changed(psf2, 20, 4), "the header gives glyphs of 4 bytes, but 10 x 4 pixels take 8"},
        {changed(psf2, 4, 1), "the PSF2 header gives version 1; only version 0 is known"},
        {changed(psf2, 8, 5000), "the PSF2 header gives a header of 5000 bytes in a file of 2720"},
        {cut(psf2, psf2.size() - 7), "the Unicode table ends inside the entry of glyph 253 of 256"},
        {notUtf8, "the Unicode table's entry of glyph 200 is not UTF-8"},
        {psf1Mode, "the PSF1 header gives mode 8, which is none of PSF1's (0 to 7)"},
        {cut(psf1, psf1.size() - 3), "the Unicode table ends inside the entry of glyph 255 of 256"},
        {cut(gzip, gzip.size() / 2), "the gzip data are cut short"},
        {badGzip, "damaged gzip data: "},
    };
    for (const auto& damaged : kCases) {
        BitmapFont font;
        font.height = 99;
        std::string error;
        EXPECT_FALSE(ReadPsf(damaged.bytes, font, error)) << damaged.error;
        EXPECT_EQ(error.substr(0, damaged.error.size()), damaged.error);
        EXPECT_EQ(font.height, 99) << "left alone: " << damaged.error;
    }
    BitmapFont font;
    std::string error;
    EXPECT_TRUE(ReadPsf(psf2, font, error)) << error;
    EXPECT_TRUE(ReadPsf(gzip, font, error)) << error;
    EXPECT_TRUE(ReadPsf(psf1, font, error)) << error;
}

TEST(PsfWrite, KbdReadsTheTableAndTheGlyphsReadBack) {
    for (const char* charsetName : {"cp1252", "cp437", "cp866", "raw"}) {
        FontImage image;
        Charset charset;
        ImportFontFile("/usr/share/fonts/X11/misc/ter-u16b_unicode.pcf.gz", charsetName, 2, image, charset);
        std::vector<uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(WritePsf2(image.FontAt(0), charset, bytes, error)) << error;
        const std::string path = Scratch("ours.psf");
        WriteBytes(path, bytes);
        BitmapFont read;
        ASSERT_TRUE(ReadPsf(bytes, read, error)) << error;
        ASSERT_EQ(read.glyphs.size(), 256u);
        std::vector<int> glyphOfCode(256);
        for (int code = 0; code < 256; ++code) glyphOfCode[code] = charset.raw ? code : read.GlyphOf(charset.unicode[code]);
        ExpectSymbolsRead(image.FontAt(0), read, glyphOfCode);
        if (charset.raw) {
            EXPECT_FALSE(read.HasUnicodeTable());
            continue;
        }
        const KbdTable kbd = KbdReads("psfxtable -i " + path + " -ot");
        EXPECT_EQ(kbd.glyphs, 256);
        ASSERT_EQ(kbd.first.size(), 256u) << charsetName;
        for (int code = 0; code < 256; ++code) EXPECT_EQ(kbd.first.at(charset.unicode[code]), code) << charsetName;
    }
}

TEST(PsfWrite, ASymbolWiderThanAPsfGlyphIsRefused) {
    FontImage image;
    Charset charset;
    ImportFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "cp1252", 1, image, charset);
    image.FontAt(0).At('W').width = 40;
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(WritePsf2(image.FontAt(0), charset, bytes, error));
    EXPECT_EQ(error, "symbol 0x57 is 40 columns wide; a PSF font is read back up to 32");
}

}  // namespace
