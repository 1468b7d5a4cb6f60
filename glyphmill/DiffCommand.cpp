#include "DiffCommand.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "Charsets.h"
#include "CommandLine.h"
#include "FontComparison.h"
#include "FontImage.h"
#include "ImageCommands.h"

namespace {

std::string FontLabel(const FontImage& image, int index) {
    return "font " + std::to_string(index) + " " + QuotedName(image, index, DefaultCharset());
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
            return FontLabel(first, font) + ": named " + QuotedName(second, font, DefaultCharset()) + " in " + secondPlace;
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

int RunDiff(const std::string& firstPath, const std::string& secondPath) {
    FontImage first, second;
    if (const int failed = OpenImage(firstPath, first); failed != ExitCode::kDone) return failed;
    if (const int failed = OpenImage(secondPath, second); failed != ExitCode::kDone) return failed;
    const bool identical = PrintDifferences(first, firstPath, second, secondPath) == 0;
    return identical ? ExitCode::kDone : ExitCode::kFailed;
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
    diff->footer(ExitCode::Listed({{ExitCode::kDone, "identical"},
                                   {ExitCode::kFailed, "the images differ"},
                                   {ExitCode::kUsage},
                                   {ExitCode::kBadImage},
                                   {ExitCode::kFileNotOpened},
                                   {ExitCode::kFileNotRead}}));
    diff->callback([args, &exitCode] { exitCode = RunDiff(args->first, args->second); });
}
