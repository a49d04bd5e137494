// A program for the reporter's exit tests. "abnormal N": the abnormal exit with a blank message
// and code N. "box A": report an error in message-box mode where the box answers A (0 Cancel,
// 1 OK). The exit code tells the test how far the program came (99 and 98: the exit returned,
// 42: the report returned to its caller).
#include <cstdlib>
#include <string>

#include "toolkit/foundation/ErrorReport.h"

namespace {
INTEGER boxAnswer = 1;
}

int main(int argc, char** argv)
{
    if (argc < 3) return 2;
    const std::string action = argv[1];
    if (action == "abnormal") {
        YYAbnormalExit(" ", std::atoi(argv[2]));
        return 99;
    }
    if (action == "box") {
        boxAnswer = std::atoi(argv[2]);
        errorReportHooks().libraryErrorBox = [](std::string_view, std::string_view) { return boxAnswer; };
        WErrorReportMode(kReportMessageBox);
        YYErrorReport(1010, "WDialogGetReal");
        return libraryErrorState().LastErrorNumber == 1010 ? 42 : 98;
    }
    return 2;
}
