// Builds the three pages a drive answers with from field values, so a test
// says what matters (a model text, an attribute's worst value) instead of
// spelling out 512 bytes.
#ifndef KELVANE_PLATFORM_SIM_PAGES_H_
#define KELVANE_PLATFORM_SIM_PAGES_H_

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sim {

using Page = std::array<std::uint8_t, 512>;

struct Identity {
  std::string model;     // up to 40 characters
  std::string serial;    // up to 20
  std::string firmware;  // up to 8
  std::uint16_t cylinders = 0;
  std::uint16_t heads = 0;
  std::uint16_t sectors_per_track = 0;
  std::uint16_t buffer_size = 0;
};

// An IDENTIFY page: geometry words, and the texts as ATA stores them (padded
// with blanks to the field's length, two characters a word, first one in the
// high byte).
Page IdentifyPage(const Identity& id);

// Writes `text` into an ATA text field of `length` bytes at page byte
// `offset`, as the drive would: `pad` fills the rest, then every byte pair is
// swapped. A text longer than the field is cut.
void PutAtaText(Page& page, std::size_t offset, std::size_t length, const std::string& text,
                char pad = ' ');

void PutWord(Page& page, int word, std::uint16_t value);

struct Attribute {
  std::uint8_t id = 0;
  std::uint8_t value = 100;
  std::uint8_t worst = 100;
  std::uint64_t raw = 0;  // six bytes, least significant first
  std::uint16_t flags = 0;
  std::uint8_t threshold = 0;  // for the threshold page at the same position
};

// A SMART data page with the attributes in entries 0, 1, ... (at most 30).
Page SmartDataPage(const std::vector<Attribute>& attributes);
// The threshold page matching SmartDataPage(attributes), entry for entry.
Page ThresholdPage(const std::vector<Attribute>& attributes);
// A threshold page from (id, threshold) entries, in the order given.
Page ThresholdPage(const std::vector<std::pair<std::uint8_t, std::uint8_t>>& entries);

}  // namespace sim

#endif  // KELVANE_PLATFORM_SIM_PAGES_H_
