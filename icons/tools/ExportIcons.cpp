// Writes the application icon as PNG files for a desktop icon theme:
//   kelvane-icons OUTDIR            -> OUTDIR/kelvane-16.png, OUTDIR/kelvane-32.png
//   kelvane-icons --sheet FILE.png  -> the temperature icons 0 to 255 on a grey
//                                      ground, 16 a row, for looking them over
// The PNGs are RGBA, uncompressed (stored deflate blocks): small enough at
// these sizes and needing nothing beyond the standard library.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "icons/AppIcon.h"
#include "icons/MakeIcon.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void Put32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
  Put32(out, static_cast<std::uint32_t>(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  Put32(out, Crc32(body.data(), body.size()));
}

// rgba: width * height pixels, 0xRRGGBBAA.
bool WritePng(const std::string& path, int width, int height,
              const std::vector<std::uint32_t>& rgba) {
  Bytes raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = rgba[static_cast<std::size_t>(y * width + x)];
      for (int shift = 24; shift >= 0; shift -= 8)
        raw.push_back(static_cast<std::uint8_t>(p >> shift));
    }
  }
  Bytes z{0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - pos, 65535);
    z.push_back(pos + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
             raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  Put32(z, (b << 16) | a);

  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  Put32(ihdr, static_cast<std::uint32_t>(width));
  Put32(ihdr, static_cast<std::uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(file);
}

// The icon drawn on `ground` (0xRRGGBB) the way the screen shows it.
std::uint32_t Shown(const ui::TIconImage& icon, int x, int y, std::uint32_t ground) {
  const std::uint32_t c = (icon.MaskBit(x, y) ? ground : 0u) ^ icon.ColorAt(x, y);
  return (c << 8) | 0xFF;
}

std::vector<std::uint32_t> Rgba(const ui::TIconImage& icon) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < icon.Height; ++y)
    for (int x = 0; x < icon.Width; ++x)
      out.push_back(icon.MaskBit(x, y) ? 0u : (icon.ColorAt(x, y) << 8) | 0xFF);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--sheet") {
    const int cols = 16, rows = 16, cell = 18;
    const int w = cols * cell, h = rows * cell;
    std::vector<std::uint32_t> sheet(static_cast<std::size_t>(w * h), 0x606060FF);
    for (int v = 0; v < cols * rows; ++v) {
      const ui::HICON icon = CreateTemperatureIcon(v);
      const int ox = (v % cols) * cell + 1, oy = (v / cols) * cell + 1;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
          sheet[static_cast<std::size_t>((oy + y) * w + ox + x)] = Shown(*icon, x, y, 0x303030);
    }
    return WritePng(argv[2], w, h, sheet) ? 0 : 1;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR | --sheet FILE.png\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  for (int size : {16, 32}) {
    const ui::HICON icon = CreateApplicationIcon(size);
    const std::string path = dir + "/kelvane-" + std::to_string(size) + ".png";
    if (!WritePng(path, size, size, Rgba(*icon))) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
