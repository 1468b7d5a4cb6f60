// glyphmill diff: verify's comparison between two image files.
#include <gtest/gtest.h>

#include "FontImage.h"
#include "Results.h"
#include "ToolRun.h"

namespace {

TEST(Diff, IdenticalImagesAndOneSymbolThatDiffers) {
    const std::string first = Scratch("diff-a.bin"), second = Scratch("diff-b.bin");
    FontImage image;
    ASSERT_EQ(image.InitNew(), 1);
    image.SetFontName(0, "Sample");
    ASSERT_EQ(image.Save(first), SaveResult::kSaved);
    ASSERT_EQ(image.Save(second), SaveResult::kSaved);

    Outcome run = Glyphmill("diff " + first + " " + second);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "identical\n");

    image.FontAt(0).At('A').data[0] = 0x00;
    ASSERT_EQ(image.Save(second), SaveResult::kSaved);
    run = Glyphmill("diff " + first + " " + second);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "font 0 \"Sample  \", code 65: the columns differ (width 1)\n1 difference\n");

    run = Glyphmill("diff " + first + " " + Scratch("diff-missing.bin"));
    EXPECT_EQ(run.exitCode, 12);
    EXPECT_NE(run.err.find("cannot open"), std::string::npos) << run.err;
    run = Glyphmill("diff " + first + " " + GLYPHMILL_TOOL);
    EXPECT_EQ(run.exitCode, 10);
}

}  // namespace
