// varnex: the desktop client. One optional argument, the IP address of a
// station in the database, starts a session at once.
#include <QApplication>
#include <QScreen>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "ui/main_window/main_window.h"

namespace {

constexpr const char* kUsage =
    "Usage: varnex [STATION-IP]\n"
    "       varnex --help | --version\n"
    "\n"
    "Desktop client for Varnex monitoring and control units. Without an argument\n"
    "the default station of the station list is chosen; with the IP address of a\n"
    "station in the database a session with it starts at once.\n"
    "\n"
    "Environment:\n"
    "  VARNEX_UNIT_PORT  UDP port of the unit (default 7)\n"
    "  XDG_CONFIG_HOME   where Korvath/VNXv1.ini keeps the database location\n"
    "  XDG_DATA_HOME     where the default database Korvath/VNXv1/VNXv1.MDB lives\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window system is touched.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << kUsage;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "varnex " << VARNEX_VERSION << '\n';
        return 0;
    }
    QApplication app(argc, argv);
    const std::vector<std::string> commandLine(argv, argv + argc);
    varnex::MainWindow window;
    if (!window.StartUp(commandLine)) {
        return 0;
    }
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
