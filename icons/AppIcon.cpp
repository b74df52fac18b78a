#include "icons/AppIcon.h"

#include <cstddef>
#include <cstdint>

// The application icon: a hard drive seen from above (casing, platter,
// spindle and head arm) with a thermometer standing in front of its right
// edge. Drawn as character art, one character a pixel; the palette below
// gives the colours, '.' is transparent. icons/kelvane.svg is the same
// design as a scalable drawing.

namespace {

struct TPaletteEntry {
  char Key;
  std::uint32_t Color;  // 0x00RRGGBB
};

constexpr TPaletteEntry kPalette[] = {
    {'K', 0x1E2228},  // outline
    {'D', 0x4A5260},  // spindle, head arm
    {'G', 0x8A94A4},  // platter
    {'H', 0xB4BECC},  // platter highlight
    {'L', 0xD8DEE6},  // casing
    {'W', 0xFFFFFF},  // thermometer glass
    {'R', 0xE0281E},  // mercury
    {'P', 0xFF8070},  // mercury highlight
};

constexpr const char* kArt16[16] = {
    "................",  //
    "KKKKKKKKKKK.....",  //
    "KLLLLLLLLLK.....",  //
    "KLLHHHGGLLK.KKK.",  //
    "KLHHHGGGGLK.KWK.",  //
    "KLHHGGGGGLK.KWK.",  //
    "KLHGGKGGGLK.KWK.",  //
    "KLGGGGGGGLK.KRK.",  //
    "KLGGGGGGDLK.KRK.",  //
    "KLLGGGGDGLK.KRK.",  //
    "KLLLLLDLLLK.KRK.",  //
    "KLLLLDLLLLKKRRRK",  //
    "KLLLLLLLLLKKRPRK",  //
    "KKKKKKKKKKKKRRRK",  //
    "............KKK.",  //
    "................",  //
};

constexpr const char* kArt32[32] = {
    "................................",  //
    "................................",  //
    "KKKKKKKKKKKKKKKKKKKKKK..........",  //
    "KLLLLLLLLLLLLLLLLLLLLK..........",  //
    "KLLLLLLLLLLLLLLLLLLLLK....KKK...",  //
    "KLLLLLLHHHHHHHGLLLLLLK...KWWWK..",  //
    "KLLLLHHHHHHHGGGGGLLLLK...KWWWK..",  //
    "KLLLHHHHHHGGGGGGGGLLLK...KWWWK..",  //
    "KLLHHHHHHGGGGGGGGGGLLK...KWWWK..",  //
    "KLLHHHHHGGGGGGGGGGGLLK...KWWWK..",  //
    "KLHHHHHGGGGGGGGGGGGGLK...KWWWK..",  //
    "KLHHHHGGGGGDDDGGGGGGLK...KWWWK..",  //
    "KLHHHGGGGGDKKKDGGGGGLK...KRRRK..",  //
    "KLHHGGGGGGDKKKDGGGGGLK...KRPRK..",  //
    "KLHGGGGGGGDKKKDGGGGGLK...KRPRK..",  //
    "KLGGGGGGGGGDDDGGGGDDLK...KRPRK..",  //
    "KLGGGGGGGGGGGGGGGDDGLK...KRPRK..",  //
    "KLLGGGGGGGGGGGGGDDGLLK...KRPRK..",  //
    "KLLGGGGGGGGGGGGDDGGLLK...KRPRK..",  //
    "KLLLGGGGGGGGGGDDGGLLLK...KRPRK..",  //
    "KLLLLGGGGGGGGDDGGLLLLK...KRPRK..",  //
    "KLLLLLLGGGGGDDGLLLLLLK...KRPRK..",  //
    "KLLLLLLLLLLDDLLLLLLLLK..KKRRRKK.",  //
    "KLLLLLLLLLDDDLLLLLLLLK.KRRRRRRRK",  //
    "KLLLLLLLLLDDDLLLLLLLLKKRRPPRRRRK",  //
    "KLLLLLLLLLLLLLLLLLLLLKKRPPRRRRRK",  //
    "KLLLLLLLLLLLLLLLLLLLLKKRPRRRRRRK",  //
    "KKKKKKKKKKKKKKKKKKKKKKKRRRRRRRRK",  //
    "......................KRRRRRRRK.",  //
    ".......................KKRRRKK..",  //
    ".........................KKK....",  //
    "................................",  //
};

std::uint32_t PaletteColor(char key) {
  for (const TPaletteEntry& entry : kPalette)
    if (entry.Key == key) return entry.Color;
  return 0;
}

ui::HICON FromArt(const char* const* art, int size) {
  auto icon = std::make_unique<ui::TIconImage>();
  icon->Width = size;
  icon->Height = size;
  icon->fIcon = true;
  const int stride = ui::TIconImage::MaskStride(size);
  icon->Color.assign(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), 0);
  icon->Mask.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(size), 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const char key = art[y][x];
      if (key == '.') {
        // Transparent: white in the mask, black in the colour image.
        icon->Mask[static_cast<std::size_t>(y * stride + x / 8)] |=
            static_cast<std::uint8_t>(0x80u >> (x % 8));
      } else {
        icon->Color[static_cast<std::size_t>(y * size + x)] = PaletteColor(key);
      }
    }
  }
  return icon;
}

}  // namespace

ui::HICON CreateApplicationIcon(int size) {
  if (size == 32) return FromArt(kArt32, 32);
  return FromArt(kArt16, 16);
}
