#include "Contract.h"

#include <optional>

namespace quenk::test {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
using platform::RegKey;
namespace access = platform::access;

class RegistryContract : public Contract {
 protected:
  std::string base = machine->ScratchKey();
};

TEST_F(RegistryContract, OpenWithoutRegardToCaseAndNeverCreate) {
  machine->MakeKey(kCurrentUser, base + "\\Vendor\\Sub");
  EXPECT_TRUE(
      RegKey::Open(ports.registry, kCurrentUser, base + "\\VENDOR\\sub", access::kAllAccess));
  EXPECT_TRUE(RegKey::Open(ports.registry, kCurrentUser, base + "\\vendor", access::kRead));
  EXPECT_FALSE(RegKey::Open(ports.registry, kCurrentUser, base + "\\Missing", access::kRead));
  EXPECT_FALSE(machine->KeyExists(kCurrentUser, base + "\\Missing"));
  platform::HKey k = 0;
  EXPECT_EQ(ports.registry.Open(kCurrentUser, base + "\\Missing", access::kRead, k),
            platform::err::kFileNotFound);
}

TEST_F(RegistryContract, TypedValues) {
  const std::string key = base + "\\Values";
  machine->SetValue(kCurrentUser, key, "Text", platform::regtype::kString,
                    std::string("C:\\A\0", 5));
  machine->SetValue(kCurrentUser, key, "Expand", platform::regtype::kExpandString,
                    std::string("%TEMP%\\x\0", 9));
  machine->SetValue(kCurrentUser, key, "Number", platform::regtype::kDword,
                    std::string("\x01\0\0\0", 4));
  const RegKey k = RegKey::Open(ports.registry, kCurrentUser, key, access::kRead);
  ASSERT_TRUE(k);
  const struct {
    const char* name;
    std::uint32_t type;
    std::string data;
  } cases[] = {
      {"text", platform::regtype::kString, std::string("C:\\A\0", 5)},
      {"Expand", platform::regtype::kExpandString, std::string("%TEMP%\\x\0", 9)},
      {"NUMBER", platform::regtype::kDword, std::string("\x01\0\0\0", 4)},
  };
  for (const auto& c : cases) {
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(ports.registry.QueryValue(k.Get(), c.name, type, data), 0u) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    EXPECT_EQ(data, c.data) << c.name;
  }
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(ports.registry.QueryValue(k.Get(), "Missing", type, data),
            platform::err::kFileNotFound);
}

TEST_F(RegistryContract, InfoAndEnumeration) {
  for (const char* name : {"b", "A", "ccc"}) machine->MakeKey(kCurrentUser, base + "\\E\\" + name);
  const RegKey k = RegKey::Open(ports.registry, kCurrentUser, base + "\\E", access::kAllAccess);
  ASSERT_TRUE(k);
  platform::KeyInfo info;
  ASSERT_EQ(ports.registry.QueryInfo(k.Get(), info), 0u);
  EXPECT_EQ(info.subKeys, 3u);
  EXPECT_EQ(info.maxSubKeyLen, 3u);
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; ports.registry.EnumKey(k.Get(), i, info.maxSubKeyLen + 1, name) == 0;
       ++i)
    names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "ccc"}));
  EXPECT_EQ(ports.registry.EnumKey(k.Get(), 2, 3, name), platform::err::kMoreData);
  EXPECT_EQ(ports.registry.EnumKey(k.Get(), 3, 10, name), platform::err::kNoMoreItems);
}

TEST_F(RegistryContract, DeleteKeyOnlyWithoutSubkeys) {
  machine->MakeKey(kCurrentUser, base + "\\D\\Parent\\Child");
  const RegKey k = RegKey::Open(ports.registry, kCurrentUser, base + "\\D", access::kAllAccess);
  ASSERT_TRUE(k);
  EXPECT_EQ(ports.registry.DeleteKey(k.Get(), "Parent"), platform::err::kAccessDenied);
  EXPECT_EQ(ports.registry.DeleteKey(k.Get(), "PARENT\\child"), 0u);
  EXPECT_EQ(ports.registry.DeleteKey(k.Get(), "Parent"), 0u);
  EXPECT_EQ(ports.registry.DeleteKey(k.Get(), "Parent"), platform::err::kFileNotFound);
  EXPECT_FALSE(machine->KeyExists(kCurrentUser, base + "\\D\\Parent"));
}

