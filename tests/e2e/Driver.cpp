#include "Driver.h"

#include <thread>

namespace quenk::e2e {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

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

HWND Quenk::Window(const char* className) const {
  struct Search {
    DWORD pid;
    const char* cls;
    HWND found;
  } s{pi_.dwProcessId, className, nullptr};
  ::EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        char cls[64] = {};
        ::GetClassNameA(hwnd, cls, sizeof cls);
        if (pid == s->pid && lstrcmpA(cls, s->cls) == 0) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND Quenk::WaitWindow(const char* className, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitFor([&] { return (found = Window(className)) != nullptr; }, timeout);
  return found;
}

bool Quenk::WaitVisible(const char* className, std::chrono::milliseconds timeout) const {
  return WaitFor([&] { return Visible(Window(className)); }, timeout);
}

HWND Quenk::ErrorBox() const {
  HWND box = Window("#32770");
  return box && Text(box) == "Quenk" ? box : nullptr;
}

bool Quenk::WaitExit(std::chrono::milliseconds timeout) {
  return pi_.hProcess &&
         ::WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool Quenk::Running() const {
  return pi_.hProcess && ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

void Quenk::Idle() const {
  if (pi_.hProcess) ::WaitForInputIdle(pi_.hProcess, 5000);
  // A sent message is handled at the program's next look into its queue,
  // ahead of what is posted there; each one answered means one more posted
  // message has been dispatched. The tests post a few at a time.
  if (HWND main = Main()) {
    for (int i = 0; i < 6; ++i) {
      DWORD_PTR result = 0;
      ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    }
  }
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
  wchar_t buffer[1024] = {};
  ::GetWindowTextW(window, buffer, 1024);
  char out[2048] = {};
  ::WideCharToMultiByte(CP_ACP, 0, buffer, -1, out, sizeof out, nullptr, nullptr);
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

namespace {

void Command(HWND form, int id, int code) {
  HWND child = Child(form, id);
  ::PostMessageA(::GetParent(child), WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(child));
}

}  // namespace

void ClickButton(HWND form, int id) {
  Command(form, id, BN_CLICKED);
}

void SelectListItem(HWND form, int id, int index) {
  ::SendMessageW(Child(form, id), LB_SETCURSEL, index, 0);
  Command(form, id, LBN_SELCHANGE);
}

void DoubleClickListItem(HWND form, int id, int index) {
  ::SendMessageW(Child(form, id), LB_SETCURSEL, index, 0);
  Command(form, id, LBN_DBLCLK);
}

void SetCheck(HWND form, int id, bool checked) {
  ::SendMessageW(Child(form, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  Command(form, id, BN_CLICKED);
}

bool Checked(HWND form, int id) {
  return ::SendMessageW(Child(form, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void PressKeys(HWND target, std::initializer_list<WORD> keys) {
  ::SetForegroundWindow(target);
  WaitFor([&] { return ::GetForegroundWindow() == target; }, 2s);
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    inputs.push_back(in);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *--it;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
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
