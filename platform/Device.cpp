#include "platform/Device.h"

#include <cstring>

#include "disk/smart.h"

namespace platform {
namespace {
DeviceBackend* g_backend = nullptr;
}  // namespace

DeviceBackend* SetDeviceBackend(DeviceBackend* backend) {
  DeviceBackend* old = g_backend;
  g_backend = backend;
  return old;
}

DeviceBackend* CurrentDeviceBackend() {
  return g_backend;
}

THandle OpenDevice(const std::u16string& path, std::uint32_t access, std::uint32_t share) {
  if (g_backend == nullptr) return INVALID_HANDLE_VALUE;
  return g_backend->Open(path, access, share);
}

bool DeviceControl(THandle handle, std::uint32_t code, const void* in, std::uint32_t in_len,
                   void* out, std::uint32_t out_len, std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  if (g_backend == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  // Every permitted exchange answers into `out`: without one there is nowhere to put it.
  if (out == nullptr || !IsPermittedExchange(code, in, in_len, out_len)) return false;
  return g_backend->Control(handle, code, in, in_len, out, out_len, returned);
}

void CloseDevice(THandle handle) {
  if (g_backend != nullptr && handle != INVALID_HANDLE_VALUE) g_backend->Close(handle);
}

std::string DeviceNode(const std::u16string& path) {
  return g_backend == nullptr ? std::string() : g_backend->DeviceNode(path);
}

int DriveNumberOfPath(const std::u16string& path) {
  static const std::u16string prefix = u"\\\\.\\PhysicalDrive";
  if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return -1;
  const std::size_t digits = path.size() - prefix.size();
  if (digits > 6) return -1;  // no machine has a million disks
  if (digits > 1 && path[prefix.size()] == u'0') return -1;
  int n = 0;
  for (std::size_t i = prefix.size(); i < path.size(); ++i) {
    const char16_t c = path[i];
    if (c < u'0' || c > u'9') return -1;
    n = n * 10 + static_cast<int>(c - u'0');
  }
  return n;
}

bool IsPermittedExchange(std::uint32_t code, const void* in, std::uint32_t in_len,
                         std::uint32_t out_len) {
  if (code == SMART_GET_VERSION) return in_len == 0 && out_len >= sizeof(GETVERSIONINPARAMS);
  if (code != SMART_RCV_DRIVE_DATA) return false;
  if (in == nullptr || in_len < SENDCMDINPARAMS_SENT || out_len < sizeof(SENDCMDOUTPARAMS))
    return false;
  SENDCMDINPARAMS req;
  std::memcpy(&req, in, SENDCMDINPARAMS_SENT);
  if (req.cBufferSize != SMART_PAGE_SIZE) return false;
  const IDEREGS& r = req.irDriveRegs;
  if (r.bDriveHeadReg != 0xA0 && r.bDriveHeadReg != 0xB0) return false;
  switch (r.bCommandReg) {
    case ID_CMD:
    case ATAPI_ID_CMD:
      return true;
    case SMART_CMD:
      return (r.bFeaturesReg == READ_ATTRIBUTES || r.bFeaturesReg == READ_THRESHOLDS) &&
             r.bCylLowReg == SMART_CYL_LOW && r.bCylHighReg == SMART_CYL_HI;
    default:
      return false;
  }
}

}  // namespace platform
