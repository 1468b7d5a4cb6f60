#include "ImageCommands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "FontImage.h"
#include "Results.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage(const char* synopsis) {
    std::fprintf(stderr, "glyphmill: usage: glyphmill %s\n", synopsis);
    return kExitUsage;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "glyphmill: %s\n", message.c_str());
    return kExitFailed;
}

// Reads path as the editor's Open does: only a file of exactly the image's
// size is taken, and then only when it keeps to the format.
bool OpenImage(const std::string& path, FontImage& image, std::string& error) {
    const ScopedFile file = OpenFile(path, "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes(FontImage::kFileSize + 1);
    const size_t size = std::fread(bytes.data(), 1, bytes.size(), file.get());
    const bool readFailed = std::ferror(file.get()) != 0;
    if (readFailed) {
        error = "cannot read " + path;
        return false;
    }
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

int SaveImage(FontImage& image, const std::string& path) {
    const int result = image.Save(path);
    if (result == SaveResult::kSaved) return 0;
    return Fail("cannot save " + path + ": " + SaveResult::Message(result));
}

int InkedSymbols(const Font& font) {
    int inked = 0;
    for (int code = 0; code < Font::kSymbolCount; ++code) inked += font.IsSymbolEmpty(code) ? 0 : 1;
    return inked;
}

// Name bytes are any 8-bit values; both forms keep them readable on one line.
std::string QuotedName(const char* name, bool json) {
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

int RunNew(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("new FILE");
    FontImage image;
    if (!image.InitNew()) return Fail("out of memory");
    return SaveImage(image, args[0]);
}

int RunInfo(const std::vector<std::string>& args) {
    bool json = false;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--json")
            json = true;
        else if (!arg.empty() && arg[0] == '-')
            return Usage("info [--json] FILE");
        else
            files.push_back(arg);
    }
    if (files.size() != 1) return Usage("info [--json] FILE");
    FontImage image;
    std::string error;
    if (!OpenImage(files[0], image, error)) return Fail(error);

    if (json) std::printf("{\"fonts\": [\n");
    for (int i = 0; i < image.GetFontCount(); ++i) {
        char name[Font::kNameLength + 1];
        image.GetFontName(i, name);
        const Font& font = image.FontAt(i);
        const char* format = json ? "  {\"index\": %d, \"name\": %s, \"height\": %d, \"interval\": %d, "
                                    "\"heightLimit\": %d, \"inkedSymbols\": %d}%s\n"
                                  : "%d %s height %d interval %d limit %d inked %d%s\n";
        const char* separator = json && i + 1 < image.GetFontCount() ? "," : "";
        std::printf(format, i, QuotedName(name, json).c_str(), font.GetHeight(), font.GetInterval(),
                    font.GetHeightLimit(), InkedSymbols(font), separator);
    }
    if (json) std::printf("]}\n");
    return 0;
}

int RunCheck(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("check FILE");
    FontImage image;
    std::string error;
    if (!OpenImage(args[0], image, error)) return Fail(error);
    const int fonts = image.GetFontCount();
    std::printf("%s: valid font image, %d font%s\n", args[0].c_str(), fonts, fonts == 1 ? "" : "s");
    return 0;
}

int RunResave(const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage("resave IN OUT");
    FontImage image;
    std::string error;
    if (!OpenImage(args[0], image, error)) return Fail(error);
    return SaveImage(image, args[1]);
}

}  // namespace

bool IsImageCommand(const std::string& command) {
    return command == "new" || command == "info" || command == "check" || command == "resave";
}

int RunImageCommand(const std::string& command, int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    if (command == "new") return RunNew(args);
    if (command == "info") return RunInfo(args);
    if (command == "check") return RunCheck(args);
    return RunResave(args);
}
