// The operating system's device I/O, as the drive reader and the start-up probe
// need it: open a drive by its device path, exchange one control record, close.
//
// The core calls only the free functions below. They check every control
// exchange against the read-only guard and hand the rest to the installed
// backend (Linux SG_IO, the simulated drives of the tests, later Win32).
#ifndef KELVANE_PLATFORM_DEVICE_H_
#define KELVANE_PLATFORM_DEVICE_H_

#include <cstdint>
#include <string>

namespace platform {

using THandle = std::intptr_t;
inline constexpr THandle INVALID_HANDLE_VALUE = -1;

// Access and share modes, with the values of the Win32 flags of that name.
inline constexpr std::uint32_t GENERIC_READ = 0x80000000u;
inline constexpr std::uint32_t GENERIC_WRITE = 0x40000000u;
inline constexpr std::uint32_t FILE_SHARE_READ = 0x00000001u;
inline constexpr std::uint32_t FILE_SHARE_WRITE = 0x00000002u;

// What a backend provides. A backend never sees an exchange the guard refused.
class DeviceBackend {
 public:
  virtual ~DeviceBackend() = default;

  // Opens an existing device; INVALID_HANDLE_VALUE when it cannot be opened.
  virtual THandle Open(const std::u16string& path, std::uint32_t access, std::uint32_t share) = 0;
  // One control exchange; true on success. `returned` may be null.
  virtual bool Control(THandle handle, std::uint32_t code, const void* in, std::uint32_t in_len,
                       void* out, std::uint32_t out_len, std::uint32_t* returned) = 0;
  virtual void Close(THandle handle) = 0;

  // What a device path stands for on this machine ("/dev/sda"), empty when
  // it names nothing. For reports only; the reader never asks.
  virtual std::string DeviceNode(const std::u16string& path) = 0;
};

// Installs the backend the free functions use (not owned) and returns the one
// it replaces. With none installed every open fails.
DeviceBackend* SetDeviceBackend(DeviceBackend* backend);
DeviceBackend* CurrentDeviceBackend();

THandle OpenDevice(const std::u16string& path, std::uint32_t access, std::uint32_t share);
bool DeviceControl(THandle handle, std::uint32_t code, const void* in, std::uint32_t in_len,
                   void* out, std::uint32_t out_len, std::uint32_t* returned);
void CloseDevice(THandle handle);
std::string DeviceNode(const std::u16string& path);

// The drive number N of "\\.\PhysicalDrive" followed by N in decimal, or -1
// when the path is anything else (other prefix, no digits, a sign, a leading
// zero, a number too large). For backends that map drive paths themselves.
int DriveNumberOfPath(const std::u16string& path);

// The read-only guard: true exactly for the exchanges this program may send.
// SMART_GET_VERSION with no input, and SMART_RCV_DRIVE_DATA carrying IDENTIFY
// DEVICE, IDENTIFY PACKET DEVICE, or SMART READ DATA / READ ATTRIBUTE
// THRESHOLDS with the SMART signature. Everything else (SMART ENABLE, any
// write, any other control code) is refused before it reaches a backend.
bool IsPermittedExchange(std::uint32_t code, const void* in, std::uint32_t in_len,
                         std::uint32_t out_len);

}  // namespace platform

#endif  // KELVANE_PLATFORM_DEVICE_H_
