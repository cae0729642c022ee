#include "app/CommandLine.h"
#include "app/Program.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Ini.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "ui/win32/Win32Backend.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  quenk::win32::Win32FileSystem fs;
  quenk::win32::Win32Registry registry;
  quenk::win32::Win32Ini ini;
  quenk::win32::Win32Locale locale;
  quenk::win32::Win32Shell shell;
  const quenk::platform::Ports ports{fs, registry, ini, locale, shell};

  std::vector<std::string> arguments = quenk::SplitCommandLine(::GetCommandLineA());
  if (!arguments.empty()) arguments.erase(arguments.begin());

  quenk::ui::win32::Win32Backend backend;
  quenk::ui::Application app(&backend);
  quenk::CreateProgram(app, ports, std::move(arguments));
  app.Run();
  return 0;
}
