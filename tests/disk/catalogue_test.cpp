// The attribute catalogue, entry by entry for every id a drive can report.
// The expected texts come from tests/fixtures/catalogue.tsv (UTF-8: id, name,
// description); the description lengths are kept here as a table of their own,
// so a text copied wrongly into both the catalogue and the fixture still fails
// on its length.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "disk/smart.h"

namespace {

constexpr char16_t kUnknown[] = u"Unknown attribute";

// Strict UTF-8 to UTF-16 for the fixture (BMP only, which is all the catalogue
// uses); a malformed byte makes the test fail rather than guess.
std::u16string DecodeUtf8(const std::string& s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    auto cont = [&](std::size_t k) {
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
        throw std::runtime_error("bad UTF-8 in fixture");
      return static_cast<unsigned char>(s[i + k]) & 0x3Fu;
    };
    if (c < 0x80) {
      out.push_back(c);
      i += 1;
    } else if ((c & 0xE0) == 0xC0) {
      out.push_back(static_cast<char16_t>(((c & 0x1Fu) << 6) | cont(1)));
      i += 2;
    } else if ((c & 0xF0) == 0xE0) {
      out.push_back(static_cast<char16_t>(((c & 0x0Fu) << 12) | (cont(1) << 6) | cont(2)));
      i += 3;
    } else {
      throw std::runtime_error("unexpected UTF-8 sequence in fixture");
    }
  }
  return out;
}

struct Expected {
  std::u16string name;
  std::u16string description;
};

std::map<int, Expected> LoadFixture() {
  std::ifstream in(KELVANE_FIXTURE_DIR "/catalogue.tsv", std::ios::binary);
  if (!in) throw std::runtime_error("cannot open catalogue.tsv");
  std::map<int, Expected> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto t1 = line.find('\t');
    const auto t2 = line.find('\t', t1 + 1);
    if (t1 == std::string::npos || t2 == std::string::npos ||
        line.find('\t', t2 + 1) != std::string::npos)
      throw std::runtime_error("malformed fixture line: " + line);
    const int id = std::stoi(line.substr(0, t1));
    if (!rows.emplace(id, Expected{DecodeUtf8(line.substr(t1 + 1, t2 - t1 - 1)),
                                   DecodeUtf8(line.substr(t2 + 1))})
             .second)
      throw std::runtime_error("duplicate id in fixture");
  }
  return rows;
}

// The length of every description, in UTF-16 code units; an id missing here
// has no description.
const std::map<int, std::size_t> kDescriptionLength = {
    {1, 172},  {2, 174},  {3, 69},   {4, 37},    {5, 502},   {6, 88},    {7, 273},  {8, 148},
    {9, 163},  {10, 297}, {11, 231}, {12, 73},   {13, 113},  {190, 221}, {191, 50}, {192, 148},
    {193, 60}, {194, 29}, {195, 34}, {196, 205}, {198, 192}, {199, 120}, {200, 49}, {201, 55},
    {202, 55}, {203, 21}, {204, 43}, {205, 34},  {207, 49},  {208, 45},  {209, 51}, {220, 105},
    {221, 73}, {222, 73}, {223, 38}, {224, 66},  {225, 28},  {226, 86},  {227, 62}, {228, 99},
    {230, 77}, {231, 17}, {240, 30}, {250, 43},
};

std::u16string Name(int id) {
  return GetAttributeName(static_cast<std::uint8_t>(id));
}
std::u16string Description(int id) {
  return GetAttributeDescription(static_cast<std::uint8_t>(id));
}

std::string Utf8(const std::u16string& s) {  // for failure messages only
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      char buf[12];
      std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
      out += buf;
    }
  }
  return out;
}

TEST(Catalogue, EveryIdMatchesTheFixture) {
  const std::map<int, Expected> fixture = LoadFixture();
  ASSERT_EQ(fixture.size(), 255u);
  ASSERT_EQ(fixture.begin()->first, 1);
  ASSERT_EQ(fixture.rbegin()->first, 255);
  for (const auto& [id, want] : fixture) {
    SCOPED_TRACE("id " + std::to_string(id));
    EXPECT_EQ(Name(id), want.name) << Utf8(Name(id));
    EXPECT_EQ(Description(id), want.description) << Utf8(Description(id));
  }
}

TEST(Catalogue, DescriptionLengthsForEveryId) {
  for (int id = 1; id <= 255; ++id) {
    SCOPED_TRACE("id " + std::to_string(id));
    const auto it = kDescriptionLength.find(id);
    EXPECT_EQ(Description(id).size(), it == kDescriptionLength.end() ? 0u : it->second);
  }
}

