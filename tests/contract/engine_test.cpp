#include "Contract.h"

#include "base/IoError.h"
#include "engine/Delete.h"
#include "profiles/ATi.h"
#include "profiles/Creative.h"
#include "profiles/NVIDIA.h"
#include "profiles/NVIDIA_CHIPSET.h"
#include "profiles/Realtek.h"

namespace quenk::test {
namespace {

namespace attr = platform::attr;
using Lines = std::vector<std::string>;

struct Steps final : engine::Progress {
  int count = 0;
  void Advance() override { ++count; }
};

// The removal engine over the machine's real (or simulated) ports.
class EngineContract : public Contract {
 protected:
  CleaningRecord record;
  Steps steps;
  engine::Remover remover{ports, record, steps};
  Lines Deleted() { return record.Deleted().Lines(); }
  Lines NotDeleted() { return record.NotDeleted().Lines(); }
  static Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
  }
};

TEST_F(EngineContract, RemoveFilesRecordsFolderPlusLongName) {
  const std::string f = dir + "\\";
  machine->MakeFile(f + "nvcpl.dll");
  machine->MakeFile(f + "NVCPLUI.EXE", "", attr::kHidden | attr::kSystem);
  machine->MakeFile(f + "nvcpl_ro.dll", "", attr::kReadOnly);
  machine->MakeFile(f + "nvcpl_busy.dll");
  machine->HoldOpen(f + "nvcpl_busy.dll");
  machine->MakeFile(f + "nvcplDir\\inside.txt");
  machine->MakeFile(f + "keep.dll");
  const std::vector<std::string_view> masks{"nvcpl*.*", "", "none*.*"};
  remover.RemoveFiles(f, masks);
  EXPECT_EQ(Sorted(Deleted()), (Lines{f + "NVCPLUI.EXE", f + "nvcpl.dll"}));
  EXPECT_EQ(Sorted(NotDeleted()),
            (Lines{f + "nvcplDir", f + "nvcpl_busy.dll", f + "nvcpl_ro.dll"}));
  EXPECT_EQ(steps.count, 3);
  EXPECT_TRUE(ports.fs.Exists(f + "nvcplDir\\inside.txt"));
  EXPECT_TRUE(ports.fs.Exists(f + "keep.dll"));
  EXPECT_EQ(*ports.fs.Attributes(f + "nvcpl_ro.dll") & attr::kReadOnly, attr::kReadOnly);
}

TEST_F(EngineContract, RemoveFolderKeepsWhatHoldsAReadOnlyFile) {
  const std::string t = dir + "\\tree";
  for (const char* p : {"\\a.txt", "\\sub\\b.txt", "\\sub\\deep\\c.txt", "\\other\\d.txt"})
    machine->MakeFile(t + p);
  machine->MakeFile(t + "\\sub\\deep\\ro.txt", "", attr::kReadOnly);
  remover.RemoveFolder(t);
  EXPECT_EQ(NotDeleted(), Lines{t});
  EXPECT_TRUE(ports.fs.Exists(t + "\\sub\\deep\\ro.txt"));
  EXPECT_FALSE(ports.fs.Exists(t + "\\other"));
  EXPECT_FALSE(ports.fs.Exists(t + "\\sub\\b.txt"));
  EXPECT_THROW(remover.RemoveFolder(dir + "\\missing"), IoError);
}

TEST_F(EngineContract, FolderInUseIsEmptiedThenRaises) {
  const std::string t = dir + "\\busy";
  machine->MakeFile(t + "\\a.txt");
  machine->MakeFolder(t + "\\cwd");
  machine->SetCurrentDir(t + "\\cwd");
  try {
    remover.RemoveFolder(t);
    ADD_FAILURE() << "expected the folder-removal error";
  } catch (const IoError& e) {
    EXPECT_EQ(e.Code(), platform::err::kSharingViolation);
    EXPECT_EQ(e.what(), t + "\\cwd: I/O error 32");  // the folder that resisted
  }
  EXPECT_FALSE(ports.fs.Exists(t + "\\a.txt"));
  EXPECT_TRUE(Deleted().empty() && NotDeleted().empty());
}

TEST_F(EngineContract, LinkInATreeIsNeverDescendedInto) {
  const auto links = machine->MakeLinkTree();
  remover.RemoveFolder(links.tree);
  EXPECT_TRUE(ports.fs.Exists(links.outside + "\\keep.txt"));
  EXPECT_FALSE(ports.fs.Exists(links.tree + "\\a.txt"));
  if (machine->OnWine()) {
    // Wine removes a symlink's target instead of the link; that fails here
    // because the target is not empty, so the tree is recorded as kept.
    EXPECT_EQ(NotDeleted(), Lines{links.tree});
  } else {
    EXPECT_EQ(Deleted(), Lines{links.tree});
  }
}

TEST_F(EngineContract, InstallerFoldersByCompany) {
  const std::string is = dir + "\\InstallShield Installation Information\\";
  const auto folder = [&](const std::string& name, const std::string& ini) {
    machine->MakeFile(is + name + "\\setup.exe");
    if (!ini.empty())
      machine->MakeFile(is + name + "\\setup.ini", "[Startup]\r\nCompanyName=" + ini + "\r\n");
  };
  folder("{1}", "Realtek Semiconductor Corp.");
  folder("{2}", "REALTEK");
  folder("{3}", "Realte");
  folder("{4}", "");
  folder("{5}", "Realtek");
  machine->MakeFolder(is + "{5}", attr::kHidden);
  remover.RemoveInstallerFolders(is, "Realtek");
  EXPECT_EQ(Deleted(), Lines{is + "{1}"});
  EXPECT_TRUE(NotDeleted().empty());
  for (const char* kept : {"{2}", "{3}", "{4}", "{5}"})
    EXPECT_TRUE(ports.fs.Exists(is + kept)) << kept;
  EXPECT_EQ(steps.count, 0);
}

TEST_F(EngineContract, KeysAreDeletedWithTheirSubtrees) {
  const std::string base = machine->ScratchKey();
  machine->MakeKey(platform::kCurrentUser, base + "\\Creative Tech\\Audio\\Devices\\0000");
  machine->SetValue(platform::kCurrentUser, base + "\\Creative Tech\\Audio", "Path",
                    platform::regtype::kString, std::string("C:\\x\0", 5));
  machine->MakeKey(platform::kCurrentUser, base + "\\Creative Labs");
  machine->MakeKey(platform::kCurrentUser, base + "\\ATI Technologies\\Install\\ccc-skins\\x");
  const std::vector<std::string_view> names{"CREATIVE TECH", "Missing",
                                            "ATI Technologies\\Install\\ccc-skins"};
  remover.RemoveKeys(platform::kCurrentUser, base, names);
  EXPECT_EQ(Deleted(), (Lines{"HKCU\\" + base + "\\CREATIVE TECH",
                              "HKCU\\" + base + "\\ATI Technologies\\Install\\ccc-skins"}));
  EXPECT_FALSE(machine->KeyExists(platform::kCurrentUser, base + "\\Creative Tech"));
  EXPECT_TRUE(machine->KeyExists(platform::kCurrentUser, base + "\\Creative Labs"));
  EXPECT_TRUE(machine->KeyExists(platform::kCurrentUser, base + "\\ATI Technologies\\Install"));
  remover.RemoveKeys(platform::kCurrentUser, base + "\\Nothing Here", names);
  EXPECT_EQ(Deleted().size(), 2u);
  EXPECT_EQ(steps.count, 6);
}

TEST_F(EngineContract, RegistryLinksGoAsLinksAndTheirTargetsKeepEverything) {
  const std::string base = machine->ScratchKey();
  machine->MakeKey(platform::kCurrentUser, base + "\\Precious\\Sub");
  machine->MakeKeyLink(platform::kCurrentUser, base + "\\Vendor", base + "\\Precious");
  machine->MakeKeyLink(platform::kCurrentUser, base + "\\Tree\\Inner", base + "\\Precious");
  machine->MakeKey(platform::kCurrentUser, base + "\\Tree\\Plain");
  const std::vector<std::string_view> names{"Vendor", "Tree"};
  remover.RemoveKeys(platform::kCurrentUser, base, names);
  EXPECT_EQ(Deleted(), (Lines{"HKCU\\" + base + "\\Vendor", "HKCU\\" + base + "\\Tree"}));
  EXPECT_TRUE(machine->KeyExists(platform::kCurrentUser, base + "\\Precious\\Sub"));
  EXPECT_FALSE(machine->KeyExists(platform::kCurrentUser, base + "\\Vendor"));
  EXPECT_FALSE(machine->KeyExists(platform::kCurrentUser, base + "\\Tree"));
}

TEST_F(EngineContract, OneListingPicksWhatEachMaskSearchFinds) {
  // Long names with and without dots, leading dots, blanks, 8-bit
  // characters, names that match only through their short form, and names
  // whose long form matches while the short one does not.
  for (const char* name : {"nvapi.dll",
                           "NVAPI64.DLL",
                           "nvapi",
                           ".nvapi",
                           "nvapi.",
                           "nv api.dll",
                           "nv cpl.dll",
                           "nvapi.dll.bak",
                           "\xE9nvapi.dll",
                           "nvcpl\xE9.dll",
                           "nvcplui_longname.dll",
                           "xnvcpl.dll",
                           "nvdspsch.exe",
                           "nvdsp.dll",
                           "ctasio",
                           "CT_OAL.DLL",
                           "ct oal.dll",
                           "RTKVHDA64.sys",
                           "RtkAPO.dll.mui",
                           "SRSTS.x.y",
                           "atiogl.xml",
                           "ATIDEMGX.dll",
                           "keystone.exe",
                           "nvmctray.dll",
                           "NV4_Mini.sys",
                           "nvlddmkm.sys",
                           "a",
                           "readme"})
    machine->MakeFile(dir + "\\" + name);
  machine->MakeFolder(dir + "\\nvcplDir");
  std::vector<platform::FindEntry> listing;
  {
    auto search = ports.fs.Find(dir + "\\*", platform::attr::kAnyFile);
    platform::FindEntry e;
    while (search->Next(e))
      if (e.name != "." && e.name != "..") listing.push_back(e);
  }
  namespace nv = profiles::nvidia;
  const engine::Table tables[] = {nv::System32Masks,
                                  nv::DriversMasks,
                                  nv::DllCacheMasks,
                                  nv::PrefetchMasks,
                                  profiles::nvidia_chipset::DriversMasks,
                                  profiles::ati::System32Masks,
                                  profiles::creative::System32Masks,
                                  profiles::creative::DriversMasks,
                                  profiles::realtek::System32Masks,
                                  profiles::realtek::DriversMasks};
  int masks = 0;
  for (const auto table : tables) {
    for (const auto mask : table) {
      if (mask.empty() || !engine::MatchableInMemory(mask)) continue;
      ++masks;
      Lines searched;
      for (const auto& name : Names(dir + "\\" + std::string(mask)))
        if (name != "." && name != "..") searched.push_back(name);
      Lines picked;
      for (const auto& e : listing)
        if (engine::MatchesListed(e, mask)) picked.push_back(e.name);
      EXPECT_EQ(picked, searched) << mask;
    }
  }
  EXPECT_EQ(masks, 124);  // every mask of the five profiles but the empty one
}

// The machine's own halves, found through its ports, and each removal
// repeated on its twin right after.
class EngineHalves : public EngineContract {
 protected:
  static constexpr const char* kCompany = "QuenkContract";
  static constexpr const char* kIs = "InstallShield Installation Information\\";
  EngineHalves() {
    halves = engine::FindHalves(ports.fs, ports.registry);
    files64 = halves.system32 + "quenk-contract\\";
    files32 = halves.sysWow64 + "quenk-contract\\";
  }
  ~EngineHalves() override {
    machine->RemoveKeyTree(platform::kLocalMachine, "Software\\QuenkContract");
    machine->RemoveKeyTree(platform::kLocalMachine, "Software\\WOW6432Node\\QuenkContract");
    for (const std::string& folder :
         {files64, files32, halves.programFiles + kIs + "{QC-64}",
          halves.programFilesX86 + kIs + "{QC-32}", halves.programFilesX86 + kIs + "{QC-CAPS}"}) {
      for (const auto& name : Names(folder + "\\*.*"))
        if (name != "." && name != "..") ports.fs.Delete(folder + "\\" + name);
      ports.fs.RemoveDir(folder);
    }
    for (const std::string& pf : {halves.programFiles, halves.programFilesX86})
      ports.fs.RemoveDir(pf + kIs);  // only when nothing else is in it
  }
  engine::Halves halves;
  std::string files64, files32;
};

TEST_F(EngineHalves, EachRemovalIsRepeatedOnItsTwinRightAfter) {
  const std::string windows = *ports.fs.Env("SYSTEMROOT");
  ASSERT_EQ(halves.sysWow64, windows + "\\SysWOW64\\");
  ASSERT_EQ(halves.programFilesX86, *ports.fs.Env("ProgramFiles(x86)") + "\\");
  ASSERT_TRUE(halves.registry32);

  for (const std::string& f :
       {files64 + "qc64.dll", files32 + "qc32.dll", files32 + "QC32B.EXE", files32 + "keep.dll"})
    machine->MakeFile(f);
  const auto installer = [&](const std::string& folder, const std::string& company) {
    machine->MakeFile(folder + "\\setup.ini", "[Startup]\r\nCompanyName=" + company + "\r\n");
  };
  installer(halves.programFiles + kIs + "{QC-64}", kCompany);
  installer(halves.programFilesX86 + kIs + "{QC-32}", kCompany);
  installer(halves.programFilesX86 + kIs + "{QC-CAPS}", "QUENKCONTRACT");
  machine->MakeKey(platform::kLocalMachine, "Software\\QuenkContract\\Vendor\\Sub");
  machine->MakeKey(platform::kLocalMachine, "Software\\WOW6432Node\\QuenkContract\\Vendor\\A\\B");
  machine->MakeKey(platform::kLocalMachine, "Software\\WOW6432Node\\QuenkContract\\Keep");

  engine::Remover run(ports, record, steps, halves);
  run.RemoveFiles(files64, std::vector<std::string_view>{"qc*.*", "none*.*"});
  run.RemoveInstallerFolders(halves.programFiles + kIs, kCompany);
  run.RemoveKeys(platform::kLocalMachine, "Software\\QuenkContract",
                 std::vector<std::string_view>{"Vendor", "Missing"});

  EXPECT_EQ(Deleted(),
            (Lines{files64 + "qc64.dll", files32 + "qc32.dll", files32 + "QC32B.EXE",
                   halves.programFiles + kIs + "{QC-64}", halves.programFilesX86 + kIs + "{QC-32}",
                   "HKLM\\Software\\QuenkContract\\Vendor",
                   "HKLM\\Software\\WOW6432Node\\QuenkContract\\Vendor"}));
  EXPECT_TRUE(NotDeleted().empty());
  EXPECT_EQ(steps.count, 2 * 2 + 2 * 2);
  EXPECT_TRUE(ports.fs.Exists(files32 + "keep.dll"));
  EXPECT_TRUE(ports.fs.Exists(halves.programFilesX86 + kIs + "{QC-CAPS}"));
  EXPECT_TRUE(
      machine->KeyExists(platform::kLocalMachine, "Software\\WOW6432Node\\QuenkContract\\Keep"));
  EXPECT_FALSE(
      machine->KeyExists(platform::kLocalMachine, "Software\\WOW6432Node\\QuenkContract\\Vendor"));
}

}  // namespace
}  // namespace quenk::test
