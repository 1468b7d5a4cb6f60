#include "GlyphCommand.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Charsets.h"
#include "CommandLine.h"
#include "FontImage.h"
#include "ImageCommands.h"
#include "Pictures.h"
#include "SymbolPicture.h"
#include "SymbolWorkCopy.h"
#include "ToolboxCommands.h"

namespace {

// The code text names: a number 0-255 (decimal, or hex after 0x), or else
// one character, whose code in charset it is; a single digit is a number.
// On failure says why and returns the exit code: kUsage for what is no code
// at all, kFailed for a character charset lacks.
int ParseCode(const std::string& text, const Charset& charset, int& code) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (!digits.empty() && digits.find_first_not_of(allowed) == std::string::npos) {
        const unsigned long value = digits.size() > 4 ? 256 : std::stoul(digits, nullptr, hex ? 16 : 10);
        if (value > 255) return Fail("--code " + text + ": a code is 0-255", ExitCode::kUsage);
        code = static_cast<int>(value);
        return ExitCode::kDone;
    }
    std::u32string characters;
    if (!DecodeUtf8(text, characters) || characters.size() != 1)
        return Fail("--code takes a number 0-255 or one character, not " + text, ExitCode::kUsage);
    code = charset.CodeOf(characters[0]);
    if (code >= 0) return ExitCode::kDone;
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(characters[0]));
    return Fail(std::string("the character ") + name + " has no code in " + charset.name);
}

struct GlyphArguments {
    std::string image, code, out, from;
    std::string charset = "cp1252";
    int font = -1;
    bool force = false;
};

// The words for a picture refused: the editor's message, with the sizes for
// the limits and libpng's own reason for a damaged PNG.
std::string PictureError(PictureProblem problem, const PictureFacts& facts, int rowCount) {
    switch (problem) {
        case PictureProblem::kPictureTooLarge:
            return "more than " + std::to_string(kMaxPictureFileBytes) + " bytes, too large for a symbol's picture";
        case PictureProblem::kNotABitmap: return "neither a PNG nor a BMP picture";
        case PictureProblem::kDamagedPng: return facts.pngError;
        case PictureProblem::kTooHigh:
        case PictureProblem::kTooWide:
            return std::string(DescribePictureProblem(problem)) + " (" + std::to_string(facts.width) + " x " +
                   std::to_string(facts.rows) + " pixels; the symbol takes at most " +
                   std::to_string(kMaxImportWidth) + " x " + std::to_string(rowCount) + ")";
        default: return DescribePictureProblem(problem);
    }
}

// The picture at path ("-": standard input) as the symbol editor imports it
// into rowCount rows. On failure says why and returns the exit code.
int ReadPictureAt(const std::string& path, int rowCount, ImportPicture& picture) {
    std::vector<uint8_t> bytes;
    if (const int failed = ReadInputFile(path, kMaxPictureFileBytes + 1, bytes); failed != ExitCode::kDone)
        return failed;
    PictureFacts facts;
    PictureProblem problem = bytes.size() > static_cast<size_t>(kMaxPictureFileBytes)
                                 ? PictureProblem::kPictureTooLarge
                                 : ReadPicture(bytes.data(), bytes.size(), rowCount, &picture, &facts);
    if (problem == PictureProblem::kNone) return ExitCode::kDone;
    return Fail(path + ": " + PictureError(problem, facts, rowCount));
}

std::string SymbolLine(FontImage& image, int index, int code, const Charset& charset) {
    return "symbol " + std::to_string(code) + " of font " + std::to_string(SavedFontNumber(image, index)) + " " +
           QuotedName(image, index, charset);
}

int WriteSymbol(const GlyphArguments& args, FontImage& image, int code, const Charset& charset) {
    const Font& font = image.FontAt(args.font);
    const Picture picture = LineOf(font, {code});
    std::vector<uint8_t> png;
    std::string error;
    if (!EncodePng(picture, 1, png, error)) return Fail(args.out + ": " + error);
    if (const int written = WriteOut(args.out, png.data(), png.size(), args.force); written != ExitCode::kDone)
        return written;
    std::printf("%s: %s, %d x %d\n", args.out.c_str(), SymbolLine(image, args.font, code, charset).c_str(),
                picture.width, picture.height);
    return ExitCode::kDone;
}

int ReplaceSymbol(const GlyphArguments& args, FontImage& image, int code, const std::string& out,
                  const Charset& charset) {
    const FontNumbers before = NumbersOf(image);
    Symbol& symbol = image.FontAt(args.font).At(code);
    SymbolWorkCopy work;
    work.Load(symbol);
    ImportPicture picture;
    if (const int failed = ReadPictureAt(args.from, work.RowCount(), picture); failed != ExitCode::kDone)
        return failed;
    work.ApplyImport(picture);
    work.CommitTo(symbol);
    return SaveChanged(
        image, out, args.force, before,
        [&] {
            std::printf("%s: %s from %s\n", SymbolLine(image, args.font, code, charset).c_str(),
                        Counted(symbol.width, "column").c_str(), args.from.c_str());
        },
        nullptr, charset);
}

int RunGlyph(const GlyphArguments& args) {
    Charset charset;
    std::string error;
    if (!LoadCharset(args.charset, charset, error)) return Fail(error);
    int code = 0;
    if (const int failed = ParseCode(args.code, charset, code); failed != ExitCode::kDone) return failed;
    if (args.from.empty() && args.out.empty())
        return Fail("give -o FILE.png to write the symbol, or --from PICTURE", ExitCode::kUsage);
    // The PNG never replaces the image; the changed image never replaces the picture.
    const std::string out = args.out.empty() ? args.image : args.out;
    if (const int refused = args.from.empty() ? CheckOutputApart(out, args.image) : CheckSavedToFile(out);
        refused != ExitCode::kDone)
        return refused;
    if (const int refused = CheckOutputApart(out, args.from); refused != ExitCode::kDone) return refused;
    FontImage image;
    if (const int failed = OpenImageFont(args.image, args.font, image); failed != ExitCode::kDone) return failed;
    return args.from.empty() ? WriteSymbol(args, image, code, charset) : ReplaceSymbol(args, image, code, out, charset);
}

}  // namespace

void AddGlyphCommand(CLI::App& app, int& exitCode) {
    auto args = std::make_shared<GlyphArguments>();
    CLI::App* glyph = app.add_subcommand(
        "glyph",
        "Write one symbol as a PNG (-o), or replace it by a PNG or BMP picture (--from) as the symbol "
        "editor's bitmap import does.");
    glyph->add_option("IMAGE", args->image, "the image")->required();
    glyph->add_option("--font", args->font, "the font, as info numbers it")
        ->required()
        ->check(AnyWholeNumber())
        ->type_name("N");
    glyph->add_option("--code", args->code, "the symbol: a code 0-255 (0x for hex) or a character of --charset")
        ->required()
        ->type_name("C");
    AddCharsetOption(*glyph, args->charset, "what characters given to --code stand for, and names are shown in");
    glyph->add_option("--from", args->from, "the picture that replaces the symbol")->type_name("PICTURE");
    AddOutputOption(*glyph, args->out, "the PNG to write; with --from, the image to write (default: IMAGE)");
    AddForceOption(*glyph, args->force);
    glyph->callback([args, &exitCode] { exitCode = RunGlyph(*args); });
}
