#include "icons/Raster.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <vector>

namespace raster {

struct TBitmap {
  int Width = 0;
  int Height = 0;
  bool Monochrome = true;
  bool Stock = false;
  TDC* SelectedInto = nullptr;
  std::vector<COLORREF> Pixels;
};

struct TDC {
  bool Screen = false;
  bool Colour = false;  // the screen's format, for compatible bitmaps
  TBitmap StockBitmap;  // the 1x1 monochrome bitmap a memory context starts with
  TBitmap* Bitmap = nullptr;
  HFONT Font = nullptr;
  COLORREF TextColor = kBlack;
  COLORREF BkColor = kWhite;
  TBkMode BkMode = TBkMode::OPAQUE;
};

namespace {

std::atomic<int> g_live{0};

// What a compatible bitmap holds before anything is drawn into it.
constexpr COLORREF kUndefined = Rgb(0x80, 0x80, 0x80);

int FloorDiv2(int n) {
  return n >= 0 ? n / 2 : -((-n + 1) / 2);
}

// A colour as a monochrome bitmap stores it: white when it is light.
COLORREF ToMono(COLORREF c) {
  const int sum = static_cast<int>(((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF));
  return sum >= 384 ? kWhite : kBlack;
}

void Put(TBitmap& bm, int x, int y, COLORREF c) {
  bm.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.Width) +
            static_cast<std::size_t>(x)] = bm.Monochrome ? ToMono(c) : c;
}

HBITMAP NewBitmap(int width, int height, bool monochrome, COLORREF fill = kBlack) {
  if (width <= 0 || height <= 0) return nullptr;
  auto* bm = new TBitmap;
  bm->Width = width;
  bm->Height = height;
  bm->Monochrome = monochrome;
  bm->Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                    monochrome ? ToMono(fill) : fill);
  ++g_live;
  return bm;
}

// Clips [x0, x1) x [y0, y1) to the bitmap and to `clip` when given.
struct TSpan {
  int X0, Y0, X1, Y1;
};
TSpan Clip(const TBitmap& bm, TSpan s, const TRect* clip) {
  s.X0 = std::max(s.X0, 0);
  s.Y0 = std::max(s.Y0, 0);
  s.X1 = std::min(s.X1, bm.Width);
  s.Y1 = std::min(s.Y1, bm.Height);
  if (clip != nullptr) {
    s.X0 = std::max(s.X0, clip->Left);
    s.Y0 = std::max(s.Y0, clip->Top);
    s.X1 = std::min(s.X1, clip->Right);
    s.Y1 = std::min(s.Y1, clip->Bottom);
  }
  return s;
}

}  // namespace

HDC GetDC() {
  auto* dc = new TDC;
  dc->Screen = true;
  dc->Colour = true;
  dc->Font = &DefaultPixelFont();
  ++g_live;
  return dc;
}

bool ReleaseDC(HDC dc) {
  if (dc == nullptr || !dc->Screen) return false;
  delete dc;
  --g_live;
  return true;
}

HDC CreateCompatibleDC(HDC /*reference*/) {
  auto* dc = new TDC;
  dc->StockBitmap.Width = 1;
  dc->StockBitmap.Height = 1;
  dc->StockBitmap.Stock = true;
  dc->StockBitmap.Pixels.assign(1, kBlack);
  dc->StockBitmap.SelectedInto = dc;
  dc->Bitmap = &dc->StockBitmap;
  dc->Font = &DefaultPixelFont();
  ++g_live;
  return dc;
}

bool DeleteDC(HDC dc) {
  if (dc == nullptr || dc->Screen) return false;
  if (dc->Bitmap != nullptr && dc->Bitmap != &dc->StockBitmap) dc->Bitmap->SelectedInto = nullptr;
  delete dc;
  --g_live;
  return true;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (dc == nullptr) return nullptr;
  const bool mono = dc->Screen ? !dc->Colour : dc->Bitmap->Monochrome;
  return NewBitmap(width, height, mono, kUndefined);
}

HBITMAP CreateBitmap(int width, int height, int planes, int bitsPerPixel, const COLORREF* bits) {
  if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) return nullptr;
  HBITMAP bm = NewBitmap(width, height, bitsPerPixel == 1);
  if (bm != nullptr && bits != nullptr) {
    for (std::size_t i = 0; i < bm->Pixels.size(); ++i)
      bm->Pixels[i] = bm->Monochrome ? ToMono(bits[i]) : (bits[i] & 0xFFFFFF);
  }
  return bm;
}

bool DeleteObject(HBITMAP bitmap) {
  if (bitmap == nullptr || bitmap->Stock || bitmap->SelectedInto != nullptr) return false;
  delete bitmap;
  --g_live;
  return true;
}

