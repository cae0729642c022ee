#pragma once

#include "base/StringList.h"
#include "ui/Control.h"

namespace quenk::ui {

struct ListBoxStyle {
  bool sorted = false;
  int itemHeight = 13;
  bool horizontalScroll = false;  // lines wider than the box scroll sideways
};

// A single-selection list box. It shows its own items, or a StringList that
// lives elsewhere (the cleaning record), without a second copy of the lines.
class ListBox final : public Control, private StringList::Observer {
 public:
  ListBox(Container& parent, int id, std::string name, Rect bounds, ListBoxStyle style = {},
          int tabOrder = kNoTabStop);
  ~ListBox() override;

  // Shows `list` from now on; the list box becomes the list's one observer.
  void Bind(StringList& list);

  StringList& Items() { return *items_; }
  const StringList& Items() const { return *items_; }
  std::size_t Count() const { return items_->Size(); }
  const std::string& Item(std::size_t index) const { return (*items_)[index]; }
  // Appends, or inserts at the sorted place in a sorted list box.
  void Add(std::string text);
  void Delete(std::size_t index) { items_->RemoveAt(index); }
  void Clear() { items_->Clear(); }
  int IndexOf(const std::string& text) const;

  // -1 when nothing is selected.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  bool Sorted() const { return style_.sorted; }
  int ItemHeight() const { return style_.itemHeight; }
  bool HorizontalScroll() const { return style_.horizontalScroll; }

  // The user picked `index` on screen; the model follows, then the click runs.
  void UserSelected(int index) { itemIndex_ = index; }

 private:
  void Inserted(std::size_t index) override;
  void Removed(std::size_t index) override;
  void Reset() override;
  void SyncPeer() override;
  ListBoxPeer* peer() const { return static_cast<ListBoxPeer*>(Peer()); }

  ListBoxStyle style_;
  StringList own_;
  StringList* items_ = &own_;
  int itemIndex_ = -1;
};

}  // namespace quenk::ui
