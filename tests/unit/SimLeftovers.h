#pragma once

#include "platform/sim/SimMachine.h"

#include <string>

namespace quenk::test {

// Leftovers of all five vendors on a simulated machine (set up as
// ProfileFixture does), with every kind of file, folder and value a
// backup must carry: attributes, times, binary bytes, nested and empty and
// hidden folders, links, names ending in a dot, paths past MAX_PATH, every
// value type, default values, empty keys, odd names, registry links.
inline void SeedAllVendors(sim::SimMachine& m) {
  using namespace platform;
  auto& fs = m.fs;
  auto& reg = m.registry;
  const std::string sys = "C:\\Windows\\System32\\", drv = sys + "drivers\\";
  const std::string is = "C:\\Program Files\\InstallShield Installation Information\\";
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  const auto file = [&](const std::string& path, const std::string& content, std::uint32_t a,
                        std::uint64_t time) {
    auto& n = fs.AddFile(path, content, a);
    n.times = {time, time + 10'000'000, time + 20'000'000};
  };
  const std::uint64_t t = 132'000'000'000'000'000;

  // NVIDIA - Display
  file(sys + "nvcpl.dll", binary, attr::kHidden | attr::kSystem | attr::kArchive, t);
  file(sys + "nvapi64.dll", "nvapi", attr::kArchive, t + 1);
  file(sys + "nvcuda.dll", "not a leftover", attr::kArchive, t + 2);
  file(drv + "nvlddmkm.sys", binary + binary, attr::kSystem, t + 3);
  file(sys + "dllcache\\nv4_disp.dll", "", 0, t + 4);
  file("C:\\Windows\\prefetch\\NVCPL.EXE-1A2B3C4D.pf", "pf", attr::kArchive, t + 5);
  const std::string help = "C:\\Windows\\Help\\nvcpl";
  file(help + "\\nvcpl.chm", "chm", attr::kArchive, t + 6);
  file(help + "\\de\\nvcpl.chm", "de", attr::kHidden, t + 7);
  fs.AddFolder(help + "\\empty", attr::kHidden);
  file("\\\\?\\" + help + "\\dotted.\\inside.txt", "dot", attr::kArchive, t + 8);
  std::string deep = help + "\\deep";
  while (deep.size() < 300) deep += "\\level";
  file(deep + "\\far.txt", "far", attr::kArchive, t + 9);
  fs.AddFile("C:\\Outside\\keep.txt", "outside");
  fs.AddLink(help + "\\junction", "C:\\Outside", true);
  for (const std::string& folder :
       {help + "\\de", help + "\\empty", "\\\\?\\" + help + "\\dotted.", help + "\\deep", help})
    fs.Node(folder)->times = {t + 100, t + 200, t + 300};
  reg.SetString(kCurrentUser, "Software\\NVIDIA Corporation\\Global\\NvCplApi\\Policies",
                "ContextUIPolicy", "2");
  const std::string values = "Software\\NVIDIA Corporation\\Global\\Values \xe9=\"x\"";
  reg.SetString(kCurrentUser, values, "", "default");
  reg.SetValue(kCurrentUser, values, "Path \\ \"q\" = \xfc", regtype::kString,
               std::string("C:\\x\0", 5));
  reg.SetValue(kCurrentUser, values, "No NUL", regtype::kString, "AB");
  reg.SetValue(kCurrentUser, values, "Lines", regtype::kString, std::string("a\r\nb\0", 5));
  reg.SetValue(kCurrentUser, values, "Expand", regtype::kExpandString,
               std::string("%SystemRoot%\\x\0", 16));
  reg.SetValue(kCurrentUser, values, "Multi", regtype::kMultiString,
               std::string("one\0two\0\0", 9));
  reg.SetValue(kCurrentUser, values, "Dword", regtype::kDword, std::string("\x0a\0\0\x80", 4));
  reg.SetValue(kCurrentUser, values, "Short dword", regtype::kDword, "\x01\x02");
  reg.SetValue(kCurrentUser, values, "Qword", regtype::kQword, binary.substr(1, 8));
  reg.SetValue(kCurrentUser, values, "Binary", regtype::kBinary, binary);
  reg.SetValue(kCurrentUser, values, "None", regtype::kNone, "");
  reg.SetValue(kCurrentUser, values, "Odd type", 0x80000000u, "\xaa\xbb");
  reg.CreateKey(kCurrentUser, values + "\\Empty key");
  reg.CreateKey(kCurrentUser, "Software\\Precious\\Sub");
  reg.CreateLink(kCurrentUser, "Software\\NVIDIA Corporation\\Global\\Link", kCurrentUser,
                 "Software\\Precious");
  reg.SetString(kLocalMachine, "Software\\NVIDIA Corporation\\Installer", "Version", "1.0");
  reg.CreateKey(kLocalMachine, "System\\ControlSet001\\Services\\nvlddmkm\\Enum");
  reg.SetValue(kLocalMachine, "System\\ControlSet001\\Services\\nvlddmkm", "Start", regtype::kDword,
               std::string("\x03\0\0\0", 4));

  // NVIDIA - Chipset
  file(drv + "nvstor.sys", "nvstor", attr::kArchive, t + 10);
  file(drv + "nvraid.sys", "nvraid", attr::kReadOnly, t + 11);  // stays: read-only
  reg.CreateKey(kLocalMachine, "Software\\NVIDIA Corporation\\nForce\\Setup");
  reg.CreateKey(kLocalMachine, "System\\ControlSet002\\Services\\nvraid");

  // ATi - Display
  file(sys + "atiogl.xml", "<xml/>", attr::kArchive, t + 12);
  file("C:\\ATI\\Support\\setup.exe", binary, attr::kArchive, t + 13);
  file("C:\\ATI\\Support\\Packages\\ccc.msi", "msi", attr::kHidden, t + 14);
  fs.Node("C:\\ATI\\Support\\Packages")->times = {t + 400, t + 500, t + 600};
  fs.Node("C:\\ATI\\Support")->times = {t + 700, t + 800, t + 900};
  reg.SetString(kLocalMachine, "Software\\ATI Technologies\\Install", "InstallDir",
                "C:\\ATI\\Support");
  reg.SetValue(kLocalMachine, "Software\\ATI Technologies\\Install\\ccc-branding", "Id",
               regtype::kBinary, "\x01");
  reg.CreateKey(kCurrentUser, "Software\\ATi\\ACE\\Settings");

  // Creative - Sound
  file(sys + "CTAGENT.EXE", "agent", attr::kArchive, t + 15);
  file(drv + "ctaud2k.sys", "aud", attr::kArchive, t + 16);
  file(is + "{CREATIVE-1}\\setup.ini", "[Startup]\r\nCompanyName=Creative Technology Ltd\r\n",
       attr::kArchive, t + 17);
  file(is + "{CREATIVE-1}\\setup.exe", binary, attr::kArchive, t + 18);
  reg.SetString(kCurrentUser, "Software\\Creative Tech\\Audio", "Mode", "3D");
  reg.CreateKey(kLocalMachine, "Software\\ASIO\\Creative ASIO");

  // Realtek - Sound
  file(sys + "RtkAPO64.dll", "apo", attr::kArchive, t + 19);
  file("C:\\Program Files\\Realtek\\Audio\\HDA\\RtkNGUI64.exe", binary, attr::kArchive, t + 20);
  reg.SetString(kLocalMachine, "Software\\Realtek\\InstallShield", "ProgramFilesDir",
                "C:\\Program Files\\Realtek\\Audio");
  file(is + "{REALTEK-1}\\setup.ini", "[Startup]\r\nCompanyName=Realtek Semiconductor Corp.\r\n",
       attr::kHidden, t + 21);
  reg.CreateKey(kCurrentUser, "Software\\Realtek\\Audio");
  reg.CreateKey(kLocalMachine, "Software\\Avance\\Audio");
}

}  // namespace quenk::test
