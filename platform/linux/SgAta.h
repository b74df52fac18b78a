// The decisions of the Linux drive backend that need no disk: which block
// device a "\\.\PhysicalDrive" path names, the ATA PASS-THROUGH (16) command
// block made from a pass-through request, and the judgement of what the SG_IO
// call answered. Standard C++ only, so the tests run them on any machine with
// a fake /sys/block tree.
#ifndef KELVANE_PLATFORM_LINUX_SGATA_H_
#define KELVANE_PLATFORM_LINUX_SGATA_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "disk/smart.h"
#include "platform/Device.h"

namespace platform::linux_device {

// ---- Drive numbers and block devices --------------------------------------

using platform::DriveNumberOfPath;  // drive paths are parsed in the device seam

// True when disk `a` comes before disk `b` in drive-number order: the SCSI
// disks first (sda ... sdz, sdaa, ...), then the other kinds by name, digit
// runs compared as numbers (nvme0n1, nvme0n2, nvme1n1, nvme10n1, vda, ...).
bool DiskNameLess(const std::string& a, const std::string& b);

// The physical whole disks under a sysfs block root ("/sys/block"), in
// drive-number order: the entries with a `device` link, optical drives (sr*)
// left out. Partitions, loop, device-mapper and RAM disks have no `device`
// link. An unreadable root gives no disks.
std::vector<std::string> ListPhysicalDisks(const std::string& sys_block_root);

// The device node of a disk under `dev_root`: sysfs spells a '/' of the node
// name as '!' ("cciss!c0d0" is /dev/cciss/c0d0).
std::string DeviceNodeOf(const std::string& disk_name, const std::string& dev_root);

// The device node that drive path `path` names, empty when it names none.
std::string MapDrivePath(const std::u16string& path, const std::string& sys_block_root,
                         const std::string& dev_root);

// ---- The command block ----------------------------------------------------

inline constexpr std::uint8_t kAtaPassThrough16 = 0x85;
inline constexpr std::size_t kCdbLength = 16;
using Cdb16 = std::array<std::uint8_t, kCdbLength>;

// ATA PASS-THROUGH (16) for one page-reading command: protocol PIO data-in,
// one 512-byte block from the device (length in the sector count), CK_COND
// off, and the registers of `request` (features, sector count, LBA low, mid
// and high, device, command) in their places; the extended bytes are zero.
Cdb16 AtaPassThroughCdb(const SENDCMDINPARAMS& request);

// ---- The judgement of an SG_IO answer --------------------------------------

// What SG_IO gave back, in the kernel's terms.
struct SgAnswer {
  int ioctl_result = 0;  // 0, or -1 with ioctl_errno set
  int ioctl_errno = 0;
  std::uint8_t status = 0;          // SCSI status byte
  std::uint16_t host_status = 0;    // DID_* of the host adapter
  std::uint16_t driver_status = 0;  // DRIVER_* of the mid level
  const std::uint8_t* sense = nullptr;
  std::size_t sense_length = 0;  // bytes of sense actually written
};

enum class SgVerdict : std::uint8_t {
  Good,      // the drive answered the command and the page is valid
  Failed,    // refused, aborted or not carried: the page is not valid
  NoAnswer,  // the command timed out: the drive does not answer at all
};

// Good exactly when the call returned 0, the SCSI status is GOOD, the host
// and driver report nothing wrong, and no sense data names an error (a
// CHECK CONDITION, an ABORTED COMMAND sense in fixed or descriptor format).
SgVerdict JudgeSgAnswer(const SgAnswer& answer);

// The sense key of fixed (0x70/0x71) or descriptor (0x72/0x73) sense data,
// -1 when there is none or the format is unknown.
int SenseKey(const std::uint8_t* sense, std::size_t length);

// ---- The version answer ----------------------------------------------------

// What SMART_GET_VERSION answers for a device that takes SG_IO: one ATA
// device in position 0 (never a packet device: the reader would send it
// IDENTIFY PACKET DEVICE), taking IDENTIFY and SMART commands.
GETVERSIONINPARAMS VersionAnswer();

}  // namespace platform::linux_device

#endif  // KELVANE_PLATFORM_LINUX_SGATA_H_
