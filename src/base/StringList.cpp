#include "base/StringList.h"

#include <utility>

namespace quenk {

void StringList::Append(std::string line) {
  Insert(lines_.size(), std::move(line));
}

void StringList::Insert(std::size_t index, std::string line) {
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
  if (observer_) observer_->Inserted(index);
}

void StringList::RemoveAt(std::size_t index) {
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  if (observer_) observer_->Removed(index);
}

void StringList::Clear() {
  lines_.clear();
  if (observer_) observer_->Reset();
}

void StringList::Assign(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  if (observer_) observer_->Reset();
}

}  // namespace quenk
