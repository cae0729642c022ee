#pragma once

#include "app/CommandLine.h"
#include "platform/Ports.h"
#include "run/Session.h"

#include <string>
#include <string_view>

namespace quenk {

// Where an unattended run writes: its messages to the standard error
// handle, its summary line to standard output, when the program has them.
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
inline constexpr int kBusy = 4;       // another run holds the machine
// Nothing stayed but what the system removes at the next restart, or the
// system asked for one: the code fleet tools read as "restart required".
inline constexpr int kRestartNeeded = 3010;
}  // namespace exitcode

// The command line's usage: vendor words (those of the profiles beside the
// program with their files), switches, exit codes, files.
std::string UsageText(const profiles::Catalog& catalog = profiles::BuiltinCatalog());

// Whether the line can be run without a window as it stands: every word
// names an item. What is wrong and the usage go to `messages` when not.
bool CheckLine(const profiles::Catalog& catalog, const Arguments& arguments, MessageSink& messages);

// With /silent, /check writes its verdicts to standard output (`output`) and
// exits 0 when every file is sound, 3 otherwise; every other line first tells
// on `messages` of each profile file beside the program that was left out.
//
// The whole program without a window, a tray icon or a message box: reads
// (or makes) the session's settings file, cleans the vendor words (backing up as the
// backup flag says), forecasts them with /preview or restores a backup with
// /restore, always writes what it did into the log folder, writes the
// settings file back, ends with one summary line on `output` and returns
// the exit code.
int RunUnattended(platform::Ports ports, run::Session& session, const Arguments& arguments,
                  MessageSink& messages, MessageSink& output);

}  // namespace quenk
