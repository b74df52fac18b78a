// The temperature icon read back pixel by pixel: colour ranges, the text and
// where it sits, the mask against the colour image, and that a call leaves
// nothing behind.
#include "icons/MakeIcon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "icons/PixelFont.h"
#include "icons/Raster.h"

namespace {

constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::uint32_t kRed = 0xFF0000;

bool IsGlyph(const ui::TIconImage& icon, int x, int y) {
  return !icon.MaskBit(x, y);
}

int GlyphCount(const ui::TIconImage& icon) {
  int n = 0;
  for (int y = 0; y < icon.Height; ++y)
    for (int x = 0; x < icon.Width; ++x) n += IsGlyph(icon, x, y);
  return n;
}

// The text of `value` laid out in the font on one unclipped line, as the
// test composes it from the glyphs.
struct TStrip {
  int Width = 0;
  std::vector<std::vector<bool>> Ink;  // [y][x]
};

TStrip Compose(const std::string& text) {
  const raster::TPixelFont& font = raster::DefaultPixelFont();
  TStrip strip;
  strip.Width = font.TextWidth(text);
  strip.Ink.assign(font.Height(), std::vector<bool>(static_cast<std::size_t>(strip.Width), false));
  int x0 = 0;
  for (char c : text) {
    const raster::TGlyph& g = font.Glyph(c);
    for (int y = 0; y < font.Height(); ++y)
      for (int x = 0; x < g.Width; ++x) strip.Ink[y][x0 + x] = g.Ink(x, y);
    x0 += g.Width + raster::TPixelFont::kGap;
  }
  return strip;
}

bool MatchesAt(const ui::TIconImage& icon, const TStrip& strip, int dx, int dy) {
  const int h = static_cast<int>(strip.Ink.size());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const int sx = x - dx, sy = y - dy;
      const bool want = sx >= 0 && sx < strip.Width && sy >= 0 && sy < h && strip.Ink[sy][sx];
      if (IsGlyph(icon, x, y) != want) return false;
    }
  }
  return true;
}

TEST(CreateTemperatureIcon, IsA16x16IconWithHotSpotAtTheOrigin) {
  for (int value : {0, 42, 100, 255, -7}) {
    SCOPED_TRACE(value);
    const ui::HICON icon = CreateTemperatureIcon(value);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Width, 16);
    EXPECT_EQ(icon->Height, 16);
    EXPECT_TRUE(icon->fIcon);
    EXPECT_EQ(icon->xHotspot, 0);
    EXPECT_EQ(icon->yHotspot, 0);
    EXPECT_EQ(icon->Color.size(), 256u);
    EXPECT_EQ(icon->Mask.size(), static_cast<std::size_t>(ui::TIconImage::MaskStride(16) * 16));
  }
}

TEST(CreateTemperatureIcon, DigitColourFollowsTheRange) {
  const struct {
    int value;
    std::uint32_t color;
  } cases[] = {
      {INT_MIN, kBlue}, {-40, kBlue},  {-1, kBlue},   {0, kBlue},    {1, kBlue},
      {50, kBlue},      {51, kYellow}, {55, kYellow}, {60, kYellow}, {61, kRed},
      {99, kRed},       {100, kRed},   {180, kRed},   {255, kRed},   {INT_MAX, kRed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const ui::HICON icon = CreateTemperatureIcon(c.value);
    ASSERT_NE(icon, nullptr);
    ASSERT_GT(GlyphCount(*icon), 0);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (IsGlyph(*icon, x, y)) {
          ASSERT_EQ(icon->ColorAt(x, y), c.color) << x << "," << y;
        }
  }
}

// Outside the glyphs the icon must be transparent: white in the mask and
// black in the colour image, or the screen would be tinted there.
TEST(CreateTemperatureIcon, MaskAndColourImageAgreeOnEveryPixel) {
  std::vector<int> values;
  for (int v = -120; v <= 300; ++v) values.push_back(v);
  values.push_back(INT_MIN);
  values.push_back(INT_MAX);
  for (int value : values) {
    const ui::HICON icon = CreateTemperatureIcon(value);
    ASSERT_NE(icon, nullptr);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        ASSERT_EQ(IsGlyph(*icon, x, y), icon->ColorAt(x, y) != 0)
            << "value " << value << " at " << x << "," << y;
      }
    }
  }
}

