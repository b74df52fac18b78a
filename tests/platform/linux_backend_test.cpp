// The Linux drive backend without a disk: the drive list from a fake
// /sys/block tree, the command block, the judgement of SG_IO answers, and the
// backend itself with the kernel's part played by a fake ioctl.
#include <fcntl.h>
#include <scsi/sg.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "disk/smart.h"
#include "platform/Device.h"
#include "platform/linux/LinuxDevice.h"
#include "platform/linux/SgAta.h"

namespace fs = std::filesystem;
using namespace platform::linux_device;

namespace {

// A private directory, removed again at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "kelvane-sysfs-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A fake /sys/block with the given entries (a `device` link for those listed
// with one) and a fake /dev with a plain file for each entry.
struct FakeMachine {
  TempDir dir;
  std::string sys() const { return (dir.path() / "sys-block").string(); }
  std::string dev() const { return (dir.path() / "dev").string(); }

  FakeMachine(const std::vector<std::string>& with_device,
              const std::vector<std::string>& without_device = {}) {
    fs::create_directories(sys());
    fs::create_directories(dev());
    fs::create_directories(dir.path() / "devices" / "target");
    for (const std::string& name : with_device) {
      fs::create_directories(fs::path(sys()) / name);
      fs::create_directory_symlink(dir.path() / "devices" / "target",
                                   fs::path(sys()) / name / "device");
      MakeNode(name);
    }
    for (const std::string& name : without_device) {
      fs::create_directories(fs::path(sys()) / name / "queue");
      MakeNode(name);
    }
  }
  void MakeNode(std::string name) const {
    for (char& c : name)
      if (c == '!') c = '/';
    const fs::path node = fs::path(dev()) / name;
    fs::create_directories(node.parent_path());
    std::ofstream(node) << "not a disk";
  }
};

std::u16string Drive(const std::string& n) {
  return u"\\\\.\\PhysicalDrive" + std::u16string(n.begin(), n.end());
}

// ---- Drive list and path mapping --------------------------------------------

TEST(LinuxDriveList, WholeDisksInDriveNumberOrder) {
  // Created out of order; readdir order is the file system's business.
  FakeMachine m({"vdb", "sdaa", "nvme10n1", "sdb", "sr0", "nvme0n1", "sdz", "vda", "sda", "nvme1n1",
                 "nvme0n2", "sdab", "hda", "sr1"},
                {"loop0", "dm-0", "md127", "zram0"});
  EXPECT_EQ(ListPhysicalDisks(m.sys()),
            (std::vector<std::string>{"sda", "sdb", "sdz", "sdaa", "sdab", "hda", "nvme0n1",
                                      "nvme0n2", "nvme1n1", "nvme10n1", "vda", "vdb"}));
}

TEST(LinuxDriveList, OrderOfNames) {
  struct Case {
    const char* a;
    const char* b;
  };
  const Case before[] = {{"sda", "sdb"},         {"sdz", "sdaa"},         {"sdaz", "sdba"},
                         {"sdzz", "sdaaa"},      {"sdz", "nvme0n1"},      {"sdaaa", "hda"},
                         {"nvme0n1", "nvme0n2"}, {"nvme9n1", "nvme10n1"}, {"nvme1n9", "nvme1n10"},
                         {"nvme0n1", "vda"},     {"vdz", "vdaa"},         {"mmcblk0", "nvme0n1"},
                         {"mmcblk2", "mmcblk10"}};
  for (const Case& c : before) {
    EXPECT_TRUE(DiskNameLess(c.a, c.b)) << c.a << " before " << c.b;
    EXPECT_FALSE(DiskNameLess(c.b, c.a)) << c.b << " not before " << c.a;
  }
  EXPECT_FALSE(DiskNameLess("sda", "sda"));
}

TEST(LinuxDriveList, MissingRootGivesNoDisks) {
  TempDir t;
  EXPECT_TRUE(ListPhysicalDisks((t.path() / "nothing").string()).empty());
}

TEST(LinuxDrivePath, MapsNumbersToDeviceNodes) {
  FakeMachine m({"sdb", "sda", "nvme0n1", "cciss!c0d0"}, {"loop0"});
  struct Case {
    std::u16string path;
    std::string node;  // under the fake /dev; empty: maps to nothing
  };
  const Case cases[] = {
      {Drive("0"), "/sda"},
      {Drive("1"), "/sdb"},
      {Drive("2"), "/cciss/c0d0"},
      {Drive("3"), "/nvme0n1"},
      {Drive("4"), ""},  // one past the last disk
      {Drive("99"), ""},
      {Drive(""), ""},
      {Drive("01"), ""},
      {Drive("-1"), ""},
      {Drive("+1"), ""},
      {Drive("1x"), ""},
      {Drive(" 1"), ""},
      {Drive("99999999999999999999"), ""},
      {u"\\\\.\\physicaldrive0", ""},
      {u"\\\\?\\PhysicalDrive0", ""},
      {u"/dev/sda", ""},
      {u"", ""},
  };
  for (const Case& c : cases) {
    const std::string expected = c.node.empty() ? "" : m.dev() + c.node;
    EXPECT_EQ(MapDrivePath(c.path, m.sys(), m.dev()), expected)
        << std::string(c.path.begin(), c.path.end());
  }
  EXPECT_EQ(DriveNumberOfPath(Drive("0")), 0);
  EXPECT_EQ(DriveNumberOfPath(Drive("10")), 10);
  EXPECT_EQ(DriveNumberOfPath(Drive("999999")), 999999);
  EXPECT_EQ(DriveNumberOfPath(Drive("1000000")), -1);
}

// ---- The command block ----------------------------------------------------

TEST(LinuxCdb, AtaPassThrough16FromEachRequest) {
  struct Case {
    const char* name;
    SENDCMDINPARAMS request;
    Cdb16 expected;
  };
  auto identify = [](std::uint8_t opcode, std::uint8_t drive) {
    SENDCMDINPARAMS r;
    BuildIdentifyRequest(r, opcode, drive);
    return r;
  };
  auto smart = [](std::uint8_t feature, std::uint8_t drive) {
    SENDCMDINPARAMS r;
    BuildSmartReadRequest(r, feature, drive);
    return r;
  };
  //                 op    prot  flags feat       count      lba low    lba mid    lba high   dev
  //                 cmd   ctl
  const Case cases[] = {
      {"IDENTIFY DEVICE",
       identify(ID_CMD, 0),
       {0x85, 0x08, 0x0E, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0xA0, 0xEC,
        0x00}},
      {"SMART READ DATA",
       smart(READ_ATTRIBUTES, 0),
       {0x85, 0x08, 0x0E, 0x00, 0xD0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x4F, 0x00, 0xC2, 0xA0, 0xB0,
        0x00}},
      {"SMART READ ATTRIBUTE THRESHOLDS",
       smart(READ_THRESHOLDS, 0),
       {0x85, 0x08, 0x0E, 0x00, 0xD1, 0x00, 0x01, 0x00, 0x01, 0x00, 0x4F, 0x00, 0xC2, 0xA0, 0xB0,
        0x00}},
      {"IDENTIFY PACKET DEVICE, device 1",
       identify(ATAPI_ID_CMD, 1),
       {0x85, 0x08, 0x0E, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0xB0, 0xA1,
        0x00}},
  };
  for (const Case& c : cases) EXPECT_EQ(AtaPassThroughCdb(c.request), c.expected) << c.name;
}

// ---- The judgement of SG_IO answers ------------------------------------------

TEST(LinuxSgJudgement, GoodOnlyWhenEverythingSaysSo) {
  // Fixed format: response code 0x70, sense key in byte 2, ASC/ASCQ in 12/13.
  const std::vector<std::uint8_t> fixed_aborted = {0x70, 0, 0x0B, 0, 0, 0,    0,
                                                   10,   0, 0,    0, 0, 0x00, 0x00};
  // Descriptor format: 0x72, sense key in byte 1, then an ATA status return
  // descriptor (09h) as libata writes it for a command the drive aborted.
  const std::vector<std::uint8_t> descriptor_aborted = {
      0x72, 0x0B, 0x00, 0x00, 0, 0, 0, 14, 0x09, 0x0C, 0x00, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x51};
  const std::vector<std::uint8_t> recovered_info = {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, 0};
  const std::vector<std::uint8_t> no_sense_fixed = {0x70, 0, 0x00, 0, 0, 0, 0, 10};
  const std::vector<std::uint8_t> medium_error = {0x71, 0, 0x03, 0, 0, 0, 0, 10};
  const std::vector<std::uint8_t> short_fixed = {0x70, 0};
  struct Case {
    const char* name;
    int ioctl_result, ioctl_errno;
    std::uint8_t status;
    std::uint16_t host, driver;
    std::vector<std::uint8_t> sense;
    SgVerdict verdict;
  };
  const Case cases[] = {
      {"good", 0, 0, 0x00, 0, 0, {}, SgVerdict::Good},
      {"good with no-sense data", 0, 0, 0x00, 0, 0x08, no_sense_fixed, SgVerdict::Good},
      {"good with recovered-error info", 0, 0, 0x00, 0, 0x08, recovered_info, SgVerdict::Good},
      {"good with unreadable sense", 0, 0, 0x00, 0, 0x08, short_fixed, SgVerdict::Good},
      {"check condition, aborted, fixed", 0, 0, 0x02, 0, 0x08, fixed_aborted, SgVerdict::Failed},
      {"check condition, aborted, descriptor", 0, 0, 0x02, 0, 0x08, descriptor_aborted,
       SgVerdict::Failed},
      {"check condition without sense", 0, 0, 0x02, 0, 0, {}, SgVerdict::Failed},
      {"check condition, recovered info", 0, 0, 0x02, 0, 0x08, recovered_info, SgVerdict::Failed},
      {"good status but aborted sense", 0, 0, 0x00, 0, 0x08, descriptor_aborted, SgVerdict::Failed},
      {"good status but medium error", 0, 0, 0x00, 0, 0x08, medium_error, SgVerdict::Failed},
      {"busy", 0, 0, 0x08, 0, 0, {}, SgVerdict::Failed},
      {"host error (DID_ERROR)", 0, 0, 0x00, 0x07, 0, {}, SgVerdict::Failed},
      {"host gone (DID_NO_CONNECT)", 0, 0, 0x00, 0x01, 0, {}, SgVerdict::Failed},
      {"driver error", 0, 0, 0x00, 0, 0x04, {}, SgVerdict::Failed},
      {"driver error with suggestion", 0, 0, 0x00, 0, 0x24, {}, SgVerdict::Failed},
      {"ioctl fails (no SG_IO)", -1, ENOTTY, 0, 0, 0, {}, SgVerdict::Failed},
      {"ioctl fails (no right)", -1, EPERM, 0, 0, 0, {}, SgVerdict::Failed},
      {"ioctl times out", -1, ETIMEDOUT, 0, 0, 0, {}, SgVerdict::NoAnswer},
      {"host timeout", 0, 0, 0x00, 0x03, 0, {}, SgVerdict::NoAnswer},
      {"driver timeout", 0, 0, 0x00, 0, 0x06, {}, SgVerdict::NoAnswer},
  };
  for (const Case& c : cases) {
    SgAnswer a;
    a.ioctl_result = c.ioctl_result;
    a.ioctl_errno = c.ioctl_errno;
    a.status = c.status;
    a.host_status = c.host;
    a.driver_status = c.driver;
    a.sense = c.sense.empty() ? nullptr : c.sense.data();
    a.sense_length = c.sense.size();
    EXPECT_EQ(JudgeSgAnswer(a), c.verdict) << c.name;
  }
  EXPECT_EQ(SenseKey(fixed_aborted.data(), fixed_aborted.size()), 0x0B);
  EXPECT_EQ(SenseKey(descriptor_aborted.data(), descriptor_aborted.size()), 0x0B);
  EXPECT_EQ(SenseKey(short_fixed.data(), short_fixed.size()), -1);
}

// ---- The backend, with a fake kernel ------------------------------------------

// Plays the kernel: answers SG_GET_VERSION_NUM and SG_IO as told, records
// every call and what it was given.
struct FakeKernel {
  int version_result = 0;
  // SG_IO: what comes back.
  int sg_result = 0;
  int sg_errno = 0;
  std::uint8_t status = 0;
  std::uint16_t host = 0, driver = 0;
  std::vector<std::uint8_t> sense;
  std::array<std::uint8_t, 512> page{};

