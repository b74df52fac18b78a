#include "disk/DiskInfo.h"

#include <cstring>

TDiskInfo CurrentDisk;
platform::THandle DriveHandle = platform::INVALID_HANDLE_VALUE;

namespace {

void ResetDiskInfo(TDiskInfo& d) {
  d.SmartSupported = false;
  d.Cylinders = d.Heads = d.BufferSize = d.SectorsPerTrack = 0;
  d.ModelNumber.clear();
  d.FirmwareRev.clear();
  d.SerialNumber.clear();
  d.Temperature = 0;
  std::memset(&d.IdentifyOut, 0, sizeof d.IdentifyOut);
  std::memset(&d.SmartDataOut, 0, sizeof d.SmartDataOut);
  std::memset(&d.SmartThresholdsOut, 0, sizeof d.SmartThresholdsOut);
}

bool SendDriveCommand(SENDCMDINPARAMS& Request, SENDCMDOUTPARAMS& Answer) {
  std::uint32_t returned = 0;
  return platform::DeviceControl(DriveHandle, SMART_RCV_DRIVE_DATA, &Request,
                                 SENDCMDINPARAMS_SENT, &Answer, sizeof Answer, &returned);
}

// An ATA text field: swapped into reading order in place, cut at the first
// zero byte, trimmed of blanks and control characters at both ends. The bytes
// are kept as they are: on ASCII, which ATA puts here, the code page changes
// nothing, and other bytes are left for the display to convert.
std::string DecodeAtaText(std::uint8_t* field, std::size_t length) {
  SwapBytePairs(field, static_cast<int>(length));
  std::size_t end = 0;
  while (end < length && field[end] != 0) ++end;
  std::size_t begin = 0;
  while (begin < end && field[begin] <= 0x20) ++begin;
  while (end > begin && field[end - 1] <= 0x20) --end;
  return std::string(reinterpret_cast<const char*>(field + begin), end - begin);
}

}  // namespace

std::u16string DrivePath(std::int32_t DriveIndex) {
  std::u16string path = u"\\\\.\\PhysicalDrive";
  const std::string digits = std::to_string(DriveIndex);
  path.append(digits.begin(), digits.end());
  return path;
}

void SwapBytePairs(std::uint8_t* Data, int Length) {
  if (Data == nullptr) return;
  for (int i = 0; i + 1 < Length; i += 2) {
    const std::uint8_t t = Data[i];
    Data[i] = Data[i + 1];
    Data[i + 1] = t;
  }
}

bool SendIdentify(SENDCMDINPARAMS& Request, SENDCMDOUTPARAMS& Answer, std::uint8_t Opcode,
                  std::uint8_t DriveNumber) {
  BuildIdentifyRequest(Request, Opcode, DriveNumber);
  return SendDriveCommand(Request, Answer);
}

bool ReadSmartValues(SENDCMDINPARAMS& Request, SENDCMDOUTPARAMS& Answer,
                     std::uint8_t DriveNumber) {
  BuildSmartReadRequest(Request, READ_ATTRIBUTES, DriveNumber);
  return SendDriveCommand(Request, Answer);
}

bool ReadSmartThresholds(SENDCMDINPARAMS& Request, SENDCMDOUTPARAMS& Answer,
                         std::uint8_t DriveNumber) {
  BuildSmartReadRequest(Request, READ_THRESHOLDS, DriveNumber);
  return SendDriveCommand(Request, Answer);
}

void ReadDiskInfo(std::int32_t DriveIndex) {
  ResetDiskInfo(CurrentDisk);

  DriveHandle = platform::OpenDevice(DrivePath(DriveIndex),
                                     platform::GENERIC_READ | platform::GENERIC_WRITE,
                                     platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE);
  if (DriveHandle == platform::INVALID_HANDLE_VALUE) return;

  // The drive is closed however the read ends, also when a layer below throws.
  struct CloseOnExit {
    ~CloseOnExit() {
      platform::CloseDevice(DriveHandle);
      DriveHandle = platform::INVALID_HANDLE_VALUE;
    }
  } close_on_exit;

  GETVERSIONINPARAMS version;
  std::memset(&version, 0, sizeof version);
  std::uint32_t returned = 0;
  if (platform::DeviceControl(DriveHandle, SMART_GET_VERSION, nullptr, 0, &version,
                              sizeof version, &returned))
    CurrentDisk.SmartSupported = true;

  // Every request goes to device 0 behind the handle: the handle already names
  // one physical drive. Ordinary drives get IDENTIFY DEVICE; only when the
  // driver's device map flags the device in position 0 as a packet (ATAPI)
  // device does it get IDENTIFY PACKET DEVICE, which is what such a device
  // answers (it aborts IDENTIFY DEVICE). A driver that fills no map leaves
  // the zeroed answer, so the default is always IDENTIFY DEVICE.
  const std::uint8_t opcode = (CurrentDisk.SmartSupported &&
                               (version.bIDEDeviceMap & IDE_DEVICE_MAP_PACKET_0) != 0)
                                  ? ATAPI_ID_CMD
                                  : ID_CMD;

  SENDCMDINPARAMS request;
  std::memset(&request, 0, sizeof request);
  if (SendIdentify(request, CurrentDisk.IdentifyOut, opcode, 0)) {
    const SENDCMDOUTPARAMS& id = CurrentDisk.IdentifyOut;
    CurrentDisk.Cylinders = IdentifyWord(id, IDENTIFY_WORD_CYLINDERS);
    CurrentDisk.Heads = IdentifyWord(id, IDENTIFY_WORD_HEADS);
    CurrentDisk.SectorsPerTrack = IdentifyWord(id, IDENTIFY_WORD_SECTORS_PER_TRACK);
    CurrentDisk.BufferSize = IdentifyWord(id, IDENTIFY_WORD_BUFFER_SIZE);

    std::uint8_t* page = CurrentDisk.IdentifyOut.bBuffer;
    CurrentDisk.ModelNumber = DecodeAtaText(page + IDENTIFY_MODEL_OFFSET, IDENTIFY_MODEL_LENGTH);
    CurrentDisk.FirmwareRev =
        DecodeAtaText(page + IDENTIFY_FIRMWARE_OFFSET, IDENTIFY_FIRMWARE_LENGTH);
    CurrentDisk.SerialNumber =
        DecodeAtaText(page + IDENTIFY_SERIAL_OFFSET, IDENTIFY_SERIAL_LENGTH);

    ReadSmartValues(request, CurrentDisk.SmartDataOut, 0);
    ReadSmartThresholds(request, CurrentDisk.SmartThresholdsOut, 0);
  }
}
