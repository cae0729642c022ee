// Any bytes as a backup's manifest.txt and registry.reg: reading never
// breaks, what is read is written back and read again the same, and a
// restore from them ends without an exception and overwrites nothing.
#include "backup/Manifest.h"
#include "backup/RegFile.h"
#include "backup/Restore.h"
#include "platform/sim/SimMachine.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quenk;
  const std::string text(reinterpret_cast<const char*>(data), size);

  const auto reg = backup::ParseRegFile(text);
  std::string written = backup::RegFileHeader();
  for (const auto& s : reg.sections) written += backup::FormatRegSection(s);
  const auto again = backup::ParseRegFile(written);
  if (!again.problems.empty() || again.sections != reg.sections) std::abort();

  const auto manifest = backup::ParseManifest(text);
  for (const auto& item : manifest.items) {
    const auto read = backup::ParseManifest(backup::FormatManifestLine(item.entry));
    if (read.items.size() != 1 || !(read.items[0].entry == item.entry)) std::abort();
  }

  sim::SimMachine machine;
  const std::string folder = "C:\\Work\\Backups\\stamp";
  machine.fs.AddFile(folder + "\\manifest.txt", text);
  machine.fs.AddFile(folder + "\\registry.reg", text);
  machine.fs.AddFile(folder + "\\files\\C\\keep.txt", "from the backup");
  machine.fs.AddFile("C:\\keep.txt", "mine");
  machine.registry.SetString(platform::kCurrentUser, "Software\\Keep", "v", "mine");
  try {
    backup::Restore(machine.ports(), folder);
  } catch (...) {
    std::abort();
  }
  if (machine.fs.ReadFile("C:\\keep.txt") != "mine") std::abort();
  if (machine.registry.Find(platform::kCurrentUser, "Software\\Keep")->values.at("V").data !=
      std::string("mine\0", 5))
    std::abort();
  return 0;
}
