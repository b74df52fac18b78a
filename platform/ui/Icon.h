// Icons as the components hold them: a colour image and a 1-bit mask of the
// same size, with a hot spot. Drawn as Windows draws icons: the screen ANDed
// with the mask, then XORed with the colour image.
#ifndef KELVANE_PLATFORM_UI_ICON_H_
#define KELVANE_PLATFORM_UI_ICON_H_

#include <cstdint>
#include <memory>
#include <vector>

namespace ui {

struct TIconImage {
  int Width = 0;
  int Height = 0;
  bool fIcon = true;  // an icon, not a cursor
  int xHotspot = 0;
  int yHotspot = 0;
  // Colour image, row by row from the top, 0x00RRGGBB.
  std::vector<std::uint32_t> Color;
  // Mask, one bit a pixel, rows from the top, each row padded to 16 bits,
  // most significant bit leftmost: 1 (white) lets the screen through, 0
  // (black) shows the colour image.
  std::vector<std::uint8_t> Mask;

  static int MaskStride(int width) { return ((width + 15) / 16) * 2; }
  bool MaskBit(int x, int y) const {
    return (Mask[static_cast<std::size_t>(y * MaskStride(Width) + x / 8)] >> (7 - x % 8)) & 1;
  }
  std::uint32_t ColorAt(int x, int y) const {
    return Color[static_cast<std::size_t>(y * Width + x)];
  }
};

// An owned icon handle: whoever holds it must give it to a TIcon or drop it.
using HICON = std::unique_ptr<TIconImage>;

// An icon object: takes over a handle and destroys it when freed or given
// another; one assigned from another shares that one's handle.
class TIcon {
 public:
  TIcon() = default;
  void SetHandle(HICON handle) { image_ = std::shared_ptr<const TIconImage>(std::move(handle)); }
  const TIconImage* Handle() const { return image_.get(); }
  bool Empty() const { return image_ == nullptr; }
  void Clear() { image_.reset(); }
  std::shared_ptr<const TIconImage> Shared() const { return image_; }
  void Assign(std::shared_ptr<const TIconImage> image) { image_ = std::move(image); }

 private:
  std::shared_ptr<const TIconImage> image_;
};

}  // namespace ui

#endif  // KELVANE_PLATFORM_UI_ICON_H_
