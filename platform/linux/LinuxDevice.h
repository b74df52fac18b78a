// The Linux drive backend: "\\.\PhysicalDrive" N is the N-th physical whole
// disk of /sys/block (see SgAta.h for the order), opened read-only, and every
// drive command goes to it as one SG_IO ATA PASS-THROUGH (16) command.
//
// Needs CAP_SYS_RAWIO and read access to the device node; without them the
// open or the commands fail and the reader shows what little it got.
#ifndef KELVANE_PLATFORM_LINUX_LINUXDEVICE_H_
#define KELVANE_PLATFORM_LINUX_LINUXDEVICE_H_

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "platform/Device.h"

namespace platform::linux_device {

// How long one drive command may take before the kernel gives up on it.
// IDENTIFY and the SMART reads are answered from the drive's memory in
// milliseconds; the slow case is a disk in standby, which spins up first
// (desktop disks take 5 to 10 s, a few up to about 15). 15 s covers that,
// and a drive that never answers costs one such wait per read: after a
// timeout the handle sends nothing more (see Control).
inline constexpr unsigned kCommandTimeoutMs = 15'000;

struct LinuxDeviceOptions {
  std::string sys_block_root = "/sys/block";
  std::string dev_root = "/dev";
  // Opens only block devices; tests switch it off to open plain files.
  bool block_devices_only = true;
  unsigned timeout_ms = kCommandTimeoutMs;
  // The ioctl call, for tests that play the kernel's part; empty: ::ioctl.
  std::function<int(int fd, unsigned long request, void* arg)> ioctl;
};

class LinuxDeviceBackend : public DeviceBackend {
 public:
  LinuxDeviceBackend();
  explicit LinuxDeviceBackend(LinuxDeviceOptions options);
  ~LinuxDeviceBackend() override;  // closes whatever is still open
  LinuxDeviceBackend(const LinuxDeviceBackend&) = delete;
  LinuxDeviceBackend& operator=(const LinuxDeviceBackend&) = delete;

  THandle Open(const std::u16string& path, std::uint32_t access, std::uint32_t share) override;
  bool Control(THandle handle, std::uint32_t code, const void* in, std::uint32_t in_len, void* out,
               std::uint32_t out_len, std::uint32_t* returned) override;
  void Close(THandle handle) override;
  std::string DeviceNode(const std::u16string& path) override;

  int OpenHandles() const;

 private:
  struct OpenDrive {
    int fd;
    bool no_answer;  // a command timed out: send nothing more on this handle
  };
  bool SendAtaCommand(OpenDrive& drive, const void* in, void* out, std::uint32_t* returned);
  int Ioctl(int fd, unsigned long request, void* arg);

  LinuxDeviceOptions options_;
  mutable std::mutex mutex_;
  std::map<THandle, OpenDrive> open_;
  THandle next_handle_ = 1;
};

}  // namespace platform::linux_device

#endif  // KELVANE_PLATFORM_LINUX_LINUXDEVICE_H_
