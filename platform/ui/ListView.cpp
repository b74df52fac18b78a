#include "platform/ui/ListView.h"

#include "platform/ui/Application.h"

namespace ui {

TListItem::TListItem(TListView& owner, int index)
    : owner_(owner), index_(index), sub_items_([this] { owner_.RowChanged(index_); }) {}

void TListItem::SetCaption(const Text& caption) {
  caption_ = caption;
  owner_.RowChanged(index_);
}

bool TListItem::Selected() const { return owner_.Selected() == this; }

void TListItem::SetSelected(bool selected) {
  if (selected)
    owner_.Select(this);
  else if (Selected())
    owner_.Select(nullptr);
}

TListView::TListView(TComponent* owner, TWinControl* parent, std::string name)
    : TWinControl(owner, parent, ComponentKind::ListView, std::move(name)) {}

TListItem& TListView::Add() {
  rows_.push_back(std::make_unique<TListItem>(*this, Count()));
  Changed(Aspect::Rows, Count() - 1);
  return *rows_.back();
}

void TListView::Clear() {
  if (rows_.empty()) return;
  selected_ = nullptr;
  rows_.clear();
  Changed(Aspect::Rows, -1);
}

void TListView::Select(TListItem* item) {
  TListItem* old = selected_;
  if (old == item) return;
  if (old != nullptr) {
    selected_ = nullptr;
    Changed(Aspect::Selection, old->Index());
    if (OnSelectItem) OnSelectItem(this, old, false);
    // The handler may have removed the rows; a row that is gone is not selected.
    if (item != nullptr && !Contains(item)) return;
  }
  if (item != nullptr) {
    selected_ = item;
    Changed(Aspect::Selection, item->Index());
    if (OnSelectItem) OnSelectItem(this, item, true);
  }
}

bool TListView::Contains(const TListItem* item) const {
  for (const auto& row : rows_)
    if (row.get() == item) return true;
  return false;
}

void TListView::UserSelect(int index) {
  TListItem* item = (index >= 0 && index < Count()) ? &Item(index) : nullptr;
  if (Application != nullptr)
    Application->Dispatch([this, item] { Select(item); });
  else
    Select(item);
}

}  // namespace ui
