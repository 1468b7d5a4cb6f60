// The file import against pictures that other programs write at test time
// (ImageMagick, netpbm, Pillow): BMPs of every kind and the PNGs the
// simplified libpng reader got wrong, each decoded again by an independent
// reader and compared with the import cell by cell.
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "BmpWriter.h"
#include "Ink.h"
#include "SymbolPicture.h"

namespace {

constexpr int kWidth = 21;  // odd, so that rows carry padding
constexpr int kHeight = 13;
constexpr int kGridRows = 16;

std::string Scratch(const std::string& name) { return testing::TempDir() + "glyphmill_bmp_" + name; }

// The source picture: a white ground with black strokes, dark red and light
// yellow dots (colours far from the ink threshold, so that every writer's
// colour reduction keeps them on their side). With alpha, the ground is a
// transparent black: a reader that ignored alpha would see it as solid ink.
std::vector<uint8_t> SourceRgba(bool transparentGround) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint8_t pixel[4] = {255, 255, 255, 255};
            if ((x + 2 * y) % 5 == 0 || x == 0) {
                pixel[0] = pixel[1] = pixel[2] = 0;
            } else if ((x * y) % 7 == 3) {
                pixel[0] = 150, pixel[1] = 20, pixel[2] = 20;
            } else if ((x * y) % 7 == 5) {
                pixel[0] = 250, pixel[1] = 240, pixel[2] = 150;
            } else if (transparentGround) {
                pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0;
            }
            rgba.insert(rgba.end(), pixel, pixel + 4);
        }
    }
    return rgba;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The source as a PPM (no alpha), and with alpha as a PAM and as raw RGBA.
void WriteSources(const std::string& ppm, const std::string& pam, const std::string& raw) {
    const std::vector<uint8_t> opaque = SourceRgba(false);
    std::string rgb;
    for (size_t i = 0; i < opaque.size(); i += 4) rgb.append(opaque.begin() + i, opaque.begin() + i + 3);
    WriteFile(ppm, "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n" + rgb);
    const std::vector<uint8_t> clear = SourceRgba(true);
    WriteFile(pam, "P7\nWIDTH " + std::to_string(kWidth) + "\nHEIGHT " + std::to_string(kHeight) +
                       "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + std::string(clear.begin(), clear.end()));
    WriteFile(raw, std::string(clear.begin(), clear.end()));
}

// Runs command through the shell; its standard output, or a failure.
testing::AssertionResult RunCommand(const std::string& command, std::string* out) {
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return testing::AssertionFailure() << "cannot start: " << command;
    out->clear();
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out->append(buffer, n);
    const int status = pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return testing::AssertionFailure() << "failed (scripts/setup installs the programs): " << command;
    }
    return testing::AssertionSuccess();
}

std::string Fill(std::string text, const std::string& bmp) {
    const std::pair<std::string, std::string> fields[] = {
        {"{ppm}", Scratch("source.ppm")},
        {"{pam}", Scratch("source.pam")},
        {"{rgba}", Scratch("source.rgba")},
        {"{size}", std::to_string(kWidth) + ", " + std::to_string(kHeight)},
        {"{pillow}", "/usr/bin/python3 -c 'import sys; from PIL import Image; "},
        {"{shorten}", "/usr/bin/python3 -c 'import sys, struct; p = sys.argv[1]; d = bytearray(open(p, \"rb\").read()); "
                      "keep = 26 + 3 * 4; d = d[:keep] + d[struct.unpack(\"<I\", d[10:14])[0]:]; "
                      "struct.pack_into(\"<II\", d, 2, len(d), 0); struct.pack_into(\"<I\", d, 10, keep); "
                      "open(p, \"wb\").write(d)'"},
        {"{bmp}", bmp},
    };
    for (const auto& [key, value] : fields) {
        for (size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), value);
    }
    return text;
}

// Independent readers, each printing the picture as 8-bit RGBA, top row first.
const char kMagick[] = "convert {bmp} -depth 8 rgba:-";
const char kSource[] = "convert {ppm} -depth 8 rgba:-";
const char kPillow[] = "{pillow}sys.stdout.buffer.write(Image.open(sys.argv[1]).convert(\"RGBA\").tobytes())' {bmp}";

struct Writer {
    const char* name;
    const char* command;  // writes {bmp} from {ppm} or {pam}
    const char* reader;
};

void PrintTo(const Writer& writer, std::ostream* out) { *out << writer.name; }

