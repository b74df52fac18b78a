#include "disk/smart.h"

#include <cstring>

namespace {

void FillRegisters(SENDCMDINPARAMS& Request, std::uint8_t Features, std::uint8_t CylLow,
                   std::uint8_t CylHigh, std::uint8_t Command, std::uint8_t DriveNumber) {
  std::memset(&Request, 0, sizeof Request);
  Request.cBufferSize = 512;
  IDEREGS& r = Request.irDriveRegs;
  r.bFeaturesReg = Features;
  r.bSectorCountReg = 1;
  r.bSectorNumberReg = 1;
  r.bCylLowReg = CylLow;
  r.bCylHighReg = CylHigh;
  // Device 0 or 1 of the channel, by the drive number's low bit.
  r.bDriveHeadReg = static_cast<std::uint8_t>(DRIVE_HEAD_BASE | ((DriveNumber & 1) << 4));
  r.bCommandReg = Command;
  Request.bDriveNumber = DriveNumber;
}

}  // namespace

void BuildIdentifyRequest(SENDCMDINPARAMS& Request, std::uint8_t Opcode,
                          std::uint8_t DriveNumber) {
  FillRegisters(Request, 0, 0, 0, Opcode, DriveNumber);
}

void BuildSmartReadRequest(SENDCMDINPARAMS& Request, std::uint8_t Feature,
                           std::uint8_t DriveNumber) {
  FillRegisters(Request, Feature, SMART_CYL_LOW, SMART_CYL_HI, SMART_CMD, DriveNumber);
}

std::uint16_t IdentifyWord(const SENDCMDOUTPARAMS& Answer, int Word) {
  if (Word < 0 || Word >= 256) return 0;
  const std::uint8_t* p = Answer.bBuffer + 2 * Word;
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

TSmartAttribute SmartAttributeAt(const SENDCMDOUTPARAMS& Answer, int k) {
  TSmartAttribute a{};
  if (k >= 0 && k < SMART_ENTRY_COUNT)
    std::memcpy(&a, Answer.bBuffer + SMART_ENTRY_OFFSET + SMART_ENTRY_SIZE * k, sizeof a);
  return a;
}

TSmartThreshold SmartThresholdAt(const SENDCMDOUTPARAMS& Answer, int k) {
  TSmartThreshold t{};
  if (k >= 0 && k < SMART_ENTRY_COUNT)
    std::memcpy(&t, Answer.bBuffer + SMART_ENTRY_OFFSET + SMART_ENTRY_SIZE * k, sizeof t);
  return t;
}
