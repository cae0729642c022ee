#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quenk::seed {

// Sample leftovers of the five vendors on a 64-bit Wine or Windows machine
// (its Windows folder, Program Files, registry, and their 32-bit halves:
// SysWOW64, Program Files (x86), Software\Wow6432Node), plus decoys that
// must survive a cleaning run. Used by scripts/run and the end-to-end tests.
// The current machine adds services, staged driver packages and a device
// that uses one of them.
struct Entry {
  enum Kind { kFile, kKey, kValue, kService, kPackage, kDevice } kind;
  const char* vendor;  // the command-line word whose run removes it (or whose decoy it is)
  // file path, key path below the root, service name, the package's own inf
  // name, or the device's instance id
  std::string path;
  bool survives;  // a decoy: no run may remove it
  HKEY root = nullptr;
  std::string name;  // value name, or the device's hardware id
  std::string data;  // file content, value text, service binary, or inf text (a device's package)
  DWORD attributes = 0;  // file attributes, or the service type
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

// The current machine: what the profiles NVIDIACurrent, AMDCurrent,
// IntelCurrent and RealtekCurrent name, as a normal uninstall leaves it on
// Windows 10 or 11, with decoys. Per-profile trees are made in every
// folder of the machine's ProfileList that exists.
std::vector<Entry> CurrentLeftovers();
// Entries of one profile word, or all when `word` is empty.
std::vector<Entry> CurrentLeftoversOf(const std::string& word);
// The same machine with a present device per word using that profile's
// display (or audio) package: then no entry of the word may go.
std::vector<Entry> CurrentInUseOf(const std::string& word);
// Where a staged package is published in the Windows inf folder ("oem3.inf"),
// or "" when it is not.
std::string PublishedName(const Entry& package);
// An inbox inf staged first, under a package's own name, so that the
// package is published as oemN.inf, as Windows publishes every package.
bool IsInboxPackage(const Entry& entry);
// PublishedName of each package among `entries`, in their order.
std::vector<std::string> PublishedNames(const std::vector<Entry>& entries);
// Removes the current machine: its files, keys, values, services, staged
// packages and devices, decoys included.
void ClearCurrent();

}  // namespace quenk::seed
