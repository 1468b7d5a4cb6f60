// glyphmill printer's options, parsed as its command line gives them.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "PrinterCommand.h"

namespace {

std::optional<PrinterOptions> ParsePrinterOptions(std::vector<const char*> args) {
    PrinterOptions options;
    CLI::App command{"", "printer"};
    AddPrinterOptions(command, options);
    args.insert(args.begin(), "printer");
    try {
        command.parse(int(args.size()), args.data());
    } catch (const CLI::ParseError&) {
        return std::nullopt;
    }
    return options;
}

TEST(PrinterOptionsTest, ReadsEveryOptionAndRefusesBadOnes) {
    const auto options = ParsePrinterOptions({"--link", "/tmp/l", "--save", "s.bin", "--wrong", "5:3", "--fail", "7",
                                              "--garbage", "9", "--silent-after", "11", "--bad-crc", "2",
                                              "--exchanges", "0", "--timeout", "1.5", "--baud", "1200",
                                              "--answer-delay", "20"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->linkPath, "/tmp/l");
    EXPECT_EQ(options->savePath, "s.bin");
    EXPECT_EQ(options->wrongPage, 5);
    EXPECT_EQ(options->wrongTimes, 3);
    EXPECT_EQ(options->failPage, 7);
    EXPECT_EQ(options->garbagePage, 9);
    EXPECT_EQ(options->silentAfterPage, 11);
    EXPECT_EQ(options->badCrcBlock, 2);
    EXPECT_EQ(options->exchanges, 0);
    EXPECT_DOUBLE_EQ(options->timeoutSeconds, 1.5);
    EXPECT_EQ(options->baud, 1200);
    EXPECT_EQ(options->answerDelayMs, 20);

    for (std::vector<const char*> bad : {std::vector<const char*>{"--fail", "128"}, {"--wrong", "5"},
                                         {"--wrong", "x:1"}, {"--bogus", "1"}, {"--save"}, {"--timeout", "-1"},
                                         {"--timeout", "inf"}, {"--timeout", "nan"}, {"--timeout", "1e300"},
                                         {"--baud", "0"}}) {
        EXPECT_FALSE(ParsePrinterOptions(bad)) << bad[0];
    }
}

}  // namespace
