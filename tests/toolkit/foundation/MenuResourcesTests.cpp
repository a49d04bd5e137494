// The resource formats that come with menus and toolbars, read from word and byte arrays as a
// resource compiler lays them out, including damaged ones that end too early.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/foundation/MenuResources.h"

TEST(MenuResources, PopupIdRecordsUpToTheEndRecordOrTheEndOfTheWords)
{
    // The application's own list: File, View, the two grid pop-ups under View, Help.
    const std::vector<std::uint16_t> words{40002, 1, 0, 40006, 2, 0, 40007, 2, 7, 0, 40009, 2, 8, 0, 40015, 4, 0, 0};
    const auto records = YYReadMenuPopupIds(words);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[2].Command, 40007);
    EXPECT_EQ(records[2].Positions, (std::vector<std::uint16_t>{2, 7}));
    EXPECT_EQ(records[4].Positions, (std::vector<std::uint16_t>{4}));

    // Cut inside a record: what was read is kept, nothing is read past the end.
    const std::vector<std::uint16_t> cut{40002, 1, 0, 40006, 2};
    const auto partial = YYReadMenuPopupIds(cut);
    ASSERT_EQ(partial.size(), 2u);
    EXPECT_EQ(partial[1].Positions, (std::vector<std::uint16_t>{2}));
    EXPECT_TRUE(YYReadMenuPopupIds({}).empty());
}

TEST(MenuResources, ToolbarButtonsEndAtTwoZeroWords)
{
    struct Case {
        std::vector<std::uint16_t> words;
        int width, height;
        std::vector<std::uint16_t> commands;
    };
    const Case cases[] = {
        // The application's toolbar: separators are single zeros.
        {{16, 16, 40023, 0, 40024, 40018, 0, 40021, 0, 40014, 0, 40057, 0, 0},
         16, 16, {40023, 0, 40024, 40018, 0, 40021, 0, 40014, 0, 40057}},
        {{24, 20, 7, 0, 0, 9}, 24, 20, {7}},  // nothing after the end is a button
        {{24, 20, 7, 0}, 24, 20, {7}},        // a last lone zero at the very end ends the list too
        {{24}, 24, 16, {}},                   // too short for a height
        {{}, 16, 16, {}},
    };
    for (const Case& c : cases) {
        const ToolbarResource toolbar = YYReadToolbarResource(c.words);
        EXPECT_EQ(toolbar.ImageWidth, c.width);
        EXPECT_EQ(toolbar.ImageHeight, c.height);
        EXPECT_EQ(toolbar.Commands, c.commands);
    }
}

TEST(MenuResources, HelpTextsByCommandWithinTheirBytes)
{
    using namespace std::string_literals;
    const std::string records = "\x58\x9C"s + "Autoscale Graphs\0"s + "\x63\x9C"s + "Toggle View of Labels\0"s + "\0\0"s +
                                "\x01\x00"s + "after the end\0"s;
    std::string text = "unchanged";
    EXPECT_TRUE(YYMenuStringLookUp(records, 40024, text));
    EXPECT_EQ(text, "Autoscale Graphs");
    EXPECT_TRUE(YYMenuStringLookUp(records, 40035, text));
    EXPECT_EQ(text, "Toggle View of Labels");
    text = "unchanged";
    EXPECT_FALSE(YYMenuStringLookUp(records, 1, text));  // past the end record
    EXPECT_FALSE(YYMenuStringLookUp(records, 40019, text));
    EXPECT_EQ(text, "unchanged");

    // A text without its terminator at the end of the resource ends there.
    const std::string cut = "\x58\x9C"s + "Autosc"s;
    EXPECT_TRUE(YYMenuStringLookUp(cut, 40024, text));
    EXPECT_EQ(text, "Autosc");
    EXPECT_FALSE(YYMenuStringLookUp("\x58"s, 40024, text));  // half an identifier
    EXPECT_FALSE(YYMenuStringLookUp({}, 40024, text));
}
