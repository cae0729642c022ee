#pragma once

#include "app/CommandLine.h"
#include "platform/Ports.h"

#include <string>
#include <string_view>

namespace quenk {

// Where an unattended run says what went wrong: the standard error handle
// when the program has one.
class MessageSink {
 public:
  virtual void Write(std::string_view text) = 0;

 protected:
  ~MessageSink() = default;
};

// How an unattended run ended, as its exit code.
namespace exitcode {
inline constexpr int kDone = 0;  // nothing stayed
inline constexpr int kSomethingStayed = 1;
inline constexpr int kStopped = 2;    // an error ended the run
inline constexpr int kWrongLine = 3;  // the usage text says what is right
}  // namespace exitcode

// The command line's usage: vendor words, switches, exit codes, files.
std::string UsageText();

// Whether the line can be run as it stands; the usage goes to `messages`
// when it cannot.
bool CheckLine(const Arguments& arguments, MessageSink& messages);

// The whole program without a window, a tray icon or a message box: reads
// (or makes) the settings file, cleans the vendor words (backing up as the
// backup flag says), forecasts them with /preview or restores a backup with
// /restore, always writes what it did into the log folder, writes the
// settings file back and returns the exit code.
int RunUnattended(platform::Ports ports, const Arguments& arguments, MessageSink& messages);

}  // namespace quenk
