#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quenk::sim {

struct SimNode;

// A folder's entry as a search scans it: both names it matches by, upper
// case, kept beside the key so that a scan touches nothing else.
struct SimChild {
  std::string shortKey;  // empty when the long name is a valid 8.3 name itself
  std::unique_ptr<SimNode> node;
};

// One file, folder or link of the simulated volume.
struct SimNode {
  std::string name;         // long name, case as created, as the code page spells it
  std::string unicodeName;  // UTF-8, when the code page cannot spell the long name
  std::string shortName;    // 8.3 name when the long name is not one itself
  std::uint32_t attributes = platform::attr::kArchive;
  std::string content;
  std::string linkTarget;         // absolute path, for reparse points
  bool inUse = false;             // held open by another process
  bool denyDelete = false;        // the user may not delete it
  bool denyWrite = false;         // folder: the user may not create entries in it
  std::uint32_t removeError = 0;  // folder: RemoveDirectory fails with this code
  bool unlisted = false;          // searches pass it over (Wine's dangling links)
  std::uint64_t fileIndex = 0;    // unique on its volume
  platform::FileTimes times;
  int openHandles = 0;  // searches and files this process holds on it
  SimNode* parent = nullptr;
  std::map<std::string, SimChild> children;    // by upper-case long name
  std::map<std::string, SimNode*> shortNames;  // by upper-case short name

  bool IsFolder() const { return (attributes & platform::attr::kDirectory) != 0; }
  bool IsLink() const { return (attributes & platform::attr::kReparsePoint) != 0; }
};

// An in-memory Windows volume set with the ANSI file API's rules: paths
// without regard to case, short names, attributes, files that resist
// deletion, folders that resist removal, links, the 260-character limit.
class SimFileSystem final : public platform::FileSystem {
 public:
  SimFileSystem();

  // platform::FileSystem
  std::unique_ptr<platform::FileSearch> FindRaw(const std::string& pattern) override;
  std::uint32_t Delete(const std::string& path) override;
  std::uint32_t RemoveDir(const std::string& path) override;
  std::uint32_t ProbeDelete(const std::string& path) override;
  std::uint32_t ProbeRemoveDir(const std::string& path) override;
  std::uint32_t ProbeMakeDirIn(const std::string& folder) override;
  std::uint32_t MakeDir(const std::string& path) override;
  std::optional<std::uint32_t> Attributes(const std::string& path) override;
  platform::OpenResult Open(const std::string& path, platform::OpenMode mode) override;
  std::string CurrentDir() override { return currentDir_; }
  std::string ModulePath() override { return modulePath_; }
  std::optional<std::string> Env(const std::string& name) override;
  std::optional<platform::FolderIdentity> Identify(const std::string& path) override;
  std::string SystemFolderPath(platform::SystemFolder folder) override;
  std::uint32_t Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  // A snapshot of the file under the new name: what a link shows as long as
  // neither name is written to, which is all the program relies on.
  std::uint32_t HardLink(const std::string& existing, const std::string& link) override;
  std::uint32_t SetAttributes(const std::string& path, std::uint32_t attributes) override;
  std::optional<platform::FileTimes> Times(const std::string& path) override;
  std::uint32_t SetTimes(const std::string& path, const platform::FileTimes& times) override;
  std::uint32_t MakeLink(const std::string& path, const std::string& target, bool folder) override;
  // The code page is Latin-1: each character above U+00FF is spelt "?".
  std::optional<platform::LongName> LongNameOf(const std::string& path) override;
  std::optional<std::uint32_t> AttributesIn(const std::string& folder,
                                            const std::string& utf8Leaf) override;
  std::uint32_t Rename(const std::string& path, const std::string& utf8Leaf) override;

