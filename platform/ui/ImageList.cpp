#include "platform/ui/ImageList.h"

namespace ui {

void TImageList::InsertIcon(int index, const TIcon& icon) {
  if (index < 0 || index > Count()) throw EComponentError("List index out of bounds");
  std::shared_ptr<const TIconImage> copy;
  if (!icon.Empty()) copy = std::make_shared<const TIconImage>(*icon.Handle());
  images_.insert(images_.begin() + index, std::move(copy));
}

void TImageList::GetIcon(int index, TIcon& icon) const {
  if (index < 0 || index >= Count() || images_[static_cast<std::size_t>(index)] == nullptr) {
    icon.Clear();
    return;
  }
  icon.SetHandle(std::make_unique<TIconImage>(*images_[static_cast<std::size_t>(index)]));
}

}  // namespace ui
