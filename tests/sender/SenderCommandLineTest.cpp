#include <gtest/gtest.h>

#include "SenderCommandLine.h"

namespace {

TEST(CommandLine, QuotedPathRunsToTheClosingQuote) {
    EXPECT_EQ(PathFromCommandLine("glysend.exe -fn:\"C:\\Temp\\current.bin\""), "C:\\Temp\\current.bin");
    EXPECT_EQ(PathFromCommandLine("\"C:\\a b\\glysend.exe\" -fn:\"C:\\My Fonts\\a.bin\" x"), "C:\\My Fonts\\a.bin");
    EXPECT_EQ(PathFromCommandLine("glysend.exe -fn:\"C:\\unterminated path"), "C:\\unterminated path");
}

TEST(CommandLine, UnquotedPathEndsAtTheFirstBlank) {
    EXPECT_EQ(PathFromCommandLine("glysend.exe -fn:C:\\My Fonts\\a.bin"), "C:\\My");
    EXPECT_EQ(PathFromCommandLine("glysend.exe -fn:a.bin"), "a.bin");
    EXPECT_EQ(PathFromCommandLine("glysend.exe -fn: a.bin"), "");
}

TEST(CommandLine, OptionNeedsABlankBeforeItAndExactCase) {
    EXPECT_EQ(PathFromCommandLine("-fn:a.bin"), std::nullopt);
    EXPECT_EQ(PathFromCommandLine("glysend.exe -FN:a.bin"), std::nullopt);
    EXPECT_EQ(PathFromCommandLine("glysend.exe"), std::nullopt);
    EXPECT_EQ(PathFromCommandLine("glysend.exe -fn:a.bin -fn:b.bin"), "a.bin");
}

TEST(CommandLine, LongPathsAreHeldWhole) {
    const std::string longPath = "C:\\" + std::string(2000, 'd') + "\\" + std::string(300, 'f') + ".bin";
    EXPECT_EQ(PathFromCommandLine("glysend.exe -fn:\"" + longPath + "\""), longPath);
    EXPECT_EQ(DisplayNameOf(longPath), std::string(300, 'f') + ".bin");
}

TEST(DisplayName, IsThePartAfterTheLastBackslash) {
    EXPECT_EQ(DisplayNameOf("C:\\Temp\\current.bin"), "current.bin");
    EXPECT_EQ(DisplayNameOf("current.bin"), "current.bin");
    EXPECT_EQ(DisplayNameOf("C:\\Temp\\"), "");
    EXPECT_EQ(DisplayNameOf(""), "");
}

}  // namespace