  // Setting up a machine (tests, benchmarks). Paths are absolute; missing
  // parent folders are created. Each returns the node for further flags.
  SimNode& AddFolder(const std::string& path, std::uint32_t extraAttributes = 0);
  SimNode& AddFile(const std::string& path, std::string content = {},
                   std::uint32_t attributes = platform::attr::kArchive);
  SimNode& AddLink(const std::string& path, const std::string& target, bool folderLink);
  SimNode* Node(const std::string& path);  // nullptr when missing; links not followed
  std::string ReadFile(const std::string& path);
  void SetShortName(const std::string& path, const std::string& shortName);
  std::vector<std::string> List(const std::string& folder);  // long names, listing order

  void SetCurrentDir(std::string path) { currentDir_ = std::move(path); }
  void SetModulePath(std::string path) { modulePath_ = std::move(path); }
  void SetEnv(const std::string& name, std::optional<std::string> value);
  void SetDiskFull(bool full) { diskFull_ = full; }
  // Writes take this many more bytes, the last one in part, then the disk is full.
  void SetRoom(std::optional<std::size_t> bytes) { room_ = bytes; }
  void SetSystemFolder(platform::SystemFolder folder, std::string path) {
    systemFolders_[folder] = std::move(path);
  }
  // Another drive letter for the volume of `drive` ("subst", a second mount).
  void AddDriveAlias(char letter, char drive);
  // "\\server\share" leading to a folder of a simulated volume.
  void AddShare(const std::string& share, const std::string& folder);
  void SetVolumeSerial(char drive, std::uint32_t serial);
  // The clock that stamps creations and writes; each stamp is one second later.
  std::uint64_t Now() const { return clock_; }

 private:
  struct Resolved {
    std::uint32_t error = 0;
    SimNode* parent = nullptr;  // the folder that holds (or would hold) the entry
    SimNode* node = nullptr;    // nullptr when the entry is missing
    std::string leaf;           // the entry's name as given
  };

  // Resolves a path; links on the way are followed, a link at the end only
  // when `followLast` is set.
  Resolved Resolve(const std::string& path, bool followLast, int depth = 0);
  SimNode* Child(SimNode& folder, const std::string& name);
  SimNode* ChildUtf8(SimNode& folder, const std::string& utf8Name);
  SimNode& Insert(SimNode& folder, const std::string& name, std::uint32_t attributes);
  void Erase(SimNode& node);
  std::string MakeShortName(SimNode& folder, const std::string& name);
  SimNode& Ensure(const std::string& path);
  std::vector<std::string> Components(const std::string& path, char& drive);
  bool IsCurrentDir(const SimNode& node);
  std::uint32_t FileObstacle(const std::string& path, bool probe, SimNode*& node);
  std::uint32_t FolderObstacle(const std::string& path, bool probe, SimNode*& node);
  SimNode* Root(char drive);
  const SimNode* VolumeOf(const SimNode* node) const;
  SimNode& NewRoot(char drive);
  std::string Unshare(const std::string& path);
  std::uint64_t Tick() { return clock_ += 10'000'000; }
  void Touch(SimNode& node) { node.times.lastWrite = node.times.lastAccess = Tick(); }

  std::map<char, std::unique_ptr<SimNode>> volumes_;  // by the letter that made them
  std::map<char, SimNode*> drives_;                   // every drive letter, aliases too
  std::map<const SimNode*, std::uint32_t> serials_;
  std::map<std::string, std::string> shares_;  // upper-case "\\SERVER\SHARE" -> folder
  std::map<platform::SystemFolder, std::string> systemFolders_;
  std::uint64_t nextIndex_ = 16;
  std::map<std::string, std::pair<std::string, std::string>> env_;  // upper name -> (name, value)
  std::string currentDir_ = "C:\\";
  std::string modulePath_ = "C:\\Quenk\\quenk.exe";
  bool diskFull_ = false;
  std::optional<std::size_t> room_;
  std::uint64_t clock_ = 134'116'992'000'000'000;  // 1 January 2026

  friend class SimSearch;
  friend class SimFile;
};

}  // namespace quenk::sim
