#pragma once

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "profiles/Catalog.h"

#include <string>
#include <vector>

namespace quenk::run {

struct ProfileCheck {
  bool sound = false;  // every file would load
  std::string text;    // the code page judged with, then each file's verdict and errors
};

// Reads each profile file as the program would load it beside itself:
// against the built-in profiles, those `beside` loaded from `besideFolder`
// (but the file itself) and the files before it; changes nothing.
ProfileCheck CheckProfileFiles(platform::FileSystem& fs, const platform::CodePage& codePage,
                               const std::vector<std::string>& files,
                               const profiles::Catalog& beside, const std::string& besideFolder);

}  // namespace quenk::run
