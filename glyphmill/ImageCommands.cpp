#include "ImageCommands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "CommandLine.h"
#include "FontImage.h"
#include "Results.h"

FileRead ReadImageFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    const ScopedFile file = OpenFile(path, "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return FileRead::kNotOpened;
    }
    bytes.resize(FontImage::kFileSize + 1);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    if (std::ferror(file.get()) != 0) {
        error = "cannot read " + path;
        return FileRead::kNotRead;
    }
    return FileRead::kRead;
}

bool ImageFromBytes(const std::string& path, const std::vector<uint8_t>& bytes, FontImage& image, std::string& error) {
    const size_t size = bytes.size();
    if (size != static_cast<size_t>(FontImage::kFileSize)) {
        error = path + ": " + (size > static_cast<size_t>(FontImage::kFileSize) ? "more than 65536" : std::to_string(size)) +
                " bytes, a font image has 65536";
        return false;
    }
    std::string why;
    int result = CheckFontImage(bytes.data(), FontImage::kFileSize, &why);
    if (result == LoadResult::kLoaded) result = image.Deserialize(bytes.data(), FontImage::kFileSize);
    if (result == LoadResult::kLoaded) return true;
    error = path + ": not a valid font image: " + (why.empty() ? LoadResult::Message(result) : why);
    return false;
}

bool OpenImage(const std::string& path, FontImage& image, std::string& error) {
    std::vector<uint8_t> bytes;
    return ReadImageFile(path, bytes, error) == FileRead::kRead && ImageFromBytes(path, bytes, image, error);
}

int SaveImage(FontImage& image, const std::string& path) {
    const int result = image.Save(path);
    if (result == SaveResult::kSaved) return ExitCode::kDone;
    return Fail("cannot save " + path + ": " + SaveResult::Message(result));
}

namespace {

int InkedSymbols(const Font& font) {
    int inked = 0;
    for (int code = 0; code < Font::kSymbolCount; ++code) inked += font.IsSymbolEmpty(code) ? 0 : 1;
    return inked;
}

}  // namespace

// Name bytes are any 8-bit values; both forms keep them readable on one line.
std::string QuotedName(const FontImage& image, int index, bool json) {
    char name[Font::kNameLength + 1];
    image.GetFontName(index, name);
    std::string quoted = "\"";
    for (int i = 0; i < Font::kNameLength; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        char escaped[8];
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            quoted += static_cast<char>(c);
        } else {
            std::snprintf(escaped, sizeof escaped, json ? "\\u%04x" : "\\x%02x", c);
            quoted += escaped;
        }
    }
    return quoted + "\"";
}

namespace {

int RunInfo(const std::string& path, bool json) {
    FontImage image;
    std::string error;
    if (!OpenImage(path, image, error)) return Fail(error);

    if (json) std::printf("{\"fonts\": [\n");
    for (int i = 0; i < image.GetFontCount(); ++i) {
        const Font& font = image.FontAt(i);
        const char* format = json ? "  {\"index\": %d, \"name\": %s, \"height\": %d, \"interval\": %d, "
                                    "\"heightLimit\": %d, \"inkedSymbols\": %d}%s\n"
                                  : "%d %s height %d interval %d limit %d inked %d%s\n";
        const char* separator = json && i + 1 < image.GetFontCount() ? "," : "";
        std::printf(format, i, QuotedName(image, i, json).c_str(), font.GetHeight(), font.GetInterval(),
                    font.GetHeightLimit(), InkedSymbols(font), separator);
    }
    if (json) std::printf("]}\n");
    return ExitCode::kDone;
}

int RunCheck(const std::string& path) {
    FontImage image;
    std::string error;
    if (!OpenImage(path, image, error)) return Fail(error);
    const int fonts = image.GetFontCount();
    std::printf("%s: valid font image, %d font%s\n", path.c_str(), fonts, fonts == 1 ? "" : "s");
    return ExitCode::kDone;
}

int RunResave(const std::string& in, const std::string& out) {
    FontImage image;
    std::string error;
    if (!OpenImage(in, image, error)) return Fail(error);
    return SaveImage(image, out);
}

int RunNew(const std::string& path) {
    FontImage image;
    if (!image.InitNew()) return Fail("out of memory");
    return SaveImage(image, path);
}

struct ImageArguments {
    std::string file, out;
    bool json = false;
};

}  // namespace

void AddImageCommands(CLI::App& app, int& exitCode) {
    auto args = std::make_shared<ImageArguments>();
    CLI::App* create = app.add_subcommand("new", "Write a new document's font image: one blank font.");
    create->add_option("FILE", args->file, "the image to write")->required();
    create->callback([args, &exitCode] { exitCode = RunNew(args->file); });

    CLI::App* info = app.add_subcommand("info", "List the fonts of an image: name, height, interval, limit, inked symbols.");
    info->add_flag("--json", args->json, "print JSON");
    info->add_option("FILE", args->file, "the image")->required();
    info->callback([args, &exitCode] { exitCode = RunInfo(args->file, args->json); });

    CLI::App* check = app.add_subcommand("check", "Exit 0 for a valid font image, else say why and exit 1.");
    check->add_option("FILE", args->file, "the image")->required();
    check->callback([args, &exitCode] { exitCode = RunCheck(args->file); });

    CLI::App* resave = app.add_subcommand("resave", "Load IN and save it as OUT, as the editor would.");
    resave->add_option("IN", args->file, "the image to read")->required();
    resave->add_option("OUT", args->out, "the image to write")->required();
    resave->callback([args, &exitCode] { exitCode = RunResave(args->file, args->out); });
}
