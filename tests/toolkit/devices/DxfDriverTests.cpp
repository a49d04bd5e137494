// The DXF driver group by group: the colour index table from its rule, the nearest index of a
// colour, true colours, number texts, the header and tables, entities and their colours, solid
// corner orders and the clip, circles and arcs only on a square area, one page per file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TextDriverSession.h"
#include "tests/toolkit/foundation/ReporterGuard.h"

namespace {

using Lines = std::vector<std::string>;

constexpr INTEGER packed(INTEGER r, INTEGER g, INTEGER b) { return r + 256 * g + 65536 * b; }

// The groups of the file as (code, value) pairs.
std::vector<std::pair<std::string, std::string>> groups(const Lines& lines)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (std::size_t k = 0; k + 1 < lines.size(); k += 2) out.emplace_back(lines[k], lines[k + 1]);
    return out;
}

// The groups of the entities after the start of the ENTITIES section, up to its end.
std::vector<std::pair<std::string, std::string>> entityGroups(const Lines& lines)
{
    const auto all = groups(lines);
    auto start = std::find(all.begin(), all.end(), std::pair<std::string, std::string>{"2", "ENTITIES"});
    if (start == all.end()) return {};
    auto end = std::find(start, all.end(), std::pair<std::string, std::string>{"0", "ENDSEC"});
    return {start + 1, end};
}

using Group = std::pair<std::string, std::string>;

std::string inches(REAL scale, REAL value) { return YYDxfRealText(scale * value); }

class DxfFixture : public ::testing::Test {
protected:
    void SetUp() override { IGrColourN(223); }
    ReporterGuard reporter;
    TextDriverSession job{8, "driver.dxf"};
};

}  // namespace

TEST(DxfColours, IndexTableFollowsItsRule)
{
    struct Row {
        INTEGER n, r, g, b;
    };
    const Row rows[] = {{0, 0, 0, 0},        {1, 255, 0, 0},      {7, 255, 255, 255},  {8, 76, 76, 76},
                        {9, 165, 165, 165},  {10, 255, 0, 0},     {11, 255, 127, 127}, {12, 165, 0, 0},
                        {13, 165, 82, 82},   {20, 255, 63, 0},    {21, 255, 159, 127}, {33, 165, 124, 82},
                        {40, 255, 191, 0},   {41, 255, 223, 127}, {142, 0, 124, 165},  {249, 38, 19, 23},
                        {250, 84, 84, 84},   {255, 255, 255, 255}};
    for (const Row& row : rows) EXPECT_EQ(YYDxfAciRgb(row.n), packed(row.r, row.g, row.b)) << row.n;
    EXPECT_EQ(YYDxfAciRgb(256), 0);
}

TEST(DxfColours, NearestIndexInTheColourCone)
{
    struct Case {
        INTEGER rgb, index;
    };
    const Case cases[] = {{packed(255, 0, 0), 1},       {packed(255, 255, 255), 7}, {packed(195, 0, 0), 12},
                          {packed(128, 128, 128), 251}, {packed(165, 124, 82), 33}, {packed(0, 124, 165), 142},
                          {packed(38, 19, 23), 249},    {packed(84, 84, 84), 250},  {packed(0, 0, 0), 7}};
    for (const Case& c : cases) EXPECT_EQ(YYDxfColourIndex(c.rgb), c.index) << std::hex << c.rgb;
}

