// Drives the real program from outside, as a user does: starts quorvalent.exe of the tree under
// test in a fresh folder, finds its windows by caption, sends menu commands, clicks, types and
// moves the mouse with real input, reads status-bar parts, message boxes and file dialogs across
// processes, keeps PNG screenshots of the screen, and reads the exit code. Every wait has a
// deadline; a program still running when its driver goes away is ended by its process id.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/WinApi.h"

namespace E2e {

using namespace std::chrono_literals;

// Where screenshots go: build/test-results/<tree>/e2e (or QV_E2E_ARTEFACTS when set).
std::string artefactFolder();

// Saves the whole X display as a PNG file named NAME.png in the artefact folder; returns its
// path, empty when it could not be written.
std::string screenshot(std::string_view name);

// One run of the program.
class Program {
public:
    // A fresh temporary folder holding a copy of the program file; nothing else yet.
    explicit Program(std::string_view label);
    ~Program();  // ends a program that is still running, then removes the folder
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::string& folder() const { return folder_; }
    std::string path(std::string_view name) const { return folder_ + "\\" + std::string(name); }

    // Settings beside the program: the default file the build places, or a given text.
    bool placeDefaultSettings();
    bool placeSettings(std::string_view text);
    bool fileExists(std::string_view name) const;
    std::string readFile(std::string_view name) const;

    // Starts the program with the folder as its current folder.
    bool start();
    DWORD processId() const { return process_.dwProcessId; }
    bool running() const;

    // A visible top-level window of this program with exactly this caption; null after the deadline.
    HWND waitForWindow(std::string_view caption, std::chrono::milliseconds deadline = 20000ms) const;
    // True once no visible top-level window of this program has the caption.
    bool waitWindowGone(std::string_view caption, std::chrono::milliseconds deadline = 10000ms) const;
    // The visible top-level windows of this program, with their captions.
    std::vector<std::pair<HWND, std::string>> windows() const;

    // The exit code once the process has ended; -1 when it is still running at the deadline.
    long waitForExit(std::chrono::milliseconds deadline = 15000ms);
    // Ends the process by its id.
    void kill();

private:
    std::string label_;
    std::string folder_;
    PROCESS_INFORMATION process_{};
};

// A menu command or toolbar press: WM_COMMAND with the identifier, posted to the frame.
void sendCommand(HWND frame, int command);
// Waits until the window's thread serves its queue again (it is not busy). A sent message is
// handled before the messages posted earlier, so this does not show that a posted command or
// input has been handled: a step then waits on the state it checks.
bool settled(HWND window, std::chrono::milliseconds deadline = 10000ms);

// Push button of a dialog or box (BM_CLICK, the same as a click on it); for a check box or radio
// button, returns once its state has turned (false if it did not within the deadline).
bool clickButton(HWND dialog, int controlId);

// Real input: keys, text, the mouse (screen pixels), each event with its own message time.
void pressKey(WORD virtualKey);
void pressKeys(std::initializer_list<WORD> virtualKeys);
void typeText(std::string_view text);
// Clicks into a control (its centre), types the text and leaves the field with Tab, so that a
// numeric field stores the value.
bool typeInto(HWND control, std::string_view text);
// Clicks at a point of a window's client area (a grid cell, say), types, and leaves with Tab.
bool typeIntoCell(HWND window, POINT clientPoint, std::string_view text);
void mouseMove(POINT screen);
void mouseDown(int button = 1);
void mouseUp(int button = 1);
// Press at from, move in steps to to (holding the button at least holdMs before the first move),
// release.
void mouseDrag(POINT from, POINT to, int steps = 8, DWORD holdMs = 400);
// Makes the window the foreground window (it receives the keys that follow).
bool bringToFront(HWND window);

// A window's child by control identifier and by class.
HWND childById(HWND parent, int id);
HWND childByClass(HWND parent, std::string_view className);
std::string windowText(HWND window);

// The status bar of the program's frame: number of parts, their right edges and a part's text
// (0-based; 255 the simple-mode text, "(parts shown)" outside simple mode), read through the
// program's own memory.
std::vector<int> statusBarEdges(HWND bar);
std::string statusBarText(HWND bar, int part);
bool statusBarSimple(HWND bar);
// Puts a text into a part (255: the simple-mode part), so that a test can tell when the program
// writes there.
void setStatusPartText(HWND bar, int part, std::string_view text);
inline void setStatusSimpleText(HWND bar, std::string_view text) { setStatusPartText(bar, 255, text); }

// Toolbar facts that need no memory of the program: the index of a command's button (-1 none),
// its checked and enabled states, the button count.
int toolbarIndex(HWND toolbar, int command);
bool toolbarChecked(HWND toolbar, int command);
int toolbarButtonCount(HWND toolbar);
// A button's rectangle on the screen, read through the program's own memory.
bool toolbarButtonRect(HWND toolbar, int command, RECT& screen);

// A message box: its text, and an answer by button identifier (IDOK, IDYES ...).
std::string messageBoxText(HWND box);

// A common file dialog: types the name into its file-name field and presses its OK button.
bool answerFileDialog(HWND dialog, std::string_view fileName);

}  // namespace E2e
