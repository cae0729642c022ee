#include "Contract.h"

#include "backup/Restore.h"
#include "backup/RunBackup.h"
#include "engine/Delete.h"

namespace quenk::test {
namespace {

namespace attr = platform::attr;
using platform::kCurrentUser;
using platform::RegKey;

struct Steps final : engine::Progress {
  void Advance() override {}
};

// A whole backup and restore over the machine's real (or simulated) ports.
class BackupContract : public Contract {
 protected:
  std::string folder = dir + "\\backup";
  CleaningRecord record;
  Steps steps;
  backup::RunBackup keeper{ports, folder};
  engine::Remover remover{ports, record, steps, {}, &keeper};

  struct Entry {
    std::string path;
    std::uint32_t attributes;
    platform::FileTimes times;
    std::string bytes;
    friend bool operator==(const Entry&, const Entry&) = default;
  };
  // Every entry below `top` with what a restore must bring back; creation
  // times only where the system keeps them apart.
  std::vector<Entry> Tree(const std::string& top) {
    std::vector<Entry> entries;
    auto search = ports.fs.Find(top + "\\*", 63);
    platform::FindEntry e;
    while (search->Next(e)) {
      if (e.name == "." || e.name == "..") continue;
      const std::string path = top + "\\" + e.name;
      Entry entry{
          path,
          e.attributes & (attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kDirectory),
          e.times,
          {}};
      if (machine->OnWine()) entry.times.creation = 0;
      entry.times.lastAccess = 0;  // reading the tree to compare it may touch these
      if (e.attributes & attr::kDirectory) {
        for (auto& inner : Tree(path)) entries.push_back(std::move(inner));
      } else {
        auto opened = ports.fs.Open(path, platform::OpenMode::kRead);
        if (opened.file) opened.file->ReadAll(entry.bytes);
      }
      entries.push_back(std::move(entry));
    }
    return entries;
  }

