#include "ToolboxCommands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "Charsets.h"
#include "CommandLine.h"
#include "FontCommands.h"
#include "FontImage.h"
#include "ImageCommands.h"
#include "Results.h"

FontNumbers NumbersOf(const FontImage& image) {
    FontNumbers numbers;
    for (int i = 0; i < image.GetFontCount(); ++i) numbers[&image.FontAt(i)] = i;
    return numbers;
}

// Names the numbers of the "Empty" fillers the saved file has beyond the
// document's fonts: the gaps between the fonts' numbers.
void TellFillers(FontImage& image) {
    int first = -1, last = -1;
    for (int i = 0, expected = 0; i < image.GetFontCount(); ++i, ++expected) {
        const int number = SavedFontNumber(image, i);
        if (number == expected) continue;
        first = expected;
        last = number - 1;
        break;
    }
    if (first < 0) return;
    const int fillers = last - first + 1;
    std::printf("the two-bank layout added %d \"Empty\" filler%s: font %s\n", fillers, fillers == 1 ? "" : "s",
                (std::to_string(first) + (fillers > 1 ? " to " + std::to_string(last) : "")).c_str());
}

int SaveChanged(FontImage& image, const std::string& out, bool force, const FontNumbers& before,
                const std::function<void()>& tellChange, const Font* subject, const Charset& charset) {
    const int saved = SaveImage(image, out, force);
    if (saved != ExitCode::kDone) return saved;
    tellChange();
    std::string renumbered;
    for (int i = 0; i < image.GetFontCount(); ++i) {
        const auto was = before.find(&image.FontAt(i));
        const int number = SavedFontNumber(image, i);
        if (&image.FontAt(i) == subject || was == before.end() || was->second == number) continue;
        renumbered += (renumbered.empty() ? "" : ", ") + std::to_string(was->second) + " " + QuotedName(image, i, charset) +
                      " -> " + std::to_string(number);
    }
    if (!renumbered.empty()) std::printf("renumbered: %s\n", renumbered.c_str());
    TellFillers(image);
    std::printf("%s: saved\n", out.c_str());
    return ExitCode::kDone;
}

namespace {

struct ToolboxArguments {
    std::string image, out, name, dest;
    std::string charset = "cp1252";
    int font = -1;
    int to = -1;
    int interval = 0, heightLimit = 0, height = 0;
    bool hasInterval = false, hasHeightLimit = false, hasHeight = false;
    bool force = false;

    const std::string& Out() const { return out.empty() ? image : out; }
};

// The commands but rename show names in cp1252.
std::string FontLine(FontImage& image, int index, const Charset& charset = DefaultCharset()) {
    return "font " + std::to_string(SavedFontNumber(image, index)) + " " + QuotedName(image, index, charset);
}

// A name given on the command line becomes a font's name bytes as import's
// --name makes them: its characters in --charset.
int RunRename(const ToolboxArguments& args) {
    if (const int refused = CheckSavedToFile(args.Out()); refused != ExitCode::kDone) return refused;
    Charset charset;
    std::string error, bytes;
    if (!LoadCharset(args.charset, charset, error) || !FontNameBytes(args.name, charset, bytes, error))
        return Fail(error);
    FontImage image;
    if (const int failed = OpenImageFont(args.image, args.font, image); failed != ExitCode::kDone) return failed;
    const FontNumbers before = NumbersOf(image);
    const std::string old = QuotedName(image, args.font, charset);
    image.SetFontName(args.font, bytes.c_str());
    return SaveChanged(
        image, args.Out(), args.force, before,
        [&] { std::printf("%s, was %s\n", FontLine(image, args.font, charset).c_str(), old.c_str()); }, nullptr,
        charset);
}

int RunRemove(const ToolboxArguments& args) {
    if (const int refused = CheckSavedToFile(args.Out()); refused != ExitCode::kDone) return refused;
    FontImage image;
    if (const int failed = OpenImageFont(args.image, args.font, image); failed != ExitCode::kDone) return failed;
    if (image.GetFontCount() == 1) return Fail("the last font of an image is never removed");
    const FontNumbers before = NumbersOf(image);
    const std::string removed = "font " + std::to_string(args.font) + " " + QuotedName(image, args.font, DefaultCharset());
    image.RemoveFont(args.font);
    return SaveChanged(
        image, args.Out(), args.force, before,
        [&] {
            const int left = SavedFontNumber(image, image.GetFontCount() - 1) + 1;  // fillers included
            std::printf("%s removed, %d font%s left\n", removed.c_str(), left, left == 1 ? "" : "s");
        },
        nullptr, DefaultCharset());
}

int RunMove(const ToolboxArguments& args) {
    if (const int refused = CheckSavedToFile(args.Out()); refused != ExitCode::kDone) return refused;
    FontImage image;
    if (const int failed = OpenImageFont(args.image, args.font, image); failed != ExitCode::kDone) return failed;
    if (args.to < 0 || args.to >= image.GetFontCount())
        return Fail("--to takes 0 to " + std::to_string(image.GetFontCount() - 1) +
                        ", the places of the image's fonts",
                    ExitCode::kUsage);
    const FontNumbers before = NumbersOf(image);
    const Font* const moved = &image.FontAt(args.font);
    MoveFont(image, args.font, args.to);
    return SaveChanged(
        image, args.Out(), args.force, before,
        [&] { std::printf("%s, was font %d\n", FontLine(image, args.to).c_str(), args.font); }, moved,
        DefaultCharset());
}

// value clamped to first-last as the model (or the editor's font panel)
// clamps it; a clamped value is told.
int Clamped(const char* option, int value, int first, int last) {
    const int clamped = std::clamp(value, first, last);
    if (clamped != value)
        Warn(std::string(option) + " " + std::to_string(value) + " taken as " + std::to_string(clamped) +
             " (it takes " + std::to_string(first) + "-" + std::to_string(last) + ")");
    return clamped;
}

// Symbols of font with ink in a pixel row at or above row (counted from the bottom).
int SymbolsInkedFrom(const Font& font, int row) {
    int inked = 0;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& symbol = font.At(code);
        bool ink = false;
        for (int column = 0; column < symbol.DrawableColumns() && !ink; ++column) {
            for (int r = row; r < 8 * symbol.height && !ink; ++r) ink = symbol.IsInk(column, r);
        }
        inked += ink ? 1 : 0;
    }
    return inked;
}

