// varnex-demo-station DATABASE IP PASSWORD COMMENT [--watched]
// Prepares a throw-away station database for demos and end-to-end tests:
// writes the seed when the file is missing, adds the station when it is not
// there yet and makes it the default; --watched has the stations overview
// poll it.
#include <cstdio>
#include <string>

#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_watch.h"
#include "stations/station_writers.h"

int main(int argc, char** argv) {
    const bool watched = argc == 6 && std::string(argv[5]) == "--watched";
    if (argc != 5 && !watched) {
        std::fputs("usage: varnex-demo-station DATABASE IP PASSWORD COMMENT [--watched]\n", stderr);
        return 2;
    }
    const std::string path = argv[1];
    const std::string ip = argv[2];
    bool failed = false;
    varnex::PlatformHooks hooks;
    hooks.showMessage = [&failed](const varnex::Message& message) {
        // The default-station confirmation is the only message that is not a failure.
        if (message.icon != varnex::MessageIcon::Information) {
            failed = true;
        }
        std::fprintf(stderr, "varnex-demo-station: %s\n", message.text.c_str());
    };
    varnex::WriteSeedDatabaseIfMissing(path);
    varnex::StationStore store(hooks);
    store.OpenStationStore(path);
    if (!store.LoadStation(varnex::MessageOwner::MainWindow, ip)) {
        varnex::InsertStation(store, ip, varnex::PasswordAsStored(argv[3]), argv[4]);
    }
    store.SetDefaultStation(varnex::MessageOwner::MainWindow, ip);
    if (watched) {
        varnex::StationWatch watch = varnex::NewStationWatch();
        watch.watched = true;
        if (!varnex::SaveStationWatch(store, ip, watch)) {
            std::fprintf(stderr, "varnex-demo-station: %s cannot be watched\n", ip.c_str());
            failed = true;
        }
    }
    store.CloseStationStore();
    return failed ? 1 : 0;
}
