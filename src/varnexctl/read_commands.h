// The commands that only read: the status, the uptime, the script table, the
// station list and the monitoring check. Each prints its result and answers
// its exit status.
#pragma once

#include <cstdio>
#include <vector>

#include "protocol/readings.h"
#include "stations/loaded_station.h"
#include "varnexctl/check_ranges.h"
#include "varnexctl/unit_exchange.h"

namespace varnex::ctl {

// Prints a failure: one line on standard error, or a JSON object on
// standard output with --json.
int ReportFailure(const Failure& failure, bool asJson);

int RunStatus(UnitExchange& exchange, const VoltmeterJumpers& jumpers, bool asJson);
int RunUptime(UnitExchange& exchange, bool asJson);
int RunScriptList(UnitExchange& exchange, bool asJson);
int RunStations(const std::vector<LoadedStation>& stations, bool asJson);
int RunCheck(UnitExchange& exchange, const VoltmeterJumpers& jumpers,
             const CheckThresholds& thresholds);

}  // namespace varnex::ctl
