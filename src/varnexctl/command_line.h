// varnexctl [options] TARGET COMMAND [ARGS]: the parser, the target and
// password resolution, and the dispatch to the commands.
#pragma once

namespace varnex::ctl {

int RunCommandLine(int argc, char** argv);

}  // namespace varnex::ctl