HFONT GetStockObject(TStockObject /*which*/) {
  return &DefaultPixelFont();
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
  if (dc == nullptr || dc->Screen || bitmap == nullptr) return nullptr;
  if (bitmap->Stock && bitmap != &dc->StockBitmap) return nullptr;
  if (bitmap->SelectedInto != nullptr && bitmap->SelectedInto != dc) return nullptr;
  HBITMAP previous = dc->Bitmap;
  if (previous != &dc->StockBitmap) previous->SelectedInto = nullptr;
  bitmap->SelectedInto = dc;
  dc->Bitmap = bitmap;
  return previous;
}

HFONT SelectObject(HDC dc, HFONT font) {
  if (dc == nullptr || font == nullptr) return nullptr;
  HFONT previous = dc->Font;
  dc->Font = font;
  return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  const COLORREF previous = dc->TextColor;
  dc->TextColor = color & 0xFFFFFF;
  return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  const COLORREF previous = dc->BkColor;
  dc->BkColor = color & 0xFFFFFF;
  return previous;
}

TBkMode SetBkMode(HDC dc, TBkMode mode) {
  const TBkMode previous = dc->BkMode;
  dc->BkMode = mode;
  return previous;
}

int DrawText(HDC dc, std::string_view text, const TRect& rect, unsigned format) {
  if (dc == nullptr || dc->Screen || dc->Bitmap == nullptr) return 0;
  const TPixelFont& font = *dc->Font;
  const int width = font.TextWidth(text);
  const int height = font.Height();

  int x = rect.Left;
  if (format & DT_CENTER) {
    x = rect.Left + FloorDiv2(rect.Right - rect.Left - width);
  } else if (format & DT_RIGHT) {
    x = rect.Right - width;
  }
  int y = rect.Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      y = rect.Top + FloorDiv2(rect.Bottom - rect.Top - height);
    } else if (format & DT_BOTTOM) {
      y = rect.Bottom - height;
    }
  }

  TBitmap& bm = *dc->Bitmap;
  const TRect* clip = (format & DT_NOCLIP) ? nullptr : &rect;
  const TSpan cell = Clip(bm, {x, y, x + width, y + height}, clip);
  if (dc->BkMode == TBkMode::OPAQUE) {
    for (int py = cell.Y0; py < cell.Y1; ++py)
      for (int px = cell.X0; px < cell.X1; ++px) Put(bm, px, py, dc->BkColor);
  }
  int gx = x;
  for (char c : text) {
    const TGlyph& glyph = font.Glyph(c);
    for (int row = 0; row < height; ++row) {
      const int py = y + row;
      if (py < cell.Y0 || py >= cell.Y1) continue;
      for (int col = 0; col < glyph.Width; ++col) {
        const int px = gx + col;
        if (px >= cell.X0 && px < cell.X1 && glyph.Ink(col, row)) Put(bm, px, py, dc->TextColor);
      }
    }
    gx += glyph.Width + TPixelFont::kGap;
  }
  return height;
}

bool PatBlt(HDC dc, int x, int y, int width, int height, TRop rop) {
  if (dc == nullptr || dc->Screen || dc->Bitmap == nullptr) return false;
  TBitmap& bm = *dc->Bitmap;
  const COLORREF c = rop == TRop::WHITENESS ? kWhite : kBlack;
  const TSpan s = Clip(bm, {x, y, x + width, y + height}, nullptr);
  for (int py = s.Y0; py < s.Y1; ++py)
    for (int px = s.X0; px < s.X1; ++px) Put(bm, px, py, c);
  return true;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  if (dc == nullptr || dc->Screen || dc->Bitmap == nullptr) return kWhite;
  const TBitmap& bm = *dc->Bitmap;
  if (x < 0 || y < 0 || x >= bm.Width || y >= bm.Height) return kWhite;
  return bm.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.Width) +
                   static_cast<std::size_t>(x)];
}

ui::HICON CreateIconIndirect(const TIconInfo& info) {
  const TBitmap* mask = info.hbmMask;
  const TBitmap* colour = info.hbmColor;
  if (mask == nullptr || colour == nullptr) return nullptr;
  if (mask->SelectedInto != nullptr || colour->SelectedInto != nullptr) return nullptr;
  if (!mask->Monochrome || colour->Monochrome) return nullptr;
  if (mask->Width != colour->Width || mask->Height != colour->Height) return nullptr;

  auto icon = std::make_unique<ui::TIconImage>();
  icon->Width = colour->Width;
  icon->Height = colour->Height;
  icon->fIcon = info.fIcon;
  icon->xHotspot = info.xHotspot;
  icon->yHotspot = info.yHotspot;
  icon->Color = colour->Pixels;
  const int stride = ui::TIconImage::MaskStride(mask->Width);
  icon->Mask.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(mask->Height), 0);
  for (int y = 0; y < mask->Height; ++y) {
    for (int x = 0; x < mask->Width; ++x) {
      if (mask->Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask->Width) +
                       static_cast<std::size_t>(x)] == kWhite) {
        icon->Mask[static_cast<std::size_t>(y * stride + x / 8)] |=
            static_cast<std::uint8_t>(0x80u >> (x % 8));
      }
    }
  }
  return icon;
}

int LiveObjects() {
  return g_live.load();
}

}  // namespace raster
