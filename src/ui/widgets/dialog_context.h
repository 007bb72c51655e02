// What every feature dialog works with: the main window's session (status
// snapshot, current station, script table, command buffer and transport),
// the station database and the platform hooks. The main window owns all
// three for the program's run and hands this to each dialog it opens.
#pragma once

namespace varnex {

class Session;
class StationStore;
struct PlatformHooks;

struct DialogContext {
    Session& session;
    StationStore& stations;
    PlatformHooks& hooks;
};

}  // namespace varnex
