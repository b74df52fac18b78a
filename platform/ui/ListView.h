// A report-style list view: rows of a caption and sub-items under column
// headers, at most one row selected. Its selection event is raised per row:
// when a row loses the selection and when a row gains it, the losing row first.
#ifndef KELVANE_PLATFORM_UI_LISTVIEW_H_
#define KELVANE_PLATFORM_UI_LISTVIEW_H_

#include <memory>
#include <vector>

#include "platform/ui/Controls.h"

namespace ui {

class TListView;

class TListItem {
 public:
  TListItem(TListView& owner, int index);
  int Index() const { return index_; }
  const Text& Caption() const { return caption_; }
  void SetCaption(const Text& caption);
  // Sub-items: one per column after the first, and any further ones, which no
  // column shows.
  TStrings& SubItems() { return sub_items_; }
  const TStrings& SubItems() const { return sub_items_; }
  bool Selected() const;
  void SetSelected(bool selected);

 private:
  TListView& owner_;
  int index_;
  Text caption_;
  TStrings sub_items_;
};

struct TListColumn {
  Text Caption;
  int Width = 50;
};

using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;

class TListView : public TWinControl {
 public:
  TListView(TComponent* owner, TWinControl* parent, std::string name);

  std::vector<TListColumn> Columns;
  bool ShowColumnHeaders = true;
  bool ReadOnly = true;      // captions not editable in place
  bool RowSelect = true;     // whole-row selection
  bool HideSelection = true;  // selection shown only while the list has the focus
  bool GridLines = false;

  // Rows, in the order they were added.
  int Count() const { return static_cast<int>(rows_.size()); }
  TListItem& Item(int index) { return *rows_.at(static_cast<std::size_t>(index)); }
  const TListItem& Item(int index) const { return *rows_.at(static_cast<std::size_t>(index)); }
  TListItem& Add();
  // Removes every row. Rows are deleted, not deselected: no selection event.
  void Clear();

  TListItem* Selected() const { return selected_; }
  // Makes `item` the one selected row (null: none), raising the selection
  // event for the row that loses the selection, then for the one that gains it.
  void Select(TListItem* item);

  TLVSelectItemEvent OnSelectItem;

  // The user picked row `index`, or clicked where there is no row (-1).
  void UserSelect(int index);

 private:
  friend class TListItem;
  void RowChanged(int index) { Changed(Aspect::Rows, index); }
  bool Contains(const TListItem* item) const;

  std::vector<std::unique_ptr<TListItem>> rows_;
  TListItem* selected_ = nullptr;
};

}  // namespace ui

#endif  // KELVANE_PLATFORM_UI_LISTVIEW_H_
