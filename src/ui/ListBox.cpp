#include "ui/ListBox.h"

#include "base/Text.h"

#include <algorithm>

namespace quenk::ui {

ListBox::ListBox(Container& parent, int id, std::string name, Rect bounds, ListBoxStyle style,
                 int tabOrder)
    : Control(parent, ControlKind::kListBox, id, std::move(name), bounds, {}, tabOrder),
      style_(style) {
  own_.SetObserver(this);
}

ListBox::~ListBox() {
  items_->SetObserver(nullptr);
}

void ListBox::Bind(StringList& list) {
  items_->SetObserver(nullptr);
  items_ = &list;
  items_->SetObserver(this);
  Reset();
}

void ListBox::Add(std::string text) {
  std::size_t at = items_->Size();
  if (style_.sorted) {
    const auto& lines = items_->Lines();
    at = static_cast<std::size_t>(std::upper_bound(lines.begin(), lines.end(), text,
                                                   [](const std::string& a, const std::string& b) {
                                                     return LessNoCase(a, b);
                                                   }) -
                                  lines.begin());
  }
  items_->Insert(at, std::move(text));
}

int ListBox::IndexOf(const std::string& text) const {
  for (std::size_t i = 0; i < items_->Size(); ++i)
    if ((*items_)[i] == text) return static_cast<int>(i);
  return -1;
}

void ListBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_->Size())) index = -1;
  itemIndex_ = index;
  if (peer()) peer()->Select(itemIndex_);
}

// The selection follows inserts and removals the way a Windows list box moves it.
void ListBox::Inserted(std::size_t index) {
  if (itemIndex_ >= static_cast<int>(index)) ++itemIndex_;
  if (peer()) {
    peer()->Insert(index, (*items_)[index]);
    peer()->Select(itemIndex_);
  }
}

void ListBox::Removed(std::size_t index) {
  if (itemIndex_ == static_cast<int>(index))
    itemIndex_ = -1;
  else if (itemIndex_ > static_cast<int>(index))
    --itemIndex_;
  if (peer()) {
    peer()->Remove(index);
    peer()->Select(itemIndex_);
  }
}

void ListBox::Reset() {
  itemIndex_ = -1;
  if (peer()) SyncPeer();
}

void ListBox::SyncPeer() {
  peer()->Reset(items_->Lines());
  peer()->Select(itemIndex_);
}

}  // namespace quenk::ui
