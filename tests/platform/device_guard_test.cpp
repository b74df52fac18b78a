// The read-only guard of the device seam: the three reads and the version
// query pass, everything else is refused before any backend sees it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "disk/smart.h"
#include "platform/Device.h"
#include "platform/sim/SimDevice.h"

namespace {

SENDCMDINPARAMS Identify(std::uint8_t opcode = ID_CMD, std::uint8_t drive = 0) {
  SENDCMDINPARAMS r;
  BuildIdentifyRequest(r, opcode, drive);
  return r;
}

SENDCMDINPARAMS Smart(std::uint8_t feature, std::uint8_t drive = 0) {
  SENDCMDINPARAMS r;
  BuildSmartReadRequest(r, feature, drive);
  return r;
}

class GuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim_.drives.resize(1);
    previous_ = platform::SetDeviceBackend(&sim_);
    handle_ = platform::OpenDevice(u"\\\\.\\PhysicalDrive0", platform::GENERIC_READ, 0);
    ASSERT_NE(handle_, platform::INVALID_HANDLE_VALUE);
  }
  void TearDown() override {
    platform::CloseDevice(handle_);
    platform::SetDeviceBackend(previous_);
  }

  sim::SimDeviceBackend sim_;
  platform::DeviceBackend* previous_ = nullptr;
  platform::THandle handle_ = platform::INVALID_HANDLE_VALUE;
};

TEST_F(GuardTest, PassesTheThreeReadsAndTheVersionQuery) {
  const SENDCMDINPARAMS allowed[] = {Identify(),
                                     Identify(ATAPI_ID_CMD),
                                     Identify(ID_CMD, 1),
                                     Smart(READ_ATTRIBUTES),
                                     Smart(READ_THRESHOLDS),
                                     Smart(READ_ATTRIBUTES, 1)};
  SENDCMDOUTPARAMS out{};
  for (const SENDCMDINPARAMS& r : allowed) {
    EXPECT_TRUE(
        platform::IsPermittedExchange(SMART_RCV_DRIVE_DATA, &r, SENDCMDINPARAMS_SENT, sizeof out));
    EXPECT_TRUE(platform::DeviceControl(handle_, SMART_RCV_DRIVE_DATA, &r, SENDCMDINPARAMS_SENT,
                                        &out, sizeof out, nullptr));
  }
  GETVERSIONINPARAMS v{};
  EXPECT_TRUE(
      platform::DeviceControl(handle_, SMART_GET_VERSION, nullptr, 0, &v, sizeof v, nullptr));
  EXPECT_EQ(sim_.exchanges.size(), std::size(allowed) + 1);
}

TEST_F(GuardTest, RefusesEverythingElseBeforeTheBackend) {
  struct Case {
    std::string name;
    SENDCMDINPARAMS request;
  };
  std::vector<Case> cases;
  cases.push_back({"SMART ENABLE OPERATIONS", Smart(ENABLE_SMART)});
  for (std::uint8_t f : {0xD2 /* attribute autosave */, 0xD3 /* save attributes */,
                         0xD4 /* execute off-line */, 0xD5 /* read log */, 0xD6 /* write log */,
                         0xD9 /* disable */, 0xDA /* return status */, 0x00})
    cases.push_back({"SMART feature " + std::to_string(f), Smart(f)});
  SENDCMDINPARAMS r = Smart(READ_ATTRIBUTES);
  r.irDriveRegs.bCylLowReg = 0x00;
  cases.push_back({"SMART READ DATA, bad cylinder low", r});
  r = Smart(READ_THRESHOLDS);
  r.irDriveRegs.bCylHighReg = 0x2C;
  cases.push_back({"SMART READ THRESHOLDS, bad cylinder high", r});
  for (std::uint8_t c :
       {0x30 /* WRITE SECTORS */, 0x34 /* WRITE SECTORS EXT */, 0x35 /* WRITE DMA EXT */,
        0x3F /* WRITE LOG EXT */, 0xC5 /* WRITE MULTIPLE */, 0xCA /* WRITE DMA */,
        0xF4 /* SECURITY ERASE UNIT */, 0xF6 /* SECURITY DISABLE */, 0x92 /* DOWNLOAD MICROCODE */,
        0xEF /* SET FEATURES */, 0x20 /* READ SECTORS: a read, but not one of ours */, 0x00}) {
    r = Identify();
    r.irDriveRegs.bCommandReg = c;
    cases.push_back({"command " + std::to_string(c), r});
  }
  r = Identify();
  r.irDriveRegs.bDriveHeadReg = 0xE0;  // LBA mode bit: not a request we build
  cases.push_back({"device register 0xE0", r});
  r = Identify();
  r.cBufferSize = 1024;
  cases.push_back({"buffer size 1024", r});

  SENDCMDOUTPARAMS out{};
  for (const Case& c : cases) {
    EXPECT_FALSE(platform::IsPermittedExchange(SMART_RCV_DRIVE_DATA, &c.request,
                                               SENDCMDINPARAMS_SENT, sizeof out))
        << c.name;
    EXPECT_FALSE(platform::DeviceControl(handle_, SMART_RCV_DRIVE_DATA, &c.request,
                                         SENDCMDINPARAMS_SENT, &out, sizeof out, nullptr))
        << c.name;
  }

  // Other control codes, and the right codes with the wrong lengths.
  const SENDCMDINPARAMS good = Identify();
  GETVERSIONINPARAMS v{};
  struct CodeCase {
    const char* name;
    std::uint32_t code;
    const void* in;
    std::uint32_t in_len;
    void* out;
    std::uint32_t out_len;
  };
  const CodeCase codes[] = {
      {"SMART_SEND_DRIVE_COMMAND", 0x0007C084, &good, SENDCMDINPARAMS_SENT, &out, sizeof out},
      {"IOCTL_ATA_PASS_THROUGH", 0x0004D02C, &good, SENDCMDINPARAMS_SENT, &out, sizeof out},
      {"IOCTL_DISK_GET_DRIVE_GEOMETRY", 0x00070000, nullptr, 0, &out, sizeof out},
      {"code 0", 0, nullptr, 0, &out, sizeof out},
      {"request one byte short", SMART_RCV_DRIVE_DATA, &good, SENDCMDINPARAMS_SENT - 1, &out,
       sizeof out},
      {"no request", SMART_RCV_DRIVE_DATA, nullptr, SENDCMDINPARAMS_SENT, &out, sizeof out},
      {"answer one byte short", SMART_RCV_DRIVE_DATA, &good, SENDCMDINPARAMS_SENT, &out,
       sizeof out - 1},
      {"version with input", SMART_GET_VERSION, &good, 4, &v, sizeof v},
      {"version answer short", SMART_GET_VERSION, nullptr, 0, &v, sizeof v - 1},
      {"no answer buffer", SMART_RCV_DRIVE_DATA, &good, SENDCMDINPARAMS_SENT, nullptr, sizeof out},
      {"no version buffer", SMART_GET_VERSION, nullptr, 0, nullptr, sizeof v},
  };
  for (const CodeCase& c : codes) {
    if (c.out != nullptr) {
      EXPECT_FALSE(platform::IsPermittedExchange(c.code, c.in, c.in_len, c.out_len)) << c.name;
    }
    EXPECT_FALSE(
        platform::DeviceControl(handle_, c.code, c.in, c.in_len, c.out, c.out_len, nullptr))
        << c.name;
  }
  EXPECT_TRUE(sim_.exchanges.empty()) << sim_.exchanges.size() << " reached the drive";
}

}  // namespace
