// One function per statement that changes table `main`. Each shows its
// caller's failure message (caption "  Varnex v1", owned by the open dialog)
// and answers whether the row was written. Every writer but the insert and
// the clearing of a default flag must change exactly one row: an address in
// no row says it is not in the database, one in several rows changes none.
#pragma once

#include <string>
#include <string_view>

#include "stations/station_store.h"

namespace varnex {

// The password as stored and sent: 1 to 9 characters padded with '*' to 10.
std::string PasswordAsStored(std::string_view typed);

// Add IP: a new row with flag "NO" and every other column at its default.
bool InsertStation(StationStore& store, std::string_view ip, std::string_view password,
                   std::string_view comment);
// Edit IP: password and comment of the row with address `ip`.
bool UpdateStation(StationStore& store, std::string_view ip, std::string_view password,
                   std::string_view comment);
bool DeleteStation(StationStore& store, std::string_view ip);
// One row's flag, as the default-station scan sets it; silent on failure.
bool SetDefaultFlag(StationStore& store, std::string_view ip, bool isDefault);
// `relay` is 1 to 3.
bool SetRelayName(StationStore& store, std::string_view ip, int relay, std::string_view name);
bool SetRelayNotes(StationStore& store, std::string_view ip, int relay, std::string_view notes);

struct VoltmeterOptions {
    std::string jumper;  // "ON" or "OFF"; kept for voltmeters 1 and 2 only
    std::string view;
    std::string notes;
    std::string label;
};
// `voltmeter` is 1 to 8.
bool SetVoltmeterOptions(StationStore& store, std::string_view ip, int voltmeter,
                         const VoltmeterOptions& options);
bool SetStationPassword(StationStore& store, std::string_view ip, std::string_view password);

}  // namespace varnex
