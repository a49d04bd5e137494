// The suite display's text labels and axis numbers in the real program, driven as a user drives it
// with one screenshot per step: an offset suite's labels legible on their ground, found, moved and
// resized where they are drawn, and again after a restart; the labels of an Ex thickness suite and
// of a wide time window inside the curve graph, as tall as the axis numbers; powers of ten along the
// time axis that read as one number each.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/AppDriving.h"
#include "tests/e2e/DisplayPixels.h"

using namespace E2e;

namespace {

constexpr int kLabelsCommand = 40019, kExitCommand = 40001;
constexpr int kNext = 1355, kExButton = 1006;

// Passes the wizard's pages with Next and Finish and waits until the curves are drawn: Ex chosen
// on the first page when asked, and on the model page three layers typed (10 ohm-m 100 m thick,
// 20 ohm-m 200 m thick, 30 ohm-m) when asked.
bool calculateSuite(RunningProgram& run, bool ex = false, bool threeLayers = false)
{
    for (const char* caption : {"Model Suite Parameters", "Base Resistivity Model", "Suite Parameter Variation",
                                "Curve Generation Abscissa"}) {
        HWND page = run.program.waitForWindow(caption);
        if (!page) return false;
        settled(page);
        if (ex && std::string(caption) == "Model Suite Parameters") {
            clickButton(page, kExButton);
            settled(page);
        }
        if (threeLayers && std::string(caption) == "Base Resistivity Model") {
            const GridCells model(page, 1364, 2, 1);
            model.type(3, 1, "100");
            model.type(2, 2, "20");
            model.type(3, 2, "200");
            model.type(2, 3, "30");
        }
        clickButton(page, kNext);
        if (!run.program.waitWindowGone(caption)) return false;
    }
    return run.program.waitWindowGone("Model Suite Calculation Progress", 60000ms) && settled(run.frame);
}

// The picture once two looks 50 ms apart agree (a redraw's paint may come after the settle).
Pixels steadyPicture(HWND client)
{
    Pixels before = capture(client);
    waitFor(
        [&] {
            Sleep(50);
            Pixels now = capture(client);
            const bool same = now == before;
            before = std::move(now);
            return same;
        },
        5000ms);
    return before;
}

// Switches the labels with the View menu's command and returns the picture that follows.
Pixels toggleLabels(RunningProgram& run, HWND client, const Pixels& before)
{
    sendCommand(run.frame, kLabelsCommand);
    settled(run.frame);
    Pixels after;
    waitFor([&] { after = capture(client); return !(after == before); }, 5000ms);
    return steadyPicture(client);
}

// The curve graph's frame in the client, its border lines included.
RECT curveFrame(HWND client)
{
    const POINT a = onClient(client, 1.25, 7.25), b = onClient(client, 6.25, 1.25);
    return {a.x, a.y, b.x, b.y};
}

RECT inset(RECT r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }
bool inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top && inner.bottom <= outer.bottom;
}
int height(const RECT& r) { return r.bottom - r.top + 1; }
int width(const RECT& r) { return r.right - r.left + 1; }
POINT middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Ink: a pixel of a that is not white and, when b is given, differs from b. The rows of the area
// that hold ink, in bands split by rows without any, each band as the box of its ink.
std::vector<RECT> inkBands(const Pixels& a, const Pixels* b, const RECT& area)
{
    std::vector<RECT> bands;
    bool open = false;
    for (int y = std::max<LONG>(area.top, 0); y <= std::min<LONG>(area.bottom, a.Height - 1); ++y) {
        int left = INT_MAX, right = -1;
        for (int x = std::max<LONG>(area.left, 0); x <= std::min<LONG>(area.right, a.Width - 1); ++x)
            if (!a.white(x, y) && (!b || a.at(x, y) != b->at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        if (right < 0) {
            open = false;
            continue;
        }
        if (!open) bands.push_back({left, y, right, y});
        RECT& band = bands.back();
        band.left = std::min<LONG>(band.left, left);
        band.right = std::max<LONG>(band.right, right);
        band.bottom = y;
        open = true;
    }
    return bands;
}

// The pieces of ink in a band that lie apart by at least gap empty columns, each as its box.
std::vector<RECT> inkPieces(const Pixels& a, const RECT& band, int gap)
{
    std::vector<RECT> pieces;
    int empty = gap;
    for (int x = band.left; x <= band.right; ++x) {
        int top = INT_MAX, bottom = -1;
        for (int y = band.top; y <= band.bottom; ++y)
            if (!a.white(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        if (bottom < 0) {
            ++empty;
            continue;
        }
        if (empty >= gap) pieces.push_back({x, top, x, bottom});
        RECT& piece = pieces.back();
        piece.right = x;
        piece.top = std::min<LONG>(piece.top, top);
        piece.bottom = std::max<LONG>(piece.bottom, bottom);
        empty = 0;
    }
    return pieces;
}

// The numbers along the curve graph's time axis: the band of ticks below the frame, then the
// band of numbers, each number a piece of it.
struct TimeAxis {
    int MajorTicks = 0;
    std::vector<RECT> Numbers;
    int digitHeight() const  // the plain numbers outnumber the powers of ten
    {
        std::vector<int> heights;
        for (const RECT& n : Numbers) heights.push_back(height(n));
        if (heights.empty()) return 0;
        std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
        return heights[heights.size() / 2];
    }
};
TimeAxis timeAxis(const Pixels& p, HWND client)
{
    const RECT frame = curveFrame(client);
    const RECT below{onClient(client, 0.75, 0).x, frame.bottom + 3, onClient(client, 6.75, 0).x, p.Height - 1};
    const std::vector<RECT> bands = inkBands(p, nullptr, below);
    TimeAxis axis;
    if (bands.size() < 2) return axis;
    // The last row of the ticks holds only the long ones, at the decades.
    bool inTick = false;
    for (int x = bands[0].left; x <= bands[0].right; ++x) {
        const bool ink = !p.white(x, bands[0].bottom);
        if (ink && !inTick) ++axis.MajorTicks;
        inTick = ink;
    }
    axis.Numbers = inkPieces(p, bands[1], std::max(3, height(bands[1]) / 2));
    return axis;
}

// The labels of the curve graph: the rows of ink that switching them off takes away, inside the
// frame's border lines.
std::vector<RECT> labelTexts(const Pixels& labelled, const Pixels& unlabelled, HWND client)
{
    return inkBands(labelled, &unlabelled, inset(curveFrame(client), 3));
}

// Every label inside the curve graph, clear of its border, and each curve's label (digits) at
// least as tall as the digits of the time axis.
void expectLegibleLabels(const Pixels& labelled, const Pixels& unlabelled, HWND client, std::size_t count)
{
    const Difference all = difference(labelled, unlabelled, RECT{0, 0, labelled.Width, labelled.Height});
    ASSERT_GT(all.Count, 0) << "no labels drawn";
    EXPECT_TRUE(inside(all.Box, inset(curveFrame(client), 3)))
        << "labels reach " << all.Box.left << "," << all.Box.top << " - " << all.Box.right << "," << all.Box.bottom;
    const std::vector<RECT> texts = labelTexts(labelled, unlabelled, client);
    ASSERT_EQ(texts.size(), count);
    const int digits = timeAxis(unlabelled, client).digitHeight();
    ASSERT_GE(digits, 4);
    for (std::size_t i = 1; i < texts.size(); ++i) EXPECT_GE(height(texts[i]), digits) << "label " << i;
}

// Rests the pointer on a point and returns the box the highlight draws (empty when none shows).
RECT highlightAt(RunningProgram& run, HWND client, const Pixels& drawn, POINT at)
{
    moveTo(run.frame, clientToScreen(client, at));
    Pixels lit;
    if (!waitFor([&] { lit = capture(client); return !(lit == drawn); }, 5000ms)) return {};
    return difference(lit, drawn, RECT{0, 0, drawn.Width, drawn.Height}).Box;
}

// Moves the pointer off every label and waits for the picture to come back.
bool offLabels(RunningProgram& run, HWND client, const Pixels& drawn)
{
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    return waitFor([&] { return capture(client) == drawn; }, 5000ms);
}

}  // namespace

TEST(SuiteLabels, AnOffsetSuitesLabelsAreLegibleAndMoveAndResizeWhereDrawnAlsoAfterARestart)
{
    // 1. Five offsets of 250 to 2000 m: their value axis spans a dozen decades.
    RunningProgram run("labels-offset-suite", Settings::Seeded,
                       settingsWith({{"ISuiteType=", "    4"},
                                     {"VParam=", "  250.0000  500.0000 1000.0000 1500.0000 2000.0000"}}),
                       StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    HWND client = childByClass(run.frame, "DOVECLIENT");
    ASSERT_TRUE(client);
    ASSERT_TRUE(calculateSuite(run));
    ASSERT_TRUE(bringToFront(run.frame));
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    Pixels drawn = steadyPicture(client);
    screenshot("labels-01-offset-suite");

    // 2. Legible: inside the frame, as tall as the axis numbers.
    Pixels unlabelled = toggleLabels(run, client, drawn);
    screenshot("labels-02-labels-off");
    expectLegibleLabels(drawn, unlabelled, client, 6);
    const std::vector<RECT> texts = labelTexts(drawn, unlabelled, client);
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_TRUE(toggleLabels(run, client, unlabelled) == drawn);

    // 3. The pointer on a label's text (middle, then its first character) highlights the box it
    // stands in: the text inside it, in its middle.
    const RECT text = texts[3];
    const RECT box = highlightAt(run, client, drawn, middle(text));
    screenshot("labels-03-hover-text");
    ASSERT_GT(width(box), 0) << "no highlight on the text";
    EXPECT_TRUE(inside(inset(text, -1), box)) << "text " << text.left << "," << text.top << " box " << box.left << ","
                                              << box.top << " - " << box.right << "," << box.bottom;
    EXPECT_LE(std::abs(middle(text).y - middle(box).y), 2) << "the text stands in the middle of its box";
    ASSERT_TRUE(offLabels(run, client, drawn));
    const RECT again = highlightAt(run, client, drawn, {text.left + 1, middle(text).y});
    EXPECT_TRUE(EqualRect(&again, &box)) << "the first character finds the same label";
    ASSERT_TRUE(offLabels(run, client, drawn));

    // 4. A press on the text's first character and a drag move the label by the drag, unchanged.
    const POINT from = clientToScreen(client, {text.left + 1, middle(text).y});
    const int dx = 110, dy = -6;  // clear of the stack, still inside the frame
    ASSERT_GT(text.left + dx - 30, texts[0].right);
    mouseDrag(from, {from.x + dx, from.y + dy}, 8, 400);
    settled(run.frame);
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    drawn = steadyPicture(client);
    screenshot("labels-04-moved");
    std::vector<RECT> moved = labelTexts(drawn, unlabelled, client);
    const auto at = std::find_if(moved.begin(), moved.end(), [&](const RECT& r) {
        return std::abs(r.left - (text.left + dx)) <= 2 && std::abs(r.top - (text.top + dy)) <= 2;
    });
    ASSERT_NE(at, moved.end()) << "the label is not where the drag took it";
    EXPECT_EQ(height(*at), height(text));
    EXPECT_EQ(width(*at), width(text));
    const RECT movedText = *at;

    // 5. A press just outside its box's upper right corner and a drag outwards make it larger
    // about its centre.
    const RECT movedBox = highlightAt(run, client, drawn, middle(movedText));
    ASSERT_GT(width(movedBox), 0);
    moveTo(run.frame, clientToScreen(client, {movedBox.right + 1, movedBox.top - 1}));
    const POINT corner = clientToScreen(client, {movedBox.right + 1, movedBox.top - 1});
    mouseDrag(corner, {corner.x + 24, corner.y - 16}, 8, 400);
    settled(run.frame);
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    drawn = steadyPicture(client);
    screenshot("labels-05-resized");
    // Right of the stack the others stand in (the description is its widest label).
    RECT right = inset(curveFrame(client), 3);
    right.left = texts[0].right + 2;
    const std::vector<RECT> resized = inkBands(drawn, &unlabelled, right);
    const auto grown = std::find_if(resized.begin(), resized.end(), [&](const RECT& r) {
        return std::abs(middle(r).x - middle(movedText).x) <= 3 && std::abs(middle(r).y - middle(movedText).y) <= 3;
    });
    ASSERT_NE(grown, resized.end()) << "the label left its place";
    EXPECT_GE(height(*grown), height(movedText) + 3) << "the text grew with its box";

    // 6. After a restart, with the settings the exit wrote, the next suite labels as legibly.
    sendCommand(run.frame, kExitCommand);
    ASSERT_EQ(run.program.waitForExit(), 0);
    ASSERT_TRUE(run.restart());
    client = childByClass(run.frame, "DOVECLIENT");
    ASSERT_TRUE(calculateSuite(run));
    ASSERT_TRUE(bringToFront(run.frame));
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    drawn = steadyPicture(client);
    screenshot("labels-06-after-restart");
    unlabelled = toggleLabels(run, client, drawn);
    expectLegibleLabels(drawn, unlabelled, client, 6);

    sendCommand(run.frame, kExitCommand);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

TEST(SuiteLabels, AnExThicknessSuitesLabelsStayInsideTheCurveGraph)
{
    // A one-decade voltage axis: labels stacked by decades would fall below the frame.
    RunningProgram run("labels-ex-thickness", Settings::Seeded,
                       settingsWith({{"ISuiteType=", "    2"}, {"VParam=", "   50.0000  100.0000  200.0000  400.0000  800.0000"}}),
                       StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    HWND client = childByClass(run.frame, "DOVECLIENT");
    ASSERT_TRUE(calculateSuite(run, true, true));
    ASSERT_TRUE(bringToFront(run.frame));
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    const Pixels drawn = steadyPicture(client);
    screenshot("labels-ex-01-thickness-suite");
    const Pixels unlabelled = toggleLabels(run, client, drawn);
    screenshot("labels-ex-02-labels-off");
    expectLegibleLabels(drawn, unlabelled, client, 6);
    sendCommand(run.frame, kExitCommand);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

TEST(SuiteLabels, AWideTimeWindowLabelsAtTheAxisNumbersHeightAndItsPowersOfTenReadAsOneNumber)
{
    // Ten decades of time: the numbers at the ends are powers of ten.
    RunningProgram run("labels-wide-window", Settings::Seeded,
                       settingsWith({{"AbStart=", "   1.0000E-06"}, {"AbEnd=", "   1.0000E+03"}}), StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    HWND client = childByClass(run.frame, "DOVECLIENT");
    ASSERT_TRUE(calculateSuite(run));
    ASSERT_TRUE(bringToFront(run.frame));
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    const Pixels drawn = steadyPicture(client);
    screenshot("labels-wide-01-suite");
    const Pixels unlabelled = toggleLabels(run, client, drawn);
    expectLegibleLabels(drawn, unlabelled, client, 6);

    // One number under every decade tick: each power of ten, "10" and its exponent, in one piece
    // on the row of the plain numbers.
    const TimeAxis axis = timeAxis(unlabelled, client);
    EXPECT_GE(axis.MajorTicks, 10);
    EXPECT_EQ(static_cast<int>(axis.Numbers.size()), axis.MajorTicks);
    int powers = 0;
    for (const RECT& n : axis.Numbers)
        if (height(n) > axis.digitHeight() + 1) ++powers;
    EXPECT_GE(powers, 3);
    sendCommand(run.frame, kExitCommand);
    EXPECT_EQ(run.program.waitForExit(), 0);
}
