// libFuzzer target: the drive reader and the attribute list over whatever a
// drive might answer. The input is one byte of failing steps and flags, then
// the IDENTIFY page, the SMART data page and the SMART threshold page (512
// bytes each; a short input leaves the rest zero).
//
// Besides memory errors, it checks what must hold for any answer: texts no
// longer than their fields and trimmed at both ends, nothing filled past a
// failed identify, no handle left open, at most 30 rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "disk/DiskInfo.h"
#include "platform/sim/SimDevice.h"
#include "platform/ui/ListView.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool Trimmed(const std::string& s, std::size_t field) {
  if (s.size() > field) return false;
  if (s.empty()) return true;
  return static_cast<unsigned char>(s.front()) > 0x20 &&
         static_cast<unsigned char>(s.back()) > 0x20 && s.find('\0') == std::string::npos;
}

bool AllZero(const SENDCMDOUTPARAMS& b) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&b);
  for (std::size_t i = 0; i < sizeof b; ++i)
    if (p[i] != 0) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static sim::SimDeviceBackend backend;
  static ui::TListView list(nullptr, nullptr, "StatusListView");
  platform::SetDeviceBackend(&backend);

  sim::SimDrive drive;
  const std::uint8_t flags = size > 0 ? data[0] : 0;
  drive.fail_open = flags & 0x01;
  drive.fail_version = flags & 0x02;
  drive.fail_identify = flags & 0x04;
  drive.fail_smart_data = flags & 0x08;
  drive.fail_thresholds = flags & 0x10;
  drive.ide_device_map = (flags & 0x20) ? 0x10 : 0x01;
  sim::Page* pages[] = {&drive.identify, &drive.smart_data, &drive.thresholds};
  std::size_t at = 1;
  for (sim::Page* page : pages) {
    const std::size_t n = at < size ? std::min<std::size_t>(size - at, page->size()) : 0;
    if (n > 0) std::memcpy(page->data(), data + at, n);
    at += page->size();
  }
  backend.drives = {drive};
  backend.exchanges.clear();
  backend.open_calls.clear();

  // An earlier read of another drive must leave nothing behind.
  CurrentDisk.ModelNumber = "earlier drive";
  CurrentDisk.Temperature = 99;
  ReadDiskInfo((flags & 0x40) ? 1 : 0);  // drive 1 does not exist
  FillAttributeList(list);

  Check(backend.OpenHandles() == 0);
  Check(DriveHandle == platform::INVALID_HANDLE_VALUE);
  Check(Trimmed(CurrentDisk.ModelNumber, 40));
  Check(Trimmed(CurrentDisk.FirmwareRev, 8));
  Check(Trimmed(CurrentDisk.SerialNumber, 20));
  Check(CurrentDisk.Temperature >= 0 && CurrentDisk.Temperature <= 255);
  Check(list.Count() <= SMART_ENTRY_COUNT);
  const bool opened = !drive.fail_open && !(flags & 0x40);
  const bool identified = opened && !drive.fail_identify;
  if (!opened) Check(backend.exchanges.empty() && !CurrentDisk.SmartSupported);
  if (!identified) {
    Check(CurrentDisk.ModelNumber.empty() && CurrentDisk.Cylinders == 0);
    Check(AllZero(CurrentDisk.SmartDataOut) && AllZero(CurrentDisk.SmartThresholdsOut));
    Check(list.Count() == 0 && CurrentDisk.Temperature == 0);
  }
  for (const sim::Exchange& x : backend.exchanges)
    if (x.code == SMART_RCV_DRIVE_DATA) Check(x.request[12] == 0 && x.request[9] == 0xA0);
  return 0;
}
