#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quenk {

// An ordered list of text lines that one view may watch. The cleaning record
// and the list boxes share this type so that a record list and the list box
// showing it are the same data, not two copies kept in step.
class StringList {
 public:
  class Observer {
   public:
    virtual void Inserted(std::size_t index) = 0;
    virtual void Removed(std::size_t index) = 0;
    virtual void Reset() = 0;

   protected:
    ~Observer() = default;
  };

  StringList() = default;
  StringList(const StringList&) = delete;
  StringList& operator=(const StringList&) = delete;

  void Append(std::string line);
  void Insert(std::size_t index, std::string line);
  void RemoveAt(std::size_t index);
  void Clear();
  void Assign(std::vector<std::string> lines);

  std::size_t Size() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  const std::string& operator[](std::size_t index) const { return lines_[index]; }
  const std::vector<std::string>& Lines() const { return lines_; }
  auto begin() const { return lines_.begin(); }
  auto end() const { return lines_.end(); }

  void SetObserver(Observer* observer) { observer_ = observer; }

 private:
  std::vector<std::string> lines_;
  Observer* observer_ = nullptr;
};

}  // namespace quenk
