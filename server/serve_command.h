#pragma once

#include <string>

// `vantrel serve [options] SITE_DIR`: parses the options (argv holds what
// follows "serve"), serves the site until SIGINT or SIGTERM, and returns the
// exit status. `load_library` registers the component library; false with a
// reason.
namespace vantrel::server {

int serve_command(int argc, char** argv, bool (*load_library)(std::string& error));

}  // namespace vantrel::server
