#include "FontCommands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BdfWriter.h"
#include "BitmapFont.h"
#include "Charsets.h"
#include "CommandLine.h"
#include "FontExport.h"
#include "FontImport.h"
#include "FontImage.h"
#include "FontSheet.h"
#include "GlyphColumns.h"
#include "ImageCommands.h"
#include "Pictures.h"
#include "TypedText.h"

bool FontNameBytes(const std::string& text, const Charset& charset, std::string& bytes, std::string& error) {
    std::vector<int> codes;
    if (!EncodeText(TypedTextAsUtf8(text), charset, codes, error)) {
        error = "the name: " + error;
        return false;
    }
    bytes.assign(codes.begin(), codes.end());
    if (bytes.size() > Font::kNameLength) {
        Warn("the name is " + std::to_string(bytes.size()) + " bytes in " + charset.name +
             "; a font's name keeps the first " + std::to_string(Font::kNameLength));
        bytes.resize(Font::kNameLength);
    }
    return true;
}

namespace {

struct FontArguments {
    std::string image, fontFile, out, text, name;
    std::string charset = "cp1252";
    int font = -1;  // -1: not given
    bool add = false, monospace = false;
    int size = 0, height = 0, scale = 0, spaceWidth = 0;
    std::string raw, cell;  // import's --raw and --cell, as W x H
    uint64_t offset = 0;    // import's --offset
    std::string format;     // export's --format; empty: by the output's extension
    bool grid = false;      // sheet --grid
    bool force = false;  // --force: -o replaces a read-only file of the user's
    SaveTarget save;     // import's -o and --force
};

// "WxH" as width and height, each 1 to the most given.
bool ParsePixelSize(const std::string& text, int mostWide, int mostHigh, int& width, int& height) {
    return ::ParsePixelSize(text, width, height) && width >= 1 && width <= mostWide && height >= 1 &&
           height <= mostHigh;
}

CLI::Validator PixelSize(int mostWide, int mostHigh) {
    const std::string what = "W x H pixels, W 1 to " + std::to_string(mostWide) + " and H 1 to " +
                             std::to_string(mostHigh) + ", as 8x16";
    return CLI::Validator(
        [mostWide, mostHigh, what](const std::string& text) {
            int width = 0, height = 0;
            return ParsePixelSize(text, mostWide, mostHigh, width, height) ? std::string() : "not " + what;
        },
        "");
}

// The layout --raw, --offset and --cell give (checked by their validators).
FontFileLayout LayoutOf(const FontArguments& args) {
    FontFileLayout layout;
    if (!args.raw.empty())
        ParsePixelSize(args.raw, kMaxBitmapGlyphSide, kMaxBitmapGlyphSide, layout.rawWidth, layout.rawHeight);
    if (!args.cell.empty())
        ParsePixelSize(args.cell, kMaxSheetCellWidth, kMaxSheetCellHeight, layout.cellWidth, layout.cellHeight);
    layout.rawOffset = args.offset;
    return layout;
}

// The image the import fills and which font of it: font --font of IMAGE,
// or a new one at its end, or the one font of a new image when --add names
// none that exists. Returns the exit code.
int TargetFont(const FontArguments& args, FontImage& image, int& font) {
    std::error_code ignored;
    if (args.add && !std::filesystem::exists(args.image, ignored)) {
        font = 0;
        return image.InitNew() ? ExitCode::kDone : Fail("out of memory");
    }
    font = args.add ? FontImportRequest::kNewFont : std::max(args.font, 0);
    const int opened = OpenImage(args.image, image);
    return opened == ExitCode::kDone && !args.add ? CheckFontIndex(image, font) : opened;
}

// The font is named by the number it has once saved.
void PrintSummary(const FontArguments& args, FontImage& image, int index, const std::string& family,
                  const ImportSummary& summary, const Charset& charset) {
    const int number = SavedFontNumber(image, index);
    std::printf("%s (%s, %d px, %s high) into font %s %s, height %d\n", args.fontFile.c_str(), family.c_str(),
                summary.size, Counted(summary.pixelHeight, "row").c_str(),
                number >= 0 ? std::to_string(number).c_str() : "(not saved)", QuotedName(image, index, charset).c_str(),
                summary.height);
    std::printf("%s imported, %d missing, %d cut\n", Counted(summary.imported, "glyph").c_str(), summary.missing,
                summary.cut);
    const int cutRows = summary.pixelHeight - 8 * summary.height;
    if (cutRows == 1) std::printf("the font does not fit into %d rows: its bottom row is cut off\n", 8 * summary.height);
    if (cutRows > 1)
        std::printf("the font does not fit into %d rows: its bottom %d rows are cut off\n", 8 * summary.height, cutRows);
    if (summary.spaceWidth > 0) std::printf("the space is %s wide\n", Counted(summary.spaceWidth, "column").c_str());
    if (summary.ownExport) std::printf("exported by glyphmill: widths, interval and limit restored\n");
}

int RunImport(const FontArguments& args) {
    const std::string& out = args.save.PathFor(args.image);
    if (const int refused = CheckSavedToFile(out); refused != ExitCode::kDone) return refused;
    if (const int refused = CheckOutputApart(out, args.fontFile); refused != ExitCode::kDone) return refused;
    FontImportRequest request;
    request.charset = args.charset;
    request.size = args.size;
    request.height = args.height;
    request.monospace = args.monospace;
    request.spaceWidth = args.spaceWidth;
    request.automaticName = args.add;
    Charset charset;
    std::string error;
    if (!LoadCharset(args.charset, charset, error)) return Fail(error);
    if (!args.name.empty() && !FontNameBytes(args.name, charset, request.name, error)) return Fail(error);
    FontImportResult result;
    const std::unique_ptr<FontReader> fontFile = OpenFontFile(args.fontFile, result, LayoutOf(args));
    if (!fontFile) return Fail(result.error, ExitCode::ForImport(result.result));
    FontImage image;
    if (const int failed = TargetFont(args, image, request.font); failed != ExitCode::kDone) return failed;
    result = ImportFontFile(*fontFile, request, image);
    if (!result) return Fail(args.fontFile + ": " + result.error, ExitCode::ForImport(result.result));
    PrintSummary(args, image, result.index, fontFile->FamilyName(), result.summary, charset);
    const int saved = SaveImage(image, out, args.save.force);
    if (saved == ExitCode::kDone) std::printf("%s: saved\n", out.c_str());
    return saved;
}

// export's format: --format, else the output's extension, else BDF.
ExportFormat FormatOfExport(const FontArguments& args) {
    if (args.format == "psf") return ExportFormat::kPsf;
    if (args.format == "hex") return ExportFormat::kHex;
    if (!args.format.empty()) return ExportFormat::kBdf;
    return ExportFormatOfName(args.out).value_or(ExportFormat::kBdf);
}

int RunExport(const FontArguments& args) {
    const ExportFormat format = FormatOfExport(args);
    if (args.format.empty() && std::filesystem::path(args.out).extension() == ".gz")
        return Fail("export writes font files unpacked: name -o without .gz (gzip it afterwards), or give --format",
                    ExitCode::kUsage);
    if (format != ExportFormat::kBdf && !args.fontFile.empty())
        return Fail(std::string("--source gives a BDF's weight and slant; a ") + ExportFormatName(format) +
                        " file has none",
                    ExitCode::kUsage);
    for (const std::string& input : {args.image, args.fontFile}) {
        if (const int refused = CheckOutputApart(args.out, input); refused != ExitCode::kDone) return refused;
    }
    Charset charset;
    std::string error;
    if (!LoadCharset(args.charset, charset, error)) return Fail(error);
    FontImage image;
    if (const int failed = OpenImageFont(args.image, args.font, image); failed != ExitCode::kDone) return failed;
    if (IsFillerFont(image, args.font))
        return Fail("font " + std::to_string(args.font) + " is an \"Empty\" filler of the two-bank layout: it holds no "
                    "symbols to export");
    BdfStyle style;
    if (!args.fontFile.empty()) {
        FontImportResult failure;
        const std::unique_ptr<FontReader> source = OpenFontFile(args.fontFile, failure);
        if (!source) return Fail(failure.error, ExitCode::ForImport(failure.result));
        style = {source->WeightName(), source->SlantName()};
    }
    std::vector<uint8_t> bytes;
    if (!ExportFont(format, image.FontAt(args.font), charset, style, bytes, error))
        return Fail("font " + std::to_string(args.font) + " cannot be written as " + ExportFormatName(format) + ": " +
                    error);
    return WriteOut(args.out, bytes.data(), bytes.size(), args.force);
}

int WritePicture(const Picture& picture, int scale, const std::string& path, bool force) {
    std::vector<uint8_t> png;
    std::string error;
    if (!EncodePng(picture, scale, png, error)) return Fail(path + ": " + error);
    return WriteOut(path, png.data(), png.size(), force);
}

int RunSheet(const FontArguments& args) {
    if (const int refused = CheckOutputApart(args.out, args.image); refused != ExitCode::kDone) return refused;
    Charset charset;
    std::string error;
    if (!LoadCharset(args.charset, charset, error)) return Fail(error);
    FontImage image;
    if (const int failed = OpenImage(args.image, image); failed != ExitCode::kDone) return failed;
    if (args.font >= 0) {
        if (const int failed = CheckFontIndex(image, args.font); failed != ExitCode::kDone) return failed;
    }
    if (args.grid) return WritePicture(GridSheetOf(image.FontAt(args.font)), 1, args.out, args.force);
    const int first = args.font >= 0 ? args.font : 0;
    const int last = args.font >= 0 ? args.font : image.GetFontCount() - 1;
    return WritePicture(SheetOf(image, first, last, charset), args.scale, args.out, args.force);
}

int RunRender(const FontArguments& args) {
    if (const int refused = CheckOutputApart(args.out, args.image); refused != ExitCode::kDone) return refused;
    Charset charset;
    std::string error;
    if (!LoadCharset(args.charset, charset, error)) return Fail(error);
    std::vector<int> codes;
    if (!EncodeText(TypedTextAsUtf8(args.text), charset, codes, error)) return Fail("TEXT: " + error);
    if (codes.empty()) return Fail("nothing to render: TEXT is empty");
    FontImage image;
    if (const int failed = OpenImageFont(args.image, args.font, image); failed != ExitCode::kDone) return failed;
    const Font& font = image.FontAt(args.font);
    // A picture too wide to write is refused before its dots are laid out.
    if (LineWidth(font, codes) * args.scale > kMaxPictureSide)
        return Fail("the line would be " + std::to_string(LineWidth(font, codes) * args.scale) +
                    " pixels wide; a picture takes at most " + std::to_string(kMaxPictureSide));
    return WritePicture(LineOf(font, codes), args.scale, args.out, args.force);
}

CLI::Option* AddFontOption(CLI::App& command, FontArguments& args, const char* what) {
    return command.add_option("--font", args.font, what)
        ->check(NumberIn(0, FontImage::kMaxFonts - 1))
        ->type_name("N");
}

CLI::Option* AddScaleOption(CLI::App& command, FontArguments& args) {
    return command.add_option("--scale", args.scale, "pixels a dot has on each side")
        ->check(NumberIn(1, 64))
        ->type_name("N")
        ->capture_default_str();
}

// -o, --force and --scale of the commands that draw a picture.
CLI::Option* AddPictureOptions(CLI::App& command, FontArguments& args) {
    command.add_option("-o", args.out, "the PNG file to write (-: standard output)")->required()->type_name("FILE.png");
    AddForceOption(command, args.force);
    return AddScaleOption(command, args);
}

void AddImportCommand(CLI::App& app, int& exitCode) {
    auto importArgs = std::make_shared<FontArguments>();
    CLI::App* import = app.add_subcommand(
        "import", "Fill a font of IMAGE from a font file, sampled as the editor's import does: TrueType, OpenType, "
                  "WOFF, BDF, PCF, .fon, a console PSF font, a Unifont .hex file (gzip'ed or not), a raw dump "
                  "(--raw) or a PNG or BMP picture sheet of 16 x 16 cells.");
    import->add_option("IMAGE", importArgs->image, "the image (created by --add when it does not exist)")->required();
    import->add_option("FONTFILE", importArgs->fontFile, "the font file")->required();
    CLI::Option* font = AddFontOption(*import, *importArgs, "the font to fill, counted from 0 (default 0)");
    import->add_flag("--add", importArgs->add, "add a new font at the end (named after the typeface)")->excludes(font);
    import->add_option("--size", importArgs->size,
                       "pixels per em of a scalable font (default: the largest at which every glyph fits --height, "
                       "else 2 bytes), or the size of a bitmap font's strike (default: the tallest that fits)")
        ->check(NumberIn(1, kMaxImportSize))
        ->type_name("PX");
    import->add_option("--height", importArgs->height, "the font's height in bytes (default: the fewest that hold it)")
        ->check(NumberIn(1, 4))
        ->type_name("H");
    AddCharsetOption(*import, importArgs->charset, "what codes 0-255 stand for (raw: the font's own codes)");
    import->add_option("--name", importArgs->name,
                       "the font's name: up to 8 characters of --charset (default with --add: typeface and size, "
                       "as \"DejaV16\", unique in the image)");
    import->add_flag("--monospace", importArgs->monospace,
                     "every symbol as wide as the glyph's advance, its blank sides kept, and interval 0");
    import->add_option("--space-width", importArgs->spaceWidth,
                       "columns of the space (default: the font's advance, at least 2)")
        ->check(NumberIn(1, kImportColumns))
        ->type_name("N");
    CLI::Option* raw =
        import->add_option("--raw", importArgs->raw,
                           "read FONTFILE as a raw dump: 256 glyphs of W x H pixels, rows of (W + 7) / 8 bytes, "
                           "the leftmost pixel in the high bit")
            ->check(PixelSize(kMaxBitmapGlyphSide, kMaxBitmapGlyphSide))
            ->type_name("WxH");
    import->add_option("--offset", importArgs->offset, "bytes of the raw dump before its first glyph (default 0)")
        ->needs(raw)
        ->type_name("N");
    import->add_option("--cell", importArgs->cell,
                       "a picture sheet's cell, its codes row x 16 + column from the top-left corner (default: the "
                       "picture's size / 16)")
        ->check(PixelSize(kMaxSheetCellWidth, kMaxSheetCellHeight))
        ->excludes(raw)
        ->type_name("WxH");
    AddSaveOptions(*import, importArgs->save);
    import->callback([importArgs, &exitCode] { exitCode = RunImport(*importArgs); });
}

void AddExportCommand(CLI::App& app, int& exitCode) {
    auto exportArgs = std::make_shared<FontArguments>();
    CLI::App* exportCommand = app.add_subcommand(
        "export", "Write a font of IMAGE as a BDF 2.1 font, a PSF2 console font or a Unifont .hex file.");
    exportCommand->add_option("IMAGE", exportArgs->image, "the image")->required();
    AddFontOption(*exportCommand, *exportArgs, "the font, counted from 0")->required();
    exportCommand->add_option("-o", exportArgs->out, "the file to write (-: standard output)")->required()->type_name("FILE");
    exportCommand
        ->add_option("--format", exportArgs->format,
                     "bdf; psf (a PSF2 of 256 glyphs with a Unicode table from --charset, none for raw); hex (16 "
                     "rows of 8 or 16 pixels, for fonts up to 2 bytes high and 16 columns wide) (default: by -o's "
                     "extension, .psf, .psfu or .hex, else bdf)")
        ->check(CLI::IsMember({"bdf", "psf", "hex"}))
        ->type_name("FMT");
    AddForceOption(*exportCommand, exportArgs->force);
    AddCharsetOption(*exportCommand, exportArgs->charset, "what codes 0-255 stand for (raw: encoded as themselves)");
    exportCommand
        ->add_option("--source", exportArgs->fontFile,
                     "the font file the font was imported from: its weight and slant are written (default: Medium, "
                     "roman)")
        ->type_name("FONTFILE");
    exportCommand->callback([exportArgs, &exitCode] { exitCode = RunExport(*exportArgs); });
}

void AddSheetCommand(CLI::App& app, int& exitCode) {
    auto sheetArgs = std::make_shared<FontArguments>();
    sheetArgs->scale = 4;
    CLI::App* sheet = app.add_subcommand("sheet", "Draw every symbol of the image's fonts (or of one) as a PNG.");
    sheet->add_option("IMAGE", sheetArgs->image, "the image")->required();
    CLI::Option* scale = AddPictureOptions(*sheet, *sheetArgs);
    CLI::Option* sheetFont = AddFontOption(*sheet, *sheetArgs, "only this font, counted from 0");
    AddCharsetOption(*sheet, sheetArgs->charset, "the code page the titles show the fonts' names in");
    sheet->add_flag("--grid", sheetArgs->grid,
                    "the font's plain grid, which import reads back: 16 x 16 cells (code = row x 16 + column) as "
                    "wide as its widest symbol and as high as its rows, without labels, gaps or scaling")
        ->needs(sheetFont)
        ->excludes(scale);
    sheet->callback([sheetArgs, &exitCode] { exitCode = RunSheet(*sheetArgs); });
}

void AddRenderCommand(CLI::App& app, int& exitCode) {
    auto renderArgs = std::make_shared<FontArguments>();
    renderArgs->scale = 1;
    CLI::App* render = app.add_subcommand("render", "Draw TEXT as the printer prints it with a font of IMAGE, as a PNG.");
    render->add_option("IMAGE", renderArgs->image, "the image")->required();
    AddFontOption(*render, *renderArgs, "the font, counted from 0")->required();
    render->add_option("TEXT", renderArgs->text, "the text (UTF-8)")->required();
    AddPictureOptions(*render, *renderArgs);
    AddCharsetOption(*render, renderArgs->charset, "the codes the text's characters become");
    render->callback([renderArgs, &exitCode] { exitCode = RunRender(*renderArgs); });
}

}  // namespace

void AddFontCommands(CLI::App& app, int& exitCode) {
    AddImportCommand(app, exitCode);
    AddExportCommand(app, exitCode);
    AddSheetCommand(app, exitCode);
    AddRenderCommand(app, exitCode);
}
