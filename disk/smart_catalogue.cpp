// The attribute catalogue: the display name and the plain-language description
// of every SMART attribute id this program knows. English only, compiled in.
// The three characters outside ASCII are written as escapes (U+2014 em dash,
// U+00B0 degree sign, U+2019 right single quotation mark) so the source reads
// the same to every compiler whatever its input character set.
#include "disk/smart.h"

std::u16string GetAttributeName(std::uint8_t Id) {
  switch (Id) {
    case 1:
      return u"Read Error Rate";
    case 2:
      return u"Throughput Performance";
    case 3:
      return u"Spin-Up Time";
    case 4:
      return u"Start/Stop Count";
    case 5:
      return u"Reallocated Sectors Count";
    case 6:
      return u"Read Channel Margin";
    case 7:
      return u"Seek Error Rate";
    case 8:
      return u"Seek Time Performance";
    case 9:
      return u"Power-On Hours";
    case 10:
      return u"Spin Retry Count";
    case 11:
      return u"Recalibration Retries";
    case 12:
      return u"Device Power Cycle Count";
    case 13:
      return u"Soft Read Error Rate";
    case 187:
      return u"Vendor Specific";
    case 189:
      return u"Vendor Specific";
    case 190:
      return u"Airflow Temperature / Temperature Difference from 100";
    case 191:
      return u"G-sense error rate";
    case 192:
      return u"Power-off Retract Count";
    case 193:
      return u"Load/Unload Cycle";
    case 194:
      return u"Temperature";
    case 195:
      return u"Hardware ECC Recovered";
    case 196:
      return u"Reallocation Event Count";
    case 197:
      return u"Current Pending Sector Count";
    case 198:
      return u"Uncorrectable Sector Count";
    case 199:
      return u"UltraDMA CRC Error Count";
    case 200:
      return u"Write Error Rate / Multi-Zone Error Rate";
    case 201:
      return u"Soft Read Error Rate";
    case 202:
      return u"Data Address Mark errors";
    case 203:
      return u"Run Out Cancel";
    case 204:
      return u"Soft ECC Correction";
    case 205:
      return u"Thermal Asperity Rate (TAR)";
    case 206:
      return u"Flying Height";
    case 207:
      return u"Spin High Current";
    case 208:
      return u"Spin Buzz";
    case 209:
      return u"Offline Seek Performance";
    case 220:
      return u"Disk Shift";
    case 221:
      return u"G-Sense Error Rate";
    case 222:
      return u"Loaded Hours";
    case 223:
      return u"Load/Unload Retry Count";
    case 224:
      return u"Load Friction";
    case 225:
      return u"Load/Unload Cycle Count";
    case 226:
      return u"Load 'In'-time";
    case 227:
      return u"Torque Amplification Count";
    case 228:
      return u"Power- Off Retract Cycle";
    case 230:
      return u"GMR Head Amplitude";
    case 231:
      return u"Temperature";
    case 240:
      return u"Head Flying Hours";
    case 250:
      return u"Read Error Retry Rate";
    default:
      return u"Unknown attribute";
  }
}

