// The raster layer's rules the renderer depends on: object lifetimes and the
// live count, bitmap formats, text placement and clipping, and the checks
// made when an icon is put together. And the font's own invariants.
#include "icons/Raster.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "icons/PixelFont.h"

namespace {

using namespace raster;

// A memory context with a colour bitmap of its own, released at the end.
class ColourCanvas : public ::testing::Test {
 protected:
  void SetUp() override {
    start_ = LiveObjects();
    HDC screen = GetDC();
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, kW, kH);
    ReleaseDC(screen);
    old_ = SelectObject(dc_, bitmap_);
    PatBlt(dc_, 0, 0, kW, kH, TRop::BLACKNESS);
    SetTextColor(dc_, Rgb(255, 0, 0));
    SetBkColor(dc_, Rgb(0, 255, 0));
  }
  void TearDown() override {
    SelectObject(dc_, old_);
    EXPECT_TRUE(DeleteObject(bitmap_));
    EXPECT_TRUE(DeleteDC(dc_));
    EXPECT_EQ(LiveObjects(), start_);
  }
  // Columns [first, last] holding any pixel other than black, or {-1, -1}.
  std::pair<int, int> PaintedColumns() const {
    int first = -1, last = -1;
    for (int x = 0; x < kW; ++x)
      for (int y = 0; y < kH; ++y)
        if (GetPixel(dc_, x, y) != kBlack) {
          if (first < 0) first = x;
          last = x;
        }
    return {first, last};
  }
  static constexpr int kW = 40;
  static constexpr int kH = 16;
  int start_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HBITMAP old_ = nullptr;
};

TEST_F(ColourCanvas, OpaqueTextPaintsItsCellAndIsClippedToTheRectangle) {
  // "888" is 17 wide, the rectangle 10: centred, it is cut to the rectangle.
  const TRect rect{15, 0, 25, 16};
  EXPECT_EQ(DrawText(dc_, "888", rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER), 9);
  EXPECT_EQ(PaintedColumns(), std::make_pair(15, 24));
  // The cell behind the text takes the background colour, the rows above
  // and below the cell stay untouched.
  // The text starts at column 11: column 16 is the gap between the first
  // two digits, column 17 the second digit's left stroke from row 4.
  EXPECT_EQ(GetPixel(dc_, 16, 4), Rgb(0, 255, 0));
  EXPECT_EQ(GetPixel(dc_, 17, 4), Rgb(255, 0, 0));
  EXPECT_EQ(GetPixel(dc_, 17, 3), Rgb(0, 255, 0));
  EXPECT_EQ(GetPixel(dc_, 17, 2), kBlack);
  EXPECT_EQ(GetPixel(dc_, 17, 12), kBlack);
}

TEST_F(ColourCanvas, NoClipDrawsBeyondTheRectangleAndTransparentModeLeavesTheCell) {
  SetBkMode(dc_, TBkMode::TRANSPARENT);
  const TRect rect{15, 0, 25, 16};
  DrawText(dc_, "888", rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP);
  // 17 columns centred on a rectangle of 10: 4 to the left, 3 to the right.
  EXPECT_EQ(PaintedColumns(), std::make_pair(11, 27));
  for (int x = 0; x < kW; ++x)
    for (int y = 0; y < kH; ++y) ASSERT_NE(GetPixel(dc_, x, y), Rgb(0, 255, 0));
}

TEST_F(ColourCanvas, PlacementByFormat) {
  SetBkMode(dc_, TBkMode::TRANSPARENT);
  const TRect rect{0, 0, kW, kH};
  const struct {
    unsigned format;
    int first, last;
  } cases[] = {
      {DT_SINGLELINE, 0, 4},
      {DT_SINGLELINE | DT_RIGHT, kW - 5, kW - 1},
      {DT_SINGLELINE | DT_CENTER, 17, 21},  // 35 spare columns: 17 left, 18 right
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    PatBlt(dc_, 0, 0, kW, kH, TRop::BLACKNESS);
    DrawText(dc_, "0", rect, c.format);
    EXPECT_EQ(PaintedColumns(), std::make_pair(c.first, c.last));
  }
}

TEST(Raster, ContextsAndBitmapsAreCountedUntilReleased) {
  const int start = LiveObjects();
  HDC screen = GetDC();
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 1);
  EXPECT_EQ(LiveObjects(), start + 3);
  HBITMAP stock = SelectObject(dc, bitmap);
  ASSERT_NE(stock, nullptr);
  EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap must not be deleted";
  EXPECT_FALSE(DeleteObject(stock)) << "a stock bitmap must not be deleted";
  EXPECT_EQ(SelectObject(dc, stock), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteDC(screen)) << "the screen context is released, not deleted";
  EXPECT_TRUE(ReleaseDC(screen));
  EXPECT_FALSE(ReleaseDC(dc));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(LiveObjects(), start);
}

TEST(Raster, ABitmapLivesInOneContextAtATime) {
  const int start = LiveObjects();
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 32);
  HBITMAP oldA = SelectObject(a, bitmap);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr);
  // Deleting the context sets the bitmap free, so it can go afterwards.
  SelectObject(a, oldA);
  EXPECT_TRUE(DeleteDC(a));
  EXPECT_TRUE(DeleteDC(b));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(LiveObjects(), start);
}

