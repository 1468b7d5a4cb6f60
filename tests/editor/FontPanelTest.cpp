// The font panel: the list, Add and Delete Font, and the four fields with
// their Set buttons.
#include <windows.h>

#include "EditorTestSupport.h"

namespace {

class FontPanelTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        StartEditorHere();
        Menu(kCommandNew);
    }
};

TEST_F(FontPanelTest, AddFontAppendsAndSelectsUpToFifteen) {
    Click(AddFontButton());
    EXPECT_EQ(FontListItems().size(), 2u);
    EXPECT_EQ(SendMessageA(FontList(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Document()->GetCurrentFont(), 1);
    for (int i = 0; i < 13; ++i) Click(AddFontButton());
    EXPECT_TRUE(Script().messageBoxes.empty());
    PickFont(3);
    Click(AddFontButton());  // the sixteenth: refused, with the rule
    EXPECT_EQ(Document()->GetFontCount(), 15);
    EXPECT_EQ(FontListItems().size(), 15u);
    EXPECT_EQ(FontListItems()[14], "Font #14   \"Unnamed \"    (H = 1)");
    EXPECT_EQ(Document()->GetCurrentFont(), 14) << "the list is refilled all the same";
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text,
              "The image already holds 15 fonts: fonts are added up to 15 (only a file loaded with 16 holds more). "
              "No font was added.");
    EXPECT_EQ(Script().messageBoxes[0].caption, "Error");
    Menu(kCommandUndo);
    EXPECT_EQ(Document()->GetFontCount(), 14) << "the refused addition is no step";
    // The list that drops down grows with the fonts.
    RECT list;
    SendMessageA(FontList(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
    EXPECT_GT(list.bottom - list.top, 60);
}

TEST_F(FontPanelTest, DeleteFontKeepsTheIndexOrStepsBackFromTheEnd) {
    Click(AddFontButton());
    Click(AddFontButton());
    for (int i = 0; i < 3; ++i) {
        PickFont(i);
        Type(NameField(), ("F" + std::to_string(i)).c_str());
        Click(SetNameButton());
    }
    PickFont(1);
    Click(DeleteFontButton());
    EXPECT_EQ(Document()->GetCurrentFont(), 1);
    EXPECT_EQ(Text(NameField()), "F2      ");
    Click(DeleteFontButton());
    EXPECT_EQ(Document()->GetCurrentFont(), 0);
    EXPECT_EQ(Text(NameField()), "F0      ");
    Click(DeleteFontButton());  // the last font stays
    EXPECT_EQ(Document()->GetFontCount(), 1);
    EXPECT_EQ(FontListItems().size(), 1u);
}

TEST_F(FontPanelTest, SetNameCutsAndPadsToEight) {
    Type(NameField(), "Latinica1");  // the field takes more than Set reads
    Click(SetNameButton());
    EXPECT_EQ(Text(NameField()), "Latinica");
    Type(NameField(), "ab");
    Click(SetNameButton());
    EXPECT_EQ(Text(NameField()), "ab      ");
    EXPECT_EQ(FontListItems()[0], "Font #0   \"ab      \"    (H = 1)");
}

TEST_F(FontPanelTest, NumberFieldsAreClampedOnLeavingAndOnSet) {
    Type(HeightField(), "0");
    LeaveField(HeightField());
    EXPECT_EQ(Text(HeightField()), "1");
    Type(HeightField(), "9");
    LeaveField(HeightField());
    EXPECT_EQ(Text(HeightField()), "4");
    Type(IntervalField(), "99");
    LeaveField(IntervalField());
    EXPECT_EQ(Text(IntervalField()), "15");
    Type(IntervalField(), "");
    LeaveField(IntervalField());
    EXPECT_EQ(Text(IntervalField()), "");
    Click(SetIntervalButton());
    EXPECT_EQ(Document()->GetInterval(0), 0);
    EXPECT_EQ(Text(IntervalField()), "0");
    Type(HeightLimitField(), "9");
    Click(SetHeightLimitButton());
    EXPECT_EQ(Document()->GetHeightLimit(0), 8);
    Type(HeightLimitField(), "5");
    Click(SetHeightLimitButton());
    EXPECT_EQ(Document()->GetHeightLimit(0), 5);
    EXPECT_EQ(Document()->FontAt(0).At(65).heightLimit, 5);
    // Leaving the field never touches the model.
    Type(IntervalField(), "3");
    LeaveField(IntervalField());
    EXPECT_EQ(Document()->GetInterval(0), 0);
    EXPECT_TRUE(Script().messageBoxes.empty());
}

TEST_F(FontPanelTest, RaisingTheHeightNeverAsksLoweringAlwaysDoes) {
    Type(HeightField(), "9");
    Click(SetHeightButton());
    EXPECT_TRUE(Script().messageBoxes.empty());
    EXPECT_EQ(Document()->GetFontHeight(0), 4);
    EXPECT_EQ(FontListItems()[0], "Font #0   \"Unnamed \"    (H = 4)");
    // The height limit belongs to one-byte fonts only, but still shows.
    EXPECT_FALSE(IsWindowEnabled(HeightLimitField()));
    EXPECT_FALSE(IsWindowEnabled(SetHeightLimitButton()));
    EXPECT_EQ(Text(HeightLimitField()), "8");

    Script().messageBoxAnswers = {IDCANCEL};
    Type(HeightField(), "2");
    Click(SetHeightButton());
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].text, "You want font height change. Some part of data may be lost. Continue?");
    EXPECT_EQ(Script().messageBoxes[0].caption, "Warning");
    EXPECT_EQ(Script().messageBoxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING));
    EXPECT_EQ(Document()->GetFontHeight(0), 4);
    EXPECT_EQ(Text(HeightField()), "4");

    Script().messageBoxAnswers = {IDOK};
    Type(HeightField(), "1");
    Click(SetHeightButton());
    EXPECT_EQ(Document()->GetFontHeight(0), 1);
    EXPECT_EQ(Document()->FontAt(0).At(200).height, 1);
    EXPECT_TRUE(IsWindowEnabled(HeightLimitField()));
}

