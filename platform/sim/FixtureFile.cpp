// Simulated drives from fixture files: `key: value` lines a person can read
// and edit. tests/fixtures/README.md describes the format.
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimDevice.h"

namespace sim {
namespace {

class ParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Cuts a "# comment" off a value that is not text: '#' at the start or
// after a blank.
std::string StripComment(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] == '#' && (i == 0 || IsBlank(s[i - 1]))) return Trim(s.substr(0, i));
  return Trim(s);
}

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> words;
  std::istringstream in(s);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A decimal or 0x-hexadecimal number from `min` to `max`.
std::uint64_t Number(const std::string& text, std::uint64_t min, std::uint64_t max,
                     const std::string& what) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::size_t start = hex ? 2 : 0;
  if (text.size() <= start) throw ParseError(what + ": expected a number, got \"" + text + "\"");
  std::uint64_t v = 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    const int d = hex ? HexDigit(text[i])
                      : (std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : -1);
    if (d < 0) throw ParseError(what + ": expected a number, got \"" + text + "\"");
    const std::uint64_t base = hex ? 16 : 10;
    if (v > (max - static_cast<std::uint64_t>(d)) / base)
      throw ParseError(what + ": " + text + " is out of range (" + std::to_string(min) + " to " +
                       std::to_string(max) + ")");
    v = v * base + static_cast<std::uint64_t>(d);
  }
  if (v < min)
    throw ParseError(what + ": " + text + " is out of range (" + std::to_string(min) + " to " +
                     std::to_string(max) + ")");
  return v;
}

// A text value: "quoted" with \" \\ \xNN escapes (keeps blanks at the ends),
// or the rest of the line without its outer blanks. Bytes are kept as they
// are, non-ASCII included.
std::string TextValue(const std::string& raw, const std::string& key) {
  const std::string v = Trim(raw);
  if (v.empty() || v[0] != '"') return v;
  std::string out;
  std::size_t i = 1;
  for (;; ++i) {
    if (i >= v.size()) throw ParseError(key + ": the text has no closing quote");
    const char c = v[i];
    if (c == '"') break;
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++i >= v.size()) throw ParseError(key + ": the text has no closing quote");
    if (v[i] == '"' || v[i] == '\\') {
      out.push_back(v[i]);
    } else if (v[i] == 'x' && i + 2 < v.size() && HexDigit(v[i + 1]) >= 0 &&
               HexDigit(v[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(v[i + 1]) * 16 + HexDigit(v[i + 2])));
      i += 2;
    } else {
      throw ParseError(key + ": unknown escape \\" + std::string(1, v[i]) +
                       " (use \\\", \\\\ or \\xNN)");
    }
  }
  const std::string rest = Trim(v.substr(i + 1));
  if (!rest.empty() && rest[0] != '#')
    throw ParseError(key + ": unexpected \"" + rest + "\" after the closing quote");
  return out;
}

// "name=value" fields of an attribute or threshold line.
std::vector<std::pair<std::string, std::string>> Fields(const std::string& value,
                                                        const std::string& key) {
  std::vector<std::pair<std::string, std::string>> fields;
  std::set<std::string> seen;
  for (const std::string& w : Words(value)) {
    const std::size_t eq = w.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == w.size())
      throw ParseError(key + ": expected name=value, got \"" + w + "\"");
    std::string name = w.substr(0, eq);
    if (!seen.insert(name).second) throw ParseError(key + ": " + name + " is given twice");
    fields.emplace_back(std::move(name), w.substr(eq + 1));
  }
  return fields;
}

struct Patch {
  enum Kind { IdentifyWord, SmartDataByte, ThresholdByte } kind;
  std::uint16_t where;
  std::uint16_t value;
};

