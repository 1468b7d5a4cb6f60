#include "ImageCommands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "Charsets.h"
#include "CommandLine.h"
#include "FontImage.h"
#include "Results.h"

namespace {

constexpr char kStandardStream[] = "-";

std::string Shown(const std::string& path) { return path == kStandardStream ? "standard input" : path; }

}  // namespace

namespace {

int ReportRead(const std::string& path, const FileRead& read) {
    if (read) return ExitCode::kDone;
    const char* verb = read.result == ReadResult::kNotOpened ? "cannot open " : "cannot read ";
    return Fail(verb + Shown(path) + ": " + read.reason, ExitCode::ForRead(read.result));
}

}  // namespace

int ReadInputFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes) {
    return ReportRead(path, ReadAtMost(path, limit, bytes));
}

int ReadImageFile(const std::string& path, std::vector<uint8_t>& bytes) {
    const size_t limit = FontImage::kFileSize + 1;
    if (path != kStandardStream) return ReadInputFile(path, limit, bytes);
    UseBinaryMode(stdin);
    return ReportRead(path, ReadAtMost(stdin, limit, bytes));
}

bool ImageFromBytes(const std::string& path, const std::vector<uint8_t>& bytes, FontImage& image, std::string& error) {
    const size_t size = bytes.size();
    if (size != static_cast<size_t>(FontImage::kFileSize)) {
        error = Shown(path) + ": " +
                (size > static_cast<size_t>(FontImage::kFileSize) ? "more than 65536" : std::to_string(size)) +
                " bytes, a font image has 65536";
        return false;
    }
    std::string why;
    int result = CheckFontImage(bytes.data(), FontImage::kFileSize, &why);
    if (result == LoadResult::kLoaded) result = image.Deserialize(bytes.data(), FontImage::kFileSize);
    if (result == LoadResult::kLoaded) return true;
    error = Shown(path) + ": not a valid font image: " + (why.empty() ? LoadResult::Message(result) : why);
    return false;
}

int OpenImage(const std::string& path, FontImage& image) {
    std::vector<uint8_t> bytes;
    if (const int failed = ReadImageFile(path, bytes); failed != ExitCode::kDone) return failed;
    std::string error;
    return ImageFromBytes(path, bytes, image, error) ? ExitCode::kDone : Fail(error, ExitCode::kBadImage);
}

int CheckFontIndex(const FontImage& image, int index) {
    if (index >= 0 && index < image.GetFontCount()) return ExitCode::kDone;
    const int count = image.GetFontCount();
    return Fail("the image has " + std::to_string(count) + " font" + (count == 1 ? "" : "s") + ": --font takes 0" +
                    (count > 1 ? " to " + std::to_string(count - 1) : ""),
                ExitCode::kUsage);
}

int OpenImageFont(const std::string& path, int font, FontImage& image) {
    const int opened = OpenImage(path, image);
    return opened == ExitCode::kDone ? CheckFontIndex(image, font) : opened;
}

namespace {

// --force is offered only where it would help: for a read-only file of the user's.
int ReportRefusal(const std::string& path, const FileWrite& write) {
    if (write.result == WriteResult::kReadOnly)
        return Fail(path + " is read-only: left as it was (--force replaces a read-only file of yours)",
                    ExitCode::kFileNotWritten);
    if (write.result == WriteResult::kNotYours)
        return Fail(path + " is read-only and not yours: left as it was", ExitCode::kFileNotWritten);
    return Fail("cannot write " + path + ": " + write.reason, ExitCode::kFileNotWritten);
}

}  // namespace

int WriteOut(const std::string& path, const uint8_t* bytes, size_t size, bool force) {
    if (path == kStandardStream) {
        UseBinaryMode(stdout);
        if (std::fwrite(bytes, 1, size, stdout) == size && std::fflush(stdout) == 0) return ExitCode::kDone;
        const int error = errno;
        std::clearerr(stdout);  // said once, here
        return Fail(std::string("cannot write standard output: ") + std::strerror(error), ExitCode::kFileNotWritten);
    }
    const FileWrite written = WriteFileAtomically(path, bytes, size, force);
    return written ? ExitCode::kDone : ReportRefusal(path, written);
}

int CheckWritable(const std::string& path, bool force) {
    if (path == kStandardStream) return ExitCode::kDone;
    const FileWrite check = CheckReplaceable(path, force);
    return check ? ExitCode::kDone : ReportRefusal(path, check);
}

int CheckOutputApart(const std::string& out, const std::string& input) {
    std::error_code unknown;  // either file missing: not the same file
    if (input.empty() || out == kStandardStream || input == kStandardStream ||
        !std::filesystem::equivalent(out, input, unknown))
        return ExitCode::kDone;
    return Fail(out + " and " + input + " are the same file: an output never replaces its input");
}

int CheckSavedToFile(const std::string& out) {
    if (out != kStandardStream) return ExitCode::kDone;
    return Fail("the image would go to standard output, where this command writes its report: name a file with -o",
                ExitCode::kUsage);
}

int SaveImage(FontImage& image, const std::string& path, bool force) {
    std::vector<uint8_t> bytes;
    const int result = image.Serialize(bytes);
    if (result != SaveResult::kSaved) return Fail("cannot save " + path + ": " + SaveResult::Message(result));
    return WriteOut(path, bytes.data(), bytes.size(), force);
}

void AddOutputOption(CLI::App& command, std::string& out, const std::string& what) {
    command.add_option("-o,--output", out, what)
        ->type_name("OUT")
        ->check(CLI::Validator(
            [](const std::string& path) {
                return path == kStandardStream ? "this command writes its report on standard output: name a file" : "";
            },
            ""));
}

