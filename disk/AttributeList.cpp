// The attribute table: the rows of the SMART data page in CurrentDisk, each
// with its threshold, its catalogue name and its description, and the drive
// temperature picked out of them.
#include <cstdio>

#include "disk/DiskInfo.h"
#include "platform/ui/ListView.h"

namespace {

ui::Text Ascii(const char* s) {
  ui::Text t;
  while (*s != '\0') t.push_back(static_cast<char16_t>(static_cast<unsigned char>(*s++)));
  return t;
}

ui::Text FormatHex2(unsigned v) {  // "%.2X"
  char buf[8];
  std::snprintf(buf, sizeof buf, "%.2X", v);
  return Ascii(buf);
}

ui::Text FormatDecimal(int v) {  // "%d"
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", v);
  return Ascii(buf);
}

constexpr std::uint8_t kTemperatureId = 194;
constexpr std::uint8_t kDriveTemperatureId = 231;

}  // namespace

void FillAttributeList(ui::TListView& ListView) {
  ListView.Clear();

  // Data entry k pairs with threshold entry k by position; the threshold's own
  // id is not looked at. The cursors stop at the first empty entry (id 0), so
  // nothing after it is shown, whatever follows.
  int data = 0;
  int threshold = 0;
  for (int pass = 0; pass < SMART_ENTRY_COUNT; ++pass) {
    const TSmartAttribute a = SmartAttributeAt(CurrentDisk.SmartDataOut, data);
    if (a.Id == 0) continue;

    // Drives that keep the temperature in the raw value mark it by a worst
    // value below the id; others keep it in the normalized value.
    if (a.Id == kDriveTemperatureId || a.Id == kTemperatureId)
      CurrentDisk.Temperature = (a.Worst < a.Id) ? a.RawValue[0] : a.Value;

    const TSmartThreshold t = SmartThresholdAt(CurrentDisk.SmartThresholdsOut, threshold);
    ui::TListItem& row = ListView.Add();
    row.SetCaption(FormatHex2(a.Id));
    row.SubItems().Add(GetAttributeName(a.Id));  // "%s"
    row.SubItems().Add(FormatDecimal(a.Value));
    row.SubItems().Add(FormatDecimal(a.Worst));
    row.SubItems().Add(FormatDecimal(t.Threshold));
    row.SubItems().Add(GetAttributeDescription(a.Id));  // "%s", no column shows it

    ++data;
    ++threshold;
  }

  if (ListView.Count() > 0) ListView.Item(0).SetSelected(true);
}
