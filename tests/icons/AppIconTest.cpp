// The application icon: both sizes, a real picture with a transparent
// surround, and transparency that lets the screen through untinted.
#include "icons/AppIcon.h"

#include <gtest/gtest.h>

namespace {

TEST(CreateApplicationIcon, GivesTheRequestedSizeWithTransparentSurround) {
  const struct { int asked, expected; } cases[] = {{16, 16}, {32, 32}, {0, 16}, {24, 16}, {-1, 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.asked);
    const ui::HICON icon = CreateApplicationIcon(c.asked);
    ASSERT_NE(icon, nullptr);
    const int n = c.expected;
    ASSERT_EQ(icon->Width, n);
    ASSERT_EQ(icon->Height, n);
    EXPECT_TRUE(icon->fIcon);
    ASSERT_EQ(icon->Color.size(), static_cast<std::size_t>(n * n));
    ASSERT_EQ(icon->Mask.size(), static_cast<std::size_t>(ui::TIconImage::MaskStride(n) * n));
    int transparent = 0, red = 0;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        if (icon->MaskBit(x, y)) {
          ++transparent;
          ASSERT_EQ(icon->ColorAt(x, y), 0u) << "tinted transparent pixel " << x << "," << y;
        } else {
          const std::uint32_t p = icon->ColorAt(x, y);
          red += ((p >> 16) & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) < 0x60;
        }
      }
    }
    EXPECT_GT(transparent, 0);
    EXPECT_GT(n * n - transparent, n * n / 2) << "the picture should fill most of the square";
    EXPECT_GT(red, 0) << "the thermometer is missing";
    EXPECT_TRUE(icon->MaskBit(n - 1, n - 1) || icon->MaskBit(0, n - 1) || icon->MaskBit(0, 0));
  }
}

}  // namespace
