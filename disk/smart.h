// The ATA SMART pass-through exchange: device control codes, the records that go
// to the driver and come back, the register values of the three reads this
// program sends, and the layouts of the pages the drive answers with.
//
// Every record is a packed byte layout with little-endian integers, declared
// here from bytes alone so that the layout is the same on every compiler and
// processor. Building a request and reading a page are pure byte operations.
#ifndef KELVANE_DISK_SMART_H_
#define KELVANE_DISK_SMART_H_

#include <cstddef>
#include <cstdint>
#include <string>

// A little-endian unsigned integer of N bytes, stored as bytes.
template <std::size_t N, typename T>
struct LittleEndian {
  std::uint8_t b[N];

  constexpr operator T() const {
    T v = 0;
    for (std::size_t i = N; i-- > 0;) v = static_cast<T>((v << 8) | b[i]);
    return v;
  }
  constexpr LittleEndian& operator=(T v) {
    for (std::size_t i = 0; i < N; ++i) {
      b[i] = static_cast<std::uint8_t>(v & 0xFF);
      v = static_cast<T>(v >> 8);
    }
    return *this;
  }
};
using le16 = LittleEndian<2, std::uint16_t>;
using le32 = LittleEndian<4, std::uint32_t>;

// ---- Device control codes -------------------------------------------------

constexpr std::uint32_t IOCTL_DISK_BASE = 0x0007;
constexpr std::uint32_t METHOD_BUFFERED = 0;
constexpr std::uint32_t FILE_READ_ACCESS = 0x0001;
constexpr std::uint32_t FILE_WRITE_ACCESS = 0x0002;

constexpr std::uint32_t CTL_CODE(std::uint32_t device_type, std::uint32_t function,
                                 std::uint32_t method, std::uint32_t access) {
  return (device_type << 16) | (access << 14) | (function << 2) | method;
}

// Asks the driver whether it takes SMART pass-through. No input; answers a
// GETVERSIONINPARAMS.
constexpr std::uint32_t SMART_GET_VERSION =
    CTL_CODE(IOCTL_DISK_BASE, 0x0020, METHOD_BUFFERED, FILE_READ_ACCESS);
