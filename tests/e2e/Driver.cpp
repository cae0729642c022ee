#include "Driver.h"

#include <gtest/gtest.h>

#include <array>

namespace quenk::e2e {

Quenk::Quenk(const Options& options) {
  std::string line = "\"" + options.program + "\"";
  for (const auto& a : options.arguments) line += " " + a;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = options.showCommand;
  if (!::CreateProcessA(options.program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        options.workingDir.c_str(), &si, &pi_))
    pi_ = {};
}

Quenk::~Quenk() {
  if (pi_.hProcess) {
    if (Running()) {
      ::TerminateProcess(pi_.hProcess, 1);
      ::WaitForSingleObject(pi_.hProcess, 5000);
    }
    ::CloseHandle(pi_.hThread);
    ::CloseHandle(pi_.hProcess);
  }
}

namespace {

// Top-level windows of one process, with their class names.
std::vector<std::pair<HWND, std::string>> WindowsOf(DWORD processId) {
  struct Search {
    DWORD pid;
    std::vector<std::pair<HWND, std::string>> found;
  } s{processId, {}};
  ::EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        char cls[64] = {};
        if (pid == s->pid && ::GetClassNameA(hwnd, cls, sizeof cls))
          s->found.emplace_back(hwnd, cls);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace

HWND Quenk::Window(const char* className) const {
  for (const auto& [hwnd, cls] : WindowsOf(pi_.dwProcessId))
    if (cls == className) return hwnd;
  return nullptr;
}

HWND Quenk::VisibleWindow(const char* className) const {
  for (const auto& [hwnd, cls] : WindowsOf(pi_.dwProcessId))
    if (cls == className && ::IsWindowVisible(hwnd)) return hwnd;
  return nullptr;
}

std::vector<HWND> Quenk::Forms() const {
  constexpr std::array<const char*, 4> kForms{"TVeskForm", "TLogForm", "TOptionsForm",
                                              "TAboutForm"};
  std::vector<HWND> forms;
  for (const auto& [hwnd, cls] : WindowsOf(pi_.dwProcessId))
    for (const char* form : kForms)
      if (cls == form) forms.push_back(hwnd);
  return forms;
}

HWND Quenk::WaitWindow(const char* className, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitFor([&] { return (found = Window(className)) != nullptr; }, timeout);
  return found;
}

bool Quenk::WaitVisible(const char* className, std::chrono::milliseconds timeout) const {
  return WaitFor([&] { return Visible(Window(className)); }, timeout);
}

HWND Quenk::WaitShown(const char* className) const {
  return WaitVisible(className, kDeadline) ? Window(className) : nullptr;
}

HWND Quenk::ErrorBox() const {
  HWND box = Window("#32770");
  return box && Text(box) == "Quenk" ? box : nullptr;
}

bool Quenk::WaitExit(std::chrono::milliseconds timeout) {
  return pi_.hProcess &&
         ::WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Quenk::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (pi_.hProcess) ::GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

bool Quenk::Running() const {
  return pi_.hProcess && ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  ::GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

HWND Child(HWND window, int id) {
  if (HWND direct = ::GetDlgItem(window, id)) return direct;
  // Controls of a page sit inside the page's own window.
  struct Search {
    int id;
    HWND found;
  } s{id, nullptr};
  ::EnumChildWindows(
      window,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (::GetDlgCtrlID(hwnd) == s->id) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

RECT ChildRect(HWND window, int id) {
  HWND child = Child(window, id);
  RECT r{};
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(HWND window) {
  // The usage and the error reports run to some thousand characters.
  std::wstring wide(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  wide.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, wide.data(), static_cast<int>(wide.size()))));
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  std::string out(static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, 0, wide.data(), size,
                                                                 nullptr, 0, nullptr, nullptr)),
                  '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, out.data(), static_cast<int>(out.size()),
                        nullptr, nullptr);
  return out;
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT len = ::SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (len < 0) break;  // the list changed meanwhile
    std::wstring wide(static_cast<std::size_t>(len) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    std::string text(static_cast<std::size_t>(len) * 2 + 1, '\0');
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(len), text.data(),
                                        static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(static_cast<std::size_t>(n));
    items.push_back(text);
  }
  return items;
}

int ListSelection(HWND list) {
  return static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0));
}

bool Visible(HWND window) {
  return window && ::IsWindowVisible(window);
}

bool Checked(HWND form, int id) {
  return ::SendMessageW(Child(form, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int FocusedId(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
    return 0;
  return ::GetDlgCtrlID(info.hwndFocus);
}

void Send(HWND window, UINT message, WPARAM wp, LPARAM lp, Handler handler) {
  if (handler == Handler::kOpensReport) {
    EXPECT_TRUE(::SendNotifyMessageW(window, message, wp, lp)) << "message " << message;
    return;
  }
  DWORD_PTR result = 0;
  EXPECT_TRUE(::SendMessageTimeoutW(window, message, wp, lp, SMTO_NORMAL,
                                    static_cast<UINT>(kDeadline.count()), &result))
      << "message " << message << " not handled within the deadline";
}

namespace {

// A control's notification to its parent, as the control sends it.
void Notify(HWND form, int id, int code, Handler handler) {
  HWND child = Child(form, id);
  ASSERT_TRUE(child) << "no control " << id;
  Send(::GetParent(child), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(child),
       handler);
}

}  // namespace

void ClickButton(HWND form, int id, Handler handler) {
  Notify(form, id, BN_CLICKED, handler);
}

void SelectListItem(HWND form, int id, int index, Handler handler) {
  Send(Child(form, id), LB_SETCURSEL, index, 0);
  Notify(form, id, LBN_SELCHANGE, handler);
}

void DoubleClickListItem(HWND form, int id, int index) {
  Send(Child(form, id), LB_SETCURSEL, index, 0);
  Notify(form, id, LBN_DBLCLK, Handler::kReturns);
}

void SetCheck(HWND form, int id, bool checked) {
  Send(Child(form, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  Notify(form, id, BN_CLICKED, Handler::kReturns);
}

void Activate(HWND window) {
  ::SetForegroundWindow(window);
  const auto active = [window] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetForegroundWindow() == window &&
           ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
           info.hwndActive == window && info.hwndFocus &&
           (info.hwndFocus == window || ::IsChild(window, info.hwndFocus));
  };
  EXPECT_TRUE(WaitFor(active)) << "window " << Text(window) << " not activated";
}

namespace {

INPUT Key(WORD key, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

void Input(std::vector<INPUT> inputs) {
  const auto sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  EXPECT_EQ(sent, inputs.size()) << "input not queued";
}

}  // namespace

void PressKeys(HWND target, std::initializer_list<WORD> keys) {
  Activate(target);
  PressKeys(keys);
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(Key(key, false));
  for (auto it = keys.end(); it != keys.begin();) inputs.push_back(Key(*--it, true));
  Input(std::move(inputs));
}

void TypeKeys(HWND target, std::initializer_list<WORD> keys) {
  Activate(target);
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    inputs.push_back(Key(key, false));
    inputs.push_back(Key(key, true));
  }
  Input(std::move(inputs));
}

POINT ListItemCenter(HWND list, int index) {
  const auto height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  const auto top = static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  RECT client{};
  ::GetClientRect(list, &client);
  POINT p{client.right / 2, (index - top) * height + height / 2};
  ::ClientToScreen(list, &p);
  return p;
}

void DoubleClickAt(POINT screen) {
  ::SetCursorPos(screen.x, screen.y);
  EXPECT_TRUE(WaitFor([screen] {
    POINT p{};
    return ::GetCursorPos(&p) && p.x == screen.x && p.y == screen.y;
  })) << "the mouse did not move";
  std::vector<INPUT> clicks(4);
  for (std::size_t i = 0; i < clicks.size(); ++i) {
    clicks[i].type = INPUT_MOUSE;
    clicks[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  Input(std::move(clicks));
}

void PostClose(HWND window) {
  ::PostMessageA(window, WM_CLOSE, 0, 0);
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(h, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
  ::CloseHandle(h);
  return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  MakeFolders(path.substr(0, path.find_last_of('\\')));
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(h);
}

}  // namespace quenk::e2e
