#include "platform/linux/SgAta.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace platform::linux_device {
namespace {

// ---- Drive order ----

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}

// Kinds whose disks are named by a letter suffix that runs a ... z, aa, ab, ...
// (sd, IDE hd, virtio vd, Xen xvd): such suffixes sort by length first.
constexpr std::string_view kLetterKinds[] = {"sd", "hd", "vd", "xvd"};

// Splits "sdab" into kind "sd" and suffix "ab"; false for other names.
bool SplitLetterName(std::string_view name, std::string_view& kind, std::string_view& suffix) {
  for (std::string_view k : kLetterKinds) {
    if (name.size() <= k.size() || name.substr(0, k.size()) != k) continue;
    const std::string_view rest = name.substr(k.size());
    if (!std::all_of(rest.begin(), rest.end(), IsLower)) continue;
    kind = k;
    suffix = rest;
    return true;
  }
  return false;
}

// Natural order: runs of digits compare as numbers, everything else by byte.
int NaturalCompare(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && IsDigit(a[ei])) ++ei;
      while (ej < b.size() && IsDigit(b[ej])) ++ej;
      std::size_t si = i, sj = j;  // skip leading zeros for the value
      while (si + 1 < ei && a[si] == '0') ++si;
      while (sj + 1 < ej && b[sj] == '0') ++sj;
      const std::string_view va = a.substr(si, ei - si), vb = b.substr(sj, ej - sj);
      if (va.size() != vb.size()) return va.size() < vb.size() ? -1 : 1;
      if (va != vb) return va < vb ? -1 : 1;
      if (ei - i != ej - j) return (ei - i) < (ej - j) ? -1 : 1;
      i = ei;
      j = ej;
      continue;
    }
    if (a[i] != b[j])
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
    ++i;
    ++j;
  }
  if (i == a.size() && j == b.size()) return 0;
  return i == a.size() ? -1 : 1;
}

// ---- SG_IO answer codes (the kernel's values) ----

constexpr std::uint16_t DID_OK = 0x00;
constexpr std::uint16_t DID_TIME_OUT = 0x03;
constexpr std::uint16_t DRIVER_OK = 0x00;
constexpr std::uint16_t DRIVER_TIMEOUT = 0x06;
constexpr std::uint16_t DRIVER_SENSE = 0x08;  // only says that sense data came back
constexpr std::uint8_t SCSI_STATUS_MASK = 0x7E;
constexpr int SENSE_KEY_NO_SENSE = 0x0;
constexpr int SENSE_KEY_RECOVERED_ERROR = 0x1;

}  // namespace

bool DiskNameLess(const std::string& a, const std::string& b) {
  const bool a_scsi = a.rfind("sd", 0) == 0, b_scsi = b.rfind("sd", 0) == 0;
  if (a_scsi != b_scsi) return a_scsi;
  std::string_view ka, sa, kb, sb;
  if (SplitLetterName(a, ka, sa) && SplitLetterName(b, kb, sb) && ka == kb) {
    if (sa.size() != sb.size()) return sa.size() < sb.size();
    return sa < sb;
  }
  const int c = NaturalCompare(a, b);
  return c != 0 ? c < 0 : a < b;
}

std::vector<std::string> ListPhysicalDisks(const std::string& sys_block_root) {
  namespace fs = std::filesystem;
  std::vector<std::string> disks;
  std::error_code ec;
  fs::directory_iterator it(sys_block_root, ec);
  if (ec) return disks;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    if (name.rfind("sr", 0) == 0) continue;  // optical drives
    std::error_code link_ec;
    // A link or, in a hand-made tree, anything of that name.
    if (!fs::exists(fs::symlink_status(it->path() / "device", link_ec))) continue;
    disks.push_back(name);
  }
  std::sort(disks.begin(), disks.end(), DiskNameLess);
  return disks;
}

std::string DeviceNodeOf(const std::string& disk_name, const std::string& dev_root) {
  std::string node = disk_name;
  std::replace(node.begin(), node.end(), '!', '/');
  return dev_root + "/" + node;
}

std::string MapDrivePath(const std::u16string& path, const std::string& sys_block_root,
                         const std::string& dev_root) {
  const int n = DriveNumberOfPath(path);
  if (n < 0) return std::string();
  const std::vector<std::string> disks = ListPhysicalDisks(sys_block_root);
  if (static_cast<std::size_t>(n) >= disks.size()) return std::string();
  return DeviceNodeOf(disks[static_cast<std::size_t>(n)], dev_root);
}

Cdb16 AtaPassThroughCdb(const SENDCMDINPARAMS& request) {
  constexpr std::uint8_t kProtocolPioDataIn = 4;
  constexpr std::uint8_t kTDirFromDevice = 0x08;
  constexpr std::uint8_t kByteBlock = 0x04;           // length counted in blocks
  constexpr std::uint8_t kTLengthSectorCount = 0x02;  // ... given in the sector count
  const IDEREGS& r = request.irDriveRegs;
  Cdb16 cdb{};
  cdb[0] = kAtaPassThrough16;
  cdb[1] = static_cast<std::uint8_t>(kProtocolPioDataIn << 1);  // EXTEND 0: 28-bit command
  cdb[2] = kTDirFromDevice | kByteBlock | kTLengthSectorCount;  // CK_COND 0, T_TYPE 0: 512
  cdb[4] = r.bFeaturesReg;
  cdb[6] = r.bSectorCountReg;
  cdb[8] = r.bSectorNumberReg;  // LBA low
  cdb[10] = r.bCylLowReg;       // LBA mid
  cdb[12] = r.bCylHighReg;      // LBA high
  cdb[13] = r.bDriveHeadReg;
  cdb[14] = r.bCommandReg;
  return cdb;
}

int SenseKey(const std::uint8_t* sense, std::size_t length) {
  if (sense == nullptr || length == 0) return -1;
  const std::uint8_t response = sense[0] & 0x7F;
  if ((response == 0x70 || response == 0x71) && length >= 3) return sense[2] & 0x0F;
  if ((response == 0x72 || response == 0x73) && length >= 2) return sense[1] & 0x0F;
  return -1;
}

SgVerdict JudgeSgAnswer(const SgAnswer& a) {
  if (a.ioctl_result != 0)
    return a.ioctl_errno == ETIMEDOUT ? SgVerdict::NoAnswer : SgVerdict::Failed;
  if (a.host_status == DID_TIME_OUT || a.driver_status == DRIVER_TIMEOUT)
    return SgVerdict::NoAnswer;
  if (a.host_status != DID_OK) return SgVerdict::Failed;
  if (a.driver_status != DRIVER_OK && a.driver_status != DRIVER_SENSE) return SgVerdict::Failed;
  if ((a.status & SCSI_STATUS_MASK) != 0) return SgVerdict::Failed;  // CHECK CONDITION, BUSY, ...
  // GOOD status with sense data that names an error still fails.
  const int key = SenseKey(a.sense, a.sense_length);
  if (key >= 0 && key != SENSE_KEY_NO_SENSE && key != SENSE_KEY_RECOVERED_ERROR)
    return SgVerdict::Failed;
  return SgVerdict::Good;
}

GETVERSIONINPARAMS VersionAnswer() {
  GETVERSIONINPARAMS v{};
  v.bVersion = 1;
  v.bRevision = 1;
  v.bIDEDeviceMap = 0x01;  // an ATA device in position 0
  // CAP_ATA_ID_CMD (1) and CAP_SMART_CMD (4); no IDENTIFY PACKET DEVICE (2).
  v.fCapabilities = 0x05;
  return v;
}

}  // namespace platform::linux_device