TEST_F(RegistryContract, LinksLeadToTheirTargetUnlessOpenedThemselves) {
  machine->MakeKey(kCurrentUser, base + "\\Target\\Sub");
  machine->MakeKeyLink(kCurrentUser, base + "\\Link", base + "\\Target");
  EXPECT_TRUE(RegKey::Open(ports.registry, kCurrentUser, base + "\\Link\\Sub", access::kRead));
  const RegKey self =
      RegKey::OpenItself(ports.registry, kCurrentUser, base + "\\Link", access::kRead);
  ASSERT_TRUE(self);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(ports.registry.QueryValue(self.Get(), platform::kLinkValueName, type, data), 0u);
  EXPECT_EQ(type, platform::regtype::kLink);
  platform::KeyInfo info;
  ASSERT_EQ(ports.registry.QueryInfo(self.Get(), info), 0u);
  EXPECT_EQ(info.subKeys, 0u);
  // A plain key opened itself is just the key.
  EXPECT_TRUE(RegKey::OpenItself(ports.registry, kCurrentUser, base + "\\Target", access::kRead));
}

TEST_F(RegistryContract, DeletingByNameFollowsALinkDeletingByHandleDoesNot) {
  machine->MakeKey(kCurrentUser, base + "\\TargetA");
  machine->MakeKey(kCurrentUser, base + "\\TargetB");
  machine->MakeKeyLink(kCurrentUser, base + "\\LinkA", base + "\\TargetA");
  machine->MakeKeyLink(kCurrentUser, base + "\\LinkB", base + "\\TargetB");
  const RegKey parent = RegKey::Open(ports.registry, kCurrentUser, base, access::kAllAccess);
  ASSERT_TRUE(parent);
  EXPECT_EQ(ports.registry.DeleteKey(parent.Get(), "LinkA"), 0u);
  EXPECT_FALSE(machine->KeyExists(kCurrentUser, base + "\\TargetA"));
  {
    const RegKey link =
        RegKey::OpenItself(ports.registry, parent.Get(), "LinkB", access::kRead | access::kDelete);
    ASSERT_TRUE(link);
    EXPECT_EQ(ports.registry.DeleteOpenKey(link.Get()), 0u);
  }
  EXPECT_FALSE(machine->KeyExists(kCurrentUser, base + "\\LinkB"));
  EXPECT_TRUE(machine->KeyExists(kCurrentUser, base + "\\TargetB"));
}

// HKLM\Software has a 32-bit view of its own, Software\WOW6432Node; keys
// that both views share (HKCU\Software, HKLM\System) are one key in both.
class RegistryViews : public Contract {
 protected:
  static constexpr const char* kBase = "Software\\QuenkContract32";
  static constexpr const char* kBase32 = "Software\\WOW6432Node\\QuenkContract32";
  ~RegistryViews() override {
    machine->RemoveKeyTree(kLocalMachine, kBase);
    machine->RemoveKeyTree(kLocalMachine, kBase32);
  }
  std::string Name(platform::HKey root, const std::string& path, std::uint32_t view) {
    const RegKey key = RegKey::Open(ports.registry, root, path, access::kRead | view);
    std::string name;
    if (!key || ports.registry.KeyName(key.Get(), name) != 0) return "(none)";
    return UpperCase(name);
  }
};

