// Byte layout of everything that crosses the wire between client and unit:
// the command frame, the reply header, the status record and the script
// table. Client and simulator both use these offsets, so they live only here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace varnex::wire {

// ---- Command frame (client -> unit) --------------------------------------
inline constexpr std::size_t kCommandBufferSize = 1024;
inline constexpr std::size_t kCommandFrameSize = 285;
inline constexpr std::string_view kMagic = "%$KQV1964";
inline constexpr std::size_t kMagicOffset = 0;
inline constexpr std::size_t kLetterOffset = 9;
inline constexpr std::size_t kPasswordOffset = 10;
inline constexpr std::size_t kPasswordSize = 10;
inline constexpr std::size_t kParameterOffset = 20;
inline constexpr std::size_t kFillerSize = 255;  // '*' from 20 to 274
inline constexpr std::size_t kTerminatorOffset = 275;
inline constexpr char kFiller = '*';

// "I": 20 name bytes, zero from byte 40 on.
inline constexpr std::size_t kStationNameCommandSize = 20;
inline constexpr std::size_t kStationNameCommandEnd = 40;
// "J": slot byte, 32-byte script record, '*' from byte 53 on.
inline constexpr std::size_t kUploadSlotOffset = 20;
inline constexpr std::size_t kUploadRecordOffset = 21;
inline constexpr std::size_t kScriptRecordSize = 32;

// Parameter bytes of the other commands, all counted from the frame's start.
inline constexpr std::size_t kToggleSecondsOffset = 20;   // "4", "7", "A": 1..60
inline constexpr std::size_t kNewMacOffset = 20;          // "E": six bytes
inline constexpr std::size_t kNewAddressOffset = 20;      // "F": four bytes, first octet first
inline constexpr std::size_t kNewPasswordOffset = 20;     // "G": ten bytes, '*'-padded
inline constexpr std::size_t kAllowModeOffset = 20;       // "H": 0 = all, 1 = listed only
inline constexpr std::size_t kAllowAddressesOffset = 21;  // "H": five addresses of four bytes
inline constexpr std::size_t kExecuteSlotOffset = 20;     // "K": slot byte
inline constexpr std::size_t kTimerDelayOffset = 20;      // "M": 24-bit, most significant first
inline constexpr std::size_t kTimerScriptOffset = 23;     // "M": slot byte
inline constexpr std::size_t kTimerModeOffset = 24;       // "M": 0 one shot, 1 continuous
inline constexpr uint32_t kTimerMaxDelay = 2678399;       // 30 days 23:59:59
inline constexpr std::size_t kIoPinIndexOffset = 20;      // "O": pin - 1
inline constexpr std::size_t kIoSettingOffset = 21;       // "O": 3 bytes, status record order
inline constexpr std::size_t kTemperatureSettingOffset = 20;  // "P": 5 bytes, same order
inline constexpr std::size_t kSwitchOffset = 20;        // "Q", "S": 0 enable, 1 disable
inline constexpr std::size_t kBoardAddressOffset = 20;  // "R"
inline constexpr std::size_t kBoardMaskOffset = 21;     // "R": exactly one bit
inline constexpr std::size_t kBoardActionOffset = 22;   // "R": 0, 1 or 2 (toggle)
inline constexpr std::size_t kBoardDelayOffset = 23;    // "R": toggle seconds 1..60
inline constexpr uint8_t kBoardAddressFirst = 0x44;     // board n: 0x44 + 2 * (n - 1)
inline constexpr uint8_t kBoardOutputMask = 0x40;       // relays are bits 0..5

// Order of the bytes inside one I/O trigger setting and the temperature
// trigger setting, the same in the commands and the status record.
inline constexpr std::size_t kIoEnabled = 0;
inline constexpr std::size_t kIoSlotForZero = 1;
inline constexpr std::size_t kIoSlotForOne = 2;
inline constexpr std::size_t kIoSettingSize = 3;
inline constexpr std::size_t kTemperatureEnabled = 0;
inline constexpr std::size_t kTemperatureUpperSlot = 1;
inline constexpr std::size_t kTemperatureLowerSlot = 2;
inline constexpr std::size_t kTemperatureUpperThreshold = 3;
inline constexpr std::size_t kTemperatureLowerThreshold = 4;

