#include "ui/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quenk::ui {
namespace {

TEST(ErrorReport, FullStopOnlyAfterACharacterThatSortsAfterIt) {
  const struct {
    const char* message;
    const char* text;
  } cases[] = {
      {"File not found", "File not found."},
      {"I/O error 32", "I/O error 32."},
      {"Done.", "Done."},
      {"Invalid data type for 'X'", "Invalid data type for 'X'"},
      {"Closed)", "Closed)"},
      {"Path C:\\", "Path C:\\."},
      {"Caf\xE9", "Caf\xE9."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Application::ReportText(c.message), c.text) << c.message;
}

TEST(ErrorReport, EscapedErrorEndsTheHandlerAndTheProgramGoesOn) {
  Application app;
  int after = 0;
  app.Guard([&] {
    throw std::runtime_error("Disk full");
    ++after;
  });
  app.Guard([&] { ++after; });
  EXPECT_EQ(app.Reports(), std::vector<std::string>{"Disk full."});
  EXPECT_EQ(after, 1);
}

}  // namespace
}  // namespace quenk::ui
