#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/Unattended.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32DriverStore.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Ini.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32NamedLocks.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32Shell.h"
#include "run/Session.h"
#include "ui/win32/Win32Backend.h"

#include <windows.h>

namespace {

// A program of the windows subsystem started from cmd or PowerShell gets no
// standard handles unless the caller redirected them: those it lacks then
// write to the console it was started from, when it was started from one.
quenk::win32::UniqueHandle ParentConsole() {
  const auto missing = [](DWORD which) {
    const HANDLE h = ::GetStdHandle(which);
    return h == nullptr || h == INVALID_HANDLE_VALUE;
  };
  const bool output = missing(STD_OUTPUT_HANDLE), errors = missing(STD_ERROR_HANDLE);
  if ((!output && !errors) || !::AttachConsole(ATTACH_PARENT_PROCESS)) return {};
  quenk::win32::UniqueHandle console(::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
  if (!console.Valid()) return console;
  if (output) ::SetStdHandle(STD_OUTPUT_HANDLE, console.Get());
  if (errors) ::SetStdHandle(STD_ERROR_HANDLE, console.Get());
  return console;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  quenk::win32::Win32FileSystem fs;
  quenk::win32::Win32Registry registry;
  quenk::win32::Win32Ini ini;
  quenk::win32::Win32Locale locale;
  quenk::win32::Win32Shell shell;
  quenk::win32::Win32NamedLocks locks;
  quenk::win32::Win32Services services;
  quenk::win32::Win32DriverStore drivers;
  const quenk::platform::Ports ports{fs, registry, ini, locale, shell, &locks, &services, &drivers};

  std::vector<std::string> arguments = quenk::SplitCommandLine(::GetCommandLineA());
  if (!arguments.empty()) arguments.erase(arguments.begin());

  quenk::Arguments parsed = quenk::ParseArguments(arguments);
  quenk::run::Session session(ports);
  if (parsed.switches.silent) {
    const quenk::win32::UniqueHandle console = ParentConsole();
    // What the caller gave as standard error and output, if anything: a
    // program of the windows subsystem has no console of its own.
    struct StandardHandle final : quenk::MessageSink {
      explicit StandardHandle(DWORD handle) : which(handle) {}
      void Write(std::string_view text) override {
        const HANDLE h = ::GetStdHandle(which);
        if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      }
      DWORD which;
    } standardError(STD_ERROR_HANDLE), standardOutput(STD_OUTPUT_HANDLE);
    // Nor may the system ask, for a drive without its medium or a crash.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    return quenk::RunUnattended(ports, session, parsed, standardError, standardOutput);
  }
  if (parsed.switches.help) {
    ::MessageBoxA(nullptr, quenk::UsageText(session.catalog).c_str(), "Quenk",
                  MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (parsed.switches.check) {
    struct Collected final : quenk::MessageSink {
      void Write(std::string_view text) override { all += text; }
      std::string all;
    } messages, output;
    const int code = quenk::RunUnattended(ports, session, parsed, messages, output);
    const std::string text = messages.all + output.all;
    ::MessageBoxA(nullptr, text.c_str(), "Quenk",
                  MB_OK | (code == 0 ? MB_ICONINFORMATION : MB_ICONWARNING));
    return code;
  }

  quenk::ui::win32::Win32Backend backend;
  quenk::ui::Application app(&backend);
  quenk::CreateProgram(app, ports, session, std::move(parsed));
  app.Run();
  return 0;
}