// A bitmap made compatible with a fresh memory context is monochrome (the
// context's default bitmap is), one made from the screen is in colour.
TEST(Raster, CompatibleBitmapTakesTheFormatOfItsContext) {
  const int start = LiveObjects();
  HDC screen = GetDC();
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP fromScreen = CreateCompatibleBitmap(screen, 8, 8);
  HBITMAP fromMemory = CreateCompatibleBitmap(memory, 8, 8);
  ReleaseDC(screen);
  for (HBITMAP bitmap : {fromScreen, fromMemory}) {
    HBITMAP old = SelectObject(memory, bitmap);
    SetTextColor(memory, Rgb(255, 0, 0));
    DrawText(memory, "8", TRect{0, 0, 8, 8}, DT_SINGLELINE);
    const COLORREF expected = bitmap == fromScreen ? Rgb(255, 0, 0) : kBlack;
    EXPECT_EQ(GetPixel(memory, 1, 0), expected);
    SelectObject(memory, old);
  }
  DeleteObject(fromScreen);
  DeleteObject(fromMemory);
  DeleteDC(memory);
  EXPECT_EQ(LiveObjects(), start);
}

TEST(Raster, PatBltStaysInsideTheBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 1);
  HBITMAP old = SelectObject(dc, bitmap);
  EXPECT_TRUE(PatBlt(dc, -10, -10, 100, 100, TRop::WHITENESS));
  EXPECT_EQ(GetPixel(dc, 3, 3), kWhite);
  EXPECT_TRUE(PatBlt(dc, 2, 2, 10, 10, TRop::BLACKNESS));
  EXPECT_EQ(GetPixel(dc, 1, 1), kWhite);
  EXPECT_EQ(GetPixel(dc, 3, 3), kBlack);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(Raster, IconIsMadeOnlyFromFreeBitmapsOfTheRightKinds) {
  const int start = LiveObjects();
  const COLORREF colourBits[4] = {Rgb(1, 2, 3), 0, 0, Rgb(255, 255, 255)};
  const COLORREF maskBits[4] = {kBlack, kWhite, kWhite, kBlack};
  HBITMAP colour = CreateBitmap(2, 2, 1, 32, colourBits);
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, maskBits);
  HBITMAP wrongSize = CreateBitmap(3, 2, 1, 1);
  HDC dc = CreateCompatibleDC(nullptr);

  HBITMAP old = SelectObject(dc, colour);
  EXPECT_EQ(CreateIconIndirect({true, 0, 0, mask, colour}), nullptr) << "colour still selected";
  SelectObject(dc, old);
  EXPECT_EQ(CreateIconIndirect({true, 0, 0, colour, colour}), nullptr) << "colour mask";
  EXPECT_EQ(CreateIconIndirect({true, 0, 0, mask, mask}), nullptr) << "monochrome colour image";
  EXPECT_EQ(CreateIconIndirect({true, 0, 0, wrongSize, colour}), nullptr) << "sizes differ";
  EXPECT_EQ(CreateIconIndirect({true, 0, 0, nullptr, colour}), nullptr);

  const ui::HICON icon = CreateIconIndirect({false, 1, 1, mask, colour});
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->fIcon);
  EXPECT_EQ(icon->xHotspot, 1);
  EXPECT_EQ(icon->ColorAt(0, 0), Rgb(1, 2, 3));
  EXPECT_EQ(icon->ColorAt(1, 1), Rgb(255, 255, 255));
  EXPECT_FALSE(icon->MaskBit(0, 0));
  EXPECT_TRUE(icon->MaskBit(1, 0));
  EXPECT_TRUE(icon->MaskBit(0, 1));
  EXPECT_FALSE(icon->MaskBit(1, 1));

  DeleteDC(dc);
  for (HBITMAP b : {colour, mask, wrongSize}) EXPECT_TRUE(DeleteObject(b));
  EXPECT_EQ(LiveObjects(), start) << "the icon holds copies, not the bitmaps";
}

// Each glyph inks its first and last column and, digits, their top and
// bottom rows, so a number's ink spans its whole laid-out width and height;
// no two glyphs are alike.
TEST(PixelFont, GlyphsAreWellFormedAndDistinct) {
  const TPixelFont& font = DefaultPixelFont();
  std::set<std::vector<std::string>> shapes;
  for (char c : std::string("-0123456789")) {
    SCOPED_TRACE(std::string(1, c));
    ASSERT_TRUE(font.HasGlyph(c));
    const TGlyph& g = font.Glyph(c);
    ASSERT_GT(g.Width, 0);
    std::vector<std::string> rows;
    bool firstCol = false, lastCol = false, topRow = false, bottomRow = false;
    for (int y = 0; y < font.Height(); ++y) {
      rows.emplace_back(g.Rows[y]);
      ASSERT_EQ(static_cast<int>(rows.back().size()), g.Width) << "row " << y;
      firstCol |= g.Ink(0, y);
      lastCol |= g.Ink(g.Width - 1, y);
      for (int x = 0; x < g.Width; ++x) {
        topRow |= (y == 0 && g.Ink(x, y));
        bottomRow |= (y == font.Height() - 1 && g.Ink(x, y));
      }
    }
    EXPECT_TRUE(firstCol && lastCol);
    if (c != '-') {
      EXPECT_TRUE(topRow && bottomRow);
    }
    EXPECT_TRUE(shapes.insert(rows).second);
  }
  EXPECT_FALSE(font.HasGlyph('x'));
  EXPECT_EQ(font.TextWidth(""), 0);
  EXPECT_EQ(font.TextWidth("1"), font.Glyph('1').Width);
  EXPECT_EQ(font.TextWidth("10"), font.Glyph('1').Width + 1 + font.Glyph('0').Width);
}

}  // namespace