TEST(DxfNumbers, RealTextsLoseTheirTrailingZeros)
{
    const std::pair<REAL, const char*> cases[] = {{2.5f, "2.5"},      {10.0f, "10."},        {0.0f, "0."},
                                                  {-0.25f, "-0.25"}, {12.5f, "12.5"},       {3.0f, "3."},
                                                  {1.0e7f, "10000000."}, {1.0e9f, "**********"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(YYDxfRealText(value), text) << value;
}

TEST_F(DxfFixture, HeaderAndTablesStartTheFile)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.Count = -999;
    YYHardcopyDispatch(OpInit);
    EXPECT_EQ(b.Count, 8);
    EXPECT_EQ(hardcopyJobState().OutputFile.trimmed(), "raridevu.dxf");
    job.start();
    driverParameterBlock().Count = 0;
    YYDriverHardcopy(OpEndPage);  // one page per file: nothing
    job.finish();
    const auto all = groups(job.lines());
    const std::vector<Group> head(all.begin(), all.begin() + 8);
    const std::vector<Group> expected = {{"0", "SECTION"}, {"2", "HEADER"}, {"9", "$ACADVER"}, {"1", "AC1009"},
                                         {"9", "$EXTMIN"}, {"10", "0.0"},   {"20", "0.0"},      {"9", "$EXTMAX"}};
    EXPECT_EQ(head, expected);
    EXPECT_EQ(all[8], Group("10", "10.5"));
    EXPECT_EQ(all[9], Group("20", "7.5"));
    // The line type table counts CONTINUOUS, which the layers name, with the seven dashed types.
    const auto ltype = std::find(all.begin(), all.end(), Group("2", "LTYPE"));
    ASSERT_NE(ltype, all.end());
    EXPECT_EQ(*(ltype + 1), Group("70", "8"));
    EXPECT_EQ(std::count(all.begin(), all.end(), Group("0", "LTYPE")), 8);
    EXPECT_EQ(std::count(all.begin(), all.end(), Group("2", "CONTINUOUS")), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), Group("6", "CONTINUOUS")), 9);
    const auto hidden = std::find(all.begin(), all.end(), Group("2", "HIDDEN"));
    ASSERT_NE(hidden, all.end());
    EXPECT_EQ(hidden[2].second.size(), 46u);
    EXPECT_EQ(hidden[5], Group("40", "0.24"));
    EXPECT_EQ(all[all.size() - 2], Group("0", "ENDSEC"));
    EXPECT_EQ(all.back(), Group("0", "EOF"));
    EXPECT_TRUE(entityGroups(job.lines()).empty());
}

TEST_F(DxfFixture, EntitiesCarryLayerColourAndInches)
{
    job.start();
    const HardcopyDriverState& d = hardcopyDriverState();
    job.rgb(packed(195, 0, 0));
    GraphicsState& g = graphicsState();
    g.LineType = 3;
    job.send(OpLine, {0, 0, 320, 240});
    job.rgb(packed(128, 128, 128));
    g.LineType = 0;
    job.polygon(OpPolyline, {10, 20}, {30, 40});
    job.rgb(packed(255, 255, 255));
    job.send(OpPoint, {100, 50});
    job.finish();
    const std::vector<Group> expected = {
        {"0", "LINE"},      {"8", "1"},     {"62", "12"},   {"6", "DASHDOT"},
        {"10", "0."},       {"20", "0."},   {"11", inches(d.XScale, 320)}, {"21", inches(d.YScale, 240)},
        {"0", "POLYLINE"},  {"8", "1"},     {"62", "251"},  {"66", "1"},
        {"70", "0"},        {"10", "0."},   {"20", "0."},   {"0", "VERTEX"},
        {"8", "1"},         {"10", inches(d.XScale, 10)},   {"20", inches(d.YScale, 30)}, {"0", "VERTEX"},
        {"8", "1"},         {"10", inches(d.XScale, 20)},   {"20", inches(d.YScale, 40)}, {"0", "SEQEND"},
        {"8", "1"},         {"0", "POINT"}, {"8", "1"},     {"62", "7"},
        {"10", inches(d.XScale, 100)},      {"20", inches(d.YScale, 50)},
    };
    EXPECT_EQ(entityGroups(job.lines()), expected);
    // A page of 756 by 540 points is 10.5 by 7.5 inches across the drawable.
    EXPECT_NEAR(d.XScale * 639.99f, 10.5f, 1e-4f);
}

TEST_F(DxfFixture, TrueColoursUnderGroup420)
{
    job.option(23, 24);
    job.start();
    job.rgb(packed(255, 0, 0));
    job.send(OpPoint, {1, 1});
    job.finish();
    const auto all = groups(job.lines());
    EXPECT_EQ(all[3], Group("1", "AC1009"));
    const auto entities = entityGroups(job.lines());
    ASSERT_GE(entities.size(), 4u);
    EXPECT_EQ(entities[2], Group("62", "1"));
    EXPECT_EQ(entities[3], Group("420", "16711680"));
}

