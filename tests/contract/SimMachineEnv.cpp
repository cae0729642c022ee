#include "Machine.h"

#include "platform/sim/SimMachine.h"

namespace quenk::test {
namespace {

class SimTestMachine final : public Machine {
 public:
  // Laid out as Wine's 64-bit prefix.
  SimTestMachine() {
    sim_.fs.SetEnv("SYSTEMROOT", "C:\\windows");
    sim_.fs.SetEnv("ProgramFiles", "C:\\Program Files");
    sim_.fs.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
    for (const char* folder : {"C:\\windows\\system32", "C:\\windows\\syswow64",
                               "C:\\Program Files", "C:\\Program Files (x86)"})
      sim_.fs.AddFolder(folder);
    sim_.registry.SetSeparate32BitView(true);
  }

  platform::Ports Ports() override { return sim_.ports(); }
  bool MakeService(const std::string& name) override {
    sim_.services.Add(name);
    return true;
  }
  bool OnWine() const override { return false; }
  bool Simulated() const override { return true; }

  std::string Scratch() override {
    sim_.fs.AddFolder("C:\\scratch");
    return "C:\\scratch";
  }
  void MakeFolder(const std::string& path, std::uint32_t attributes) override {
    sim_.fs.AddFolder(path, attributes);
  }
  void MakeFile(const std::string& path, const std::string& content,
                std::uint32_t attributes) override {
    sim_.fs.AddFile(path, content, attributes ? attributes : platform::attr::kArchive);
  }
  void HoldOpen(const std::string& path) override { sim_.fs.Node(path)->inUse = true; }
  LinkTree MakeLinkTree() override {
    sim_.fs.AddFile("C:\\outside\\keep.txt", "keep");
    sim_.fs.AddFile("C:\\scratch\\tree\\a.txt", "a");
    sim_.fs.AddLink("C:\\scratch\\tree\\link", "C:\\outside", true);
    return {"C:\\scratch\\tree", "C:\\outside"};
  }

  std::string OtherDriveOfC() override {
    sim_.fs.AddDriveAlias('Q', 'C');
    return "Q:";
  }
  std::string ShareOfC() override {
    sim_.fs.AddShare("\\\\localhost\\c$", "C:\\");
    return "\\\\localhost\\c$";
  }

  std::string ScratchKey() override {
    sim_.registry.CreateKey(platform::kCurrentUser, "Software\\QuenkContract");
    return "Software\\QuenkContract";
  }
  void MakeKey(platform::HKey root, const std::string& path) override {
    sim_.registry.CreateKey(root, path);
  }
  void SetValue(platform::HKey root, const std::string& path, const std::string& name,
                std::uint32_t type, const std::string& data) override {
    sim_.registry.SetValue(root, path, name, type, data);
  }
  bool KeyExists(platform::HKey root, const std::string& path) override {
    return sim_.registry.Exists(root, path);
  }
  void MakeKeyLink(platform::HKey root, const std::string& path,
                   const std::string& target) override {
    sim_.registry.CreateLink(root, path, root, target);
  }
  void SetWideValue(platform::HKey root, const std::string& path, const std::u16string& name,
                    std::uint32_t type, const std::string& data) override {
    sim_.registry.SetWideValue(root, path, name, type, data);
  }
  void MakeWideKey(platform::HKey root, const std::string& path,
                   const std::u16string& name) override {
    sim_.registry.CreateWideKey(root, path, name);
  }
  // Latin-1 widened: the simulated code page.
  std::vector<WideValue> WideValues(platform::HKey root, const std::string& path) override {
    std::vector<WideValue> values;
    const sim::SimKey* key = sim_.registry.Find(root, path);
    for (const auto& [slot, v] : key ? key->values : decltype(key->values){}) {
      if (v.wide) {
        values.push_back({v.wideName, v.type, v.wideData});
        continue;
      }
      const bool text = v.type == platform::regtype::kString ||
                        v.type == platform::regtype::kExpandString ||
                        v.type == platform::regtype::kMultiString;
      std::string data;
      for (const char c : v.data) data += text ? std::string{c, '\0'} : std::string(1, c);
      values.push_back({Widen(v.name), v.type, text ? data : v.data});
    }
    return values;
  }
  std::vector<std::u16string> WideSubKeys(platform::HKey root, const std::string& path) override {
    std::vector<std::u16string> names;
    const sim::SimKey* key = sim_.registry.Find(root, path);
    for (const auto& [slot, sub] : key ? key->subKeys : decltype(key->subKeys){})
      names.push_back(sub->nameExact ? Widen(sub->name) : sub->wideName);
    return names;
  }
  // The simulation goes with the test.
  void RemoveKeyTree(platform::HKey, const std::string&) override {}

  void SetEnv(const std::string& name, const std::string& value) override {
    sim_.fs.SetEnv(name, value);
  }
  void SetCurrentDir(const std::string& path) override { sim_.fs.SetCurrentDir(path); }
  std::uintptr_t IconOwner() override { return 0x1234; }

 private:
  static std::u16string Widen(const std::string& text) {
    std::u16string wide;
    for (const char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
  }

  sim::SimMachine sim_;
};

}  // namespace

std::unique_ptr<Machine> MakeMachine() {
  return std::make_unique<SimTestMachine>();
}

}  // namespace quenk::test
