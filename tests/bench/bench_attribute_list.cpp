// FillAttributeList with a full SMART data page (30 attributes) onto a list on
// the headless backend: the part of every refresh that builds the table.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "disk/DiskInfo.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sim/Pages.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ListView.h"

namespace {

void BM_FillAttributeList30(benchmark::State& state) {
  ui::HeadlessBackend backend;
  ui::TApplication app(backend);
  ui::TForm form(nullptr, "HDForm");
  ui::TListView list(&form, &form, "StatusListView");
  ui::TStaticText panel(&form, &form, "StatusStaticText");
  list.OnSelectItem = [&](ui::TObject*, ui::TListItem* item, bool) {
    panel.SetCaption(item->SubItems()[4]);
  };

  // Catalogued ids, the temperature among them, so names and descriptions are
  // looked up as on a real drive.
  const int ids[30] = {1,   2,   3,   4,   5,   7,   8,   9,   10,  12,  13,  190, 191, 192, 193,
                       194, 195, 196, 197, 198, 199, 200, 201, 220, 222, 223, 225, 231, 240, 250};
  std::vector<sim::Attribute> attributes;
  for (int id : ids)
    attributes.push_back({.id = static_cast<std::uint8_t>(id),
                          .value = 100,
                          .worst = 90,
                          .raw = 41,
                          .threshold = 6});
  CurrentDisk = TDiskInfo{};
  const sim::Page data = sim::SmartDataPage(attributes);
  const sim::Page thresholds = sim::ThresholdPage(attributes);
  std::memcpy(CurrentDisk.SmartDataOut.bBuffer, data.data(), data.size());
  std::memcpy(CurrentDisk.SmartThresholdsOut.bBuffer, thresholds.data(), thresholds.size());

  for (auto _ : state) {
    FillAttributeList(list);
    benchmark::DoNotOptimize(list.Count());
  }
  if (list.Count() != 30) state.SkipWithError("expected 30 rows");
  state.SetItemsProcessed(state.iterations() * 30);
}
BENCHMARK(BM_FillAttributeList30);

}  // namespace