TEST_F(RegistryViews, The32BitViewOfHklmSoftwareIsWow6432Node) {
  const std::string base = kBase, base32 = kBase32;
  machine->MakeKey(kLocalMachine, base32 + "\\Both\\Sub");
  machine->MakeKey(kLocalMachine, base + "\\Both");
  machine->MakeKey(kLocalMachine, base32 + "\\Only32");
  machine->MakeKey(kLocalMachine, base + "\\Only64");
  machine->MakeKey(kLocalMachine, "System\\CurrentControlSet");  // there on every Windows
  machine->MakeKey(platform::kCurrentUser, "Software");
  const struct {
    std::string path;
    std::uint32_t view;
    std::string nameEnd;  // "" when the key does not open
  } cases[] = {
      {"Software", access::kWow64_32Key, "\\SOFTWARE\\WOW6432NODE"},
      {"Software", 0, "\\SOFTWARE"},
      {"Software", access::kWow64_64Key, "\\SOFTWARE"},
      {base + "\\Both", access::kWow64_32Key, "\\SOFTWARE\\WOW6432NODE\\QUENKCONTRACT32\\BOTH"},
      {base + "\\Both", 0, "\\SOFTWARE\\QUENKCONTRACT32\\BOTH"},
      {base + "\\Only32", access::kWow64_32Key, "\\WOW6432NODE\\QUENKCONTRACT32\\ONLY32"},
      {base + "\\Only32", 0, ""},
      {base + "\\Only64", access::kWow64_32Key, ""},
      {base32 + "\\Only32", access::kWow64_32Key, "\\WOW6432NODE\\QUENKCONTRACT32\\ONLY32"},
      {"System\\CurrentControlSet", access::kWow64_32Key, "\\SYSTEM\\CURRENTCONTROLSET"},
  };
  for (const auto& c : cases) {
    const std::string name = Name(kLocalMachine, c.path, c.view);
    if (c.nameEnd.empty())
      EXPECT_EQ(name, "(none)") << c.path << " view " << c.view;
    else
      EXPECT_TRUE(EndsWith(name, c.nameEnd) && name.rfind("\\REGISTRY\\MACHINE\\", 0) == 0)
          << c.path << " view " << c.view << ": " << name;
  }
  EXPECT_EQ(Name(platform::kCurrentUser, "Software", access::kWow64_32Key),
            Name(platform::kCurrentUser, "Software", 0));
  EXPECT_EQ(Name(platform::kCurrentUser, "Software", 0).rfind("\\REGISTRY\\USER\\", 0), 0u);

  // Below a key opened in the 32-bit view, naming the view stays in it.
  const RegKey both = RegKey::Open(ports.registry, kLocalMachine, base + "\\Both",
                                   access::kAllAccess | access::kWow64_32Key);
  ASSERT_TRUE(both);
  const RegKey sub =
      RegKey::Open(ports.registry, both.Get(), "Sub", access::kRead | access::kWow64_32Key);
  std::string name;
  ASSERT_TRUE(sub && ports.registry.KeyName(sub.Get(), name) == 0);
  EXPECT_TRUE(EndsWith(UpperCase(name), "\\WOW6432NODE\\QUENKCONTRACT32\\BOTH\\SUB")) << name;
}

TEST_F(RegistryViews, DeleteKeyExDeletesInTheViewItNames) {
  const std::string base = kBase, base32 = kBase32;
  machine->MakeKey(kLocalMachine, base + "\\Key");
  machine->MakeKey(kLocalMachine, base32 + "\\Key\\Sub");
  const RegKey key32 = RegKey::Open(ports.registry, kLocalMachine, base + "\\Key",
                                    access::kAllAccess | access::kWow64_32Key);
  ASSERT_TRUE(key32);
  EXPECT_EQ(ports.registry.DeleteKeyEx(key32.Get(), "Sub", access::kWow64_32Key), 0u);
  EXPECT_FALSE(machine->KeyExists(kLocalMachine, base32 + "\\Key\\Sub"));
  EXPECT_EQ(ports.registry.DeleteKeyEx(kLocalMachine, base + "\\Key", access::kWow64_32Key), 0u);
  EXPECT_FALSE(machine->KeyExists(kLocalMachine, base32 + "\\Key"));
  EXPECT_TRUE(machine->KeyExists(kLocalMachine, base + "\\Key"));
  EXPECT_EQ(ports.registry.DeleteKeyEx(kLocalMachine, base + "\\Key", access::kWow64_32Key),
            platform::err::kFileNotFound);
  EXPECT_EQ(ports.registry.DeleteKeyEx(kLocalMachine, base + "\\Key", 0), 0u);
  EXPECT_FALSE(machine->KeyExists(kLocalMachine, base + "\\Key"));
}

struct Value {
  std::string name;
  std::uint32_t type;
  std::string data;
  friend bool operator<(const Value& a, const Value& b) { return a.name < b.name; }
  friend bool operator==(const Value& a, const Value& b) {
    return a.name == b.name && a.type == b.type && a.data == b.data;
  }
};

