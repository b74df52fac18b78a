// Simulated drives from fixture files: what a file says comes back through
// the reader, anything unreadable is named by file and line, and the drives
// committed in tests/fixtures are what their README says.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "disk/DiskInfo.h"
#include "disk/smart.h"
#include "platform/sim/SimDevice.h"
#include "platform/ui/ListView.h"

namespace {

using ::testing::HasSubstr;

class FixtureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = platform::SetDeviceBackend(&sim_);
    CurrentDisk = TDiskInfo{};
  }
  void TearDown() override { platform::SetDeviceBackend(previous_); }

  void Read(const sim::SimDrive& d) {
    sim_.drives = {d};
    sim_.exchanges.clear();
    ReadDiskInfo(0);
  }

  sim::SimDeviceBackend sim_;
  platform::DeviceBackend* previous_ = nullptr;
};

TEST_F(FixtureTest, FieldsComeBackThroughTheReader) {
  const sim::SimDrive d = sim::ParseSimDrive(R"(# a drive
model: Corvane DT1000 HD-7200
serial: "  ZN1K\"4T8Q"
firmware: "C\xE4\x00X"
cylinders: 16383   # trailing comment
heads: 0x10
sectors: 63
buffer: 0x4000
device: /dev/sdq
device-map: 0x10

attribute: id=194 value=38 worst=45 raw=0x2D00160026 threshold=2 flags=0x0022
attribute: worst=7 id=5
attribute: id=0
identify-word: 83 0x7400
smart-data-byte: 362 0xC2
threshold-byte: 511 0x99
)",
                                             "inline");
  EXPECT_EQ(d.device_node, "/dev/sdq");
  Read(d);
  EXPECT_EQ(CurrentDisk.ModelNumber, "Corvane DT1000 HD-7200");
  EXPECT_EQ(CurrentDisk.SerialNumber, "ZN1K\"4T8Q");
  EXPECT_EQ(CurrentDisk.FirmwareRev, "C\xE4");  // cut at the zero byte
  EXPECT_EQ(CurrentDisk.Cylinders, 16383);
  EXPECT_EQ(CurrentDisk.Heads, 16);
  EXPECT_EQ(CurrentDisk.SectorsPerTrack, 63);
  EXPECT_EQ(CurrentDisk.BufferSize, 0x4000);
  EXPECT_EQ(IdentifyWord(CurrentDisk.IdentifyOut, 83), 0x7400);
  // The serial's leading blanks are on the page, as a drive would send them.
  EXPECT_EQ(CurrentDisk.IdentifyOut.bBuffer[IDENTIFY_SERIAL_OFFSET], ' ');
  // device-map 0x10: a packet device, so the reader sent IDENTIFY PACKET DEVICE.
  ASSERT_GE(sim_.exchanges.size(), 2u);
  EXPECT_EQ(sim_.exchanges[1].request[10], ATAPI_ID_CMD);

  const TSmartAttribute t = SmartAttributeAt(CurrentDisk.SmartDataOut, 0);
  EXPECT_EQ(t.Id, 194);
  EXPECT_EQ(t.Value, 38);
  EXPECT_EQ(t.Worst, 45);
  EXPECT_EQ(static_cast<std::uint16_t>(t.Flags), 0x0022);
  const std::uint8_t raw[6] = {0x26, 0x00, 0x16, 0x00, 0x2D, 0x00};
  EXPECT_EQ(0, std::memcmp(t.RawValue, raw, 6));
  const TSmartAttribute a = SmartAttributeAt(CurrentDisk.SmartDataOut, 1);
  EXPECT_EQ(a.Id, 5);
  EXPECT_EQ(a.Value, 100);  // default
  EXPECT_EQ(a.Worst, 7);
  EXPECT_EQ(SmartAttributeAt(CurrentDisk.SmartDataOut, 2).Id, 0);
  EXPECT_EQ(CurrentDisk.SmartDataOut.bBuffer[362], 0xC2);
  EXPECT_EQ(SmartThresholdAt(CurrentDisk.SmartThresholdsOut, 0).Id, 194);
  EXPECT_EQ(SmartThresholdAt(CurrentDisk.SmartThresholdsOut, 0).Threshold, 2);
  EXPECT_EQ(CurrentDisk.SmartThresholdsOut.bBuffer[511], 0x99);
}

TEST_F(FixtureTest, ThresholdLinesBuildThePageInTheirOwnOrder) {
  const sim::SimDrive d = sim::ParseSimDrive(
      "attribute: id=1\nattribute: id=5\nthreshold: id=5 value=36\nthreshold: id=1 value=6\n", "t");
  Read(d);
  EXPECT_EQ(SmartThresholdAt(CurrentDisk.SmartThresholdsOut, 0).Id, 5);
  EXPECT_EQ(SmartThresholdAt(CurrentDisk.SmartThresholdsOut, 0).Threshold, 36);
  EXPECT_EQ(SmartThresholdAt(CurrentDisk.SmartThresholdsOut, 1).Id, 1);
  EXPECT_EQ(SmartThresholdAt(CurrentDisk.SmartThresholdsOut, 1).Threshold, 6);
}

