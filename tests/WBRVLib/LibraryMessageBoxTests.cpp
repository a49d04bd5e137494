// The library's boxes on the real system under Wine, answered from a helper thread.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "WBRVLib/Brvl95.h"
#include "tests/support/GuiHarness.h"
#include "toolkit/foundation/Handles.h"

namespace {

struct SeenBox {
    std::string Caption;
    bool HasOk = false, HasCancel = false, HasYes = false, HasNo = false;
    int DefaultId = 0;
    HICON Icon = nullptr;
    int ClientWidth = 0, OkCentre = 0;  // the box's client width and its OK button's centre in it
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
              found_ = GuiHarness::waitUntil([&] {
                  box = FindWindowA("#32770", "Brevalon Library Message");
                  return box && IsWindowVisible(box);
              });
              if (!found_) return;
              // Once the shown box's own message loop answers, it is laid out.
              DWORD_PTR ignored = 0;
              SendMessageTimeoutA(box, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
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
              RECT client{}, ok{};
              GetClientRect(box, &client);
              seen_.ClientWidth = client.right;
              if (GetWindowRect(GetDlgItem(box, IDOK), &ok)) {
                  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&ok), 2);
                  seen_.OkCentre = (ok.left + ok.right) / 2;
              }
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

// The width the caption's text takes on the screen: its glyphs drawn in the caption font, measured
// by their ink (not by the font's metrics, which a substitute font can understate).
int captionInkWidth(const char* caption)
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    WindowDc screen(nullptr);
    MemoryDcHandle memory(CreateCompatibleDC(screen.get()));
    BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), 600, 60));
    GdiObjectHandle font(CreateFontIndirectA(&metrics.lfCaptionFont));
    DcSelection selectBitmap(memory.get(), bitmap.get()), selectFont(memory.get(), font.get());
    RECT all{0, 0, 600, 60};
    FillRect(memory.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(memory.get(), RGB(0, 0, 0));
    SetBkMode(memory.get(), TRANSPARENT);
    TextOutA(memory.get(), 10, 10, caption, lstrlenA(caption));
    int first = -1, last = -1;
    for (int x = 0; x < 600; ++x)
        for (int y = 0; y < 60; ++y)
            if (GetPixel(memory.get(), x, y) != RGB(255, 255, 255)) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

TEST(LibraryMessageBox, AShortTextKeepsTheWholeCaptionAndItsContentsCentred)
{
    // The system sizes the box to the text: "Grid row invalid" alone would cut the caption.
    const int ink = captionInkWidth("Brevalon Library Message");
    ASSERT_GT(ink, 60);
    BoxAnswer answer(IDOK);
    WINMSG("Grid row invalid");
    ASSERT_TRUE(answer.found());
    const SeenBox& box = answer.seen();
    // The caption's text and the close button beside it fit within the box.
    EXPECT_GE(box.ClientWidth, ink + GetSystemMetrics(SM_CXSIZE) + 4);
    // (The system itself places the button a few pixels off the centre.)
    EXPECT_NEAR(box.OkCentre, box.ClientWidth / 2, 4);
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