TEST(Catalogue, HoldsFortyEightNamesAndFortyFourDescriptions) {
  std::vector<int> named, described;
  for (int id = 1; id <= 255; ++id) {
    if (Name(id) != kUnknown) named.push_back(id);
    if (!Description(id).empty()) described.push_back(id);
  }
  std::vector<int> want_named;
  for (int id = 1; id <= 13; ++id) want_named.push_back(id);
  want_named.insert(want_named.end(), {187, 189});
  for (int id = 190; id <= 209; ++id) want_named.push_back(id);
  for (int id = 220; id <= 228; ++id) want_named.push_back(id);
  want_named.insert(want_named.end(), {230, 231, 240, 250});
  EXPECT_EQ(named, want_named);
  EXPECT_EQ(named.size(), 48u);
  EXPECT_EQ(described.size(), 44u);
  // Every description belongs to a named id.
  for (int id : described) EXPECT_NE(Name(id), kUnknown) << id;
}

TEST(Catalogue, UnlistedIdsAreUnknownWithoutDescription) {
  for (int id : {188, 14, 186, 210, 219, 229, 232, 241, 255}) {
    SCOPED_TRACE("id " + std::to_string(id));
    EXPECT_EQ(Name(id), kUnknown);
    EXPECT_EQ(Description(id), u"");
  }
}

TEST(Catalogue, NamedIdsWithoutDescription) {
  const std::pair<int, std::u16string> cases[] = {
      {187, u"Vendor Specific"},
      {189, u"Vendor Specific"},
      {197, u"Current Pending Sector Count"},
      {206, u"Flying Height"},
  };
  for (const auto& [id, name] : cases) {
    SCOPED_TRACE("id " + std::to_string(id));
    EXPECT_EQ(Name(id), name);
    EXPECT_EQ(Description(id), u"");
  }
}

TEST(Catalogue, SharedNamesKeepTheirOwnDescriptions) {
  EXPECT_EQ(Name(13), u"Soft Read Error Rate");
  EXPECT_EQ(Name(201), Name(13));
  EXPECT_EQ(Description(201), u"Number of off-track errors. If non-zero, make a backup.");
  EXPECT_NE(Description(13), Description(201));

  EXPECT_EQ(Name(194), u"Temperature");
  EXPECT_EQ(Name(231), Name(194));
  EXPECT_EQ(Description(194), u"Current internal temperature.");
  EXPECT_EQ(Description(231), u"Drive Temperature");
}

TEST(Catalogue, NearDuplicateNamesStayDistinct) {
  EXPECT_EQ(Name(191), u"G-sense error rate");
  EXPECT_EQ(Name(221), u"G-Sense Error Rate");
  EXPECT_EQ(Name(192), u"Power-off Retract Count");
  EXPECT_EQ(Name(228), u"Power- Off Retract Cycle");
  EXPECT_EQ(Name(193), u"Load/Unload Cycle");
  EXPECT_EQ(Name(225), u"Load/Unload Cycle Count");
}

TEST(Catalogue, OnlyThreeCharactersOutsideAscii) {
  // (id, character) for every code unit above 0x7E in any text.
  std::vector<std::pair<int, char16_t>> found;
  for (int id = 1; id <= 255; ++id)
    for (const std::u16string& s : {Name(id), Description(id)})
      for (char16_t c : s)
        if (c > 0x7E || c < 0x20) found.emplace_back(id, c);
  const std::vector<std::pair<int, char16_t>> want = {
      {5, u'\u2014'}, {190, u'\u00B0'}, {209, u'\u2019'}};
  EXPECT_EQ(found, want);
}

TEST(Catalogue, StraightQuotesAndFinalFullStops) {
  std::map<int, int> quotes;
  std::vector<int> without_full_stop;
  for (int id = 1; id <= 255; ++id) {
    const std::u16string d = Description(id);
    for (const std::u16string& s : {Name(id), d})
      for (char16_t c : s)
        if (c == u'"') ++quotes[id];
    if (!d.empty() && d.back() != u'.') without_full_stop.push_back(id);
    // No text starts or ends with a blank.
    for (const std::u16string& s : {Name(id), d})
      if (!s.empty()) {
        EXPECT_TRUE(s.front() != u' ' && s.back() != u' ') << id;
      }
  }
  EXPECT_EQ(quotes, (std::map<int, int>{{5, 6}, {230, 2}}));
  EXPECT_EQ(without_full_stop, (std::vector<int>{192, 222, 230, 231, 240}));
}

TEST(Catalogue, OnlyIdFiveReachesTheTooltipLength) {
  std::vector<int> long_ones;
  std::size_t second = 0;
  for (int id = 1; id <= 255; ++id) {
    const std::size_t n = Description(id).size();
    if (n >= 326)
      long_ones.push_back(id);
    else if (n > second)
      second = n;
  }
  EXPECT_EQ(long_ones, std::vector<int>{5});
  EXPECT_EQ(Description(5).size(), 502u);
  EXPECT_EQ(second, 297u);  // id 10
}

TEST(Catalogue, IdZeroIsUnknown) {
  // The list never asks for it, but the lookup must still be total.
  EXPECT_EQ(Name(0), kUnknown);
  EXPECT_EQ(Description(0), u"");
}

}  // namespace