  int calls = 0;
  int sg_calls = 0;
  std::vector<std::uint8_t> cdb;
  unsigned timeout = 0, dxfer_len = 0;
  int direction = 0, interface_id = 0;
  int fd_flags = -1, fd_fd_flags = -1;

  int operator()(int fd, unsigned long request, void* arg) {
    ++calls;
    fd_flags = ::fcntl(fd, F_GETFL);
    fd_fd_flags = ::fcntl(fd, F_GETFD);
    if (request == SG_GET_VERSION_NUM) {
      if (version_result != 0) {
        errno = ENOTTY;
        return -1;
      }
      *static_cast<int*>(arg) = 30527;
      return 0;
    }
    if (request != SG_IO) {
      errno = ENOTTY;
      return -1;
    }
    ++sg_calls;
    auto* io = static_cast<sg_io_hdr_t*>(arg);
    interface_id = io->interface_id;
    direction = io->dxfer_direction;
    timeout = io->timeout;
    dxfer_len = io->dxfer_len;
    cdb.assign(io->cmdp, io->cmdp + io->cmd_len);
    if (sg_result != 0) {
      errno = sg_errno;
      return -1;
    }
    std::memcpy(io->dxferp, page.data(), std::min<unsigned>(io->dxfer_len, 512));
    io->status = status;
    io->masked_status = static_cast<unsigned char>(status >> 1);
    io->host_status = host;
    io->driver_status = driver;
    io->sb_len_wr = static_cast<unsigned char>(std::min<std::size_t>(sense.size(), io->mx_sb_len));
    if (io->sb_len_wr > 0) std::memcpy(io->sbp, sense.data(), io->sb_len_wr);
    return 0;
  }
};

class LinuxBackendTest : public ::testing::Test {
 protected:
  LinuxBackendTest() : machine_({"sda", "sdb"}) {}

