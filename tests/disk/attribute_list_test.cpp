// FillAttributeList over small SMART pages: which entries become rows, what the
// rows hold, the temperature it picks, and the first-row selection that fills
// the description panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "disk/DiskInfo.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sim/Pages.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ListView.h"

namespace {

using sim::Attribute;
using Row = std::vector<std::u16string>;  // caption, then every sub-item

struct SelectEvent {
  int row;
  bool selected;
};

class AttributeListTest : public ::testing::Test {
 protected:
  AttributeListTest() {
    CurrentDisk = TDiskInfo{};
    list.Columns = {
        {u"ID", 30}, {u"Attribute", 160}, {u"Value", 63}, {u"Worst", 63}, {u"Threshold", 66}};
    // The panel shows the fifth sub-item of the row whose selection changed,
    // as the main window does.
    list.OnSelectItem = [this](ui::TObject*, ui::TListItem* item, bool selected) {
      events.push_back({item->Index(), selected});
      panel.SetCaption(item->SubItems()[4]);
    };
  }
  ~AttributeListTest() override { CurrentDisk = TDiskInfo{}; }

  static void SetPages(const sim::Page& data, const sim::Page& thresholds) {
    std::memcpy(CurrentDisk.SmartDataOut.bBuffer, data.data(), data.size());
    std::memcpy(CurrentDisk.SmartThresholdsOut.bBuffer, thresholds.data(), thresholds.size());
  }
  static void SetPages(const std::vector<Attribute>& attributes) {
    SetPages(sim::SmartDataPage(attributes), sim::ThresholdPage(attributes));
  }

  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    for (int i = 0; i < list.Count(); ++i) {
      const ui::TListItem& item = list.Item(i);
      Row r{item.Caption()};
      for (int k = 0; k < item.SubItems().Count(); ++k) r.push_back(item.SubItems()[k]);
      rows.push_back(r);
    }
    return rows;
  }
  std::vector<std::u16string> Captions() const {
    std::vector<std::u16string> c;
    for (int i = 0; i < list.Count(); ++i) c.push_back(list.Item(i).Caption());
    return c;
  }

  ui::HeadlessBackend backend;
  ui::TApplication app{backend};
  ui::TForm form{nullptr, "HDForm"};
  ui::TListView list{&form, &form, "StatusListView"};
  ui::TStaticText panel{&form, &form, "StatusStaticText"};
  std::vector<SelectEvent> events;
};

TEST_F(AttributeListTest, RowHoldsCaptionNameValuesThresholdAndHiddenDescription) {
  SetPages({{.id = 5, .value = 200, .worst = 7, .raw = 0, .threshold = 36},
            {.id = 9, .value = 0, .worst = 255, .raw = 1234, .threshold = 0}});
  FillAttributeList(list);
  const std::vector<Row> want = {
      {u"05", u"Reallocated Sectors Count", u"200", u"7", u"36", GetAttributeDescription(5)},
      {u"09", u"Power-On Hours", u"0", u"255", u"0", GetAttributeDescription(9)},
  };
  EXPECT_EQ(Rows(), want);
  // Five columns show the caption and four sub-items; the fifth sub-item has no
  // column of its own.
  EXPECT_EQ(list.Columns.size(), 5u);
  EXPECT_EQ(list.Item(0).SubItems().Count(), 5);
  EXPECT_EQ(list.Item(0).SubItems()[4].size(), 502u);
}

TEST_F(AttributeListTest, CaptionsAreTwoUpperCaseHexDigits) {
  SetPages({{.id = 9}, {.id = 250}, {.id = 194}, {.id = 1}, {.id = 16}, {.id = 255}});
  FillAttributeList(list);
  EXPECT_EQ(Captions(), (std::vector<std::u16string>{u"09", u"FA", u"C2", u"01", u"10", u"FF"}));
}

TEST_F(AttributeListTest, NothingFromTheFirstEmptyEntryOnIsShown) {
  SetPages({{.id = 1}, {.id = 3}, {.id = 0}, {.id = 5}});
  FillAttributeList(list);
  EXPECT_EQ(Captions(), (std::vector<std::u16string>{u"01", u"03"}));
}

