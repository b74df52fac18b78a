// The drive reader over simulated drives: the request bytes of each command,
// the decoding of the IDENTIFY texts, and what each failing step leaves in
// CurrentDisk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "disk/DiskInfo.h"
#include "disk/smart.h"
#include "platform/sim/Pages.h"
#include "platform/sim/SimDevice.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RequestBytes(const SENDCMDINPARAMS& r, std::size_t from, std::size_t to) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&r);
  return Bytes(p + from, p + to + 1);
}

// ---- Request bytes --------------------------------------------------------

struct RequestCase {
  const char* name;
  int command;  // 0 identify, 1 SMART READ DATA, 2 SMART READ ATTRIBUTE THRESHOLDS
  std::uint8_t drive;
  Bytes registers;  // request bytes 4-10
};
void PrintTo(const RequestCase& c, std::ostream* os) {
  *os << c.name;
}

class RequestBytesTest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestBytesTest, HoldsSizeRegistersAndDriveNumber) {
  const RequestCase& c = GetParam();
  SENDCMDINPARAMS r;
  std::memset(&r, 0xCC, sizeof r);  // every field must be written, none left over
  if (c.command == 0)
    BuildIdentifyRequest(r, ID_CMD, c.drive);
  else
    BuildSmartReadRequest(r, c.command == 1 ? READ_ATTRIBUTES : READ_THRESHOLDS, c.drive);
  EXPECT_EQ(RequestBytes(r, 0, 3), (Bytes{0x00, 0x02, 0x00, 0x00}));
  EXPECT_EQ(RequestBytes(r, 4, 10), c.registers);
  EXPECT_EQ(RequestBytes(r, 12, 12), Bytes{c.drive});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RequestBytesTest,
    ::testing::Values(RequestCase{"Identify0", 0, 0, {0x00, 0x01, 0x01, 0x00, 0x00, 0xA0, 0xEC}},
                      RequestCase{"Identify1", 0, 1, {0x00, 0x01, 0x01, 0x00, 0x00, 0xB0, 0xEC}},
                      RequestCase{"Identify2", 0, 2, {0x00, 0x01, 0x01, 0x00, 0x00, 0xA0, 0xEC}},
                      RequestCase{"SmartData0", 1, 0, {0xD0, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0}},
                      RequestCase{"SmartData1", 1, 1, {0xD0, 0x01, 0x01, 0x4F, 0xC2, 0xB0, 0xB0}},
                      RequestCase{"SmartData2", 1, 2, {0xD0, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0}},
                      RequestCase{"Thresholds0", 2, 0, {0xD1, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0}},
                      RequestCase{"Thresholds1", 2, 1, {0xD1, 0x01, 0x01, 0x4F, 0xC2, 0xB0, 0xB0}},
                      RequestCase{"Thresholds2", 2, 2, {0xD1, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RequestBytes, SmartDataAndThresholdsDifferOnlyInFeatures) {
  for (std::uint8_t drive : {0, 1, 2}) {
    SENDCMDINPARAMS data, thresholds;
    std::memset(&data, 0x11, sizeof data);
    std::memset(&thresholds, 0x77, sizeof thresholds);
    BuildSmartReadRequest(data, READ_ATTRIBUTES, drive);
    BuildSmartReadRequest(thresholds, READ_THRESHOLDS, drive);
    const Bytes a = RequestBytes(data, 0, SENDCMDINPARAMS_SENT - 1);
    const Bytes b = RequestBytes(thresholds, 0, SENDCMDINPARAMS_SENT - 1);
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) differing.push_back(i);
    EXPECT_EQ(differing, std::vector<std::size_t>{4}) << "drive " << int(drive);
    EXPECT_EQ(a[4], 0xD0);
    EXPECT_EQ(b[4], 0xD1);
  }
}

// ---- SwapBytePairs ----------------------------------------------------------

TEST(SwapBytePairs, SwapsWholePairsOnlyAndNothingPastLength) {
  struct Case {
    int length;
    Bytes expected;  // of the 7-byte buffer 1 2 3 4 5 6 7
  };
  const Case cases[] = {
      {5, {2, 1, 4, 3, 5, 6, 7}}, {4, {2, 1, 4, 3, 5, 6, 7}}, {2, {2, 1, 3, 4, 5, 6, 7}},
      {1, {1, 2, 3, 4, 5, 6, 7}}, {0, {1, 2, 3, 4, 5, 6, 7}}, {-3, {1, 2, 3, 4, 5, 6, 7}},
      {7, {2, 1, 4, 3, 6, 5, 7}},
  };
  for (const Case& c : cases) {
    Bytes data{1, 2, 3, 4, 5, 6, 7};
    SwapBytePairs(data.data(), c.length);
    EXPECT_EQ(data, c.expected) << "length " << c.length;
  }
}

// ---- A simulated machine --------------------------------------------------

class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = platform::SetDeviceBackend(&sim_);
    ResetCurrentDisk();
  }
  void TearDown() override { platform::SetDeviceBackend(previous_); }

