// Any setup.ini content through the installer-folder removal: no crash, no
// hang, a company name read within the profile functions' 2047 characters,
// and the folder removed exactly when that name begins with the prefix.
#include "engine/Delete.h"
#include "platform/sim/SimMachine.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct NoProgress final : quenk::engine::Progress {
  void Advance() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  quenk::sim::SimMachine machine;
  const std::string folder = "C:\\Program Files\\InstallShield Installation Information\\";
  machine.fs.AddFile(folder + "{X}\\setup.ini", content);
  machine.fs.AddFile(folder + "{X}\\data\\payload.cab", "x");

  const std::string company =
      machine.ini.Read(folder + "{X}\\setup.ini", "Startup", "CompanyName", "Not");
  if (company.size() > 2047 || company.find('\0') != std::string::npos) std::abort();

  quenk::CleaningRecord record;
  NoProgress progress;
  quenk::engine::Remover remover(machine.ports(), record, progress);
  remover.RemoveInstallerFolders(folder, "Realtek");
  const bool expected = company.compare(0, 7, "Realtek") == 0;
  const bool removed = machine.fs.Node(folder + "{X}") == nullptr;
  if (removed != expected || record.Deleted().Size() != (expected ? 1u : 0u)) std::abort();

  // A value written is read back as written, whatever the file held before.
  machine.fs.AddFile(folder + "{Y}\\setup.ini", content);
  if (!machine.ini.Write(folder + "{Y}\\setup.ini", "Startup", "CompanyName", "Realtek Corp."))
    std::abort();
  if (machine.ini.Read(folder + "{Y}\\setup.ini", "Startup", "CompanyName", "Not") !=
      "Realtek Corp.")
    std::abort();
  return 0;
}
