// Time from starting the program to its main window being shown, and to the model-suite wizard's
// first page being shown, over several starts (median, fastest, slowest). Run by scripts/bench.sh
// under Wine; not a test.
//     StartupBenchmark [STARTS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/e2e/AppDriving.h"

int main(int argc, char** argv)
{
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<double> times, pageTimes;
    for (int i = 0; i < starts; ++i) {
        E2e::Program program("bench-start");
        program.placeDefaultSettings();
        const auto begin = std::chrono::steady_clock::now();
        if (!program.start()) {
            std::fprintf(stderr, "the program did not start\n");
            return 1;
        }
        HWND frame = program.waitForWindow(E2e::kMainTitle, std::chrono::milliseconds(60000));
        const auto shown = std::chrono::steady_clock::now();
        if (!frame) {
            std::fprintf(stderr, "no main window within 60 s\n");
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(shown - begin).count());
        HWND page = program.waitForWindow(E2e::kWizardFirstPage, std::chrono::milliseconds(60000));
        const auto pageShown = std::chrono::steady_clock::now();
        if (!page) {
            std::fprintf(stderr, "no wizard page within 60 s\n");
            return 1;
        }
        pageTimes.push_back(std::chrono::duration<double, std::milli>(pageShown - begin).count());
        E2e::clickButton(page, IDCANCEL);
        program.waitWindowGone(E2e::kWizardFirstPage);
        E2e::sendCommand(frame, 40001);
        if (program.waitForExit() != 0) {
            std::fprintf(stderr, "the program did not end with 0\n");
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::sort(pageTimes.begin(), pageTimes.end());
    std::printf("start to main window shown, %d starts: median %.0f ms, fastest %.0f ms, slowest %.0f ms\n", starts,
                times[times.size() / 2], times.front(), times.back());
    std::printf("start to first wizard page shown, %d starts: median %.0f ms, fastest %.0f ms, slowest %.0f ms\n",
                starts, pageTimes[pageTimes.size() / 2], pageTimes.front(), pageTimes.back());
    return 0;
}
