#include "E2e.h"

#include <cstdio>

namespace quenk::e2e {

std::string Hex(const std::string& bytes) {
  std::string out;
  char b[4];
  for (const char c : bytes) {
    std::snprintf(b, sizeof b, "%02x", static_cast<unsigned char>(c));
    out += b;
  }
  return out;
}

Lines E2e::Split(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

HWND E2e::WaitReport(const std::string& text) {
  HWND box = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (box = quenk->ErrorBox()) != nullptr; })) << text;
  const auto says = [&] {
    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
      if (Text(c) == text) return true;
    return false;
  };
  EXPECT_TRUE(box && WaitFor(says)) << text;
  return box;
}

std::pair<Lines, Lines> E2e::LogSections(const std::string& name) {
  std::pair<Lines, Lines> sections;
  Lines* into = nullptr;
  for (const auto& line : Split(ReadFile(std::string(kLogs) + "\\" + name))) {
    if (line == "[Deleted]")
      into = &sections.first;
    else if (line == "[Not deleted]")
      into = &sections.second;
    else if (into)
      into->push_back(line);
  }
  return sections;
}

Lines E2e::SettingsKeys() {
  Lines keys;
  std::string section;
  for (const auto& line : Split(ReadFile(kSettings))) {
    if (!line.empty() && line.front() == '[')
      section = line.substr(1, line.size() - 2);
    else if (!line.empty())
      keys.push_back(section + "/" + line);
  }
  return keys;
}

namespace {

// Wine's tray lives in its desktop process, which comes up with the first
// window of the session: make sure it is there before any program needs it.
class TrayReady : public ::testing::Environment {
 public:
  void SetUp() override {
    window_ = ::CreateWindowExA(0, "STATIC", "e2e", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    WaitFor([] { return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }, 10s);
  }
  void TearDown() override { ::DestroyWindow(window_); }

 private:
  HWND window_ = nullptr;
};

const auto* const kTrayReady = ::testing::AddGlobalTestEnvironment(new TrayReady);

}  // namespace
}  // namespace quenk::e2e
