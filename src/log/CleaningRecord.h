#pragma once

#include "base/StringList.h"

#include <string>

namespace quenk {

// What a process's cleaning runs tried: every path or key lands in one of two
// ordered lists, duplicates kept, never sorted.
class CleaningRecord {
 public:
  void AppendDeleted(std::string line) { deleted_.Append(std::move(line)); }
  void AppendNotDeleted(std::string line) { notDeleted_.Append(std::move(line)); }
  void Clear() {
    deleted_.Clear();
    notDeleted_.Clear();
  }

  StringList& Deleted() { return deleted_; }
  StringList& NotDeleted() { return notDeleted_; }
  const StringList& Deleted() const { return deleted_; }
  const StringList& NotDeleted() const { return notDeleted_; }

 private:
  StringList deleted_;
  StringList notDeleted_;
};

}  // namespace quenk
