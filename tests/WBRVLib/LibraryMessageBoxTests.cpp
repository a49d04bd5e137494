// The library's boxes on the real system under Wine, answered from a helper thread.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "WBRVLib/Brvl95.h"
#include "tests/support/GuiHarness.h"

namespace {

struct SeenBox {
    std::string Caption;
    bool HasOk = false, HasCancel = false, HasYes = false, HasNo = false;
    int DefaultId = 0;
    HICON Icon = nullptr;
};

BOOL CALLBACK findIcon(HWND child, LPARAM parameter)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(parameter) = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

// Waits on its own thread for the library's box, records what it shows and presses a button.
class BoxAnswer {
public:
    explicit BoxAnswer(int buttonId)
        : thread_([this, buttonId] {
              HWND box = nullptr;
              found_ = GuiHarness::waitUntil([&] { return (box = FindWindowA("#32770", "Brevalon Library Message")) != nullptr; });
              if (!found_) return;
              char caption[64] = {};
              GetWindowTextA(box, caption, sizeof caption);
              seen_.Caption = caption;
              seen_.HasOk = GetDlgItem(box, IDOK) != nullptr;
              seen_.HasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
              seen_.HasYes = GetDlgItem(box, IDYES) != nullptr;
              seen_.HasNo = GetDlgItem(box, IDNO) != nullptr;
              // The default button is the one drawn as the default push button.
              for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
                  const HWND button = GetDlgItem(box, id);
                  if (button && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) seen_.DefaultId = id;
              }
              EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&seen_.Icon));
              PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
          })
    {
    }
    ~BoxAnswer()
    {
        if (thread_.joinable()) thread_.join();
    }
    const SeenBox& seen()
    {
        if (thread_.joinable()) thread_.join();
        return seen_;
    }
    bool found()
    {
        if (thread_.joinable()) thread_.join();
        return found_;
    }

private:
    SeenBox seen_;
    std::atomic<bool> found_{false};
    std::thread thread_;
};

TEST(LibraryMessageBox, WinmsgShowsOneOkButtonWithTheInformationIcon)
{
    BoxAnswer answer(IDOK);
    WINMSG("Model has no layers");
    ASSERT_TRUE(answer.found());
    const SeenBox& box = answer.seen();
    EXPECT_EQ(box.Caption, "Brevalon Library Message");
    EXPECT_TRUE(box.HasOk);
    EXPECT_FALSE(box.HasYes || box.HasNo);
    EXPECT_EQ(box.Icon, LoadIcon(nullptr, IDI_INFORMATION));
}

TEST(LibraryMessageBox, WinqueDefaultsToNoAndMapsTheAnswer)
{
    LOGICAL answerNo = kFalse;
    {
        BoxAnswer answer(IDNO);
        WINQUE("Overwrite the file?", answerNo);
        ASSERT_TRUE(answer.found());
        const SeenBox& box = answer.seen();
        EXPECT_TRUE(box.HasYes && box.HasNo);
        EXPECT_FALSE(box.HasOk);
        EXPECT_EQ(box.DefaultId, IDNO);    // answer false on entry
        EXPECT_EQ(box.Icon, LoadIcon(nullptr, IDI_QUESTION));
    }
    EXPECT_EQ(answerNo, kFalse);

    LOGICAL answerYes = kTrue;
    BoxAnswer answer(IDYES);
    WINQUE("Overwrite the file?", answerYes);
    ASSERT_TRUE(answer.found());
    EXPECT_EQ(answer.seen().DefaultId, IDYES);
    EXPECT_EQ(answerYes, kTrue);
}

TEST(LibraryMessageBox, CancelOfWinmsgcIsReported)
{
    LOGICAL cancelled = kFalse;
    BoxAnswer answer(IDCANCEL);
    WINMSGC("Stop the calculation?", cancelled);
    ASSERT_TRUE(answer.found());
    EXPECT_TRUE(answer.seen().HasOk && answer.seen().HasCancel);
    EXPECT_EQ(cancelled, kTrue);
}

}  // namespace
