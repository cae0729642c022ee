#pragma once

#include "base/StringList.h"

#include <string>
#include <vector>

namespace quenk {

// What a process's cleaning runs tried: every path or key lands in one of two
// ordered lists, duplicates kept, never sorted. Each line that stayed keeps
// the reason it stayed beside it (never written into log files, which keep
// their format); lines read back from a log file have none.
class CleaningRecord {
 public:
  void AppendDeleted(std::string line) { deleted_.Append(std::move(line)); }
  void AppendNotDeleted(std::string line, std::string reason = {}) {
    reasons_.resize(notDeleted_.Size());
    reasons_.push_back(std::move(reason));
    notDeleted_.Append(std::move(line));
  }
  void Clear() {
    deleted_.Clear();
    notDeleted_.Clear();
    reasons_.clear();
  }

  // For a list filled from elsewhere (an older log file read back).
  void ForgetReasons() { reasons_.clear(); }

  // Why the not-deleted line at `index` stayed; empty when unknown, and for
  // every line once the list was changed other than through this record.
  std::string Reason(std::size_t index) const {
    return reasons_.size() == notDeleted_.Size() && index < reasons_.size() ? reasons_[index]
                                                                            : std::string();
  }

  // The reason of each not-deleted line, in the list's order.
  std::vector<std::string> Reasons() const {
    std::vector<std::string> reasons;
    for (std::size_t i = 0; i < notDeleted_.Size(); ++i) reasons.push_back(Reason(i));
    return reasons;
  }

  StringList& Deleted() { return deleted_; }
  StringList& NotDeleted() { return notDeleted_; }
  const StringList& Deleted() const { return deleted_; }
  const StringList& NotDeleted() const { return notDeleted_; }

 private:
  StringList deleted_;
  StringList notDeleted_;
  std::vector<std::string> reasons_;
};

}  // namespace quenk
