// The built-in pixel font the icon renderer draws with: the characters a
// decimal number needs ("-" and 0 to 9), 9 pixels high, drawn for a 16x16
// icon. Digits are 5 pixels wide except "1", which is 3; "-" is 3 wide.
// Neighbouring characters are 1 pixel apart.
#ifndef KELVANE_ICONS_PIXELFONT_H_
#define KELVANE_ICONS_PIXELFONT_H_

#include <string_view>

namespace raster {

struct TGlyph {
  int Width = 0;
  // Height rows of Width characters each, '#' for an ink pixel.
  const char* const* Rows = nullptr;
  bool Ink(int x, int y) const { return Rows[y][x] == '#'; }
};

class TPixelFont {
 public:
  static constexpr int kHeight = 9;  // cell height, no leading
  static constexpr int kGap = 1;     // blank columns between two characters

  int Height() const { return kHeight; }
  // The glyph of `c`; a character the font lacks gets a hollow box.
  const TGlyph& Glyph(char c) const;
  bool HasGlyph(char c) const;
  // Width of `text` on one line: the glyphs and the gaps between them, no
  // trailing gap, so the ink spans exactly this many columns.
  int TextWidth(std::string_view text) const;
};

// The one instance of the font (a stock object: never created or deleted).
const TPixelFont& DefaultPixelFont();

}  // namespace raster

#endif  // KELVANE_ICONS_PIXELFONT_H_
