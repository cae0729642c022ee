#pragma once

#include <string>
#include <vector>

namespace quenk::seed {

// Plain Win32 folder helpers for the test tools, independent of the program's ports.
void MakeFolders(const std::string& path);
// Removes a folder with all it holds, attributes cleared first; links are
// removed, never followed.
void DeleteTree(const std::string& path);
// Names matching a pattern, without "." and "..".
std::vector<std::string> ListFolder(const std::string& pattern);

}  // namespace quenk::seed
