// An image list of icons of one size. It keeps its own copy of every icon
// inserted, so the icon object given to it may be freed at once.
#ifndef KELVANE_PLATFORM_UI_IMAGELIST_H_
#define KELVANE_PLATFORM_UI_IMAGELIST_H_

#include <memory>
#include <vector>

#include "platform/ui/Component.h"
#include "platform/ui/Icon.h"

namespace ui {

class TImageList : public TComponent {
 public:
  TImageList(TComponent* owner, std::string name)
      : TComponent(owner, ComponentKind::ImageList, std::move(name)) {}

  int Width = 16;
  int Height = 16;

  int Count() const { return static_cast<int>(images_.size()); }
  // Inserts a copy of `icon` at `index` (0 to Count()); an index out of that
  // range raises EComponentError.
  void InsertIcon(int index, const TIcon& icon);
  // A copy of entry `index` into `icon`; an index without an entry gives an
  // empty icon.
  void GetIcon(int index, TIcon& icon) const;

 private:
  std::vector<std::shared_ptr<const TIconImage>> images_;
};

}  // namespace ui

#endif  // KELVANE_PLATFORM_UI_IMAGELIST_H_
