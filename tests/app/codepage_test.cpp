// The 8-bit code page against the system's own converter (glibc iconv) for
// every byte Windows-1252 defines, and the five it leaves undefined.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <set>
#include <string>

#include "platform/CodePage.h"

namespace {

// The byte through iconv's CP1252 as one UTF-16 unit; none when iconv refuses it.
std::optional<char16_t> IconvCp1252(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-16LE", "CP1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[8] = {};
  char* pin = in;
  char* pout = reinterpret_cast<char*>(out);
  std::size_t in_left = 1, out_left = sizeof out;
  const std::size_t r = iconv(cd, &pin, &in_left, &pout, &out_left);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || sizeof out - out_left != 2) return std::nullopt;
  return static_cast<char16_t>(out[0] | (out[1] << 8));
}

TEST(CodePage, EveryByteIsOneCharacterAndNoneIsLost) {
  const std::set<unsigned> undefined = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
  std::string all;
  for (unsigned b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string text = platform::AnsiToText(all);
  ASSERT_EQ(text.size(), 256u);

  std::set<char16_t> seen;
  for (unsigned b = 0; b < 256; ++b) {
    const char16_t c = text[b];
    EXPECT_EQ(c, platform::AnsiCharToText(static_cast<unsigned char>(b)));
    EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its character";
    if (undefined.count(b) != 0) {
      EXPECT_EQ(c, static_cast<char16_t>(b)) << "byte " << b;
    } else {
      const std::optional<char16_t> expected = IconvCp1252(static_cast<unsigned char>(b));
      ASSERT_TRUE(expected.has_value()) << "iconv has no CP1252 for byte " << b;
      EXPECT_EQ(c, *expected) << "byte " << b;
    }
  }
}

TEST(CodePage, KnownCharacters) {
  EXPECT_EQ(platform::AnsiToText("WDC WD10EZEX"), u"WDC WD10EZEX");
  EXPECT_EQ(platform::AnsiToText("\x80 \x9F \xE9 \xFF"), u"\u20AC \u0178 \u00E9 \u00FF");
  EXPECT_EQ(platform::AnsiToText(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(platform::AnsiToText(""), u"");
}

}  // namespace
