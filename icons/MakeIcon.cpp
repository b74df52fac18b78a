#include "icons/MakeIcon.h"

#include <string>

#include "icons/Raster.h"

// The number is drawn with the built-in pixel font, 9 pixels high, centred
// on one line in the 16x16 square: digits are 5 pixels wide, "1" and "-" are
// 3, with a 1-pixel gap between characters. Every number from -99 to 199
// fits whole ("100" is 15 pixels wide), and so does any number from 200 to
// 255 with a "1" in it ("211", "241"). The other numbers from 200 to 255 are
// 17 pixels wide and lose only the leftmost column of their leading "2",
// which keeps its top stroke and its base and still reads as a 2; the other
// two digits are whole. Wider text (negative three-digit numbers, four digits
// and more) is centred and cut equally on both sides, the odd column on the
// left.

namespace {

constexpr int kSize = 16;

raster::COLORREF DigitColor(int Value) {
  raster::COLORREF color = raster::Rgb(0, 0, 255);   // blue up to 50
  if (Value > 50) color = raster::Rgb(255, 255, 0);  // yellow from 51 to 60
  if (Value > 60) color = raster::Rgb(255, 0, 0);    // red from 61
  return color;
}

}  // namespace

ui::HICON CreateTemperatureIcon(int Value) {
  using namespace raster;
  const std::string text = std::to_string(Value);
  const TRect rect{0, 0, kSize, kSize};
  const unsigned format = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

  HDC screen = GetDC();
  HDC colorDC = CreateCompatibleDC(nullptr);
  HBITMAP colorBitmap = CreateCompatibleBitmap(screen, kSize, kSize);
  HBITMAP oldColor = SelectObject(colorDC, colorBitmap);
  ReleaseDC(screen);

  SelectObject(colorDC, GetStockObject(TStockObject::DEFAULT_GUI_FONT));
  SetBkColor(colorDC, Rgb(0, 0, 0));
  SetTextColor(colorDC, DigitColor(Value));
  // Black outside the text, so that it is transparent there.
  PatBlt(colorDC, 0, 0, kSize, kSize, TRop::BLACKNESS);
  DrawText(colorDC, text, rect, format);

  HDC maskDC = CreateCompatibleDC(nullptr);
  HBITMAP maskBitmap = CreateBitmap(kSize, kSize, 1, 1);
  HBITMAP oldMask = SelectObject(maskDC, maskBitmap);
  SelectObject(maskDC, GetStockObject(TStockObject::DEFAULT_GUI_FONT));
  SetBkColor(maskDC, Rgb(255, 255, 255));
  SetTextColor(maskDC, Rgb(0, 0, 0));
  PatBlt(maskDC, 0, 0, kSize, kSize, TRop::WHITENESS);
  DrawText(maskDC, text, rect, format);

  TIconInfo info;
  info.fIcon = true;
  info.xHotspot = 0;
  info.yHotspot = 0;
  info.hbmMask = SelectObject(maskDC, oldMask);
  info.hbmColor = SelectObject(colorDC, oldColor);
  ui::HICON icon = CreateIconIndirect(info);

  DeleteObject(colorBitmap);
  DeleteObject(maskBitmap);
  DeleteDC(colorDC);
  DeleteDC(maskDC);
  return icon;
}
