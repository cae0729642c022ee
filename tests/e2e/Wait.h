#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <type_traits>

namespace quenk::e2e {

using namespace std::chrono_literals;

// How long a check waits for the state it expects, and an action for the
// program to handle it. Generous: a busy machine is slow, not wrong.
inline constexpr std::chrono::milliseconds kDeadline = 10s;

// Polls `done` until it holds or the time is up.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = kDeadline);

// Polls `get` until it answers `expected` or the deadline passes; returns its last answer.
template <class Get, class T>
std::invoke_result_t<Get> Eventually(const Get& get, const T& expected) {
  const auto end = std::chrono::steady_clock::now() + kDeadline;
  auto value = get();
  while (!(value == expected) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(20ms);
    value = get();
  }
  return value;
}

}  // namespace quenk::e2e

// Checks of a state the program reaches on its own time: each polls until the
// state holds or the deadline passes, then reports as its EXPECT/ASSERT twin.
#define QUENK_SOON_EQ(check, actual, expected) \
  check(::quenk::e2e::Eventually([&] { return actual; }, expected), expected)
#define EXPECT_SOON_EQ(actual, expected) QUENK_SOON_EQ(EXPECT_EQ, actual, expected)
#define ASSERT_SOON_EQ(actual, expected) QUENK_SOON_EQ(ASSERT_EQ, actual, expected)
#define EXPECT_SOON(condition) EXPECT_SOON_EQ(static_cast<bool>(condition), true) << #condition
#define ASSERT_SOON(condition) ASSERT_SOON_EQ(static_cast<bool>(condition), true) << #condition
