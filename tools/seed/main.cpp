// quenk-seed: puts sample driver leftovers on a Wine or Windows machine and
// reports afterwards what a cleaning run left.
//   quenk-seed seed [vendor...]     seed all vendors, or the ones named
//   quenk-seed check [vendor...]    fails, naming them, where entries are not as seeded
//   quenk-seed report [vendor...]   what is left; decoys that went are errors
//   quenk-seed seed-current [word...]         the current machine: what the profiles
//                                             NVIDIACurrent, AMDCurrent, IntelCurrent and
//                                             RealtekCurrent name, with decoys
//   quenk-seed check-current [word...]        as check, for the current machine
//   quenk-seed report-current [word...]       as report, for the current machine
//   quenk-seed seed-current-inuse [word...]   the current machine with a present device
//                                             using each word's display or audio package,
//                                             so that nothing of the word may go
//   quenk-seed check-current-inuse [word...]  and report-current-inuse [word...]: for it
//   quenk-seed clear                remove every seeded entry, of both machines
//   quenk-seed close                close Quenk's main window (as its close box)
//   quenk-seed menu ID              choose a menu entry of Quenk's main window
//   quenk-seed rect CLASS           print a window's screen rectangle: x y width height
//   quenk-seed closewhenup          wait for Quenk's main window to show, then close it
//   quenk-seed pick CLASS ID N      select entry N of list ID in a Quenk window, as a click does
//   quenk-seed front CLASS          bring a window to the front (Wine without a window
//                                   manager leaves one shown before its owner below it)
//   quenk-seed fill FOLDER N [SIZE [PER]]
//                                   put N files of SIZE bytes named extra00000.dll... into
//                                   FOLDER, or PER of them into each of its folders part000...
#include "Leftovers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<quenk::seed::Entry> Selected(int argc, char** argv) {
  if (argc <= 2) return quenk::seed::Leftovers();
  std::vector<quenk::seed::Entry> out;
  for (int i = 2; i < argc; ++i)
    for (auto& e : quenk::seed::LeftoversOf(argv[i])) out.push_back(std::move(e));
  return out;
}

using Pick = std::vector<quenk::seed::Entry> (*)(const std::string&);

std::vector<quenk::seed::Entry> SelectedBy(Pick pick, int argc, char** argv) {
  if (argc <= 2) return pick("");
  std::vector<quenk::seed::Entry> out;
  for (int i = 2; i < argc; ++i)
    for (auto& e : pick(argv[i])) out.push_back(std::move(e));
  return out;
}

int Check(const std::vector<quenk::seed::Entry>& entries) {
  const auto unlike = quenk::seed::Unlike(entries);
  for (const auto& e : unlike)
    std::fprintf(stderr, "not as seeded (did a Wine server start since?): %s\n", e.c_str());
  return unlike.empty() ? 0 : 1;
}

int Report(const std::vector<quenk::seed::Entry>& entries) {
  int wrong = 0;
  for (const auto& e : entries) {
    const bool present = quenk::seed::Exists(e);
    if (e.survives && !present) ++wrong;
    const char* state = e.survives ? (present ? "kept (decoy)" : "GONE, BUT MUST STAY")
                                   : (present ? "still there" : "removed");
    std::printf("  %-22s %s\n", state, quenk::seed::Describe(e).c_str());
  }
  return wrong ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "seed") {
    quenk::seed::Seed(Selected(argc, argv));
    return 0;
  }
  if (verb == "report") return Report(Selected(argc, argv));
  if (verb == "check") return Check(Selected(argc, argv));
  for (const auto& [suffix, pick] :
       {std::pair<std::string, Pick>{"", quenk::seed::CurrentLeftoversOf},
        {"-inuse", quenk::seed::CurrentInUseOf}}) {
    if (verb == "seed-current" + suffix) {
      quenk::seed::Seed(SelectedBy(pick, argc, argv));
      return 0;
    }
    if (verb == "check-current" + suffix) return Check(SelectedBy(pick, argc, argv));
    if (verb == "report-current" + suffix) return Report(SelectedBy(pick, argc, argv));
  }
  if (verb == "clear") {
    quenk::seed::Clear();
    quenk::seed::ClearCurrent();
    return 0;
  }
  if (verb == "menu" && argc > 2) {
    HWND main = ::FindWindowA("TVeskForm", nullptr);
    if (main) ::SendMessageA(main, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0);
    return main ? 0 : 1;
  }
  if (verb == "rect" && argc > 2) {
    HWND window = ::FindWindowA(argv[2], nullptr);
    RECT r{};
    if (!window || !::GetWindowRect(window, &r)) return 1;
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (verb == "pick" && argc > 4) {
    HWND window = ::FindWindowA(argv[2], nullptr);
    const int id = std::atoi(argv[3]);
    struct Search {
      int id;
      HWND found;
    } s{id, nullptr};
    ::EnumChildWindows(
        window,
        [](HWND hwnd, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          if (::GetDlgCtrlID(hwnd) != s->id) return TRUE;
          s->found = hwnd;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    if (!s.found) return 1;
    ::SendMessageA(s.found, LB_SETCURSEL, static_cast<WPARAM>(std::atoi(argv[4])), 0);
    ::SendMessageA(::GetParent(s.found), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(s.found));
    return 0;
  }
  if (verb == "front" && argc > 2) {
    HWND window = ::FindWindowA(argv[2], nullptr);
    if (!window) return 1;
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(window);
    return 0;
  }
  if (verb == "closewhenup") {
    for (int i = 0; i < 6000; ++i) {
      HWND main = ::FindWindowA("TVeskForm", nullptr);
      if (main && ::IsWindowVisible(main)) {
        ::PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
      }
      ::Sleep(10);
    }
    return 1;
  }
  if (verb == "fill" && argc > 3) {
    const int count = std::atoi(argv[3]);
    const std::string bytes(argc > 4 ? static_cast<std::size_t>(std::atoi(argv[4])) : 0, 'x');
    const int per = argc > 5 ? std::max(1, std::atoi(argv[5])) : 0;
    ::CreateDirectoryA(argv[2], nullptr);
    char path[MAX_PATH];
    for (int i = 0; i < count; ++i) {
      if (per) {
        std::snprintf(path, sizeof path, "%s\\part%03d", argv[2], i / per);
        if (i % per == 0) ::CreateDirectoryA(path, nullptr);
        std::snprintf(path, sizeof path, "%s\\part%03d\\extra%05d.dll", argv[2], i / per, i);
      } else {
        std::snprintf(path, sizeof path, "%s\\extra%05d.dll", argv[2], i);
      }
      HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (h == INVALID_HANDLE_VALUE) continue;
      DWORD written = 0;
      if (!bytes.empty())
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      ::CloseHandle(h);
    }
    return 0;
  }
  if (verb == "close") {
    HWND main = ::FindWindowA("TVeskForm", nullptr);
    if (main) ::PostMessageA(main, WM_CLOSE, 0, 0);
    return main ? 0 : 1;
  }
  std::fprintf(stderr, "usage: quenk-seed seed|check|report[-current[-inuse]]|clear [word...]\n");
  return 2;
}