TEST_F(AttributeListTest, ThirtyFullSlotsGiveThirtyRowsInPageOrder) {
  std::vector<Attribute> attributes;
  std::vector<std::u16string> want;
  for (int k = 0; k < 30; ++k) {
    const auto id = static_cast<std::uint8_t>(250 - 7 * k);  // descending, all non-zero
    attributes.push_back({.id = id, .value = static_cast<std::uint8_t>(k), .threshold = 0});
    char buf[3];
    std::snprintf(buf, sizeof buf, "%.2X", id);
    want.push_back(std::u16string(buf, buf + 2));
  }
  SetPages(attributes);
  FillAttributeList(list);
  ASSERT_EQ(Captions(), want);
  for (int k = 0; k < 30; ++k) EXPECT_EQ(list.Item(k).SubItems()[1], ui::IntToText(k));
}

TEST_F(AttributeListTest, ThresholdsPairByPositionNotById) {
  const sim::Page data = sim::SmartDataPage({{.id = 1}, {.id = 3}, {.id = 5}});
  const sim::Page thresholds = sim::ThresholdPage(
      std::vector<std::pair<std::uint8_t, std::uint8_t>>{{5, 50}, {1, 10}, {3, 30}});
  SetPages(data, thresholds);
  FillAttributeList(list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Item(0).SubItems()[3], u"50");
  EXPECT_EQ(list.Item(1).SubItems()[3], u"10");
  EXPECT_EQ(list.Item(2).SubItems()[3], u"30");
}

TEST_F(AttributeListTest, PageBytesAfterTheThirtiethEntryAreNeverRead) {
  std::vector<Attribute> attributes;
  for (int k = 0; k < 30; ++k)
    attributes.push_back({.id = static_cast<std::uint8_t>(k + 1),
                          .value = static_cast<std::uint8_t>(100 + k),
                          .threshold = static_cast<std::uint8_t>(k)});
  sim::Page data = sim::SmartDataPage(attributes);
  sim::Page thresholds = sim::ThresholdPage(attributes);
  SetPages(data, thresholds);
  FillAttributeList(list);
  const std::vector<Row> clean = Rows();
  const int clean_temperature = CurrentDisk.Temperature;

  // Bytes 362 on look like more entries, a temperature among them.
  for (std::size_t i = 362; i < data.size(); ++i) data[i] = thresholds[i] = 0xC2;
  CurrentDisk = TDiskInfo{};
  SetPages(data, thresholds);
  FillAttributeList(list);
  EXPECT_EQ(Rows(), clean);
  EXPECT_EQ(list.Count(), 30);
  EXPECT_EQ(CurrentDisk.Temperature, clean_temperature);
}

TEST_F(AttributeListTest, UnknownIdsAndNamedIdsWithoutDescriptionGetEmptyDescriptions) {
  SetPages({{.id = 188}, {.id = 187}, {.id = 189}, {.id = 197}, {.id = 206}, {.id = 14}});
  FillAttributeList(list);
  const std::vector<std::pair<std::u16string, std::u16string>> want = {
      {u"BC", u"Unknown attribute"}, {u"BB", u"Vendor Specific"},
      {u"BD", u"Vendor Specific"},   {u"C5", u"Current Pending Sector Count"},
      {u"CE", u"Flying Height"},     {u"0E", u"Unknown attribute"},
  };
  ASSERT_EQ(list.Count(), static_cast<int>(want.size()));
  for (int i = 0; i < list.Count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list.Item(i).Caption(), want[static_cast<std::size_t>(i)].first);
    EXPECT_EQ(list.Item(i).SubItems()[0], want[static_cast<std::size_t>(i)].second);
    ASSERT_EQ(list.Item(i).SubItems().Count(), 5);
    EXPECT_EQ(list.Item(i).SubItems()[4], u"");
  }
}

struct TemperatureCase {
  const char* what;
  std::vector<Attribute> attributes;
  int want;
};