std::u16string GetAttributeDescription(std::uint8_t Id) {
  // Ids 187, 189, 197 and 206 have a name but no description.
  switch (Id) {
    case 1:
      return u"Indicates the rate of hardware read errors that occurred when reading data from a "
             u"disk surface. Any number indicates a problem with either disk surface or read/write "
             u"heads.";
    case 2:
      return u"Overall (general) throughput performance of a hard disk drive. If the value of this "
             u"attribute is decreasing there is a high probability that there is a problem with "
             u"the disk.";
    case 3:
      return u"Average time of spindle spin up (from zero RPM to fully operational).";
    case 4:
      return u"A tally of spindle start/stop cycles.";
    case 5:
      return u"Count of reallocated sectors. When the hard drive finds a read/write/verification "
             u"error, it marks this sector as \"reallocated\" and transfers data to a special "
             u"reserved area (spare area). This process is also known as remapping and "
             u"\"reallocated\" sectors are called remaps. This is why, on modern hard disks, \"bad "
             u"blocks\" cannot be found while testing the surface \u2014 all bad blocks are hidden "
             u"in reallocated sectors. However, the more sectors that are reallocated, the more "
             u"read/write speed will decrease.";
    case 6:
      return u"Margin of a channel while reading data. The function of this attribute is not "
             u"specified.";
    case 7:
      return u"Rate of seek errors of the magnetic heads. If there is a failure in the mechanical "
             u"positioning system, a servo damage or a thermal widening of the hard disk, seek "
             u"errors arise. More seek errors indicates a worsening condition of a disk surface "
             u"and the mechanical subsystem.";
    case 8:
      return u"Average performance of seek operations of the magnetic heads. If this attribute is "
             u"decreasing, it is a sign of problems in the mechanical subsystem.";
    case 9:
      return u"Count of hours in power-on state. The raw value of this attribute shows total count "
             u"of hours (or minutes, or seconds, depending on manufacturer) in power-on state.";
    case 10:
      return u"Count of retry of spin start attempts. This attribute stores a total count of the "
             u"spin start attempts to reach the fully operational speed under the condition that "
             u"the first attempt was unsuccessful). An increase of this attribute value is a sign "
             u"of problems in the hard disk mechanical subsystem.";
    case 11:
      return u"This attribute indicates the number of times recalibration was requested (under the "
             u"condition that the first attempt was unsuccessful). A decrease of this attribute "
             u"value is a sign of problems in the hard disk mechanical subsystem.";
    case 12:
      return u"This attribute indicates the count of full hard disk power on/off cycles.";
    case 13:
      return u"Uncorrected read errors reported to the operating system. If the value is non-zero, "
             u"you should back up your data.";
    case 190:
      return u"Airflow temperature on Western Digital HDs (Same as temp. (C2), but current value "
             u"is 50 less.) Value is equal to (100 -temp \u00B0C), allowing manufacturer to set a "
             u"minimum threshold which corresponds to a maximum temperature.";
    case 191:
      return u"Frequency of mistakes as a result of impact loads.";
    case 192:
      return u"Number of times the heads are loaded off the media. Heads can be unloaded without "
             u"actually powering off. (or Emergency Retract Cycle count -Fujitsu)";
    case 193:
      return u"Count of load/unload cycles into head landing zone position.";
    case 194:
      return u"Current internal temperature.";
    case 195:
      return u"Time between ECC-corrected errors.";
    case 196:
      return u"Count of remap operations. The raw value of this attribute shows the total number "
             u"of attempts to transfer data from reallocated sectors to a spare area. Both "
             u"successful & unsuccessful attempts are counted.";
    case 198:
      return u"The total number of uncorrectable errors when reading/writing a sector. A rise in "
             u"the value of this attribute indicates defects of the disk surface and/or problems "
             u"in the mechanical subsystem.";
    case 199:
      return u"The number of errors in data transfer via the interface cable as determined by ICRC "
             u"(Interface Cyclic Redundancy Check).";
    case 200:
      return u"The total number of errors when writing a sector.";
    case 201:
      return u"Number of off-track errors. If non-zero, make a backup.";
    case 202:
      return u"Number of Data Address Mark errors (or vendorspecific).";
    case 203:
      return u"Number of ECC errors.";
    case 204:
      return u"Number of errors corrected by software ECC.";
    case 205:
      return u"Number of thermal asperity errors.";
    case 207:
      return u"Amount of high current used to spin up the drive.";
    case 208:
      return u"Number of buzz routines to spin up the drive.";
    case 209:
      return u"Drive\u2019s seek performance during offline operations.";
    case 220:
      return u"Distance the disk has shifted relative to the spindle (usually due to shock). Unit "
             u"of measure is unknown.";
    case 221:
      return u"The number of errors resulting from externally-induced shock & vibration.";
    case 222:
      return u"Time spent operating under data load (movement of magnetic head armature)";
    case 223:
      return u"Number of times head changes position.";
    case 224:
      return u"Resistance caused by friction in mechanical parts while operating.";
    case 225:
      return u"Total number of load cycles.";
    case 226:
      return u"Total time of loading on the magnetic heads actuator (time not spent in parking "
             u"area).";
    case 227:
      return u"Number of attempts to compensate for platter speed variations.";
    case 228:
      return u"The number of times the magnetic armature was retracted automatically as a result "
             u"of cutting power.";
    case 230:
      return u"Amplitude of \"thrashing\" (distance of repetitive forward/reverse head motion)";
    case 231:
      return u"Drive Temperature";
    case 240:
      return u"Time while head is positioning";
    case 250:
      return u"Number of errors while reading from a disk.";
    default:
      return std::u16string();
  }
}