void AddSaveOptions(CLI::App& command, SaveTarget& target) {
    AddOutputOption(command, target.out, "save the changed image here (default: in place)");
    AddForceOption(command, target.force);
}

CLI::Option* AddCharsetOption(CLI::App& command, std::string& charset, const std::string& what) {
    return command.add_option("--charset", charset, what)
        ->check(CLI::IsMember(CharsetNames()))
        ->type_name("CS")
        ->capture_default_str();
}

void AddForceOption(CLI::App& command, bool& force) {
    command.add_flag("--force", force, "replace the file even when it is read-only (a file of yours)");
}

namespace {

int InkedSymbols(const Font& font) {
    int inked = 0;
    for (int code = 0; code < Font::kSymbolCount; ++code) inked += font.IsSymbolEmpty(code) ? 0 : 1;
    return inked;
}

}  // namespace

// Name bytes are any 8-bit values; both forms keep them readable on one line.
std::string QuotedName(const FontImage& image, int index, const Charset& charset, bool json) {
    char name[Font::kNameLength + 1];
    image.GetFontName(index, name);
    std::string quoted = "\"";
    for (int i = 0; i < Font::kNameLength; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const char32_t character = charset.unicode[byte];
        char escaped[8];
        if (character == U'"' || character == U'\\') {
            quoted += '\\';
            quoted += static_cast<char>(character);
        } else if (IsShownCharacter(character)) {
            quoted += EncodeUtf8(character);
        } else if (json) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(character));
            quoted += escaped;
        } else {
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            quoted += escaped;
        }
    }
    return quoted + "\"";
}

namespace {

int RunInfo(const std::string& path, bool json, const std::string& charsetName) {
    Charset charset;
    std::string error;
    if (!LoadCharset(charsetName, charset, error)) return Fail(error);
    FontImage image;
    if (const int failed = OpenImage(path, image); failed != ExitCode::kDone) return failed;

    if (json) std::printf("{\"fonts\": [\n");
    for (int i = 0; i < image.GetFontCount(); ++i) {
        const Font& font = image.FontAt(i);
        const char* format = json ? "  {\"index\": %d, \"name\": %s, \"height\": %d, \"interval\": %d, "
                                    "\"heightLimit\": %d, \"inkedSymbols\": %d}%s\n"
                                  : "%d %s height %d interval %d limit %d inked %d%s\n";
        const char* separator = json && i + 1 < image.GetFontCount() ? "," : "";
        std::printf(format, i, QuotedName(image, i, charset, json).c_str(), font.GetHeight(), font.GetInterval(),
                    font.GetHeightLimit(), InkedSymbols(font), separator);
    }
    if (json) std::printf("]}\n");
    return ExitCode::kDone;
}

int RunCheck(const std::string& path) {
    FontImage image;
    if (const int failed = OpenImage(path, image); failed != ExitCode::kDone) return failed;
    const int fonts = image.GetFontCount();
    std::printf("%s: valid font image, %d font%s\n", path.c_str(), fonts, fonts == 1 ? "" : "s");
    return ExitCode::kDone;
}

int RunResave(const std::string& in, const std::string& out, bool force) {
    FontImage image;
    if (const int failed = OpenImage(in, image); failed != ExitCode::kDone) return failed;
    return SaveImage(image, out, force);
}

int RunNew(const std::string& path, bool force) {
    std::error_code ignored;
    if (!force && path != kStandardStream && std::filesystem::exists(path, ignored))
        return Fail(path + " exists: left as it was (--force replaces it)");
    FontImage image;
    if (!image.InitNew()) return Fail("out of memory");
    return SaveImage(image, path, force);
}

struct ImageArguments {
    std::string file, out;
    std::string charset = "cp1252";
    bool json = false;
    bool force = false;
};

}  // namespace

void AddImageCommands(CLI::App& app, int& exitCode) {
    auto args = std::make_shared<ImageArguments>();
    CLI::App* create = app.add_subcommand("new", "Write a new document's font image: one blank font.");
    create->add_option("FILE", args->file, "the image to write (-: standard output)")->required();
    create->add_flag("--force", args->force, "replace FILE when it exists, even when it is read-only (a file of yours)");
    create->callback([args, &exitCode] { exitCode = RunNew(args->file, args->force); });

    CLI::App* info = app.add_subcommand("info", "List the fonts of an image: name, height, interval, limit, inked symbols.");
    info->add_flag("--json", args->json, "print JSON");
    AddCharsetOption(*info, args->charset, "the code page the fonts' names are shown in");
    info->add_option("FILE", args->file, "the image (-: standard input)")->required();
    info->callback([args, &exitCode] { exitCode = RunInfo(args->file, args->json, args->charset); });

    CLI::App* check = app.add_subcommand("check", "Exit 0 for a valid font image, else say why and exit 10 (12 or 13: it cannot be opened or read).");
    check->add_option("FILE", args->file, "the image")->required();
    check->callback([args, &exitCode] { exitCode = RunCheck(args->file); });

    CLI::App* resave = app.add_subcommand("resave", "Load IN and save it as OUT, as the editor would.");
    resave->add_option("IN", args->file, "the image to read (-: standard input)")->required();
    resave->add_option("OUT", args->out, "the image to write (-: standard output)")->required();
    AddForceOption(*resave, args->force);
    resave->callback([args, &exitCode] { exitCode = RunResave(args->file, args->out, args->force); });
}