TEST_F(DxfFixture, SolidsAndWhatIsLeftToLines)
{
    job.start();
    const HardcopyDriverState& d = hardcopyDriverState();
    GraphicsTransform& t = graphicsTransform();
    GraphicsState& g = graphicsState();
    g.FillStyle = 4;
    job.fill(OpQuadFill, {1, 2, 3, 4, 5, 6, 7, 8});
    job.fill(OpTriangleFill, {1, 2, 3, 4, 5, 6});
    t.DeviceXMin = 100.0f;
    t.DeviceYMin = 50.0f;
    t.DeviceXMax = 200.0f;
    t.DeviceYMax = 150.0f;
    job.fill(OpRectangleFill, {20, 100, 300, 120});
    const std::size_t solids = entityGroups(job.lines()).size();
    g.LayerFillRequest[1] = 0;
    g.FillStyle = 1;
    job.fill(OpRectangleFill, {20, 100, 300, 120});
    EXPECT_EQ(g.LayerFillRequest[1], 0);
    g.FillStyle = 3;
    job.fill(OpRectangleFill, {20, 100, 300, 120});
    EXPECT_EQ(g.LayerFillRequest[1], 2);
    job.finish();
    const auto entities = entityGroups(job.lines());
    EXPECT_EQ(entities.size(), solids);
    const auto corners = [&](std::size_t at, std::initializer_list<std::pair<REAL, REAL>> points) {
        INTEGER k = 0;
        for (const auto& [x, y] : points) {
            EXPECT_EQ(entities[at + 2 * static_cast<std::size_t>(k)], Group(std::to_string(10 + k), inches(d.XScale, x))) << at;
            EXPECT_EQ(entities[at + 2 * static_cast<std::size_t>(k) + 1], Group(std::to_string(20 + k), inches(d.YScale, y))) << at;
            ++k;
        }
    };
    ASSERT_EQ(entities.size(), 33u);
    EXPECT_EQ(entities[0], Group("0", "SOLID"));
    corners(3, {{1, 2}, {3, 4}, {7, 8}, {5, 6}});
    corners(14, {{1, 2}, {3, 4}, {5, 6}, {5, 6}});
    corners(25, {{100, 100}, {100, 120}, {200, 100}, {200, 120}});
}

TEST_F(DxfFixture, CirclesAndArcsOnlyOnASquareArea)
{
    job.start();
    const HardcopyDriverState& d = hardcopyDriverState();
    DriverParameterBlock& b = driverParameterBlock();
    GraphicsState& g = graphicsState();
    g.FillStyle = 0;
    job.rgb(packed(84, 84, 84));
    job.send(OpArc, {320, 240, 50, 0, 0, 0, 90, -60});
    EXPECT_EQ(b.Value, 1);
    job.send(OpEllipseFill, {100, 100, 20, 0, 1.0f});
    EXPECT_EQ(b.Value, 1);
    job.send(OpEllipseFill, {100, 100, 20, 0, 0.5f});
    EXPECT_EQ(b.Value, -1);
    const std::size_t square = entityGroups(job.lines()).size();
    IGrArea(0.0f, 0.0f, 1.0f, 0.5f);
    job.send(OpArc, {320, 240, 50, 0, 0, 0, 90, -60});
    EXPECT_EQ(b.Value, 2);
    job.send(OpEllipseFill, {100, 100, 20, 0, 1.0f});
    EXPECT_EQ(b.Value, -1);
    job.finish();
    const auto entities = entityGroups(job.lines());
    EXPECT_EQ(entities.size(), square);
    const std::vector<Group> expected = {
        {"0", "ARC"},    {"8", "1"},  {"62", "250"}, {"10", inches(d.XScale, 320)}, {"20", inches(d.YScale, 240)},
        {"40", inches(d.XScale, 50)}, {"50", "30."}, {"51", "90."},
        {"0", "CIRCLE"}, {"8", "1"},  {"62", "250"}, {"10", inches(d.XScale, 100)}, {"20", inches(d.YScale, 100)},
        {"40", inches(d.XScale, 20)},
    };
    EXPECT_EQ(entities, expected);
}
