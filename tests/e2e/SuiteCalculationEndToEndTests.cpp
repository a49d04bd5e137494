// The suite calculation of the real program as a new user meets it: the wizard's pages passed with
// their defaults, the progress dialog, the curves, models and labels, then the display worked with
// the mouse (pointer read-out, rubber-band zoom and UnZoom, label hover and drag), one screenshot
// per step; and a close request and a menu command during a longer calculation.
#include <gtest/gtest.h>

#include <regex>

#include "tests/e2e/AppDriving.h"
#include "tests/e2e/DisplayPixels.h"

using namespace E2e;

namespace {

constexpr char kProgress[] = "Model Suite Calculation Progress";

bool matches(const std::string& text, const char* pattern) { return std::regex_match(text, std::regex(pattern)); }

// Moves the pointer to a point of a graph and waits until the program has handled the move: its
// read-out, blanked first, is back. The program takes its posted messages before input, input in
// order, and draws in its event handlers: what earlier commands and input drew, and what the
// move itself highlights, is on the screen then; what has not been drawn by then was not drawn at
// all.
bool pointAndWait(HWND frame, POINT to)
{
    HWND bar = childByClass(frame, "msctls_statusbar32");
    setStatusPartText(bar, 6, "");
    mouseMove(to);
    return waitFor([&] { return !statusBarText(bar, 6).empty(); }, 5000ms);
}

// The same without taking the pointer away, for after a button: the program reads the pointer's
// position when it takes a button event, not where the button went. A pixel's move is enough.
bool inputHandled(HWND frame)
{
    POINT at{};
    GetCursorPos(&at);
    return pointAndWait(frame, {at.x + 1, at.y});
}

// A point of the model graph, where no label lies.
POINT inModelGraph(HWND client) { return onScreen(client, 8.5, 4.25); }

}  // namespace

