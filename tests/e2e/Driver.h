#pragma once

#include "Files.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quenk::e2e {

using namespace std::chrono_literals;

// Where the program under test lives in the test prefix.
inline constexpr const char* kProgramDir = "C:\\quenk";
inline constexpr const char* kProgram = "C:\\quenk\\quenk.exe";
inline constexpr const char* kSettings = "C:\\quenk\\quenk.ini";

// Polls `done` until it holds or the time is up.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);

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
  HWND Window(const char* className) const;
  HWND WaitWindow(const char* className, std::chrono::milliseconds timeout = 15s) const;
  HWND Main() const { return Window("TVeskForm"); }
  bool WaitVisible(const char* className, std::chrono::milliseconds timeout = 15s) const;
  // The error report box captioned "Quenk", if one is up.
  HWND ErrorBox() const;
  bool WaitExit(std::chrono::milliseconds timeout = 15s);
  bool Running() const;
  DWORD Pid() const { return pi_.dwProcessId; }
  // Waits until the program's thread is idle in its message loop.
  void Idle() const;

 private:
  PROCESS_INFORMATION pi_{};
};

// Reading and driving windows of another process, the way a user's clicks
// arrive: commands and notifications posted to the parent.
SIZE ClientSize(HWND window);
RECT ChildRect(HWND window, int id);  // in the parent's client coordinates
HWND Child(HWND window, int id);
std::string Text(HWND window);
std::vector<std::string> ListItems(HWND list);
int ListSelection(HWND list);
bool Visible(HWND window);
void ClickButton(HWND form, int id);
void SelectListItem(HWND form, int id, int index);
void DoubleClickListItem(HWND form, int id, int index);
void SetCheck(HWND form, int id, bool checked);
bool Checked(HWND form, int id);
void PressKeys(HWND target, std::initializer_list<WORD> keys);
void PostClose(HWND window);  // WM_CLOSE

// Files and settings of the prefix.
bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
using seed::DeleteTree;
using seed::ListFolder;
using seed::MakeFolders;

}  // namespace quenk::e2e
