// The reader's own cost per read: ReadDiskInfo on a simulated drive that
// answers at once, so what is measured is the reset, the request building,
// the guard, the copies and the text decoding. The aim is a few microseconds.
#include <benchmark/benchmark.h>

#include <string>

#include "disk/DiskInfo.h"
#include "platform/sim/SimDevice.h"

namespace {

void ReadLoop(benchmark::State& state, const std::string& fixture, int drive_index) {
  sim::SimDeviceBackend backend;
  backend.drives = {sim::LoadSimDrive(std::string(KELVANE_FIXTURE_DIR) + "/" + fixture)};
  platform::DeviceBackend* previous = platform::SetDeviceBackend(&backend);
  for (auto _ : state) {
    ReadDiskInfo(drive_index);
    benchmark::DoNotOptimize(CurrentDisk.ModelNumber.data());
    // The simulated drive keeps a record of every exchange; keep it short.
    backend.exchanges.clear();
    backend.open_calls.clear();
  }
  platform::SetDeviceBackend(previous);
  if (drive_index == 0 && CurrentDisk.ModelNumber.empty()) state.SkipWithError("nothing read");
}

void BM_ReadDiskInfo(benchmark::State& state) {
  ReadLoop(state, "desktop-hdd.drive", 0);
}
void BM_ReadDiskInfo_ThirtyAttributes(benchmark::State& state) {
  ReadLoop(state, "thirty-attributes.drive", 0);
}
// A number with no drive: the reset and the failed open only.
void BM_ReadDiskInfo_NoDrive(benchmark::State& state) {
  ReadLoop(state, "desktop-hdd.drive", 5);
}

}  // namespace

BENCHMARK(BM_ReadDiskInfo);
BENCHMARK(BM_ReadDiskInfo_ThirtyAttributes);
BENCHMARK(BM_ReadDiskInfo_NoDrive);
