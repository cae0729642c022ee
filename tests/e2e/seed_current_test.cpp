#include "Leftovers.h"

#include <gtest/gtest.h>

#include <set>

namespace quenk::seed {
namespace {

class SeedCurrent : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { ClearCurrent(); }
  void TearDown() override { ClearCurrent(); }
};

// Seeding twice gives the same machine, every package but the inbox ones
// is published as its own oemN.inf, and clearing leaves none of it.
TEST_P(SeedCurrent, SeedsTheSameMachineTwiceAndClearsIt) {
  const auto entries = CurrentInUseOf(GetParam());
  ASSERT_FALSE(entries.empty());
  Seed(entries);
  EXPECT_EQ(Unlike(entries), std::vector<std::string>{});
  const auto published = PublishedNames(entries);
  std::set<std::string> distinct;
  std::size_t i = 0;
  for (const auto& e : entries) {
    if (e.kind != Entry::kPackage) continue;
    const std::string& name = published[i++];
    SCOPED_TRACE(Describe(e));
    EXPECT_TRUE(distinct.insert(name).second) << name << " published twice";
    if (IsInboxPackage(e))
      EXPECT_EQ(name, e.path);
    else
      EXPECT_EQ(name.compare(0, 3, "oem"), 0) << name;
  }
  EXPECT_EQ(i, published.size());

  Seed(entries);
  EXPECT_EQ(Unlike(entries), std::vector<std::string>{});
  EXPECT_EQ(PublishedNames(entries), published);

  ClearCurrent();
  for (const auto& e : entries) EXPECT_FALSE(Exists(e)) << Describe(e);
}

INSTANTIATE_TEST_SUITE_P(Words, SeedCurrent,
                         ::testing::Values("NVIDIACurrent", "AMDCurrent", "IntelCurrent",
                                           "RealtekCurrent"));

// Each word's machine has something that must go and decoys that must
// stay, and the in-use machine adds one device whose package is the word's.
TEST(SeedCurrentData, EachWordHasLeftoversDecoysAndOneDevice) {
  for (const char* word : {"NVIDIACurrent", "AMDCurrent", "IntelCurrent", "RealtekCurrent"}) {
    SCOPED_TRACE(word);
    int go = 0, stay = 0, devices = 0;
    for (const auto& e : CurrentLeftoversOf(word)) (e.survives ? stay : go)++;
    for (const auto& e : CurrentInUseOf(word)) {
      EXPECT_TRUE(e.survives) << Describe(e);
      devices += e.kind == Entry::kDevice;
    }
    EXPECT_GT(go, 0);
    EXPECT_GT(stay, 0);
    EXPECT_EQ(devices, 1);
  }
}

}  // namespace
}  // namespace quenk::seed