class Parser {
 public:
  SimDrive Parse(const std::string& text, const std::string& source) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      try {
        Line(line);
      } catch (const ParseError& e) {
        throw std::runtime_error(source + ":" + std::to_string(number) + ": " + e.what());
      }
    }
    try {
      return Build();
    } catch (const ParseError& e) {
      throw std::runtime_error(source + ": " + e.what());
    }
  }

 private:
  void Line(const std::string& line) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] == '#') return;
    const std::size_t colon = t.find(':');
    if (colon == std::string::npos) throw ParseError("expected \"key: value\", got \"" + t + "\"");
    const std::string key = Trim(t.substr(0, colon));
    const std::string value = t.substr(colon + 1);

    if (key == "attribute" || key == "threshold" || key == "fails" || key == "identify-word" ||
        key == "smart-data-byte" || key == "threshold-byte") {
      Repeatable(key, StripComment(value));
      return;
    }
    if (!singles_.insert(key).second) throw ParseError(key + " is given twice");
    if (key == "model") {
      identity_.model = Text(value, key, 40);
    } else if (key == "serial") {
      identity_.serial = Text(value, key, 20);
    } else if (key == "firmware") {
      identity_.firmware = Text(value, key, 8);
    } else if (key == "device") {
      drive_.device_node = TextValue(value, key);
    } else if (key == "cylinders") {
      identity_.cylinders = Word(value, key);
    } else if (key == "heads") {
      identity_.heads = Word(value, key);
    } else if (key == "sectors") {
      identity_.sectors_per_track = Word(value, key);
    } else if (key == "buffer") {
      identity_.buffer_size = Word(value, key);
    } else if (key == "device-map") {
      drive_.ide_device_map = static_cast<std::uint8_t>(Number(StripComment(value), 0, 255, key));
    } else {
      singles_.erase(key);
      throw ParseError("unknown key \"" + key + "\"");
    }
  }

  static std::string Text(const std::string& value, const std::string& key, std::size_t length) {
    std::string s = TextValue(value, key);
    if (s.size() > length)
      throw ParseError(key + ": " + std::to_string(s.size()) + " bytes, the field holds " +
                       std::to_string(length));
    return s;
  }

  static std::uint16_t Word(const std::string& value, const std::string& key) {
    return static_cast<std::uint16_t>(Number(StripComment(value), 0, 0xFFFF, key));
  }

  void Repeatable(const std::string& key, const std::string& value) {
    if (key == "fails") {
      const std::vector<std::string> words = Words(value);
      if (words.empty()) throw ParseError("fails: name at least one step");
      for (const std::string& w : words) {
        if (w == "open")
          drive_.fail_open = true;
        else if (w == "version")
          drive_.fail_version = true;
        else if (w == "identify")
          drive_.fail_identify = true;
        else if (w == "smart-data")
          drive_.fail_smart_data = true;
        else if (w == "thresholds")
          drive_.fail_thresholds = true;
        else
          throw ParseError("fails: unknown step \"" + w +
                           "\" (open, version, identify, smart-data, thresholds)");
      }
    } else if (key == "attribute") {
      if (attributes_.size() == 30) throw ParseError("attribute: the page holds 30 attributes");
      Attribute a;
      bool has_id = false;
      for (const auto& [name, v] : Fields(value, key)) {
        const std::string what = "attribute " + name;
        if (name == "id") {
          a.id = static_cast<std::uint8_t>(Number(v, 0, 255, what));
          has_id = true;
        } else if (name == "value") {
          a.value = static_cast<std::uint8_t>(Number(v, 0, 255, what));
        } else if (name == "worst") {
          a.worst = static_cast<std::uint8_t>(Number(v, 0, 255, what));
        } else if (name == "raw") {
          a.raw = Number(v, 0, 0xFFFF'FFFF'FFFFull, what);
        } else if (name == "flags") {
          a.flags = static_cast<std::uint16_t>(Number(v, 0, 0xFFFF, what));
        } else if (name == "threshold") {
          a.threshold = static_cast<std::uint8_t>(Number(v, 0, 255, what));
          attribute_thresholds_ = true;
        } else {
          throw ParseError("attribute: unknown field \"" + name +
                           "\" (id, value, worst, raw, flags, threshold)");
        }
      }
      if (!has_id) throw ParseError("attribute: id= is missing");
      attributes_.push_back(a);
    } else if (key == "threshold") {
      if (thresholds_.size() == 30) throw ParseError("threshold: the page holds 30 entries");
      std::optional<std::uint8_t> id, threshold;
      for (const auto& [name, v] : Fields(value, key)) {
        const std::string what = "threshold " + name;
        if (name == "id")
          id = static_cast<std::uint8_t>(Number(v, 0, 255, what));
        else if (name == "value")
          threshold = static_cast<std::uint8_t>(Number(v, 0, 255, what));
        else
          throw ParseError("threshold: unknown field \"" + name + "\" (id, value)");
      }
      if (!id || !threshold) throw ParseError("threshold: needs id= and value=");
      thresholds_.emplace_back(*id, *threshold);
    } else {
      const std::vector<std::string> words = Words(value);
      if (words.size() != 2) throw ParseError(key + ": expected two numbers, where and what");
      Patch p{};
      if (key == "identify-word") {
        p = {Patch::IdentifyWord, static_cast<std::uint16_t>(Number(words[0], 0, 255, key)),
             static_cast<std::uint16_t>(Number(words[1], 0, 0xFFFF, key))};
      } else {
        p = {key == "smart-data-byte" ? Patch::SmartDataByte : Patch::ThresholdByte,
             static_cast<std::uint16_t>(Number(words[0], 0, 511, key)),
             static_cast<std::uint16_t>(Number(words[1], 0, 255, key))};
      }
      patches_.push_back(p);
    }
  }

  SimDrive Build() {
    if (attribute_thresholds_ && !thresholds_.empty())
      throw ParseError(
          "give thresholds either as threshold= on the attribute lines or as threshold: lines, "
          "not both");
    drive_.identify = IdentifyPage(identity_);
    drive_.smart_data = SmartDataPage(attributes_);
    drive_.thresholds =
        thresholds_.empty() ? ThresholdPage(attributes_) : ThresholdPage(thresholds_);
    for (const Patch& p : patches_) {
      switch (p.kind) {
        case Patch::IdentifyWord:
          PutWord(drive_.identify, p.where, p.value);
          break;
        case Patch::SmartDataByte:
          drive_.smart_data[p.where] = static_cast<std::uint8_t>(p.value);
          break;
        case Patch::ThresholdByte:
          drive_.thresholds[p.where] = static_cast<std::uint8_t>(p.value);
          break;
      }
    }
    return drive_;
  }

  SimDrive drive_;
  Identity identity_;
  std::set<std::string> singles_;
  std::vector<Attribute> attributes_;
  bool attribute_thresholds_ = false;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> thresholds_;
  std::vector<Patch> patches_;
};

}  // namespace

SimDrive ParseSimDrive(const std::string& text, const std::string& source_name) {
  return Parser().Parse(text, source_name);
}

SimDrive LoadSimDrive(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error(file + ": cannot open: " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw std::runtime_error(file + ": cannot read");
  return ParseSimDrive(text.str(), file);
}

}  // namespace sim
