#pragma once

#include "Machine.h"

#include "base/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quenk::test {

class Contract : public ::testing::Test {
 protected:
  std::unique_ptr<Machine> machine = MakeMachine();
  platform::Ports ports = machine->Ports();
  std::string dir = machine->Scratch();

  // Long names a search yields, in listing order.
  std::vector<std::string> Names(const std::string& pattern, std::uint32_t requested = 63) {
    std::vector<std::string> names;
    auto search = ports.fs.Find(pattern, requested);
    platform::FindEntry e;
    while (search->Next(e)) names.push_back(e.name);
    return names;
  }
  std::vector<std::string> SortedNames(const std::string& pattern, std::uint32_t requested = 63) {
    auto names = Names(pattern, requested);
    std::sort(names.begin(), names.end());
    return names;
  }
};

#define SKIP_ON_WINE(reason)                       \
  do {                                             \
    if (machine->OnWine()) GTEST_SKIP() << reason; \
  } while (0)

}  // namespace quenk::test
