#pragma once

#include <optional>

namespace veskora {

// The program's command line, read before any window exists (so that
// --help works without a display): --help and --version answer and end the
// program, anything else that is not one of Qt's own options ends it with a
// message and exit code 2. Without arguments it returns nothing and the
// program starts as it always has.
std::optional<int> HandleProgramOptions(int argc, char** argv);

}  // namespace veskora
