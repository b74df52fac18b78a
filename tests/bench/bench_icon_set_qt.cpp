// The 101-entry tray icon set as the desktop builds it: drawing every entry and
// turning it into the QIcon the Qt backend hands to the tray. The aim is under
// 2 ms for the whole set.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QIcon>
#include <vector>

#include "icons/AppIcon.h"
#include "icons/MakeIcon.h"
#include "platform/qt/QtBackend.h"

namespace {

void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "bench_icon_set_qt";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(argc, argv);
}

void BM_IconSetWithQtConversion(benchmark::State& state) {
  EnsureGuiApplication();
  for (auto _ : state) {
    std::vector<QIcon> set;
    set.reserve(101);
    ui::HICON app_icon = CreateApplicationIcon(16);
    set.push_back(ui::QtBackend::ToQIcon(app_icon.get()));
    for (int k = 1; k <= 100; ++k) {
      ui::HICON icon = CreateTemperatureIcon(k);
      set.push_back(ui::QtBackend::ToQIcon(icon.get()));
    }
    benchmark::DoNotOptimize(set.data());
  }
  state.SetItemsProcessed(state.iterations() * 101);
}
BENCHMARK(BM_IconSetWithQtConversion)->Unit(benchmark::kMicrosecond);

}  // namespace
