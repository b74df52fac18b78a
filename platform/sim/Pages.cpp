#include "platform/sim/Pages.h"

#include <algorithm>

namespace sim {

void PutWord(Page& page, int word, std::uint16_t value) {
  page[static_cast<std::size_t>(2 * word)] = static_cast<std::uint8_t>(value & 0xFF);
  page[static_cast<std::size_t>(2 * word + 1)] = static_cast<std::uint8_t>(value >> 8);
}

void PutAtaText(Page& page, std::size_t offset, std::size_t length, const std::string& text,
                char pad) {
  for (std::size_t i = 0; i < length; ++i)
    page[offset + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : pad);
  for (std::size_t i = 0; i + 1 < length; i += 2) std::swap(page[offset + i], page[offset + i + 1]);
}

Page IdentifyPage(const Identity& id) {
  Page page{};
  PutWord(page, 1, id.cylinders);
  PutWord(page, 3, id.heads);
  PutWord(page, 6, id.sectors_per_track);
  PutWord(page, 21, id.buffer_size);
  PutAtaText(page, 20, 20, id.serial);
  PutAtaText(page, 46, 8, id.firmware);
  PutAtaText(page, 54, 40, id.model);
  return page;
}

Page SmartDataPage(const std::vector<Attribute>& attributes) {
  Page page{};
  page[0] = 0x10;  // data structure revision
  const std::size_t n = std::min<std::size_t>(attributes.size(), 30);
  for (std::size_t k = 0; k < n; ++k) {
    const Attribute& a = attributes[k];
    std::uint8_t* e = page.data() + 2 + 12 * k;
    e[0] = a.id;
    e[1] = static_cast<std::uint8_t>(a.flags & 0xFF);
    e[2] = static_cast<std::uint8_t>(a.flags >> 8);
    e[3] = a.value;
    e[4] = a.worst;
    for (int i = 0; i < 6; ++i) e[5 + i] = static_cast<std::uint8_t>(a.raw >> (8 * i));
  }
  return page;
}

Page ThresholdPage(const std::vector<Attribute>& attributes) {
  std::vector<std::pair<std::uint8_t, std::uint8_t>> entries;
  for (const Attribute& a : attributes) entries.emplace_back(a.id, a.threshold);
  return ThresholdPage(entries);
}

Page ThresholdPage(const std::vector<std::pair<std::uint8_t, std::uint8_t>>& entries) {
  Page page{};
  page[0] = 0x10;
  const std::size_t n = std::min<std::size_t>(entries.size(), 30);
  for (std::size_t k = 0; k < n; ++k) {
    page[2 + 12 * k] = entries[k].first;
    page[3 + 12 * k] = entries[k].second;
  }
  return page;
}

}  // namespace sim