  // CurrentDisk as a later test would find it: full of an earlier drive.
  static void ResetCurrentDisk() { CurrentDisk = TDiskInfo{}; }

  static sim::SimDrive GoodDrive() {
    sim::SimDrive d;
    sim::Identity id;
    id.model = "Corvane DT1000 HD-7200";
    id.serial = "ZN1K4T8Q";
    id.firmware = "CC43";
    id.cylinders = 16383;
    id.heads = 16;
    id.sectors_per_track = 63;
    id.buffer_size = 0x4000;
    d.identify = sim::IdentifyPage(id);
    const std::vector<sim::Attribute> attrs = {{5, 100, 100, 0, 0x33, 10},
                                               {194, 38, 45, 38, 0x22, 0}};
    d.smart_data = sim::SmartDataPage(attrs);
    d.thresholds = sim::ThresholdPage(attrs);
    return d;
  }

  // Each exchange that reached the drive, as "version", "EC", "B0/D0" ...
  std::vector<std::string> Sent() const {
    std::vector<std::string> out;
    char buf[16];
    for (const sim::Exchange& x : sim_.exchanges) {
      if (x.code == SMART_GET_VERSION) {
        out.push_back("version");
      } else if (x.request[10] == SMART_CMD) {
        std::snprintf(buf, sizeof buf, "B0/%02X", x.request[4]);
        out.push_back(buf);
      } else {
        std::snprintf(buf, sizeof buf, "%02X", x.request[10]);
        out.push_back(buf);
      }
    }
    return out;
  }

  static bool AllZero(const SENDCMDOUTPARAMS& block) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&block);
    for (std::size_t i = 0; i < sizeof block; ++i)
      if (p[i] != 0) return false;
    return true;
  }

  static bool IsReset(const TDiskInfo& d) {
    return !d.SmartSupported && d.Cylinders == 0 && d.Heads == 0 && d.BufferSize == 0 &&
           d.SectorsPerTrack == 0 && d.ModelNumber.empty() && d.FirmwareRev.empty() &&
           d.SerialNumber.empty() && d.Temperature == 0 && AllZero(d.IdentifyOut) &&
           AllZero(d.SmartDataOut) && AllZero(d.SmartThresholdsOut);
  }

  sim::SimDeviceBackend sim_;
  platform::DeviceBackend* previous_ = nullptr;
};

// ---- Text decoding ----------------------------------------------------------

struct TextCase {
  const char* name;
  std::size_t offset, length;  // the field on the IDENTIFY page
  std::string reading_order;   // the field's bytes as the drive means them
  std::string expected;
};
void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.name;
}

class TextDecodingTest : public ReaderTest, public ::testing::WithParamInterface<TextCase> {};

std::string Of(const TDiskInfo& d, std::size_t offset) {
  if (offset == IDENTIFY_MODEL_OFFSET) return d.ModelNumber;
  if (offset == IDENTIFY_FIRMWARE_OFFSET) return d.FirmwareRev;
  return d.SerialNumber;
}