// Sends one drive command that reads a page. Input SENDCMDINPARAMS (32 bytes),
// output SENDCMDOUTPARAMS (528 bytes).
constexpr std::uint32_t SMART_RCV_DRIVE_DATA = CTL_CODE(
    IOCTL_DISK_BASE, 0x0022, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
static_assert(SMART_GET_VERSION == 0x00074080);
static_assert(SMART_RCV_DRIVE_DATA == 0x0007C088);

// ---- ATA commands and registers -------------------------------------------

constexpr std::uint8_t ID_CMD = 0xEC;        // IDENTIFY DEVICE
constexpr std::uint8_t ATAPI_ID_CMD = 0xA1;  // IDENTIFY PACKET DEVICE
constexpr std::uint8_t SMART_CMD = 0xB0;     // SMART, subcommand in Features

constexpr std::uint8_t READ_ATTRIBUTES = 0xD0;   // SMART READ DATA
constexpr std::uint8_t READ_THRESHOLDS = 0xD1;   // SMART READ ATTRIBUTE THRESHOLDS
constexpr std::uint8_t ENABLE_SMART = 0xD8;      // never sent: named so the guard can refuse it
constexpr std::uint8_t SMART_CYL_LOW = 0x4F;     // signature ATA requires with
constexpr std::uint8_t SMART_CYL_HI = 0xC2;      //   every SMART subcommand

constexpr std::uint8_t DRIVE_HEAD_BASE = 0xA0;   // Device/Head register, device 0
constexpr std::uint32_t IDENTIFY_BUFFER_SIZE = 512;
constexpr std::uint32_t READ_ATTRIBUTE_BUFFER_SIZE = 512;
constexpr std::uint32_t READ_THRESHOLD_BUFFER_SIZE = 512;

// bIDEDeviceMap bit of a packet (ATAPI) device in position 0.
constexpr std::uint8_t IDE_DEVICE_MAP_PACKET_0 = 0x10;

// ---- Records ----------------------------------------------------------------

// The answer to SMART_GET_VERSION.
struct GETVERSIONINPARAMS {
  std::uint8_t bVersion;
  std::uint8_t bRevision;
  std::uint8_t bReserved;
  std::uint8_t bIDEDeviceMap;  // bits 0-3 ATA devices, bits 4-7 packet devices
  le32 fCapabilities;
  le32 dwReserved[4];
};

// The ATA task-file registers of one command.
struct IDEREGS {
  std::uint8_t bFeaturesReg;
  std::uint8_t bSectorCountReg;
  std::uint8_t bSectorNumberReg;
  std::uint8_t bCylLowReg;
  std::uint8_t bCylHighReg;
  std::uint8_t bDriveHeadReg;
  std::uint8_t bCommandReg;
  std::uint8_t bReserved;
};

// The request for one drive command. 33 bytes; the exchange sends the first 32
// (none of our commands carries data to the drive, so bBuffer is never sent).
struct SENDCMDINPARAMS {
  le32 cBufferSize;
  IDEREGS irDriveRegs;
  std::uint8_t bDriveNumber;
  std::uint8_t bReserved[3];
  le32 dwReserved[4];
  std::uint8_t bBuffer[1];
};
constexpr std::uint32_t SENDCMDINPARAMS_SENT = 32;

struct DRIVERSTATUS {
  std::uint8_t bDriverError;
  std::uint8_t bIDEError;
  std::uint8_t bReserved[2];
  le32 dwReserved[2];
};

constexpr std::size_t SMART_PAGE_SIZE = 512;

// The answer to one drive command: a 16-byte header and the 512-byte page.
struct SENDCMDOUTPARAMS {
  le32 cBufferSize;
  DRIVERSTATUS DriverStatus;
  std::uint8_t bBuffer[SMART_PAGE_SIZE];
};

// One entry of the SMART data page.
struct TSmartAttribute {
  std::uint8_t Id;  // 0 marks an empty entry
  le16 Flags;
  std::uint8_t Value;
  std::uint8_t Worst;
  std::uint8_t RawValue[6];  // least significant byte first
  std::uint8_t Reserved;
};

// One entry of the SMART threshold page.
struct TSmartThreshold {
  std::uint8_t Id;
  std::uint8_t Threshold;
  std::uint8_t Reserved[10];
};

static_assert(sizeof(GETVERSIONINPARAMS) == 24);
static_assert(sizeof(IDEREGS) == 8);
static_assert(sizeof(SENDCMDINPARAMS) == 33);
static_assert(offsetof(SENDCMDINPARAMS, bBuffer) == SENDCMDINPARAMS_SENT);
static_assert(sizeof(DRIVERSTATUS) == 12);
static_assert(sizeof(SENDCMDOUTPARAMS) == 528);
static_assert(offsetof(SENDCMDOUTPARAMS, bBuffer) == 16);
static_assert(sizeof(TSmartAttribute) == 12);
static_assert(sizeof(TSmartThreshold) == 12);

// ---- Page layouts -----------------------------------------------------------

// IDENTIFY page: 256 little-endian words. The words this program reads.
constexpr int IDENTIFY_WORD_CYLINDERS = 1;
constexpr int IDENTIFY_WORD_HEADS = 3;
constexpr int IDENTIFY_WORD_SECTORS_PER_TRACK = 6;
constexpr int IDENTIFY_WORD_BUFFER_SIZE = 21;
// Text fields as byte ranges of the page: each word holds two characters, the
// first in its high byte, so the page bytes hold every pair second-first.
constexpr std::size_t IDENTIFY_SERIAL_OFFSET = 20, IDENTIFY_SERIAL_LENGTH = 20;
constexpr std::size_t IDENTIFY_FIRMWARE_OFFSET = 46, IDENTIFY_FIRMWARE_LENGTH = 8;
constexpr std::size_t IDENTIFY_MODEL_OFFSET = 54, IDENTIFY_MODEL_LENGTH = 40;

// SMART data and threshold pages: a 2-byte revision, then 30 entries of 12
// bytes from page byte 2. Bytes 362 onwards are never read.
constexpr int SMART_ENTRY_COUNT = 30;
constexpr std::size_t SMART_ENTRY_OFFSET = 2;
constexpr std::size_t SMART_ENTRY_SIZE = 12;
static_assert(SMART_ENTRY_OFFSET + SMART_ENTRY_COUNT * SMART_ENTRY_SIZE == 362);

// ---- Pure byte operations ---------------------------------------------------

// Fills every register of Request for IDENTIFY with the given opcode (ID_CMD or
// ATAPI_ID_CMD), for the device at DriveNumber behind the handle.
void BuildIdentifyRequest(SENDCMDINPARAMS& Request, std::uint8_t Opcode,
                          std::uint8_t DriveNumber);
// Fills every register of Request for a SMART read (READ_ATTRIBUTES or
// READ_THRESHOLDS in Features).
void BuildSmartReadRequest(SENDCMDINPARAMS& Request, std::uint8_t Feature,
                           std::uint8_t DriveNumber);

// Word `Word` (0-255) of the IDENTIFY page held in Answer.
std::uint16_t IdentifyWord(const SENDCMDOUTPARAMS& Answer, int Word);
// Entry k (0-29) of the SMART data / threshold page held in Answer.
TSmartAttribute SmartAttributeAt(const SENDCMDOUTPARAMS& Answer, int k);
TSmartThreshold SmartThresholdAt(const SENDCMDOUTPARAMS& Answer, int k);

// Attribute catalogue: the display name and plain-language description of an
// attribute id. "Unknown attribute" and the empty text for ids not catalogued.
std::u16string GetAttributeName(std::uint8_t Id);
std::u16string GetAttributeDescription(std::uint8_t Id);

#endif  // KELVANE_DISK_SMART_H_