// Tells how many symbols of font lose ink when only its bottom rows stay.
void TellLoss(const Font& font, int rows) {
    const int symbols = SymbolsInkedFrom(font, rows);
    if (symbols > 0)
        Warn(std::to_string(symbols) + " symbol" + (symbols == 1 ? " loses" : "s lose") + " ink: only the bottom " +
             (rows == 1 ? "row stays" : std::to_string(rows) + " rows stay"));
}

int WidestSymbol(const Font& font) {
    int widest = 0;
    for (int code = 0; code < Font::kSymbolCount; ++code) widest = std::max(widest, font.At(code).width);
    return widest;
}

int RunSet(const ToolboxArguments& args) {
    if (!args.hasInterval && !args.hasHeightLimit && !args.hasHeight)
        return Fail("nothing to set: give --interval, --height-limit or --height", ExitCode::kUsage);
    if (const int refused = CheckSavedToFile(args.Out()); refused != ExitCode::kDone) return refused;
    FontImage image;
    if (const int failed = OpenImageFont(args.image, args.font, image); failed != ExitCode::kDone) return failed;
    const FontNumbers before = NumbersOf(image);
    Font& font = image.FontAt(args.font);
    const int height = args.hasHeight ? Clamped("--height", args.height, 1, 4) : font.GetHeight();
    // The editor offers the limit only for fonts 1 byte high; a higher font
    // always prints 8 rows, and the file keeps no other limit for it.
    if (args.hasHeightLimit && height != 1)
        return Fail("--height-limit counts only for a font 1 byte high; this one is " + std::to_string(height) +
                    " bytes high");
    if (height != font.GetHeight()) {
        if (height < font.GetHeight()) TellLoss(font, 8 * height);
        if (image.SetFontHeight(args.font, height) == EditResult::kTooWide)
            return Fail("a symbol " + std::to_string(WidestSymbol(font)) + " columns wide does not fit into " +
                        std::to_string(Symbol::kDataSize) + " bytes at " + std::to_string(height) +
                        " bytes a column; nothing changed");
    }
    if (args.hasHeightLimit) {
        const int bits = Clamped("--height-limit", args.heightLimit, 1, 8);
        TellLoss(font, bits);  // Save clears the rows above the limit
        image.SetHeightLimit(args.font, bits);
    }
    if (args.hasInterval) image.SetInterval(args.font, Clamped("--interval", args.interval, 0, 15));
    return SaveChanged(
        image, args.Out(), args.force, before,
        [&] {
            std::printf("%s: height %d, interval %d, limit %d\n", FontLine(image, args.font).c_str(), font.GetHeight(),
                        font.GetInterval(), SymbolHeightLimit(font));
        },
        nullptr, DefaultCharset());
}

