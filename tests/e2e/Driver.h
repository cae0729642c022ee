#pragma once

#include "Files.h"
#include "Wait.h"

#include <windows.h>

#include <string>
#include <vector>

namespace quenk::e2e {

// Where the program under test lives in the test prefix.
inline constexpr const char* kProgramDir = "C:\\quenk";
inline constexpr const char* kProgram = "C:\\quenk\\quenk.exe";
inline constexpr const char* kSettings = "C:\\quenk\\quenk.ini";

// quenk.exe started from the test, in a folder of the test's choice; killed
// when still running at the end of the test.
class Quenk {
 public:
  struct Options {
    std::vector<std::string> arguments;
    std::string program = kProgram;
    std::string workingDir = kProgramDir;
    WORD showCommand = SW_SHOWNORMAL;
  };
  explicit Quenk(const Options& options);
  Quenk() : Quenk(Options{}) {}
  ~Quenk();
  Quenk(const Quenk&) = delete;
  Quenk& operator=(const Quenk&) = delete;

  // A top-level window of the program by its class ("TVeskForm", "TLogForm", ...).
  // One of its windows of that class that is shown: Wine may keep hidden
  // ones (menus) beside it.
  HWND VisibleWindow(const char* className) const;
  HWND Window(const char* className) const;
  HWND WaitWindow(const char* className, std::chrono::milliseconds timeout = 15s) const;
  HWND Main() const { return Window("TVeskForm"); }
  bool WaitVisible(const char* className, std::chrono::milliseconds timeout = 15s) const;
  // The window once it is visible, or null when it is not within the deadline.
  HWND WaitShown(const char* className) const;
  // The error report box captioned "Quenk", if one is up.
  HWND ErrorBox() const;
  // Every top-level window of the program's own classes.
  std::vector<HWND> Forms() const;
  bool WaitExit(std::chrono::milliseconds timeout = 15s);
  bool Running() const;
  // The exit code once it has ended.
  DWORD ExitCode() const;
  DWORD Pid() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
};

// Reading windows of another process.
SIZE ClientSize(HWND window);
RECT ChildRect(HWND window, int id);  // in the parent's client coordinates
HWND Child(HWND window, int id);
std::string Text(HWND window);
std::vector<std::string> ListItems(HWND list);
int ListSelection(HWND list);
bool Visible(HWND window);
bool Checked(HWND form, int id);
// The control id of the focus in the thread that owns `window` (0: none).
int FocusedId(HWND window);

// Driving them. Each action returns once the program has handled it, so no
// later message can overtake it: messages are sent, not posted, and the send
// fails the test when the handler does not return within the deadline. A
// handler that opens the error report returns only when it is answered; those
// actions leave without waiting, and the test waits for the report.
enum class Handler { kReturns, kOpensReport };
void Send(HWND window, UINT message, WPARAM wp = 0, LPARAM lp = 0,
          Handler handler = Handler::kReturns);
void ClickButton(HWND form, int id, Handler handler = Handler::kReturns);
void SelectListItem(HWND form, int id, int index, Handler handler = Handler::kReturns);
void DoubleClickListItem(HWND form, int id, int index);
void SetCheck(HWND form, int id, bool checked);
void PostClose(HWND window);  // WM_CLOSE, as the close box sends it

// Real input through SendInput, as a user's keys and mouse arrive. It is
// queued: the test waits for its effect.
void Activate(HWND window);  // foreground and active, its focus set
// Presses the keys together (a shortcut): down in order, up in reverse; in
// `target`, or where the focus is.
void PressKeys(HWND target, std::initializer_list<WORD> keys);
void PressKeys(std::initializer_list<WORD> keys);
// Presses the keys one after the other.
void TypeKeys(HWND target, std::initializer_list<WORD> keys);
POINT ListItemCenter(HWND list, int index);  // on the screen
void DoubleClickAt(POINT screen);

// Files and settings of the prefix.
bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
using seed::DeleteTree;
using seed::ListFolder;
using seed::MakeFolders;

}  // namespace quenk::e2e
