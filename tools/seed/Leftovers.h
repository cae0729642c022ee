#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quenk::seed {

// Sample leftovers of the five vendors on a 64-bit Wine or Windows machine
// (its Windows folder, Program Files, registry, and their 32-bit halves:
// SysWOW64, Program Files (x86), Software\Wow6432Node), plus decoys that
// must survive a cleaning run. Used by scripts/run and the end-to-end tests.
struct Entry {
  enum Kind { kFile, kKey, kValue } kind;
  const char* vendor;  // the command-line word whose run removes it (or whose decoy it is)
  std::string path;    // file path, or key path below the root
  bool survives;       // a decoy: no run may remove it
  HKEY root = nullptr;
  std::string name;  // value name
  std::string data;  // file content or value text
  DWORD attributes = 0;
};

std::vector<Entry> Leftovers();
// Entries of one vendor word, or all when `vendor` is empty.
std::vector<Entry> LeftoversOf(const std::string& vendor);

void Seed(const std::vector<Entry>& entries);
bool Exists(const Entry& entry);
// The entries that are not as Seed left them (gone, or other bytes).
std::vector<std::string> Unlike(const std::vector<Entry>& entries);
std::string Describe(const Entry& entry);
// Removes every seeded file, folder and key of all vendors, decoys included.
void Clear();

}  // namespace quenk::seed