  LinuxDeviceBackend& Backend(bool block_devices_only = false) {
    LinuxDeviceOptions o;
    o.sys_block_root = machine_.sys();
    o.dev_root = machine_.dev();
    o.block_devices_only = block_devices_only;
    o.ioctl = [this](int fd, unsigned long request, void* arg) {
      return kernel_(fd, request, arg);
    };
    backend_ = std::make_unique<LinuxDeviceBackend>(o);
    return *backend_;
  }

  static SENDCMDINPARAMS Request(std::uint8_t command, std::uint8_t feature = 0) {
    SENDCMDINPARAMS r;
    if (command == SMART_CMD)
      BuildSmartReadRequest(r, feature, 0);
    else
      BuildIdentifyRequest(r, command, 0);
    return r;
  }

  FakeMachine machine_;
  FakeKernel kernel_;
  std::unique_ptr<LinuxDeviceBackend> backend_;
};

TEST_F(LinuxBackendTest, OpensReadOnlyWhateverAccessIsAsked) {
  LinuxDeviceBackend& b = Backend();
  const platform::THandle h = b.Open(Drive("1"), platform::GENERIC_READ | platform::GENERIC_WRITE,
                                     platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE);
  ASSERT_NE(h, platform::INVALID_HANDLE_VALUE);
  EXPECT_EQ(b.OpenHandles(), 1);
  EXPECT_EQ(b.DeviceNode(Drive("1")), machine_.dev() + "/sdb");
  GETVERSIONINPARAMS v{};
  ASSERT_TRUE(b.Control(h, SMART_GET_VERSION, nullptr, 0, &v, sizeof v, nullptr));
  EXPECT_EQ(kernel_.fd_flags & O_ACCMODE, O_RDONLY);
  EXPECT_NE(kernel_.fd_flags & O_NONBLOCK, 0);
  EXPECT_NE(kernel_.fd_fd_flags & FD_CLOEXEC, 0);
  b.Close(h);
  EXPECT_EQ(b.OpenHandles(), 0);
  // A closed handle is not used again.
  EXPECT_FALSE(b.Control(h, SMART_GET_VERSION, nullptr, 0, &v, sizeof v, nullptr));
}

TEST_F(LinuxBackendTest, OpenFailsForPathsThatMapToNoDisk) {
  LinuxDeviceBackend& b = Backend();
  for (const std::u16string& path : {Drive("2"), Drive("01"), std::u16string(u"/dev/sda")})
    EXPECT_EQ(b.Open(path, platform::GENERIC_READ, 0), platform::INVALID_HANDLE_VALUE);
  fs::remove(fs::path(machine_.dev()) / "sdb");  // listed, but no device node
  EXPECT_EQ(b.Open(Drive("1"), platform::GENERIC_READ, 0), platform::INVALID_HANDLE_VALUE);
  EXPECT_EQ(b.OpenHandles(), 0);
  EXPECT_EQ(kernel_.calls, 0);
}

TEST_F(LinuxBackendTest, OpensOnlyBlockDevicesByDefault) {
  LinuxDeviceBackend& b = Backend(/*block_devices_only=*/true);
  EXPECT_EQ(b.Open(Drive("0"), platform::GENERIC_READ, 0), platform::INVALID_HANDLE_VALUE);
  EXPECT_EQ(b.OpenHandles(), 0);
  // And the real machine's backend finds no drive in an empty tree.
  LinuxDeviceOptions o;
  o.sys_block_root = (machine_.dir.path() / "none").string();
  LinuxDeviceBackend real(o);
  EXPECT_EQ(real.Open(Drive("0"), platform::GENERIC_READ, 0), platform::INVALID_HANDLE_VALUE);
  EXPECT_EQ(real.DeviceNode(Drive("0")), "");
}

TEST_F(LinuxBackendTest, VersionAnswersWhenTheDeviceTakesSgIo) {
  LinuxDeviceBackend& b = Backend();
  const platform::THandle h = b.Open(Drive("0"), platform::GENERIC_READ, 0);
  GETVERSIONINPARAMS v;
  std::memset(&v, 0, sizeof v);
  std::uint32_t returned = 99;
  ASSERT_TRUE(b.Control(h, SMART_GET_VERSION, nullptr, 0, &v, sizeof v, &returned));
  EXPECT_EQ(returned, sizeof v);
  EXPECT_EQ(v.bIDEDeviceMap, 0x01);
  EXPECT_EQ(v.bIDEDeviceMap & IDE_DEVICE_MAP_PACKET_0, 0);
  kernel_.version_result = -1;  // e.g. an NVMe disk: no SG_IO
  EXPECT_FALSE(b.Control(h, SMART_GET_VERSION, nullptr, 0, &v, sizeof v, &returned));
  EXPECT_EQ(returned, 0u);
  b.Close(h);
}

TEST_F(LinuxBackendTest, DriveCommandBecomesOneAtaPassThrough) {
  LinuxDeviceBackend& b = Backend();
  const platform::THandle h = b.Open(Drive("0"), platform::GENERIC_READ, 0);
  for (std::size_t i = 0; i < 512; ++i) kernel_.page[i] = static_cast<std::uint8_t>(i * 7 + 1);
  const SENDCMDINPARAMS r = Request(SMART_CMD, READ_THRESHOLDS);
  SENDCMDOUTPARAMS out;
  std::memset(&out, 0xEE, sizeof out);
  std::uint32_t returned = 0;
  ASSERT_TRUE(
      b.Control(h, SMART_RCV_DRIVE_DATA, &r, SENDCMDINPARAMS_SENT, &out, sizeof out, &returned));
  EXPECT_EQ(kernel_.sg_calls, 1);
  EXPECT_EQ(kernel_.interface_id, 'S');
  EXPECT_EQ(kernel_.direction, SG_DXFER_FROM_DEV);
  EXPECT_EQ(kernel_.dxfer_len, 512u);
  EXPECT_EQ(kernel_.timeout, kCommandTimeoutMs);
  const Cdb16 cdb = AtaPassThroughCdb(r);
  EXPECT_EQ(kernel_.cdb, std::vector<std::uint8_t>(cdb.begin(), cdb.end()));
  EXPECT_EQ(returned, sizeof out);
  EXPECT_EQ(static_cast<std::uint32_t>(out.cBufferSize), 512u);
  EXPECT_EQ(out.DriverStatus.bDriverError, 0);
  EXPECT_EQ(0, std::memcmp(out.bBuffer, kernel_.page.data(), 512));
  b.Close(h);
}

TEST_F(LinuxBackendTest, FailedCommandLeavesTheAnswerAlone) {
  struct Case {
    const char* name;
    std::uint8_t status;
    std::uint16_t driver;
    std::vector<std::uint8_t> sense;
    int sg_result, sg_errno;
  };
  const Case cases[] = {
      {"aborted (SMART switched off)", 0x02, 0x08, {0x72, 0x0B, 0x00, 0x00, 0, 0, 0, 0}, 0, 0},
      {"no right to pass through", 0, 0, {}, -1, EPERM},
      {"not a SCSI device", 0, 0, {}, -1, ENOTTY},
  };
  for (const Case& c : cases) {
    LinuxDeviceBackend& b = Backend();
    kernel_ = FakeKernel{};
    kernel_.status = c.status;
    kernel_.driver = c.driver;
    kernel_.sense = c.sense;
    kernel_.sg_result = c.sg_result;
    kernel_.sg_errno = c.sg_errno;
    kernel_.page.fill(0x5A);
    const platform::THandle h = b.Open(Drive("0"), platform::GENERIC_READ, 0);
    const SENDCMDINPARAMS r = Request(SMART_CMD, READ_ATTRIBUTES);
    SENDCMDOUTPARAMS out;
    std::memset(&out, 0, sizeof out);
    std::uint32_t returned = 7;
    EXPECT_FALSE(
        b.Control(h, SMART_RCV_DRIVE_DATA, &r, SENDCMDINPARAMS_SENT, &out, sizeof out, &returned))
        << c.name;
    EXPECT_EQ(returned, 0u) << c.name;
    EXPECT_EQ(out.bBuffer[0], 0) << c.name;
    // The next command on the same handle is still sent.
    EXPECT_FALSE(
        b.Control(h, SMART_RCV_DRIVE_DATA, &r, SENDCMDINPARAMS_SENT, &out, sizeof out, nullptr));
    EXPECT_EQ(kernel_.sg_calls, 2) << c.name;
    b.Close(h);
  }
}

TEST_F(LinuxBackendTest, AfterATimeoutTheHandleSendsNothingMore) {
  LinuxDeviceBackend& b = Backend();
  kernel_.host = 0x03;  // DID_TIME_OUT
  const platform::THandle h = b.Open(Drive("0"), platform::GENERIC_READ, 0);
  const SENDCMDINPARAMS id = Request(ID_CMD), data = Request(SMART_CMD, READ_ATTRIBUTES);
  SENDCMDOUTPARAMS out{};
  EXPECT_FALSE(
      b.Control(h, SMART_RCV_DRIVE_DATA, &id, SENDCMDINPARAMS_SENT, &out, sizeof out, nullptr));
  kernel_.host = 0;
  EXPECT_FALSE(
      b.Control(h, SMART_RCV_DRIVE_DATA, &data, SENDCMDINPARAMS_SENT, &out, sizeof out, nullptr));
  EXPECT_EQ(kernel_.sg_calls, 1);
  b.Close(h);
  // The next read opens the drive again and asks it afresh.
  const platform::THandle again = b.Open(Drive("0"), platform::GENERIC_READ, 0);
  EXPECT_TRUE(b.Control(again, SMART_RCV_DRIVE_DATA, &data, SENDCMDINPARAMS_SENT, &out, sizeof out,
                        nullptr));
  EXPECT_EQ(kernel_.sg_calls, 2);
  b.Close(again);
}

TEST_F(LinuxBackendTest, RefusesWhatTheGuardRefusesWithoutReachingTheKernel) {
  LinuxDeviceBackend& b = Backend();
  const platform::THandle h = b.Open(Drive("0"), platform::GENERIC_READ, 0);
  std::vector<SENDCMDINPARAMS> refused;
  SENDCMDINPARAMS r = Request(SMART_CMD, ENABLE_SMART);
  refused.push_back(r);
  r = Request(SMART_CMD, READ_ATTRIBUTES);
  r.irDriveRegs.bCylLowReg = 0;  // no SMART signature
  refused.push_back(r);
  for (std::uint8_t write : {0x30, 0x35, 0xCA, 0xC5, 0x3F, 0xF4, 0x92, 0xEF}) {
    r = Request(ID_CMD);
    r.irDriveRegs.bCommandReg = write;
    refused.push_back(r);
  }
  SENDCMDOUTPARAMS out{};
  for (const SENDCMDINPARAMS& req : refused)
    EXPECT_FALSE(
        b.Control(h, SMART_RCV_DRIVE_DATA, &req, SENDCMDINPARAMS_SENT, &out, sizeof out, nullptr))
        << "command " << int(req.irDriveRegs.bCommandReg) << " feature "
        << int(req.irDriveRegs.bFeaturesReg);
  const SENDCMDINPARAMS good = Request(ID_CMD);
  EXPECT_FALSE(b.Control(h, 0x0007C084 /* SMART_SEND_DRIVE_COMMAND */, &good, SENDCMDINPARAMS_SENT,
                         &out, sizeof out, nullptr));
  EXPECT_FALSE(b.Control(h, SMART_RCV_DRIVE_DATA, &good, SENDCMDINPARAMS_SENT - 1, &out, sizeof out,
                         nullptr));
  EXPECT_FALSE(b.Control(h, SMART_RCV_DRIVE_DATA, &good, SENDCMDINPARAMS_SENT, &out, sizeof out - 1,
                         nullptr));
  EXPECT_FALSE(b.Control(h, SMART_RCV_DRIVE_DATA, &good, SENDCMDINPARAMS_SENT, nullptr, sizeof out,
                         nullptr));
  EXPECT_EQ(kernel_.calls, 0);
  // The allowed command still goes through on the same handle.
  EXPECT_TRUE(
      b.Control(h, SMART_RCV_DRIVE_DATA, &good, SENDCMDINPARAMS_SENT, &out, sizeof out, nullptr));
  EXPECT_EQ(kernel_.sg_calls, 1);
  b.Close(h);
}

}  // namespace
