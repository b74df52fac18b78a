#include "icons/PixelFont.h"

namespace raster {
namespace {

// Each glyph touches its first and last column and its top and bottom row
// (the minus sign excepted), so the ink of a number spans its whole cell.
// Strokes are one pixel; the round digits keep a three-pixel counter so that
// 0, 6, 8 and 9 stay apart at the icon's real size.
constexpr const char* kMinus[] = {
    "...", "...", "...", "...", "###", "...", "...", "...", "...",
};
constexpr const char* kDigits[10][9] = {
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},
    {".#.", "##.", ".#.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"},
    {".###.", "#...#", "....#", "....#", "...#.", "..#..", ".#...", "#....", "#####"},
    {".###.", "#...#", "....#", "....#", "..##.", "....#", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#..#.", "#####", "...#.", "...#.", "...#."},
    {"#####", "#....", "#....", "####.", "....#", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "#....", "####.", "#...#", "#...#", "#...#", ".###."},
    {"#####", "....#", "....#", "...#.", "...#.", "..#..", "..#..", ".#...", ".#..."},
    {".###.", "#...#", "#...#", "#...#", ".###.", "#...#", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", "#...#", ".####", "....#", "....#", "...#.", ".##.."},
};
constexpr const char* kMissing[] = {
    "####", "#..#", "#..#", "#..#", "#..#", "#..#", "#..#", "#..#", "####",
};

constexpr int Len(const char* s) {
  int n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

const TGlyph kMinusGlyph{Len(kMinus[0]), kMinus};
const TGlyph kMissingGlyph{Len(kMissing[0]), kMissing};
const TGlyph kDigitGlyphs[10] = {
    {Len(kDigits[0][0]), kDigits[0]}, {Len(kDigits[1][0]), kDigits[1]},
    {Len(kDigits[2][0]), kDigits[2]}, {Len(kDigits[3][0]), kDigits[3]},
    {Len(kDigits[4][0]), kDigits[4]}, {Len(kDigits[5][0]), kDigits[5]},
    {Len(kDigits[6][0]), kDigits[6]}, {Len(kDigits[7][0]), kDigits[7]},
    {Len(kDigits[8][0]), kDigits[8]}, {Len(kDigits[9][0]), kDigits[9]},
};

}  // namespace

bool TPixelFont::HasGlyph(char c) const {
  return c == '-' || (c >= '0' && c <= '9');
}

const TGlyph& TPixelFont::Glyph(char c) const {
  if (c == '-') return kMinusGlyph;
  if (c >= '0' && c <= '9') return kDigitGlyphs[c - '0'];
  return kMissingGlyph;
}

int TPixelFont::TextWidth(std::string_view text) const {
  int width = 0;
  for (char c : text) width += Glyph(c).Width + kGap;
  return text.empty() ? 0 : width - kGap;
}

const TPixelFont& DefaultPixelFont() {
  static const TPixelFont font;
  return font;
}

}  // namespace raster