TEST_F(AttributeListTest, TemperatureFromTheLastShownEntry194Or231) {
  const TemperatureCase cases[] = {
      {"194, worst below id: raw byte", {{.id = 194, .value = 100, .worst = 100, .raw = 38}}, 38},
      {"194, worst 193: raw byte", {{.id = 194, .value = 100, .worst = 193, .raw = 38}}, 38},
      {"194, worst 194: value", {{.id = 194, .value = 100, .worst = 194, .raw = 38}}, 100},
      {"194, worst 255: value", {{.id = 194, .value = 61, .worst = 255, .raw = 38}}, 61},
      {"231, worst 230: raw byte", {{.id = 231, .value = 90, .worst = 230, .raw = 41}}, 41},
      {"231, worst 231: value", {{.id = 231, .value = 90, .worst = 231, .raw = 41}}, 90},
      {"only the first raw byte", {{.id = 194, .worst = 50, .raw = 0x0A0B0C0D0E2Dull}}, 45},
      {"raw byte 0", {{.id = 194, .worst = 50, .raw = 0x1200}}, 0},
      {"raw byte 255", {{.id = 194, .worst = 50, .raw = 0xFF}}, 255},
      {"194 then 231",
       {{.id = 194, .worst = 50, .raw = 30}, {.id = 9}, {.id = 231, .worst = 50, .raw = 40}},
       40},
      {"231 then 194",
       {{.id = 231, .worst = 50, .raw = 40}, {.id = 9}, {.id = 194, .worst = 50, .raw = 30}},
       30},
      {"two 194 entries: the last",
       {{.id = 194, .worst = 1, .raw = 20}, {.id = 194, .worst = 1, .raw = 21}},
       21},
      {"190 is no temperature", {{.id = 190, .value = 60, .worst = 50, .raw = 40}}, 7},
      {"194 behind an empty entry", {{.id = 1}, {.id = 0}, {.id = 194, .worst = 1, .raw = 40}}, 7},
  };
  for (const TemperatureCase& c : cases) {
    SCOPED_TRACE(c.what);
    CurrentDisk = TDiskInfo{};
    // A value the routine must overwrite, or leave alone when no entry sets it.
    CurrentDisk.Temperature = 7;
    SetPages(c.attributes);
    FillAttributeList(list);
    EXPECT_EQ(CurrentDisk.Temperature, c.want);
  }
}

TEST_F(AttributeListTest, EmptyPageLeavesListEmptyAndPanelUntouched) {
  panel.SetCaption(u"previous description");
  panel.SetHint(u"previous hint");
  panel.SetShowHint(true);
  // One fill with rows, then a drive that gave no pages (the reader's reset).
  SetPages({{.id = 1}, {.id = 194, .worst = 1, .raw = 40}});
  FillAttributeList(list);
  list.UserSelect(1);
  const std::u16string shown = panel.Caption();
  events.clear();

  CurrentDisk = TDiskInfo{};
  FillAttributeList(list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Selected(), nullptr);
  EXPECT_EQ(CurrentDisk.Temperature, 0);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(panel.Caption(), shown);
  EXPECT_EQ(panel.HintText(), u"previous hint");
  EXPECT_TRUE(panel.ShowHint());
}

TEST_F(AttributeListTest, SelectsTheFirstRowAndRaisesItsEventBeforeReturning) {
  SetPages({{.id = 5}, {.id = 9}});
  FillAttributeList(list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Selected(), &list.Item(0));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].row, 0);
  EXPECT_TRUE(events[0].selected);
  EXPECT_EQ(panel.Caption(), GetAttributeDescription(5));
}

TEST_F(AttributeListTest, EveryFillSelectsTheFirstRowAnew) {
  SetPages({{.id = 5}, {.id = 9}, {.id = 12}});
  FillAttributeList(list);
  list.UserSelect(2);
  ASSERT_EQ(panel.Caption(), GetAttributeDescription(12));
  events.clear();

  // The old rows go without events; only the new first row raises one.
  SetPages({{.id = 9}, {.id = 5}});
  FillAttributeList(list);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Selected(), &list.Item(0));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].row, 0);
  EXPECT_TRUE(events[0].selected);
  EXPECT_EQ(panel.Caption(), GetAttributeDescription(9));
}

TEST_F(AttributeListTest, AnErrorInTheSelectionHandlerReachesTheCaller) {
  SetPages({{.id = 1}});
  list.OnSelectItem = [](ui::TObject*, ui::TListItem*, bool) {
    throw std::runtime_error("list failed");
  };
  EXPECT_THROW(FillAttributeList(list), std::runtime_error);
  EXPECT_TRUE(backend.error_reports.empty());
}

}  // namespace
