// Simulated drives for the tests, the report tool and the fixture window: each
// drive is its three pages and the list of steps that fail. It keeps a record
// of every exchange and counts the handles left open.
#ifndef KELVANE_PLATFORM_SIM_SIMDEVICE_H_
#define KELVANE_PLATFORM_SIM_SIMDEVICE_H_

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Device.h"
#include "platform/sim/Pages.h"

namespace sim {

struct SimDrive {
  Page identify{};
  Page smart_data{};
  Page thresholds{};
  // Which steps fail. A drive whose open fails stands for a number with no drive.
  bool fail_open = false;
  bool fail_version = false;
  bool fail_identify = false;
  bool fail_smart_data = false;
  bool fail_thresholds = false;
  std::uint8_t ide_device_map = 0x01;  // the version answer's device map
  std::string device_node;              // what DeviceNode reports ("sim0" when empty)
};

// One exchange as it reached the drive (after the read-only guard).
struct Exchange {
  int drive;
  std::uint32_t code;
  std::array<std::uint8_t, 32> request{};  // zero for SMART_GET_VERSION
};

class SimDeviceBackend : public platform::DeviceBackend {
 public:
  // drives[N] answers "\\.\PhysicalDrive" N; numbers past the end do not open.
  std::vector<SimDrive> drives;

  platform::THandle Open(const std::u16string& path, std::uint32_t access,
                         std::uint32_t share) override;
  bool Control(platform::THandle handle, std::uint32_t code, const void* in, std::uint32_t in_len,
               void* out, std::uint32_t out_len, std::uint32_t* returned) override;
  void Close(platform::THandle handle) override;
  std::string DeviceNode(const std::u16string& path) override;

  int OpenHandles() const { return static_cast<int>(open_.size()); }
  int Opens() const { return opens_; }
  std::vector<Exchange> exchanges;
  struct OpenCall {
    std::u16string path;
    std::uint32_t access;
    std::uint32_t share;
  };
  std::vector<OpenCall> open_calls;

  // The drive number a device path names, or -1.
  static int DriveNumberOf(const std::u16string& path);

 private:
  std::map<platform::THandle, int> open_;  // handle -> drive number
  platform::THandle next_handle_ = 100;
  int opens_ = 0;
};

// A drive from a fixture file (see tests/fixtures/README.md for the format).
// Throws std::runtime_error naming the file and line of anything it cannot read.
SimDrive LoadSimDrive(const std::string& file);
SimDrive ParseSimDrive(const std::string& text, const std::string& source_name);

}  // namespace sim

#endif  // KELVANE_PLATFORM_SIM_SIMDEVICE_H_
