// What varnexctl ends with: one status per kind of outcome, and a failure as
// a value carrying its status and the one-line message the user sees.
#pragma once

#include <string>

namespace varnex::ctl {

enum ExitStatus : int {
    kSuccess = 0,
    kFailure = 1,  // the database, the terminal or the system failed
    kUsage = 2,    // every argument or parser error
    kPasswordRefused = 3,
    kNoAnswer = 4,
    kUnitRefused = 5,   // the unit answered with a refusal or did not take the setting
    kNotConfirmed = 6,  // a write went out once; no status read shows it took effect
};

// "check" keeps the monitoring plugins' statuses; any failure there is UNKNOWN.
enum CheckStatus : int { kCheckOk = 0, kCheckWarning = 1, kCheckCritical = 2, kCheckUnknown = 3 };

struct Failure {
    int status = kFailure;
    std::string message;
};

inline Failure UsageError(std::string message) {
    return {kUsage, std::move(message)};
}

}  // namespace varnex::ctl