TEST_F(FontPanelTest, LoweringTheLimitAsksWhenASaveWouldClearInk) {
    Document()->FontAt(0).At('A').data[0] = 0xDE;  // ink in rows 0 and 5
    const struct {
        const char* limit;
        int answer;
        bool asks;
        int result;
    } rows[] = {
        {"7", IDCANCEL, false, 7},  // nothing inked from row 7 up
        {"6", IDCANCEL, false, 6},
        {"5", IDCANCEL, true, 6},  // row 5 would go: Cancel keeps 6
        {"3", IDOK, true, 3},
        {"8", IDCANCEL, false, 8},  // raising never asks
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.limit);
        Script().messageBoxes.clear();
        Script().messageBoxAnswers = {row.answer};
        Type(HeightLimitField(), row.limit);
        Click(SetHeightLimitButton());
        ASSERT_EQ(Script().messageBoxes.size(), row.asks ? 1u : 0u);
        if (row.asks) {
            EXPECT_EQ(Script().messageBoxes[0].text,
                      "You want font height change. Some part of data may be lost. Continue?");
            EXPECT_EQ(Script().messageBoxes[0].caption, "Warning");
            EXPECT_EQ(Script().messageBoxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING));
        }
        EXPECT_EQ(Document()->GetHeightLimit(0), row.result);
        EXPECT_EQ(Text(HeightLimitField()), std::to_string(row.result));
    }
}

TEST_F(FontPanelTest, SelectingAFontShowsItsFieldsAndRedrawsTheTable) {
    Click(AddFontButton());
    Type(HeightField(), "3");
    Click(SetHeightButton());
    Type(IntervalField(), "12");
    Click(SetIntervalButton());
    PickFont(0);
    EXPECT_EQ(Document()->GetCurrentFont(), 0);
    EXPECT_EQ(Text(HeightField()), "1");
    EXPECT_EQ(Text(IntervalField()), "1");
    PickFont(1);
    EXPECT_EQ(Document()->GetCurrentFont(), 1);
    EXPECT_EQ(Text(HeightField()), "3");
    EXPECT_EQ(Text(IntervalField()), "12");
    EXPECT_FALSE(IsWindowEnabled(SetHeightLimitButton()));
}

}  // namespace
