// A small raster layer in the shape of the Windows drawing calls the icon
// renderer is written against: memory bitmaps, device contexts that hold a
// selected bitmap and font, a text and a background colour, single-line text
// drawing into a rectangle, pattern fills, and making an icon from a colour
// image and a mask. Everything is in memory; the "screen" is a 32-bit colour
// device that is never drawn on.
//
// Handles are plain pointers, as in the calls this mirrors: whatever is made
// must be released by its own call (DeleteObject, DeleteDC, ReleaseDC).
// LiveObjects() counts what has been made and not released yet.
#ifndef KELVANE_ICONS_RASTER_H_
#define KELVANE_ICONS_RASTER_H_

#include <cstdint>
#include <string_view>

#include "icons/PixelFont.h"
#include "platform/ui/Icon.h"

namespace raster {

// A colour, 0x00RRGGBB (the layout of ui::TIconImage's colour pixels).
using COLORREF = std::uint32_t;
constexpr COLORREF Rgb(int r, int g, int b) {
  return (static_cast<COLORREF>(r & 0xFF) << 16) | (static_cast<COLORREF>(g & 0xFF) << 8) |
         static_cast<COLORREF>(b & 0xFF);
}
constexpr COLORREF kBlack = Rgb(0, 0, 0);
constexpr COLORREF kWhite = Rgb(255, 255, 255);

struct TBitmap;
struct TDC;
using HBITMAP = TBitmap*;
using HDC = TDC*;
using HFONT = const TPixelFont*;

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// DrawText formats. Left and top alignment are the defaults (0).
enum : unsigned {
  DT_LEFT = 0x0,
  DT_TOP = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8,
  DT_SINGLELINE = 0x20,
  DT_NOCLIP = 0x100,
};

// Raster operations of PatBlt.
enum class TRop { BLACKNESS, WHITENESS };

// Background modes.
enum class TBkMode { OPAQUE, TRANSPARENT };

enum class TStockObject { DEFAULT_GUI_FONT };

// The screen's context (32-bit colour). Give it back with ReleaseDC.
HDC GetDC();
bool ReleaseDC(HDC dc);

// A memory context; it starts with a 1x1 monochrome stock bitmap, the
// default font, black text on a white opaque background. `reference`, when
// given, is only checked for being a context.
HDC CreateCompatibleDC(HDC reference);
// Deleting a context does not delete the bitmap selected into it.
bool DeleteDC(HDC dc);

// A bitmap in the pixel format of the bitmap `dc` holds (the screen: 32-bit
// colour; a fresh memory context: monochrome). Its first content is not
// defined (as on a real device): here it is mid grey, or white when
// monochrome, so that a drawing that forgets to fill it shows.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A bitmap of `planes` planes of `bitsPerPixel` bits: 1, 1 (monochrome) or
// 1, 32 (colour); any other combination gives null. Its pixels start at 0
// (black), or are copied from `bits` when given (one COLORREF a pixel, white
// or black for a monochrome bitmap).
HBITMAP CreateBitmap(int width, int height, int planes, int bitsPerPixel,
                     const COLORREF* bits = nullptr);
// A bitmap still selected into a context, or a stock bitmap, is not deleted
// (false).
bool DeleteObject(HBITMAP bitmap);

HFONT GetStockObject(TStockObject which);

// Select a bitmap or a font into `dc`; the result is the one it replaces.
// A bitmap already selected into another context is refused (null).
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);
HFONT SelectObject(HDC dc, HFONT font);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);
TBkMode SetBkMode(HDC dc, TBkMode mode);

// Draws `text` with the context's font and colours into its bitmap: one line
// (a line break is drawn as a glyph, never as a new line), never wrapped or
// shrunk. DT_CENTER / DT_RIGHT place it horizontally, DT_VCENTER /
// DT_BOTTOM vertically (these only with DT_SINGLELINE). Centring puts the
// odd pixel on the right when the text is narrower than the rectangle, and
// cuts it on the left when the text is wider. In opaque mode the text's cell
// is painted with the background colour first. Clipped to the rectangle
// unless DT_NOCLIP, always to the bitmap. Returns the text's height.
int DrawText(HDC dc, std::string_view text, const TRect& rect, unsigned format);

// Fills a rectangle of the selected bitmap black or white.
bool PatBlt(HDC dc, int x, int y, int width, int height, TRop rop);

// The pixel at (x, y) of the selected bitmap (white or black in a
// monochrome one); out of the bitmap: kWhite, as a failed read is reported.
COLORREF GetPixel(HDC dc, int x, int y);

struct TIconInfo {
  bool fIcon = true;
  int xHotspot = 0;
  int yHotspot = 0;
  HBITMAP hbmMask = nullptr;
  HBITMAP hbmColor = nullptr;
};

// An icon holding its own copies of the two bitmaps. Null when either bitmap
// is missing or still selected into a context, the mask is not monochrome,
// the colour image is not in colour, or their sizes differ.
ui::HICON CreateIconIndirect(const TIconInfo& info);

// Contexts and bitmaps made and not released yet (stock objects excluded).
int LiveObjects();

}  // namespace raster

#endif  // KELVANE_ICONS_RASTER_H_
