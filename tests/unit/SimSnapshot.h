#pragma once

#include "base/Text.h"
#include "platform/sim/SimMachine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace quenk::test {

// What a restore must bring back of a simulated machine: every entry's
// attributes, times, bytes and link target; every key's values.
struct Snapshot {
  struct Entry {
    std::uint32_t attributes = 0;
    platform::FileTimes times;
    std::string content;
    std::string link;
  };
  std::map<std::string, Entry> files;                                // by upper-case path
  std::map<std::string, std::map<std::string, sim::SimValue>> keys;  // by upper-case path
  std::map<std::string, std::string> names;                          // upper-case -> as spelt

  static Snapshot Of(sim::SimMachine& m, const std::vector<std::string>& leaveOut) {
    Snapshot s;
    s.Walk(*m.fs.Node("C:\\"), "C:", leaveOut);
    for (const auto& [root, name] :
         {std::pair{platform::kCurrentUser, "HKCU"}, std::pair{platform::kLocalMachine, "HKLM"}})
      s.Walk(*m.registry.Find(root, ""), name);
    return s;
  }

  void Walk(const sim::SimNode& folder, const std::string& path,
            const std::vector<std::string>& leaveOut) {
    for (const auto& [upper, child] : folder.children) {
      const sim::SimNode& n = *child.node;
      const std::string p = path + "\\" + n.name;
      bool skip = false;
      for (const auto& l : leaveOut) skip = skip || EqualsNoCase(p, l);
      if (skip) continue;
      files[UpperCase(p)] = {n.attributes, n.times, n.content, n.linkTarget};
      names[UpperCase(p)] = p;
      if (n.IsFolder() && !n.IsLink()) Walk(n, p, leaveOut);
    }
  }

  void Walk(const sim::SimKey& key, const std::string& path) {
    for (const auto& [upper, sub] : key.subKeys) {
      const std::string p = path + "\\" + sub->name;
      keys[UpperCase(p)] = sub->values;
      names[UpperCase(p)] = p;
      if (!sub->IsLink()) Walk(*sub, p);
    }
  }
};

// Everything `before` held is there again as it was. Folders that the run
// did not delete (the parents of what it did) have new times by nature, and
// links are made anew: their times are left out.
inline void ExpectRestored(const Snapshot& before, const Snapshot& after,
                           const std::vector<std::string>& deleted) {
  const auto insideDeleted = [&](const std::string& upper) {
    for (const auto& d : deleted)
      if (upper == UpperCase(d) || upper.rfind(UpperCase(d) + "\\", 0) == 0) return true;
    return false;
  };
  for (const auto& [upper, b] : before.files) {
    const std::string& name = before.names.at(upper);
    const auto it = after.files.find(upper);
    if (it == after.files.end()) {
      ADD_FAILURE() << "missing: " << name;
      continue;
    }
    const Snapshot::Entry& a = it->second;
    EXPECT_EQ(a.attributes, b.attributes) << name;
    EXPECT_EQ(a.content, b.content) << name;
    EXPECT_EQ(a.link, b.link) << name;
    const bool folder = (b.attributes & platform::attr::kDirectory) != 0;
    if (b.link.empty() && (!folder || insideDeleted(upper))) {
      EXPECT_EQ(a.times, b.times) << name;
    }
    EXPECT_EQ(after.names.at(upper), name) << "spelt differently";
  }
  for (const auto& [upper, a] : after.files)
    EXPECT_TRUE(before.files.count(upper)) << "new: " << after.names.at(upper);
  for (const auto& [upper, values] : before.keys) {
    const auto it = after.keys.find(upper);
    if (it == after.keys.end()) {
      ADD_FAILURE() << "missing key: " << before.names.at(upper);
      continue;
    }
    EXPECT_EQ(it->second.size(), values.size()) << before.names.at(upper);
    for (const auto& [n, v] : values) {
      const auto found = it->second.find(n);
      if (found == it->second.end()) {
        ADD_FAILURE() << "missing value: " << before.names.at(upper) << " [" << v.name << "]";
        continue;
      }
      const sim::SimValue& got = found->second;
      EXPECT_EQ(got.name, v.name) << before.names.at(upper);
      EXPECT_EQ(got.type, v.type) << before.names.at(upper) << " [" << v.name << "]";
      EXPECT_EQ(got.data, v.data) << before.names.at(upper) << " [" << v.name << "]";
    }
    EXPECT_EQ(after.names.at(upper), before.names.at(upper)) << "spelt differently";
  }
  for (const auto& [upper, values] : after.keys)
    EXPECT_TRUE(before.keys.count(upper)) << "new key: " << after.names.at(upper);
}

}  // namespace quenk::test
