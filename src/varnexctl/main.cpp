#include "varnexctl/command_line.h"

int main(int argc, char** argv) {
    return varnex::ctl::RunCommandLine(argc, argv);
}
