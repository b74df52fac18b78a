// The drive information reader: fills the one process-wide record CurrentDisk
// for one physical drive, and turns its SMART pages into the attribute table.
#ifndef KELVANE_DISK_DISKINFO_H_
#define KELVANE_DISK_DISKINFO_H_

#include <cstdint>
#include <string>

#include "disk/smart.h"
#include "platform/Device.h"

namespace ui {
class TListView;
}

// What one read of a drive yields. All numbers 0, texts empty and blocks zero
// after a reset; a step that fails leaves its fields so.
struct TDiskInfo {
  bool SmartSupported = false;  // the driver answered SMART_GET_VERSION
  std::uint16_t Cylinders = 0;
  std::uint16_t Heads = 0;
  std::uint16_t BufferSize = 0;  // IDENTIFY word 21, raw
  std::uint16_t SectorsPerTrack = 0;
  std::string ModelNumber;  // 8-bit texts in the system's code page
  std::string FirmwareRev;
  std::string SerialNumber;
  std::int32_t Temperature = 0;  // degrees Celsius; 0 = none known
  SENDCMDOUTPARAMS IdentifyOut{};
  SENDCMDOUTPARAMS SmartDataOut{};
  SENDCMDOUTPARAMS SmartThresholdsOut{};
};

extern TDiskInfo CurrentDisk;
// Open only while one ReadDiskInfo runs.
extern platform::THandle DriveHandle;

// "\\.\PhysicalDrive" followed by DriveIndex in decimal.
std::u16string DrivePath(std::int32_t DriveIndex);

// Swaps byte 0 with 1, 2 with 3, ... over the first Length div 2 pairs.
void SwapBytePairs(std::uint8_t* Data, int Length);

// Each sends one command on DriveHandle; true exactly when the exchange succeeded.
bool SendIdentify(SENDCMDINPARAMS& Request, SENDCMDOUTPARAMS& Answer, std::uint8_t Opcode,
                  std::uint8_t DriveNumber);
bool ReadSmartValues(SENDCMDINPARAMS& Request, SENDCMDOUTPARAMS& Answer,
                     std::uint8_t DriveNumber);
bool ReadSmartThresholds(SENDCMDINPARAMS& Request, SENDCMDOUTPARAMS& Answer,
                         std::uint8_t DriveNumber);

// Resets CurrentDisk and fills it from drive DriveIndex. Reports nothing.
void ReadDiskInfo(std::int32_t DriveIndex);

// Rebuilds ListView's rows from the SMART pages in CurrentDisk, picks the
// drive temperature into CurrentDisk.Temperature, selects the first row.
void FillAttributeList(ui::TListView& ListView);

#endif  // KELVANE_DISK_DISKINFO_H_