const Writer kWriters[] = {
    {"ImageMagick default: V5 header, 24 bits", "convert {ppm} {bmp}", kPillow},
    {"ImageMagick BMP3: 40-byte header", "convert {ppm} BMP3:{bmp}", kPillow},
    {"ImageMagick BMP2: OS/2 core header", "convert {ppm} BMP2:{bmp}", kMagick},
    {"ImageMagick BMP2 palette: 3-byte colours", "convert {ppm} -colors 4 BMP2:{bmp}", kMagick},
    {"ImageMagick 1 bit: V4 header", "convert {ppm} -monochrome {bmp}", kPillow},
    {"ImageMagick RLE8", "convert {ppm} -colors 16 -compress RLE {bmp}", kPillow},
    {"ImageMagick RLE8 in BMP3", "convert {ppm} -colors 16 -compress RLE BMP3:{bmp}", kMagick},
    {"ImageMagick 32 bits, transparent ground", "convert {pam} {bmp}", kPillow},
    {"ImageMagick 16 bits, RGB565 masks", "convert {ppm} -define bmp:subtype=RGB565 {bmp}", kMagick},
    {"ImageMagick 16 bits, ARGB1555, transparent ground", "convert {pam} -define bmp:subtype=ARGB1555 {bmp}",
     kMagick},
    // Neither reader here takes this file (Pillow refuses the layout, this
    // ImageMagick takes the first pixels for masks): the source is the reference.
    {"ImageMagick BMP3 RGB555: bitfields without masks", "convert {ppm} -define bmp:subtype=RGB555 BMP3:{bmp}",
     kSource},
    // ImageMagick's OS/2 file cut down to the four colours it uses, as other
    // OS/2 writers store it.
    {"OS/2 palette shorter than the depth", "convert {ppm} -colors 4 BMP2:{bmp} && {shorten} {bmp}", kPillow},
    {"netpbm palette", "ppmtobmp {ppm} >{bmp} 2>/dev/null", kMagick},
    {"netpbm 24 bits", "ppmtobmp -bpp 24 {ppm} >{bmp} 2>/dev/null", kMagick},
    {"netpbm OS/2", "ppmtobmp -os2 {ppm} >{bmp} 2>/dev/null", kMagick},
    {"netpbm 1 bit", "ppmtopgm {ppm} | pgmtopbm -threshold | ppmtobmp >{bmp} 2>/dev/null", kMagick},
    {"Pillow RGB", "{pillow}Image.open(sys.argv[1]).save(sys.argv[2])' {ppm} {bmp}", kMagick},
    {"Pillow grey", "{pillow}Image.open(sys.argv[1]).convert(\"L\").save(sys.argv[2])' {ppm} {bmp}", kMagick},
    {"Pillow 1 bit", "{pillow}Image.open(sys.argv[1]).convert(\"1\").save(sys.argv[2])' {ppm} {bmp}", kMagick},
    {"Pillow RGBA: 32 bits, alpha in the fourth byte",
     "{pillow}Image.frombytes(\"RGBA\", ({size}), open(sys.argv[1], \"rb\").read()).save(sys.argv[2])' {rgba} {bmp}",
     kMagick},
    // PNGs of 16 bits, interlaced: libpng's simplified reader (1.6.39) gets
    // these wrong.
    {"ImageMagick PNG 16 bits interlaced", "convert {ppm} -depth 16 -interlace PNG PNG48:{bmp}", kPillow},
    {"ImageMagick PNG 16-bit grey and alpha interlaced",
     "convert {pam} -colorspace gray -depth 16 -interlace PNG PNG:{bmp}", kMagick},
};

class BitmapWriters : public testing::TestWithParam<Writer> {
protected:
    static void SetUpTestSuite() { WriteSources(Scratch("source.ppm"), Scratch("source.pam"), Scratch("source.rgba")); }
};

TEST_P(BitmapWriters, ImportMatchesAnIndependentReaderCellByCell) {
    const Writer& writer = GetParam();
    const std::string bmp = Scratch("written.bmp");
    std::string ignored, rgba;
    ASSERT_TRUE(RunCommand(Fill(writer.command, bmp), &ignored));
    ASSERT_TRUE(RunCommand(Fill(writer.reader, bmp), &rgba));
    ASSERT_EQ(rgba.size(), static_cast<size_t>(4 * kWidth * kHeight)) << "the reader saw another size";

    const std::string file = ReadFile(bmp);
    ImportPicture picture;
    ASSERT_EQ(ReadPicture(reinterpret_cast<const uint8_t*>(file.data()), file.size(), kGridRows, &picture),
              PictureProblem::kNone);
    ASSERT_EQ(picture.columns, kWidth);
    int inkCells = 0;
    for (int y = 0; y < kGridRows; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            bool expected = false;
            if (y < kHeight) {
                const uint8_t* p = reinterpret_cast<const uint8_t*>(rgba.data()) + 4 * (y * kWidth + x);
                expected = p[3] >= 128 && IsInkColour(p[0], p[1], p[2]);
            }
            EXPECT_EQ(picture.IsInk(x, kGridRows - 1 - y), expected) << "pixel " << x << ", " << y;
            inkCells += expected;
        }
    }
    // Neither all ground nor all ink: the comparison means something.
    EXPECT_GT(inkCells, kWidth * kHeight / 5);
    EXPECT_LT(inkCells, kWidth * kHeight * 4 / 5);
}

INSTANTIATE_TEST_SUITE_P(Programs, BitmapWriters, testing::ValuesIn(kWriters), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

// None of the programs writes RLE4: a stream with every escape, written
// here, against ImageMagick's reading of it.
TEST(HandWrittenRunLengths, Rle4EscapesReadAsImageMagickReadsThem) {
    const std::vector<uint8_t> stream = {
        5, 0x10, 0, 3, 0x01, 0x00,  // run of alternating nibbles, absolute stretch of 3
        0, 0,                       // end of line
        0, 2, 3, 1,                 // delta: 3 right, 1 up
        2, 0x11, 0, 0,              // run, end of line
        16, 0x01, 0, 1,             // run over the row's padding (9 wide, padded to 16), end of bitmap
    };
    const std::vector<uint8_t> file =
        AssembleBmp({40, 9, 4, 4, 2, {}, {}, {0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0}, stream});
    const std::string bmp = Scratch("rle4.bmp");
    WriteFile(bmp, std::string(file.begin(), file.end()));
    std::string grey;
    ASSERT_TRUE(RunCommand("convert " + bmp + " -depth 8 gray:-", &grey));
    ASSERT_EQ(grey.size(), 9u * 4);
    ImportPicture picture;
    ASSERT_EQ(ReadPicture(file.data(), file.size(), 4, &picture), PictureProblem::kNone);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(picture.IsInk(x, 3 - y), static_cast<uint8_t>(grey[y * 9 + x]) < 128) << x << ", " << y;
        }
    }
}

}  // namespace