TEST(FixtureFile, FailsNamesEachStep) {
  const sim::SimDrive none = sim::ParseSimDrive("# nothing fails\n", "f");
  EXPECT_FALSE(none.fail_open || none.fail_version || none.fail_identify || none.fail_smart_data ||
               none.fail_thresholds);
  EXPECT_EQ(none.ide_device_map, 0x01);
  const sim::SimDrive d =
      sim::ParseSimDrive("fails: open version\r\nfails: identify smart-data thresholds\r\n", "f");
  EXPECT_TRUE(d.fail_open && d.fail_version && d.fail_identify && d.fail_smart_data &&
              d.fail_thresholds);
  EXPECT_TRUE(sim::ParseSimDrive("fails: smart-data", "f").fail_smart_data);
  EXPECT_FALSE(sim::ParseSimDrive("fails: smart-data", "f").fail_thresholds);
}

TEST(FixtureFile, ErrorsNameTheFileAndLine) {
  struct Case {
    const char* text;
    const char* message;  // part of the error
  };
  const Case cases[] = {
      {"model: A\ncolour: blue\n", "x.drive:2: unknown key \"colour\""},
      {"\n\njust words\n", "x.drive:3: expected \"key: value\""},
      {"cylinders: many\n", "x.drive:1: cylinders: expected a number"},
      {"cylinders: 65536\n", "x.drive:1: cylinders: 65536 is out of range"},
      {"heads: 0x\n", "x.drive:1: heads: expected a number"},
      {"model: 0123456789012345678901234567890123456789X\n", "model: 41 bytes"},
      {"firmware: 123456789\n", "x.drive:1: firmware: 9 bytes, the field holds 8"},
      {"serial: \"ABC\n", "x.drive:1: serial: the text has no closing quote"},
      {"serial: \"AB\\q\"\n", "unknown escape \\q"},
      {"serial: \"AB\" CD\n", "unexpected \"CD\" after the closing quote"},
      {"model: A\nmodel: B\n", "x.drive:2: model is given twice"},
      {"attribute: value=3\n", "x.drive:1: attribute: id= is missing"},
      {"attribute: id=1 colour=3\n", "attribute: unknown field \"colour\""},
      {"attribute: id=1 id=2\n", "attribute: id is given twice"},
      {"attribute: id=256\n", "attribute id: 256 is out of range"},
      {"attribute: id=1 raw=0x1000000000000\n", "attribute raw:"},
      {"attribute: id=1 value\n", "attribute: expected name=value"},
      {"threshold: id=1\n", "threshold: needs id= and value="},
      {"fails: open sometimes\n", "x.drive:1: fails: unknown step \"sometimes\""},
      {"fails:\n", "fails: name at least one step"},
      {"identify-word: 83\n", "identify-word: expected two numbers"},
      {"identify-word: 256 1\n", "identify-word: 256 is out of range"},
      {"smart-data-byte: 512 1\n", "smart-data-byte: 512 is out of range"},
      {"attribute: id=1 threshold=5\nthreshold: id=1 value=5\n",
       "x.drive: give thresholds either as threshold="},
  };
  for (const Case& c : cases) {
    try {
      sim::ParseSimDrive(c.text, "x.drive");
      ADD_FAILURE() << "no error for: " << c.text;
    } catch (const std::runtime_error& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.text;
    }
  }
  std::string thirty_one;
  for (int i = 1; i <= 31; ++i) thirty_one += "attribute: id=" + std::to_string(i) + "\n";
  try {
    sim::ParseSimDrive(thirty_one, "x.drive");
    ADD_FAILURE() << "31 attributes taken";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("x.drive:31: attribute: the page holds 30"));
  }
  try {
    sim::LoadSimDrive("/nonexistent/dir/missing.drive");
    ADD_FAILURE() << "a missing file loaded";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("/nonexistent/dir/missing.drive: cannot open"));
  }
}

// The committed drives, read and listed as the window would.
TEST_F(FixtureTest, CommittedDrivesAreWhatTheReadmeSays) {
  struct Case {
    const char* file;
    bool opens, smart_supported;
    const char* model;
    int rows;
    int temperature;
  };
  const Case cases[] = {
      {"desktop-hdd.drive", true, true, "Corvane DT1000 HD-7200", 18, 38},
      {"ssd.drive", true, true, "Corvane SN500 SATA SSD 500GB", 14, 31},
      {"thirty-attributes.drive", true, true, "Corvane EX4000 Enterprise HD-7200", 30, 36},
      {"smart-fails.drive", true, true, "Corvane DT500 HD-5400", 0, 0},
      {"non-ascii-model.drive", true, true, "Festpl\xE4tte Z\xFCrich 2000GB", 5, 34},
      {"reordered-thresholds.drive", true, true, "Corvane DT2000 HD-5900", 4, 35},
      {"no-version.drive", true, false, "Corvane DT320 HD-7200", 3, 42},
      {"no-drive.drive", false, false, "", 0, 0},
  };
  ui::TListView list(nullptr, nullptr, "StatusListView");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const int opens = sim_.Opens();
    Read(sim::LoadSimDrive(std::string(KELVANE_FIXTURE_DIR) + "/" + c.file));
    FillAttributeList(list);
    EXPECT_EQ(sim_.Opens() - opens, c.opens ? 1 : 0);
    EXPECT_EQ(CurrentDisk.SmartSupported, c.smart_supported);
    EXPECT_EQ(CurrentDisk.ModelNumber, c.model);
    EXPECT_EQ(list.Count(), c.rows);
    EXPECT_EQ(CurrentDisk.Temperature, c.temperature);
  }
}

}  // namespace
