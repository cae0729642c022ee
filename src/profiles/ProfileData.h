#pragma once

#include "platform/Registry.h"

#include <optional>
#include <string>
#include <vector>

namespace quenk::profiles {

// Where a value stands in its profile file, counted from 1.
struct SourcePlace {
  int line = 0;
  int column = 0;
};

// One step of the file phase. Paths are kept as written, "%NAME%" and all,
// in the ANSI code page.
struct FileStep {
  enum class Kind { kMasks, kInstallers, kNamedBy, kTrees };
  Kind kind = Kind::kMasks;
  std::string folder;              // kMasks, kInstallers: ends in "\"
  std::vector<std::string> masks;  // kMasks
  std::string company;             // kInstallers: the CompanyName prefix
  std::string key;                 // kNamedBy: below HKLM, without "HKLM\"
  std::string value;               // kNamedBy
  std::vector<std::string> trees;  // kTrees; a wildcard only in the last part
  bool forEachProfile = false;     // kTrees: each starts "%USERPROFILE%\", repeated per profile
  SourcePlace place;
};

// A single value of a [[registry]] values step.
struct ValueName {
  platform::HKey root = platform::kLocalMachine;
  std::string key;  // below the root, without "HKLM\"
  std::string value;
};

// One step of the registry phase.
struct RegistryStep {
  enum class Kind { kKeys, kControlSets, kValues, kServices };
  Kind kind = Kind::kKeys;
  platform::HKey root = platform::kLocalMachine;  // kKeys
  std::string base;                               // kKeys
  std::vector<std::string> keys;                  // kKeys
  std::vector<std::string> enumRoot;              // kControlSets: below each Enum\Root
  std::vector<std::string> services;              // kControlSets: below each Services
  std::vector<ValueName> values;                  // kValues
  std::vector<std::string> serviceNames;          // kServices: exact names
  SourcePlace place;
};

// Which published driver packages a step means: every criterion given must
// hold, and any entry of a list may. Texts compare without regard to case.
struct DriverCriteria {
  std::string provider;  // the whole provider, or its start
  bool providerPrefix = false;
  std::vector<std::string> classes;   // empty: any class
  std::vector<std::string> infNames;  // masks on the original inf name
  std::string keyFile;                // a file the inf names; empty: any
  SourcePlace place;
};

// A vendor profile as its file gives it.
struct ProfileData {
  std::string file;  // for messages
  bool builtIn = false;
  std::string name;
  std::string word;
  SourcePlace namePlace;
  SourcePlace wordPlace;
  std::vector<FileStep> files;
  std::vector<RegistryStep> registry;
  std::vector<DriverCriteria> drivers;   // one step each, at the start of the file phase
  std::optional<DriverCriteria> detect;  // a present device on such a package keeps every step
};

}  // namespace quenk::profiles
