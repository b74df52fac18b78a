#include "platform/linux/LinuxDevice.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "disk/smart.h"
#include "platform/linux/SgAta.h"

namespace platform::linux_device {

LinuxDeviceBackend::LinuxDeviceBackend() = default;

LinuxDeviceBackend::LinuxDeviceBackend(LinuxDeviceOptions options) : options_(std::move(options)) {}

LinuxDeviceBackend::~LinuxDeviceBackend() {
  for (auto& [handle, drive] : open_) ::close(drive.fd);
}

int LinuxDeviceBackend::Ioctl(int fd, unsigned long request, void* arg) {
  if (options_.ioctl) return options_.ioctl(fd, request, arg);
  return ::ioctl(fd, request, arg);
}

THandle LinuxDeviceBackend::Open(const std::u16string& path, std::uint32_t /*access*/,
                                 std::uint32_t /*share*/) {
  const std::string node = MapDrivePath(path, options_.sys_block_root, options_.dev_root);
  if (node.empty()) return INVALID_HANDLE_VALUE;

  // Read-only whatever access the caller asks for. ATA pass-through needs
  // CAP_SYS_RAWIO, not write access, and a disk opened for writing is synced
  // when it is closed, which can spin a sleeping drive up again. O_NONBLOCK
  // keeps the open from waiting on removable media.
  const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return INVALID_HANDLE_VALUE;
  if (options_.block_devices_only) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISBLK(st.st_mode)) {
      ::close(fd);
      return INVALID_HANDLE_VALUE;
    }
  }

  std::lock_guard<std::mutex> lock(mutex_);
  const THandle handle = next_handle_++;
  open_[handle] = OpenDrive{fd, false};
  return handle;
}

bool LinuxDeviceBackend::Control(THandle handle, std::uint32_t code, const void* in,
                                 std::uint32_t in_len, void* out, std::uint32_t out_len,
                                 std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  // The same read-only guard as the device seam's: a caller that reaches the
  // backend directly cannot send anything else either.
  if (!IsPermittedExchange(code, in, in_len, out_len) || out == nullptr) return false;

  std::lock_guard<std::mutex> lock(mutex_);
  auto it = open_.find(handle);
  if (it == open_.end()) return false;
  OpenDrive& drive = it->second;

  if (code == SMART_GET_VERSION) {
    // The pass-through answers when the device takes SG_IO at all.
    int version = 0;
    if (Ioctl(drive.fd, SG_GET_VERSION_NUM, &version) != 0 || version < 30000) return false;
    const GETVERSIONINPARAMS answer = VersionAnswer();
    std::memcpy(out, &answer, sizeof answer);
    if (returned != nullptr) *returned = sizeof answer;
    return true;
  }
  return SendAtaCommand(drive, in, out, returned);
}

bool LinuxDeviceBackend::SendAtaCommand(OpenDrive& drive, const void* in, void* out,
                                        std::uint32_t* returned) {
  if (drive.no_answer) return false;

  SENDCMDINPARAMS request;
  std::memcpy(&request, in, SENDCMDINPARAMS_SENT);
  Cdb16 cdb = AtaPassThroughCdb(request);
  std::uint8_t page[SMART_PAGE_SIZE] = {};
  std::uint8_t sense[32] = {};

  sg_io_hdr_t io;
  std::memset(&io, 0, sizeof io);
  io.interface_id = 'S';
  io.dxfer_direction = SG_DXFER_FROM_DEV;
  io.cmd_len = static_cast<unsigned char>(cdb.size());
  io.cmdp = cdb.data();
  io.dxfer_len = sizeof page;
  io.dxferp = page;
  io.mx_sb_len = sizeof sense;
  io.sbp = sense;
  io.timeout = options_.timeout_ms;

  SgAnswer answer;
  errno = 0;
  answer.ioctl_result = Ioctl(drive.fd, SG_IO, &io) == 0 ? 0 : -1;
  answer.ioctl_errno = answer.ioctl_result == 0 ? 0 : errno;
  if (answer.ioctl_result == 0) {
    answer.status = io.status;
    answer.host_status = io.host_status;
    answer.driver_status = io.driver_status;
    answer.sense = sense;
    answer.sense_length = io.sb_len_wr <= sizeof sense ? io.sb_len_wr : sizeof sense;
  }
  const SgVerdict verdict = JudgeSgAnswer(answer);
  if (verdict == SgVerdict::NoAnswer) drive.no_answer = true;
  // A failed command leaves the answer block as it was.
  if (verdict != SgVerdict::Good) return false;

  SENDCMDOUTPARAMS result;
  std::memset(&result, 0, sizeof result);
  result.cBufferSize = SMART_PAGE_SIZE;
  std::memcpy(result.bBuffer, page, sizeof page);
  std::memcpy(out, &result, sizeof result);
  if (returned != nullptr) *returned = sizeof result;
  return true;
}

void LinuxDeviceBackend::Close(THandle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = open_.find(handle);
  if (it == open_.end()) return;
  ::close(it->second.fd);
  open_.erase(it);
}

std::string LinuxDeviceBackend::DeviceNode(const std::u16string& path) {
  return MapDrivePath(path, options_.sys_block_root, options_.dev_root);
}

int LinuxDeviceBackend::OpenHandles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(open_.size());
}

}  // namespace platform::linux_device