  struct Value {
    std::string name;
    std::uint32_t type;
    std::string data;
    friend bool operator==(const Value&, const Value&) = default;
    friend bool operator<(const Value& a, const Value& b) { return a.name < b.name; }
  };
  std::vector<std::pair<std::string, std::vector<Value>>> Keys(const std::string& path) {
    std::vector<std::pair<std::string, std::vector<Value>>> out;
    const RegKey key =
        RegKey::OpenItself(ports.registry, kCurrentUser, path, platform::access::kRead);
    if (!key) return out;
    std::vector<Value> values;
    Value v;
    for (std::uint32_t i = 0; ports.registry.EnumValue(key.Get(), i, v.name, v.type, v.data) == 0;
         ++i)
      values.push_back(v);
    std::sort(values.begin(), values.end());
    out.push_back({path, values});
    platform::KeyInfo info;
    ports.registry.QueryInfo(key.Get(), info);
    std::vector<std::string> subs;
    for (std::uint32_t i = 0; i < info.subKeys; ++i) {
      std::string sub;
      if (ports.registry.EnumKey(key.Get(), i, info.maxSubKeyLen + 1, sub) == 0)
        subs.push_back(sub);
    }
    for (const auto& sub : subs)
      for (auto& inner : Keys(path + "\\" + sub)) out.push_back(std::move(inner));
    return out;
  }
};

constexpr platform::FileTimes kOld{132'539'328'000'000'000, 132'539'328'100'000'000,
                                   132'539'328'200'000'000};

TEST_F(BackupContract, AFolderTreeComesBackWithBytesAttributesAndTimes) {
  const std::string t = dir + "\\Vendor";
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  machine->MakeFile(t + "\\driver.sys", binary);
  machine->MakeFile(t + "\\sub\\hidden.dat", "h");
  machine->MakeFile(t + "\\sub\\deeper\\plain.txt", "");
  machine->MakeFolder(t + "\\empty");
  const struct {
    std::string path;
    std::uint32_t attributes;
    int age;
  } facts[] = {{t + "\\driver.sys", attr::kHidden | attr::kSystem, 1},
               {t + "\\sub\\hidden.dat", attr::kHidden, 2},
               {t + "\\sub\\deeper\\plain.txt", 0x20, 3},
               {t + "\\sub\\deeper", 0, 4},
               {t + "\\sub", attr::kHidden, 5},
               {t + "\\empty", 0, 6},
               {t, 0, 7}};
  for (const auto& f : facts) {
    const std::uint64_t shift = static_cast<std::uint64_t>(f.age) * 864'000'000'000;
    ASSERT_EQ(ports.fs.SetTimes(
                  f.path, {kOld.creation + shift, kOld.lastAccess + shift, kOld.lastWrite + shift}),
              0u)
        << f.path;
    ASSERT_EQ(ports.fs.SetAttributes(f.path, f.attributes), 0u) << f.path;
  }
  const auto before = Tree(dir + "\\Vendor");
  const auto top = *ports.fs.Times(t);

  remover.RemoveFolder(t);
  ASSERT_EQ(record.Deleted().Lines(), std::vector<std::string>{t});
  ASSERT_FALSE(ports.fs.Exists(t));
  const auto result = backup::Restore(ports, folder);
  EXPECT_EQ(result.restored, std::vector<std::string>{t});
  EXPECT_TRUE(result.notRestored.empty()) << result.notRestored.front();
  EXPECT_EQ(Tree(t), before);
  EXPECT_EQ(ports.fs.Times(t)->lastWrite, top.lastWrite);

  const auto again = backup::Restore(ports, folder);
  EXPECT_TRUE(again.restored.empty());
  EXPECT_EQ(again.notRestored, std::vector<std::string>{t + ": skipped, it exists"});
  EXPECT_EQ(Tree(t), before);
}

TEST_F(BackupContract, AKeyTreeComesBackWithEveryValueAndLink) {
  const std::string base = machine->ScratchKey();
  const std::string k = base + "\\Vendor";
  const struct {
    const char* key;
    const char* name;
    std::uint32_t type;
    std::string data;
  } values[] = {
      {"", "", 1, std::string("default\0", 8)},
      {"", "Path \\ \"q\" = \xe9", 1, std::string("C:\\x\0", 5)},
      {"", "Expand", 2, std::string("%SystemRoot%\\x\0", 16)},
      {"", "Multi", 7, std::string("one\0two\0\0", 9)},
      {"", "Dword", 4, std::string("\x0a\0\0\x80", 4)},
      {"", "Short dword", 4, "\x01\x02"},
      {"", "Qword", 11, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
      {"", "Binary", 3, std::string("\0\xff\0", 3)},
      {"", "None", 0, ""},
      {"", "Odd type", 0x80000000u, "\xaa"},
      {"\\Sub", "Lines", 1, std::string("a\r\nb\0", 5)},
      {"\\Sub\\Deeper", "x", 1, std::string("\0", 1)},
  };
  for (const auto& v : values) machine->SetValue(kCurrentUser, k + v.key, v.name, v.type, v.data);
  machine->MakeKey(kCurrentUser, k + "\\Empty");
  machine->MakeKey(kCurrentUser, base + "\\Precious\\Inside");
  machine->MakeKeyLink(kCurrentUser, k + "\\Link", base + "\\Precious");
  const auto before = Keys(k);

  const std::vector<std::string_view> names{"Vendor"};
  remover.RemoveKeys(kCurrentUser, base, names);
  ASSERT_EQ(record.Deleted().Size(), 1u);
  ASSERT_FALSE(machine->KeyExists(kCurrentUser, k));
  const auto result = backup::Restore(ports, folder);
  EXPECT_EQ(result.restored.size(), 1u);
  EXPECT_TRUE(result.notRestored.empty()) << result.notRestored.front();
  EXPECT_EQ(Keys(k), before);
  EXPECT_TRUE(
      RegKey::Open(ports.registry, kCurrentUser, k + "\\Link\\Inside", platform::access::kRead));
  EXPECT_TRUE(machine->KeyExists(kCurrentUser, base + "\\Precious\\Inside"));
  EXPECT_TRUE(backup::Restore(ports, folder).restored.empty());
}

}  // namespace
}  // namespace quenk::test