int RunCopy(const ToolboxArguments& args) {
    const std::string out = args.out.empty() ? args.dest : args.out;
    if (const int refused = CheckSavedToFile(out); refused != ExitCode::kDone) return refused;
    FontImage source;
    if (const int failed = OpenImageFont(args.image, args.font, source); failed != ExitCode::kDone) return failed;
    if (IsFillerFont(source, args.font))
        return Fail("font " + std::to_string(args.font) + " of " + args.image +
                    " is an \"Empty\" filler of the two-bank layout, not a font to copy");
    FontImage dest;
    std::error_code ignored;
    const bool created = !std::filesystem::exists(args.dest, ignored);
    if (created) {
        if (!dest.InitNew()) return Fail("out of memory");
    } else {
        if (const int failed = OpenImage(args.dest, dest); failed != ExitCode::kDone) return failed;
        if (!dest.AddFont())
            return Fail(args.dest + " holds " + std::to_string(dest.GetFontCount()) +
                        " fonts; a font is added only to an image of fewer than " +
                        std::to_string(FontImage::kMaxAddedFonts));
    }
    const FontNumbers before = NumbersOf(dest);
    const int index = dest.GetFontCount() - 1;
    CopyFont(source.FontAt(args.font), dest.FontAt(index));
    return SaveChanged(
        dest, out, args.force, before,
        [&] {
            std::printf("font %d of %s copied as %s of %s%s\n", args.font, args.image.c_str(),
                        FontLine(dest, index).c_str(), out.c_str(), created ? " (a new image)" : "");
        },
        nullptr, DefaultCharset());
}

CLI::Option* AddImage(CLI::App& command, ToolboxArguments& args) {
    return command.add_option("IMAGE", args.image, "the image")->required();
}

CLI::Option* AddFont(CLI::App& command, ToolboxArguments& args, const char* what = "the font, as info numbers it") {
    return command.add_option("--font", args.font, what)->required()->check(AnyWholeNumber())->type_name("N");
}

void AddOut(CLI::App& command, ToolboxArguments& args, const char* what = "write the image here (default: IMAGE)") {
    AddOutputOption(command, args.out, what);
    AddForceOption(command, args.force);
}

// A command on one font of IMAGE: its IMAGE and --font come first.
CLI::App* AddFontCommand(CLI::App& app, const char* name, const char* description, ToolboxArguments& args) {
    CLI::App* command = app.add_subcommand(name, description);
    AddImage(*command, args);
    AddFont(*command, args);
    return command;
}

}  // namespace

void AddToolboxCommands(CLI::App& app, int& exitCode) {
    auto renameArgs = std::make_shared<ToolboxArguments>();
    CLI::App* rename = AddFontCommand(app, "rename", "Give a font of IMAGE a new name (8 characters).", *renameArgs);
    rename->add_option("NAME", renameArgs->name, "the new name: up to 8 characters of --charset")->required();
    AddCharsetOption(*rename, renameArgs->charset, "the code page the name's characters are stored in");
    AddOut(*rename, *renameArgs);
    rename->callback([renameArgs, &exitCode] { exitCode = RunRename(*renameArgs); });

    auto removeArgs = std::make_shared<ToolboxArguments>();
    CLI::App* remove = AddFontCommand(
        app, "remove", "Remove a font of IMAGE; the later fonts move up. The last font stays.", *removeArgs);
    AddOut(*remove, *removeArgs);
    remove->callback([removeArgs, &exitCode] { exitCode = RunRemove(*removeArgs); });

    auto moveArgs = std::make_shared<ToolboxArguments>();
    CLI::App* move = AddFontCommand(app, "move", "Move a font of IMAGE to another place in its list.", *moveArgs);
    move->add_option("--to", moveArgs->to, "its new place, as info numbers it")
        ->required()
        ->check(AnyWholeNumber())
        ->type_name("M");
    AddOut(*move, *moveArgs);
    move->callback([moveArgs, &exitCode] { exitCode = RunMove(*moveArgs); });

    auto setArgs = std::make_shared<ToolboxArguments>();
    CLI::App* set = AddFontCommand(
        app, "set", "Set a font's interval, height limit or height, as the font panel does.", *setArgs);
    CLI::Option* interval =
        set->add_option("--interval", setArgs->interval, "columns between symbols, 0-15")
            ->check(AnyWholeNumber())
            ->type_name("I");
    CLI::Option* limit =
        set->add_option("--height-limit", setArgs->heightLimit, "rows a font 1 byte high prints, 1-8")
            ->check(AnyWholeNumber())
            ->type_name("L");
    CLI::Option* height =
        set->add_option("--height", setArgs->height, "bytes a column, 1-4 (the symbols keep their bottom rows)")
            ->check(AnyWholeNumber())
            ->type_name("H");
    AddOut(*set, *setArgs);
    set->callback([setArgs, interval, limit, height, &exitCode] {
        setArgs->hasInterval = interval->count() > 0;
        setArgs->hasHeightLimit = limit->count() > 0;
        setArgs->hasHeight = height->count() > 0;
        exitCode = RunSet(*setArgs);
    });

    auto copyArgs = std::make_shared<ToolboxArguments>();
    CLI::App* copy = app.add_subcommand("copy", "Add a copy of a font of SRC at the end of DEST.");
    copy->add_option("SRC", copyArgs->image, "the image the font comes from")->required();
    AddFont(*copy, *copyArgs, "the font of SRC, as info numbers it");
    copy->add_option("DEST", copyArgs->dest, "the image it goes to (created when it does not exist)")->required();
    AddOut(*copy, *copyArgs, "write the new DEST here (default: DEST)");
    copy->callback([copyArgs, &exitCode] { exitCode = RunCopy(*copyArgs); });
}