// Every kind of value a backup must carry: all types, odd names, odd data.
std::vector<Value> OddValues() {
  return {
      {"", platform::regtype::kString, std::string("default\0", 8)},
      {"Text", platform::regtype::kString, std::string("C:\\x \"q\" \xe9\0", 12)},
      {"a=b", platform::regtype::kExpandString, std::string("%TEMP%\\x\0", 9)},
      {"Multi", platform::regtype::kMultiString, std::string("one\0two\0\0", 9)},
      {"Number", platform::regtype::kDword, std::string("\x0a\0\0\0", 4)},
      {"Short dword", platform::regtype::kDword, std::string("\x01\x02", 2)},
      {"Big", platform::regtype::kQword, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
      {"Bytes \\ \"", platform::regtype::kBinary, std::string("\0\xff\0", 3)},
      {"Empty", platform::regtype::kBinary, std::string()},
      {"None", platform::regtype::kNone, std::string("\x01", 1)},
      {"Odd type", 0x80000000u, std::string("\xaa\xbb", 2)},
      {"\xe9t\xe9", platform::regtype::kString, std::string("x\0", 2)},
  };
}

TEST_F(RegistryContract, EnumValueListsEveryValueAsStored) {
  const std::string key = base + "\\Values";
  for (const auto& v : OddValues()) machine->SetValue(kCurrentUser, key, v.name, v.type, v.data);
  machine->MakeKey(kCurrentUser, base + "\\Empty");
  const RegKey k = RegKey::Open(ports.registry, kCurrentUser, key, access::kRead);
  ASSERT_TRUE(k);
  std::vector<Value> listed;
  Value v;
  std::uint32_t i = 0;
  for (; ports.registry.EnumValue(k.Get(), i, v.name, v.type, v.data) == 0; ++i)
    listed.push_back(v);
  EXPECT_EQ(ports.registry.EnumValue(k.Get(), i, v.name, v.type, v.data),
            platform::err::kNoMoreItems);
  std::sort(listed.begin(), listed.end());
  auto expected = OddValues();
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  const RegKey empty = RegKey::Open(ports.registry, kCurrentUser, base + "\\Empty", access::kRead);
  EXPECT_EQ(ports.registry.EnumValue(empty.Get(), 0, v.name, v.type, v.data),
            platform::err::kNoMoreItems);
}

TEST_F(RegistryContract, CreateKeyMakesWhatIsMissingAndSetValueWritesAsGiven) {
  machine->MakeKey(kCurrentUser, base + "\\Have");
  const struct {
    std::string path;
    bool created;
  } cases[] = {{base + "\\New\\Deeper\\Deepest", true},
               {base + "\\New\\Deeper\\Deepest", false},
               {base + "\\HAVE", false},
               {base + "\\Have\\Child", true}};
  for (const auto& c : cases) {
    platform::HKey key = 0;
    bool created = !c.created;
    ASSERT_EQ(ports.registry.CreateKey(kCurrentUser, c.path, false, key, created), 0u) << c.path;
    const RegKey owned(ports.registry, key);
    EXPECT_EQ(created, c.created) << c.path;
    EXPECT_TRUE(machine->KeyExists(kCurrentUser, c.path));
  }
  platform::HKey key = 0;
  bool created = false;
  ASSERT_EQ(ports.registry.CreateKey(kCurrentUser, base + "\\Written", false, key, created), 0u);
  const RegKey written(ports.registry, key);
  for (const auto& v : OddValues())
    ASSERT_EQ(ports.registry.SetValue(written.Get(), v.name, v.type, v.data), 0u) << v.name;
  for (const auto& v : OddValues()) {
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(ports.registry.QueryValue(written.Get(), v.name, type, data), 0u) << v.name;
    EXPECT_EQ(type, v.type) << v.name;
    EXPECT_EQ(data, v.data) << v.name;
  }
}

TEST_F(RegistryContract, CreateKeyMakesALinkThatLeadsWhereAnotherDoes) {
  machine->MakeKey(kCurrentUser, base + "\\Target\\Sub");
  machine->MakeKeyLink(kCurrentUser, base + "\\Model", base + "\\Target");
  std::uint32_t type = 0;
  std::string target;
  {
    const RegKey model =
        RegKey::OpenItself(ports.registry, kCurrentUser, base + "\\Model", access::kRead);
    ASSERT_TRUE(model);
    ASSERT_EQ(ports.registry.QueryValue(model.Get(), platform::kLinkValueName, type, target), 0u);
  }
  platform::HKey key = 0;
  bool created = false;
  ASSERT_EQ(ports.registry.CreateKey(kCurrentUser, base + "\\Made", true, key, created), 0u);
  {
    const RegKey made(ports.registry, key);
    EXPECT_TRUE(created);
    ASSERT_EQ(ports.registry.SetValue(made.Get(), platform::kLinkValueName,
                                      platform::regtype::kLink, target),
              0u);
  }
  EXPECT_TRUE(RegKey::Open(ports.registry, kCurrentUser, base + "\\Made\\Sub", access::kRead));
  const RegKey self =
      RegKey::OpenItself(ports.registry, kCurrentUser, base + "\\Made", access::kRead);
  ASSERT_TRUE(self);
  std::string data;
  EXPECT_EQ(ports.registry.QueryValue(self.Get(), platform::kLinkValueName, type, data), 0u);
  EXPECT_EQ(type, platform::regtype::kLink);
  EXPECT_EQ(data, target);
}

TEST_F(RegistryContract, NothingIsMadeOrWrittenThroughAReadOnlyHandle) {
  machine->MakeKey(kCurrentUser, base + "\\Locked");
  const RegKey k = RegKey::Open(ports.registry, kCurrentUser, base + "\\Locked", access::kRead);
  ASSERT_TRUE(k);
  EXPECT_EQ(
      ports.registry.SetValue(k.Get(), "x", platform::regtype::kString, std::string("1\0", 2)),
      platform::err::kAccessDenied);
  SKIP_ON_WINE("Wine makes keys below a handle opened for reading only");
  platform::HKey key = 0;
  bool created = false;
  EXPECT_EQ(ports.registry.CreateKey(k.Get(), "Child", false, key, created),
            platform::err::kAccessDenied);
  EXPECT_FALSE(machine->KeyExists(kCurrentUser, base + "\\Locked\\Child"));
}

std::string Utf16(const std::u16string& text) {
  std::string out;
  for (const char16_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return out;
}

// A key reads exactly when copying it through the 8-bit calls gives the
// key the wide calls stored: the copy is compared with the original.
TEST_F(RegistryContract, AKeyReadsExactlyWhenItsCopyThroughThePortIsTheSame) {
  const std::string nul2("\0\0", 2);
  const struct {
    const char* what;
    std::u16string name;  // of a value, or of a subkey (`subKey`)
    std::uint32_t type;
    std::string data;
    bool subKey;
    std::optional<bool> exact;  // nullopt: as the code page decides
  } cases[] = {
      {"plain text", u"plain", 1, Utf16(u"C:\\x") + nul2, false, true},
      {"binary of odd length", u"bin", 3, "\x01\x02\x03", false, true},
      {"a name beyond the code page", u"\u0416name", 1, Utf16(u"x") + nul2, false, std::nullopt},
      {"text beyond the code page", u"t", 1, Utf16(u"\u0416\u00e9") + nul2, false, std::nullopt},
      {"a list beyond the code page", u"m", 7, Utf16(std::u16string(u"a\0\u0416\0\0", 5)), false,
       std::nullopt},
      {"expandable text beyond the code page", u"e", 2, Utf16(u"%\u0416%") + nul2, false,
       std::nullopt},
      {"text of odd byte length", u"odd", 1, Utf16(u"ab") + "c", false, false},
      {"a key named in the code page", u"plain key", 0, "", true, true},
      {"a key named beyond the code page", u"\u0416key", 0, "", true, std::nullopt},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string key = base + "\\Exact" + std::to_string(n),
                      copy = base + "\\Copy" + std::to_string(n++);
    machine->MakeKey(kCurrentUser, key);
    machine->MakeKey(kCurrentUser, copy);
    if (c.subKey)
      machine->MakeWideKey(kCurrentUser, key, c.name);
    else
      machine->SetWideValue(kCurrentUser, key, c.name, c.type, c.data);
    const RegKey from = RegKey::Open(ports.registry, kCurrentUser, key, access::kRead);
    const RegKey to = RegKey::Open(ports.registry, kCurrentUser, copy, access::kAllAccess);
    ASSERT_TRUE(from && to) << c.what;
    platform::ExactReading exact;
    ASSERT_EQ(ports.registry.ReadsExactly(from.Get(), exact), 0u) << c.what;
    std::string name, data;
    std::uint32_t type = 0;
    for (std::uint32_t i = 0; ports.registry.EnumValue(from.Get(), i, name, type, data) == 0; ++i)
      ASSERT_EQ(ports.registry.SetValue(to.Get(), name, type, data), 0u) << c.what;
    for (std::uint32_t i = 0; ports.registry.EnumKey(from.Get(), i, 256, name) == 0; ++i) {
      platform::HKey made = 0;
      bool created = false;
      if (ports.registry.CreateKey(to.Get(), name, false, made, created) == 0)
        ports.registry.Close(made);
    }
    const bool same =
        machine->WideValues(kCurrentUser, key) == machine->WideValues(kCurrentUser, copy) &&
        machine->WideSubKeys(kCurrentUser, key) == machine->WideSubKeys(kCurrentUser, copy);
    EXPECT_EQ(exact.values && exact.subKeyNames, same) << c.what;
    EXPECT_EQ(c.subKey ? exact.values : exact.subKeyNames, true) << c.what;
    if (c.exact) EXPECT_EQ(same, *c.exact) << c.what;
    // Latin-1, the simulation's code page, spells no Cyrillic.
    if (!c.exact && machine->Simulated()) EXPECT_FALSE(same) << c.what;
  }
}

}  // namespace
}  // namespace quenk::test