TEST_P(TextDecodingTest, GivesTrimmedTextUpToTheFirstZero) {
  const TextCase& c = GetParam();
  sim::SimDrive d = GoodDrive();
  // Neighbouring fields full of letters, so a field that reads past its end shows.
  sim::PutAtaText(d.identify, IDENTIFY_SERIAL_OFFSET, 20, std::string(20, 'S'));
  sim::PutAtaText(d.identify, IDENTIFY_FIRMWARE_OFFSET, 8, std::string(8, 'F'));
  sim::PutAtaText(d.identify, IDENTIFY_MODEL_OFFSET, 40, std::string(40, 'M'));
  d.identify[IDENTIFY_MODEL_OFFSET + 40] = 'X';  // word 47, right after the model
  d.identify[IDENTIFY_SERIAL_OFFSET - 1] = 'Y';  // word 9, right before the serial
  sim::PutAtaText(d.identify, c.offset, c.length, c.reading_order, ' ');
  sim_.drives = {d};

  ReadDiskInfo(0);

  EXPECT_EQ(Of(CurrentDisk, c.offset), c.expected);
  // The field stays in IdentifyOut in reading order (swapped in place).
  EXPECT_EQ(0, std::memcmp(CurrentDisk.IdentifyOut.bBuffer + c.offset, c.reading_order.data(),
                           std::min(c.reading_order.size(), c.length)));
}

