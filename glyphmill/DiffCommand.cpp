#include "DiffCommand.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "CommandLine.h"
#include "FontComparison.h"
#include "FontImage.h"
#include "ImageCommands.h"
#include "Results.h"

namespace {

std::string FontLabel(const FontImage& image, int index) {
    return "font " + std::to_string(index) + " " + QuotedName(image, index);
}

const char* SettingName(FontDifference::What what) {
    switch (what) {
        case FontDifference::kHeight: return "height";
        case FontDifference::kInterval: return "interval";
        case FontDifference::kHeightLimit: return "height limit";
        default: return "width";
    }
}

std::string Describe(const FontDifference& difference, const FontImage& first, const std::string& firstPlace,
                     const FontImage& second, const std::string& secondPlace) {
    const int font = difference.font;
    switch (difference.what) {
        case FontDifference::kOnlyInFirst: return FontLabel(first, font) + ": only in " + firstPlace;
        case FontDifference::kOnlyInSecond: return FontLabel(second, font) + ": only in " + secondPlace;
        case FontDifference::kName:
            return FontLabel(first, font) + ": named " + QuotedName(second, font) + " in " + secondPlace;
        case FontDifference::kColumns:
            return FontLabel(first, font) + ", code " + std::to_string(difference.code) +
                   ": the columns differ (width " + std::to_string(difference.first) + ")";
        default: break;
    }
    const std::string where = difference.code < 0 ? "" : ", code " + std::to_string(difference.code);
    return FontLabel(first, font) + where + ": " + SettingName(difference.what) + " " +
           std::to_string(difference.first) + " in " + firstPlace + ", " + std::to_string(difference.second) + " in " +
           secondPlace;
}

// Says why path could not be opened as an image: 12 or 13 for a file that
// could not be read, else 10, never the 1 of images that differ.
int OpenFailure(const std::string& path, const std::string& error) {
    const int code = ReadFailureCode(path);
    return Fail(error, code == ExitCode::kFailed ? TransferResult::ExitCodeFor(TransferResult::kBadImage) : code);
}

int RunDiff(const std::string& firstPath, const std::string& secondPath) {
    FontImage first, second;
    std::string error;
    if (!OpenImage(firstPath, first, error)) return OpenFailure(firstPath, error);
    if (!OpenImage(secondPath, second, error)) return OpenFailure(secondPath, error);
    const bool identical = PrintDifferences(first, firstPath, second, secondPath) == 0;
    return identical ? ExitCode::kDone : TransferResult::ExitCodeFor(TransferResult::kDifferent);
}

struct DiffArguments {
    std::string first, second;
};

}  // namespace

int PrintDifferences(const FontImage& first, const std::string& firstPlace, const FontImage& second,
                     const std::string& secondPlace) {
    const std::vector<FontDifference> differences = CompareFonts(first, second);
    for (const FontDifference& difference : differences)
        std::printf("%s\n", Describe(difference, first, firstPlace, second, secondPlace).c_str());
    const size_t count = differences.size();
    if (count == 0) std::printf("identical\n");
    else std::printf("%zu difference%s\n", count, count == 1 ? "" : "s");
    return static_cast<int>(count);
}

void AddDiffCommand(CLI::App& app, int& exitCode) {
    auto args = std::make_shared<DiffArguments>();
    CLI::App* diff = app.add_subcommand(
        "diff", "Compare the fonts of two images as verify does: \"identical\", or each difference.");
    diff->add_option("A", args->first, "the first image")->required();
    diff->add_option("B", args->second, "the second image")->required();
    diff->footer("Exit codes:\n  0    identical\n  1    the images differ\n  2    a wrong command line\n"
                 "  10   not a valid font image\n  12   a file missing or not to be opened\n  13   reading a file failed");
    diff->callback([args, &exitCode] { exitCode = RunDiff(args->first, args->second); });
}