// The icon shows exactly the decimal text in the font, on one line at full
// size, centred both ways (margins equal within a pixel); text wider than
// the icon is cut equally on both sides (within a pixel).
TEST(CreateTemperatureIcon, TextIsTheNumberCentredAndClippedEqually) {
  std::vector<int> values;
  for (int v = -260; v <= 300; ++v) values.push_back(v);
  for (int v : {1000, 12345, -99999, INT_MIN, INT_MAX}) values.push_back(v);
  int clipped = 0;
  for (int value : values) {
    const std::string text = std::to_string(value);
    SCOPED_TRACE(text);
    const ui::HICON icon = CreateTemperatureIcon(value);
    ASSERT_NE(icon, nullptr);
    const TStrip strip = Compose(text);
    // Centred within a pixel: the spare (or missing) columns and rows split
    // evenly, the odd one on either side.
    const int spareX = 16 - strip.Width, spareY = 16 - raster::TPixelFont::kHeight;
    const int lo = spareX >= 0 ? spareX / 2 : -((-spareX + 1) / 2);
    bool centred = false;
    for (int dy : {spareY / 2, (spareY + 1) / 2})
      for (int dx : {lo, spareX - lo}) centred |= MatchesAt(*icon, strip, dx, dy);
    EXPECT_TRUE(centred) << "not the text on one line, centred and clipped evenly";
    if (strip.Width > 16) ++clipped;
  }
  EXPECT_GT(clipped, 100);  // the wide cases were really exercised
}

TEST(CreateTemperatureIcon, NegativeNumberShowsItsMinusSign) {
  const ui::HICON negative = CreateTemperatureIcon(-7);
  const ui::HICON positive = CreateTemperatureIcon(7);
  ASSERT_NE(negative, nullptr);
  ASSERT_NE(positive, nullptr);
  // The leftmost inked column holds the minus: one pixel, on a middle row.
  int first = -1;
  for (int x = 0; x < 16 && first < 0; ++x)
    for (int y = 0; y < 16; ++y)
      if (IsGlyph(*negative, x, y)) first = x;
  ASSERT_GE(first, 0);
  std::vector<int> rows;
  for (int y = 0; y < 16; ++y)
    if (IsGlyph(*negative, first, y)) rows.push_back(y);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_GE(rows[0], 6);
  EXPECT_LE(rows[0], 9);
  EXPECT_GT(GlyphCount(*negative), GlyphCount(*positive));
}

// No two temperatures may look alike: every shape from 0 to 255 differs.
TEST(CreateTemperatureIcon, EveryTemperatureHasItsOwnShape) {
  std::set<std::vector<std::uint8_t>> masks;
  for (int v = 0; v <= 255; ++v) {
    const ui::HICON icon = CreateTemperatureIcon(v);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(masks.insert(icon->Mask).second)
        << "the icon of " << v << " repeats an earlier one";
  }
}

TEST(CreateTemperatureIcon, LeavesNothingAllocatedAndKeepsNoState) {
  const int before = raster::LiveObjects();
  const ui::HICON first = CreateTemperatureIcon(42);
  EXPECT_EQ(raster::LiveObjects(), before);
  for (int v : {255, -3, 0, 61, INT_MIN}) {
    const ui::HICON other = CreateTemperatureIcon(v);
    EXPECT_EQ(raster::LiveObjects(), before) << v;
  }
  const ui::HICON again = CreateTemperatureIcon(42);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(again, nullptr);
  EXPECT_NE(first.get(), again.get());
  EXPECT_EQ(first->Color, again->Color);
  EXPECT_EQ(first->Mask, again->Mask);
}

}  // namespace