// The letter catalogue, in the order the client keeps it.
inline constexpr std::array<char, 26> kCommandLetters = {
    '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'E', 'F', 'G',
    'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T'};

// ---- Replies (unit -> client) --------------------------------------------
inline constexpr std::size_t kReplyBufferSize = 1024;
inline constexpr std::size_t kPasswordStatusOffset = 10;  // 0 = accepted
inline constexpr std::size_t kReplyTypeOffset = 13;
inline constexpr uint8_t kScriptTableType = 2;

// Return codes (reply type byte); every other type but 2 is a status record.
inline constexpr std::array<uint8_t, 14> kReturnCodes = {3,  4,  5,  6,  7,  8,   9,
                                                         10, 11, 12, 13, 20, 100, 101};

// ---- Status record --------------------------------------------------------
inline constexpr std::size_t kMacOffset = 14;
inline constexpr std::size_t kMacSize = 6;
inline constexpr std::size_t kVoltmeterOffset = 20;  // 2 bytes each, voltmeters 1..8
inline constexpr std::size_t kVoltmeterCount = 8;
inline constexpr std::size_t kRelayOffset = 36;  // relays 1..3; 0 = on
inline constexpr std::size_t kRelayCount = 3;
inline constexpr std::size_t kPin5Offset = 39;
inline constexpr std::size_t kAllowedClientsOffset = 40;  // mode + five addresses
inline constexpr std::size_t kAllowedClientsSize = 21;
inline constexpr std::size_t kAllowedClientAddressCount = 5;
inline constexpr std::size_t kPins1To4Offset = 61;
inline constexpr std::size_t kPinCount = 5;
inline constexpr std::size_t kFirmwareOffset = 65;  // three digit values
inline constexpr std::size_t kTemperatureOffset = 68;
inline constexpr std::size_t kTemperatureFlagsOffset = 69;
inline constexpr uint8_t kTemperatureNegative = 0x01;
inline constexpr uint8_t kTemperatureHalf = 0x80;
inline constexpr std::size_t kUptimeOffset = 73;  // 32-bit, least significant byte first
inline constexpr std::size_t kStationNameOffset = 77;
inline constexpr std::size_t kStationNameSize = 20;
inline constexpr std::size_t kTimerSecondsOffset = 97;  // 24-bit, most significant byte first
inline constexpr std::size_t kTimerRunningOffset = 100;
inline constexpr std::size_t kTimerSlotOffset = 101;
inline constexpr std::size_t kIoTriggerOffset = 102;  // 3 bytes per pin 1..5
inline constexpr std::size_t kIoTriggerSize = 15;
inline constexpr std::size_t kTemperatureTriggerOffset = 117;
inline constexpr std::size_t kTemperatureTriggerSize = 5;
inline constexpr std::size_t kHttpOffset = 122;            // 0 = enabled
inline constexpr std::size_t kBoardPresentOffset = 123;    // 0xFF = detected
inline constexpr std::size_t kBoardStatesOffset = 129;     // bit masks
inline constexpr std::size_t kBoardToggleSecondsOffset = 135;
inline constexpr std::size_t kBoardValuesSize = 13;        // 123..135
inline constexpr std::size_t kBoardCount = 6;
inline constexpr std::size_t kSnmpOffset = 136;            // 0 = enabled
inline constexpr std::size_t kStatusRecordSize = 137;
inline constexpr uint8_t kBoardDetected = 0xFF;

// ---- Script table reply (type 2) -------------------------------------------
inline constexpr std::size_t kScriptSlotCount = 8;
inline constexpr std::size_t kScriptSlotStride = 32;
inline constexpr std::size_t kScriptCodesOffset = 14;  // + 32 * slot
inline constexpr std::size_t kScriptNameOffset = 30;   // + 32 * slot
inline constexpr std::size_t kScriptFieldSize = 16;
inline constexpr std::size_t kScriptTableSize = 270;

// ---- Firmware gates ---------------------------------------------------------
inline constexpr unsigned kFirmwareHttpAndSignedTemperature = 168;
inline constexpr unsigned kFirmwareDaughterBoards = 170;
inline constexpr unsigned kFirmwareSnmp = 171;
inline constexpr unsigned kFirmwareTemperatureReset = 174;

}  // namespace varnex::wire
