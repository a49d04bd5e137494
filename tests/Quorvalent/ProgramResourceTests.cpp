// The resources stored in the program file: menu 30001 with its pop-up identifiers and help
// texts, the toolbar tips, toolbar 30104 with its bitmap, and the icon. Read from the program
// file itself, as the program finds them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MenuResources.h"
#include "toolkit/foundation/WinApi.h"

namespace {

class ProgramResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module_ = LoadLibraryExA(QV_PROGRAM_FILE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite()
    {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << QV_PROGRAM_FILE; }
    static std::string_view bytes(LPCSTR name, LPCSTR type)
    {
        HRSRC resource = FindResourceA(module_, name, type);
        if (!resource) return {};
        const void* data = LockResource(LoadResource(module_, resource));
        return {static_cast<const char*>(data), SizeofResource(module_, resource)};
    }
    static std::span<const std::uint16_t> words(int id)
    {
        const std::string_view b = bytes(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
        return {reinterpret_cast<const std::uint16_t*>(b.data()), b.size() / 2};
    }
    static inline HMODULE module_ = nullptr;
};

// One line per menu entry, depth-first: indentation by level, "-" a separator, "text id" an item,
// "text >" a pop-up.
void describe(HMENU menu, int level, std::vector<std::string>& lines)
{
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        const std::string indent(2 * static_cast<std::size_t>(level), ' ');
        if (info.fType & MFT_SEPARATOR) {
            lines.push_back(indent + "-");
        } else if (info.hSubMenu) {
            lines.push_back(indent + text + " >");
            describe(info.hSubMenu, level + 1, lines);
        } else {
            lines.push_back(indent + text + " " + std::to_string(info.wID));
        }
    }
}

TEST_F(ProgramResources, MenuHoldsTheEntriesInOrderWithTheirTextsAndIdentifiers)
{
    MenuHandle menu(LoadMenuA(module_, MAKEINTRESOURCEA(30001)));
    ASSERT_TRUE(menu);
    std::vector<std::string> lines;
    describe(menu.get(), 0, lines);
    const std::vector<std::string> expected = {
        "&File >",
        "  Export &Synthetics to ASCII File 40004",
        "  Export &Model to ASCII File 40003",
        "  -",
        "  Export in MODALL format 40016",
        "  -",
        "  Print 40023",
        "  -",
        "  E&xit 40001",
        "View >",
        "  &Zoom 40024",
        "  &UnZoom 40018",
        "  -",
        "  L&inear Depth Axis 40020",
        "  &Labels 40019",
        "  -",
        "  Grid on Curve Graph >",
        "    Major Axes 40008",
        "    Minor Axes 40011",
        "  Grid on Model Graph >",
        "    Major Axes 40012",
        "    Minor Axes 40013",
        "  -",
        "  &Properties 40021",
        "Calculate/Model Suite 40014",
        "Help >",
        "  Contents 40057",
        "  About Quorvalent 40005",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(ProgramResources, PopUpsGetTheirIdentifiersByPosition)
{
    const std::vector<MenuPopupIdRecord> records = YYReadMenuPopupIds(words(30001));
    std::vector<std::pair<int, std::vector<std::uint16_t>>> got;
    for (const MenuPopupIdRecord& r : records) got.emplace_back(r.Command, r.Positions);
    const std::vector<std::pair<int, std::vector<std::uint16_t>>> expected = {
        {40002, {1}}, {40006, {2}}, {40007, {2, 7}}, {40009, {2, 8}}, {40015, {4}}};
    EXPECT_EQ(got, expected);
}

// Every command identifier from 40001 to 40057: its status-bar help text ("" none) and its tip
// (none where the string table has no entry).
TEST_F(ProgramResources, HelpTextsAndTipsAreThoseOfEachCommand)
{
    struct Texts {
        int id;
        const char* help;
        const char* tip;
    };
    const Texts table[] = {
        {40003, "Export Model to ASCII File", ""},
        {40004, "Export Synthetics to ASCII File", ""},
        {40008, "Toggle Major Axes on Curve Graph", ""},
        {40009, "Toggle Major Axes on Model Graph", ""},
        {40011, "Toggle Minor Axes on Curve Graph", ""},
        {40013, "Toggle Minor Axes on Model Graph", ""},
        {40014, "", "Create new suite of model curves"},
        {40016, "Export Results to ASCII file in MODALL format", ""},
        {40018, "Autoscale Graphs", "Autoscale Graph"},
        {40019, "Toggle View of Labels", ""},
        {40020, "Toggle betweek Linear and Log Depth Axis", ""},
        {40021, "Edit graph properties", "View Properties"},
        {40023, "", "Print Graphic Display"},
        {40024, "Autoscale Graphs", ""},
        {40057, "", "Brevalon QF1D Help"},
    };
    const std::string_view records = bytes(MAKEINTRESOURCEA(30001), "DOVEMENUSTRING");
    ASSERT_FALSE(records.empty());
    for (int id = 40001; id <= 40057; ++id) {
        std::string expectedHelp, expectedTip;
        for (const Texts& t : table)
            if (t.id == id) expectedHelp = t.help, expectedTip = t.tip;
        std::string help;
        const bool found = YYMenuStringLookUp(records, id, help);
        EXPECT_EQ(found, !expectedHelp.empty()) << id;
        EXPECT_EQ(help, expectedHelp) << id;
        char tip[128] = {};
        const int n = LoadStringA(module_, static_cast<UINT>(id), tip, sizeof tip);
        EXPECT_EQ(std::string(tip, static_cast<std::size_t>(n)), expectedTip) << id;
    }
}

TEST_F(ProgramResources, ToolbarHasSixButtonsInGroupsAndABitmapOfSixImages)
{
    const ToolbarResource toolbar = YYReadToolbarResource(words(30104));
    EXPECT_EQ(toolbar.ImageWidth, 16);
    EXPECT_EQ(toolbar.ImageHeight, 16);
    const std::vector<std::uint16_t> expected = {40023, 0, 40024, 40018, 0, 40021, 0, 40014, 0, 40057};
    EXPECT_EQ(toolbar.Commands, expected);

    BitmapHandle bitmap(static_cast<HBITMAP>(LoadImageA(module_, MAKEINTRESOURCEA(30104), IMAGE_BITMAP, 0, 0, 0)));
    ASSERT_TRUE(bitmap);
    BITMAP facts{};
    GetObjectA(bitmap.get(), sizeof facts, &facts);
    EXPECT_EQ(facts.bmWidth, 6 * 16);
    EXPECT_EQ(facts.bmHeight, 16);
}

TEST_F(ProgramResources, TheIconIsThereByItsName)
{
    EXPECT_FALSE(bytes("icon1", MAKEINTRESOURCEA(14)).empty()) << "icon group";  // RT_GROUP_ICON
    IconHandle icon(static_cast<HICON>(LoadImageA(module_, "icon1", IMAGE_ICON, 32, 32, 0)));
    EXPECT_TRUE(icon);
}

}  // namespace
