#include "platform/sim/SimDevice.h"

#include <cstring>

#include "disk/smart.h"

namespace sim {

int SimDeviceBackend::DriveNumberOf(const std::u16string& path) {
  return platform::DriveNumberOfPath(path);
}

platform::THandle SimDeviceBackend::Open(const std::u16string& path, std::uint32_t access,
                                         std::uint32_t share) {
  open_calls.push_back(OpenCall{path, access, share});
  const int n = DriveNumberOf(path);
  if (n < 0 || n >= static_cast<int>(drives.size()) ||
      drives[static_cast<std::size_t>(n)].fail_open)
    return platform::INVALID_HANDLE_VALUE;
  const platform::THandle h = next_handle_++;
  open_[h] = n;
  ++opens_;
  return h;
}

bool SimDeviceBackend::Control(platform::THandle handle, std::uint32_t code, const void* in,
                               std::uint32_t in_len, void* out, std::uint32_t out_len,
                               std::uint32_t* returned) {
  auto it = open_.find(handle);
  if (it == open_.end()) return false;
  const SimDrive& d = drives[static_cast<std::size_t>(it->second)];
  Exchange x{it->second, code, {}};
  if (in != nullptr && in_len > 0) std::memcpy(x.request.data(), in, in_len < 32 ? in_len : 32);
  exchanges.push_back(x);

  if (code == SMART_GET_VERSION) {
    if (d.fail_version || out_len < sizeof(GETVERSIONINPARAMS)) return false;
    GETVERSIONINPARAMS v{};
    v.bVersion = 1;
    v.bRevision = 1;
    v.bIDEDeviceMap = d.ide_device_map;
    v.fCapabilities = 0x7;
    std::memcpy(out, &v, sizeof v);
    if (returned != nullptr) *returned = sizeof v;
    return true;
  }
  if (code != SMART_RCV_DRIVE_DATA || out_len < sizeof(SENDCMDOUTPARAMS)) return false;
  SENDCMDINPARAMS req{};
  std::memcpy(&req, in, SENDCMDINPARAMS_SENT);
  const Page* page = nullptr;
  const IDEREGS& r = req.irDriveRegs;
  if (r.bCommandReg == ID_CMD || r.bCommandReg == ATAPI_ID_CMD) {
    if (d.fail_identify) return false;
    page = &d.identify;
  } else if (r.bCommandReg == SMART_CMD && r.bFeaturesReg == READ_ATTRIBUTES) {
    if (d.fail_smart_data) return false;
    page = &d.smart_data;
  } else if (r.bCommandReg == SMART_CMD && r.bFeaturesReg == READ_THRESHOLDS) {
    if (d.fail_thresholds) return false;
    page = &d.thresholds;
  } else {
    return false;
  }
  SENDCMDOUTPARAMS answer{};
  answer.cBufferSize = 512;
  std::memcpy(answer.bBuffer, page->data(), page->size());
  std::memcpy(out, &answer, sizeof answer);
  if (returned != nullptr) *returned = sizeof answer;
  return true;
}

void SimDeviceBackend::Close(platform::THandle handle) {
  open_.erase(handle);
}

std::string SimDeviceBackend::DeviceNode(const std::u16string& path) {
  const int n = DriveNumberOf(path);
  if (n < 0 || n >= static_cast<int>(drives.size()) ||
      drives[static_cast<std::size_t>(n)].fail_open)
    return std::string();
  const SimDrive& d = drives[static_cast<std::size_t>(n)];
  return d.device_node.empty() ? "sim" + std::to_string(n) : d.device_node;
}

}  // namespace sim