const std::string k40 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcd";
INSTANTIATE_TEST_SUITE_P(
    Fields, TextDecodingTest,
    ::testing::Values(
        TextCase{"LeadingBlanks", IDENTIFY_SERIAL_OFFSET, 20, "     9VPA4C2D", "9VPA4C2D"},
        TextCase{"InnerBlanksStay", IDENTIFY_MODEL_OFFSET, 40, "  Corvane  DT 1000  ",
                 "Corvane  DT 1000"},
        TextCase{"ControlCharactersAtEnds", IDENTIFY_MODEL_OFFSET, 40,
                 "\t\x01\x1F"
                 "AB\x7F"
                 "C\n\r",
                 "AB\x7F"
                 "C"},
        TextCase{"ZeroByteEndsTheText", IDENTIFY_MODEL_OFFSET, 40,
                 std::string("ABC\0DEFGH", 9) + std::string(31, 'Z'), "ABC"},
        TextCase{"ZeroByteAtStartGivesNothing", IDENTIFY_FIRMWARE_OFFSET, 8,
                 std::string("\0CC43abc", 8), ""},
        TextCase{"AllBlanks", IDENTIFY_MODEL_OFFSET, 40, std::string(40, ' '), ""},
        TextCase{"AllBlanksAndControl", IDENTIFY_SERIAL_OFFSET, 20, "\x01\x02   \t  ", ""},
        TextCase{"FullModelNoPadding", IDENTIFY_MODEL_OFFSET, 40, k40, k40},
        TextCase{"FullFirmwareNoPadding", IDENTIFY_FIRMWARE_OFFSET, 8, "MS2OA5U0", "MS2OA5U0"},
        TextCase{"FullSerialNoPadding", IDENTIFY_SERIAL_OFFSET, 20, "K7G2MZ0R00009141WXYZ",
                 "K7G2MZ0R00009141WXYZ"},
        TextCase{"HighBytesKeptAndNotTrimmed", IDENTIFY_MODEL_OFFSET, 40,
                 "\xA0"
                 "Festpl\xE4tte Z\xFCrich\xFF",
                 "\xA0"
                 "Festpl\xE4tte Z\xFCrich\xFF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, SerialPageBytesBADCReadAsABCD) {
  sim::SimDrive d = GoodDrive();
  const std::uint8_t bytes[] = {0x42, 0x41, 0x44, 0x43};  // "BADC" on the page
  std::memcpy(d.identify.data() + IDENTIFY_SERIAL_OFFSET, bytes, sizeof bytes);
  sim_.drives = {d};
  ReadDiskInfo(0);
  EXPECT_THAT(CurrentDisk.SerialNumber, ::testing::StartsWith("ABCD"));
}

// ---- Steps that fail --------------------------------------------------------

struct FailureCase {
  const char* name;
  bool fail_open, fail_version, fail_identify, fail_smart_data, fail_thresholds;
  std::vector<std::string> sent;
  bool smart_supported, identity, smart_data, thresholds;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class ReaderFailureTest : public ReaderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReaderFailureTest, LeavesWhatTheFailedStepsCouldNotFill) {
  const FailureCase& c = GetParam();
  sim::SimDrive d = GoodDrive();
  d.fail_open = c.fail_open;
  d.fail_version = c.fail_version;
  d.fail_identify = c.fail_identify;
  d.fail_smart_data = c.fail_smart_data;
  d.fail_thresholds = c.fail_thresholds;
  sim_.drives = {GoodDrive(), d};

  ReadDiskInfo(0);  // an earlier, good read of another drive
  ASSERT_EQ(CurrentDisk.ModelNumber, "Corvane DT1000 HD-7200");
  CurrentDisk.Temperature = 38;  // as the attribute list leaves it
  sim_.exchanges.clear();

  ReadDiskInfo(1);

  EXPECT_EQ(Sent(), c.sent);
  EXPECT_EQ(CurrentDisk.SmartSupported, c.smart_supported);
  EXPECT_EQ(CurrentDisk.Temperature, 0);
  if (c.identity) {
    EXPECT_EQ(CurrentDisk.ModelNumber, "Corvane DT1000 HD-7200");
    EXPECT_EQ(CurrentDisk.SerialNumber, "ZN1K4T8Q");
    EXPECT_EQ(CurrentDisk.FirmwareRev, "CC43");
    EXPECT_EQ(CurrentDisk.Cylinders, 16383);
    EXPECT_EQ(CurrentDisk.Heads, 16);
    EXPECT_EQ(CurrentDisk.SectorsPerTrack, 63);
    EXPECT_EQ(CurrentDisk.BufferSize, 0x4000);
  } else {
    EXPECT_TRUE(CurrentDisk.ModelNumber.empty() && CurrentDisk.SerialNumber.empty() &&
                CurrentDisk.FirmwareRev.empty());
    EXPECT_EQ(CurrentDisk.Cylinders + CurrentDisk.Heads + CurrentDisk.SectorsPerTrack +
                  CurrentDisk.BufferSize,
              0);
    EXPECT_TRUE(AllZero(CurrentDisk.IdentifyOut));
  }
  EXPECT_EQ(!AllZero(CurrentDisk.SmartDataOut), c.smart_data);
  EXPECT_EQ(!AllZero(CurrentDisk.SmartThresholdsOut), c.thresholds);
  if (c.smart_data) {
    EXPECT_EQ(SmartAttributeAt(CurrentDisk.SmartDataOut, 1).Id, 194);
    EXPECT_EQ(0, std::memcmp(CurrentDisk.SmartDataOut.bBuffer, d.smart_data.data(), 512));
  }
  if (c.thresholds) {
    EXPECT_EQ(SmartThresholdAt(CurrentDisk.SmartThresholdsOut, 0).Threshold, 10);
  }
  if (c.fail_open) {
    EXPECT_TRUE(IsReset(CurrentDisk));
  }
  EXPECT_EQ(sim_.OpenHandles(), 0);
  EXPECT_EQ(DriveHandle, platform::INVALID_HANDLE_VALUE);
}

const std::vector<std::string> kAll = {"version", "EC", "B0/D0", "B0/D1"};
INSTANTIATE_TEST_SUITE_P(
    Steps, ReaderFailureTest,
    ::testing::Values(
        FailureCase{"AllGood", false, false, false, false, false, kAll, true, true, true, true},
        FailureCase{"OpenFails", true, false, false, false, false, {}, false, false, false, false},
        FailureCase{"VersionFails", false, true, false, false, false, kAll, false, true, true,
                    true},
        FailureCase{"IdentifyFails",
                    false,
                    false,
                    true,
                    false,
                    false,
                    {"version", "EC"},
                    true,
                    false,
                    false,
                    false},
        FailureCase{"SmartDataFails", false, false, false, true, false, kAll, true, true, false,
                    true},
        FailureCase{"ThresholdsFail", false, false, false, false, true, kAll, true, true, true,
                    false},
        FailureCase{"VersionAndSmartFail", false, true, false, true, true, kAll, false, true, false,
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, NumberWithNoDriveLeavesRecordReset) {
  sim_.drives = {GoodDrive()};
  ReadDiskInfo(0);
  ReadDiskInfo(7);
  EXPECT_TRUE(IsReset(CurrentDisk));
  ASSERT_EQ(sim_.open_calls.size(), 2u);
  EXPECT_EQ(sim_.open_calls[1].path, u"\\\\.\\PhysicalDrive7");
  platform::SetDeviceBackend(nullptr);  // no backend at all: every open fails
  ReadDiskInfo(0);
  EXPECT_TRUE(IsReset(CurrentDisk));
}

TEST_F(ReaderTest, EveryRequestGoesToDeviceZeroWhateverTheDriveIndex) {
  for (int i = 0; i < 4; ++i) sim_.drives.push_back(GoodDrive());
  const std::u16string paths[] = {u"\\\\.\\PhysicalDrive0", u"\\\\.\\PhysicalDrive1",
                                  u"\\\\.\\PhysicalDrive2", u"\\\\.\\PhysicalDrive3"};
  for (int index = 0; index < 4; ++index) {
    sim_.exchanges.clear();
    ReadDiskInfo(index);
    ASSERT_EQ(Sent(), kAll) << "drive " << index;
    for (const sim::Exchange& x : sim_.exchanges) {
      EXPECT_EQ(x.drive, index);
      if (x.code != SMART_RCV_DRIVE_DATA) continue;
      EXPECT_EQ(x.request[12], 0) << "bDriveNumber, drive " << index;
      EXPECT_EQ(x.request[9], 0xA0) << "bDriveHeadReg, drive " << index;
    }
    const auto& open = sim_.open_calls.back();
    EXPECT_EQ(open.path, paths[index]);
    EXPECT_EQ(open.access, platform::GENERIC_READ | platform::GENERIC_WRITE);
    EXPECT_EQ(open.share, platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE);
    EXPECT_EQ(sim_.OpenHandles(), 0);
  }
  EXPECT_EQ(DrivePath(2147483647), u"\\\\.\\PhysicalDrive2147483647");
  EXPECT_EQ(DrivePath(10), u"\\\\.\\PhysicalDrive10");
}

TEST_F(ReaderTest, PacketDeviceGetsIdentifyPacketDevice) {
  struct Case {
    std::uint8_t device_map;
    bool fail_version;
    std::string opcode;
  };
  const Case cases[] = {
      {0x01, false, "EC"}, {0x00, false, "EC"}, {0x10, false, "A1"},
      {0x11, false, "A1"}, {0x02, false, "EC"},  // an ATA device elsewhere
      {0x20, false, "EC"},                       // a packet device in another position
      {0x10, true, "EC"},                        // no answer: nothing says it is a packet device
  };
  for (const Case& c : cases) {
    sim::SimDrive d = GoodDrive();
    d.ide_device_map = c.device_map;
    d.fail_version = c.fail_version;
    sim_.drives = {d};
    sim_.exchanges.clear();
    ReadDiskInfo(0);
    ASSERT_GE(Sent().size(), 2u);
    EXPECT_EQ(Sent()[1], c.opcode)
        << "map " << int(c.device_map) << " version fails " << c.fail_version;
    EXPECT_EQ(CurrentDisk.ModelNumber, "Corvane DT1000 HD-7200");
  }
}

}  // namespace