TEST(SuiteCalculation, ANewUserRunsTheDefaultSuiteAndWorksTheDisplayWithTheMouse)
{
    // 1. A fresh start: Next on every page, Finish on the last.
    RunningProgram run("suite-new-user", Settings::Default, {}, StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    HWND client = childByClass(run.frame, "DOVECLIENT");
    ASSERT_TRUE(client);
    for (const char* caption : {"Model Suite Parameters", "Base Resistivity Model", "Suite Parameter Variation"}) {
        HWND page = run.program.waitForWindow(caption);
        ASSERT_TRUE(page) << caption;
        settled(page);
        clickButton(page, 1355);
        ASSERT_TRUE(run.program.waitWindowGone(caption)) << caption;
    }
    HWND time = run.program.waitForWindow("Curve Generation Abscissa");
    ASSERT_TRUE(time);
    settled(time);
    screenshot("suite-01-time-window");
    clickButton(time, 1355);

    // 2. The progress dialog goes once the five curves are computed (the long calculation below
    // shows it counting).
    ASSERT_TRUE(run.program.waitWindowGone(kProgress, 60000ms));
    ASSERT_TRUE(run.program.waitWindowGone("Curve Generation Abscissa"));
    ASSERT_TRUE(settled(run.frame));

    // 3. Curves, models and labels drawn; the Labels check mark is on.
    ASSERT_TRUE(waitFor([&] { return nonWhite(capture(client)) > 2000; }, 10000ms));
    ASSERT_TRUE(bringToFront(run.frame));
    mouseMove(onScreen(client, 0.3, 0.3));
    settled(run.frame);
    const Pixels drawn = capture(client);
    screenshot("suite-03-curves-models-labels");
    const CheckMarks marks = MenuChecks(run.frame).read("suite-04-labels-checked");
    EXPECT_TRUE(marks.at(40019));
    ASSERT_TRUE(settled(run.frame));
    Pixels afterMenu;
    if (!waitFor([&] { afterMenu = capture(client); return afterMenu == drawn; }, 5000ms)) {
        const Difference d = difference(drawn, afterMenu, RECT{0, 0, drawn.Width, drawn.Height});
        screenshot("suite-04-menu-changed-the-display");
        FAIL() << "the menu changed " << d.Count << " pixels in " << d.Box.left << "," << d.Box.top << " - " << d.Box.right
               << "," << d.Box.bottom;
    }

    // 4. The pointer read-out: time and value in the curve graph, resistivity and depth in the model graph.
    HWND bar = run.statusBar();
    moveTo(run.frame, onScreen(client, 3.75, 4.25));
    ASSERT_TRUE(waitFor([&] { return matches(statusBarText(bar, 5), R"(-?\d+\.\d{5} S)"); }, 5000ms)) << statusBarText(bar, 5);
    EXPECT_TRUE(matches(statusBarText(bar, 6), R"(-?\d+\.\d{3} o-m)")) << statusBarText(bar, 6);
    moveTo(run.frame, inModelGraph(client));
    ASSERT_TRUE(waitFor([&] { return matches(statusBarText(bar, 6), R"(-?\d+\.\d m)"); }, 5000ms)) << statusBarText(bar, 6);
    EXPECT_TRUE(matches(statusBarText(bar, 5), R"(-?\d+\.\d{2} o-m)")) << statusBarText(bar, 5);
    screenshot("suite-05-model-readout");
    const std::string x = statusBarText(bar, 5), y = statusBarText(bar, 6);
    moveTo(run.frame, onScreen(client, 0.4, 0.4));
    moveTo(run.frame, onScreen(client, 9.9, 7.9));
    EXPECT_EQ(statusBarText(bar, 5), x);
    EXPECT_EQ(statusBarText(bar, 6), y);

    // 5. Labels: switched off, the difference shows where they are.
    sendCommand(run.frame, 40019);
    ASSERT_TRUE(settled(run.frame));
    Pixels unlabelled;
    ASSERT_TRUE(waitFor([&] { unlabelled = capture(client); return !(unlabelled == drawn); }, 5000ms));
    const RECT curveArea{0, 0, unlabelled.Width * 63 / 100, unlabelled.Height};
    const Difference labels = difference(drawn, unlabelled, curveArea);
    ASSERT_GT(labels.Count, 50);
    // With Labels off nothing is hit: hovering leaves the picture alone.
    // The top label: the rows from the first differing one to the first row without a difference,
    // held at its middle (its body, not an edge).
    int bottomOfTop = labels.Box.top;
    while (bottomOfTop < labels.Box.bottom &&
           difference(drawn, unlabelled, RECT{curveArea.left, bottomOfTop, curveArea.right, bottomOfTop + 1}).Count > 0)
        ++bottomOfTop;
    const Difference top = difference(drawn, unlabelled, RECT{curveArea.left, labels.Box.top, curveArea.right, bottomOfTop});
    const POINT firstLabel = clientToScreen(client, {(top.Box.left + top.Box.right) / 2, (top.Box.top + top.Box.bottom) / 2});
    ASSERT_TRUE(pointAndWait(run.frame, firstLabel));
    EXPECT_TRUE(capture(client) == unlabelled);
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    sendCommand(run.frame, 40019);
    ASSERT_TRUE(settled(run.frame));
    ASSERT_TRUE(waitFor([&] { return capture(client) == drawn; }, 5000ms));

    // 6. Hovering the top label highlights its box (exclusive-or) and moving off removes it exactly.
    moveTo(run.frame, firstLabel);
    Pixels highlighted;
    ASSERT_TRUE(waitFor([&] { highlighted = capture(client); return !(highlighted == drawn); }, 5000ms));
    screenshot("suite-06-label-highlight");
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    ASSERT_TRUE(waitFor([&] { return capture(client) == drawn; }, 5000ms)) << "the highlight leaves no lines behind";

    // UnZoom right after the calculation gives back its picture exactly.
    sendCommand(run.frame, 40018);
    ASSERT_TRUE(settled(run.frame));
    Pixels unzoomed;
    const bool same = waitFor([&] { unzoomed = capture(client); return unzoomed == drawn; }, 5000ms);
    if (!same) {
        const Difference d = difference(drawn, unzoomed, RECT{0, 0, drawn.Width, drawn.Height});
        ADD_FAILURE() << "UnZoom changed " << d.Count << " pixels in " << d.Box.left << "," << d.Box.top << " - "
                      << d.Box.right << "," << d.Box.bottom;
        screenshot("suite-06-unzoomed-differs");
    }

    // 7. Dragging the top label's body down and right moves it (and its anchor: the suite's labels
    // sit on theirs); the other labels stay.
    moveTo(run.frame, firstLabel);
    mouseDown(1);
    Sleep(400);
    for (int step = 1; step <= 6; ++step) mouseMove({firstLabel.x + 10 * step, firstLabel.y + 5 * step});
    mouseUp(1);
    settled(run.frame);
    moveTo(run.frame, onScreen(client, 0.3, 0.3));
    Pixels dragged;
    ASSERT_TRUE(waitFor([&] { dragged = capture(client); return !(dragged == drawn); }, 5000ms)) << "the label moved";
    screenshot("suite-07-label-dragged");
    sendCommand(run.frame, 40019);
    ASSERT_TRUE(settled(run.frame));
    Pixels draggedOff;
    ASSERT_TRUE(waitFor([&] { draggedOff = capture(client); return !(draggedOff == dragged); }, 5000ms));
    EXPECT_TRUE(draggedOff == unlabelled) << "only labels changed";
    // Where the top label was, its text is gone; the labels' top edge went down with it.
    const Difference left = difference(dragged, draggedOff, RECT{curveArea.left, top.Box.top, curveArea.right, top.Box.top + 3});
    const Difference moved = difference(dragged, draggedOff, curveArea);
    EXPECT_GT(moved.Box.top, labels.Box.top + 10) << "the label went down with the pointer";
    EXPECT_EQ(left.Count, 0) << "nothing stays at the label's old top rows";
    sendCommand(run.frame, 40019);
    ASSERT_TRUE(settled(run.frame));

    // 8. Rubber-band zoom in the curve graph; UnZoom gives back the calculation's own picture exactly.
    ASSERT_TRUE(pointAndWait(run.frame, inModelGraph(client)));
    sendCommand(run.frame, 40018);
    ASSERT_TRUE(inputHandled(run.frame));
    const Pixels before = capture(client);
    mouseDrag(onScreen(client, 2.0, 6.5), onScreen(client, 4.5, 3.0), 8, 400);
    ASSERT_TRUE(inputHandled(run.frame));
    const Pixels zoomed = capture(client);
    if (zoomed == before) {
        screenshot("suite-08-not-zoomed");
        FAIL() << "the band zoomed nothing";
    }
    screenshot("suite-08-zoomed");
    // A tiny box changes nothing. (That a quick drag makes no band is checked with message times
    // in the pointer tests: real input on a loaded machine cannot promise to be quick.)
    const POINT p = onScreen(client, 3.0, 5.0);
    mouseDrag(p, {p.x + 2, p.y + 2}, 2, 400);
    ASSERT_TRUE(inputHandled(run.frame));
    EXPECT_TRUE(capture(client) == zoomed);
    sendCommand(run.frame, 40018);
    ASSERT_TRUE(settled(run.frame));
    const bool backToBefore = waitFor([&] { return capture(client) == before; }, 5000ms);
    screenshot(backToBefore ? "suite-09-unzoomed" : "suite-09-unzoomed-differs");
    ASSERT_TRUE(backToBefore);

    // 9. An expose during a band leaves no box, and the release then zooms nothing.
    const POINT from = onScreen(client, 2.0, 6.5);
    moveTo(run.frame, from);
    mouseDown(1);
    Sleep(400);
    mouseMove({from.x + 60, from.y + 50});
    mouseMove({from.x + 80, from.y + 70});
    ASSERT_TRUE(inputHandled(run.frame));
    screenshot("suite-10-band");
    // The program paints after its input: the release waits until the expose took the box away.
    InvalidateRect(client, nullptr, TRUE);
    ASSERT_TRUE(waitFor([&] { return capture(client) == before; }, 5000ms)) << "the expose left no box";
    screenshot("suite-11-band-exposed");
    mouseUp(1);
    ASSERT_TRUE(inputHandled(run.frame));
    EXPECT_TRUE(capture(client) == before) << "the release after the expose zoomed nothing";

    sendCommand(run.frame, 40001);
    EXPECT_EQ(run.program.waitForExit(), 0);
}

TEST(SuiteCalculation, ACloseRequestDuringALongCalculationEndsTheProgramAfterIt)
{
    std::string settings = defaultSettingsText();
    const std::size_t at = settings.find("NSuite=");
    ASSERT_NE(at, std::string::npos);
    settings.replace(at, settings.find("\r\n", at) - at, "NSuite=   40");
    RunningProgram run("suite-close-during", Settings::Seeded, settings, StartWizard::Keep);
    ASSERT_TRUE(run.frame);
    for (const char* caption : {"Model Suite Parameters", "Base Resistivity Model", "Suite Parameter Variation"}) {
        HWND page = run.program.waitForWindow(caption);
        ASSERT_TRUE(page) << caption;
        settled(page);
        clickButton(page, 1355);
        ASSERT_TRUE(run.program.waitWindowGone(caption)) << caption;
    }
    HWND time = run.program.waitForWindow("Curve Generation Abscissa");
    ASSERT_TRUE(time);
    settled(time);
    clickButton(time, 1355);
    // The progress dialog counts "k of N" with its bar.
    HWND progress = run.program.waitForWindow(kProgress);
    ASSERT_TRUE(progress);
    EXPECT_EQ(windowText(GetDlgItem(progress, 1332)), "40");
    EXPECT_TRUE(childByClass(progress, "msctls_progress32"));
    screenshot("suite-close-01-progress");
    // A menu command and then a close request while the curves are computed.
    PostMessageA(run.frame, WM_COMMAND, 40024, 0);
    PostMessageA(run.frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(run.program.running());
    const long code = run.program.waitForExit(60000ms);
    if (code != 0) screenshot("suite-close-02-still-running");
    EXPECT_EQ(code, 0);
    // The exit saved the settings, with the zoom command carried out before it.
    EXPECT_NE(run.program.readFile("QUORVALENT.INI").find("LZOOM=F"), std::string::npos);
}
