#include "adapters/posix/diagnostics.h"

#include <unistd.h>

#include <string>

#include "adapters/posix/unique_fd.h"

namespace veskora {

void Diagnose(std::string_view message) {
  std::string line = "veskora: ";
  line.append(message);
  if (line.back() != '\n') line.push_back('\n');
  // Nobody is left to tell when even this fails.
  WriteAll(STDERR_FILENO, line);
}

}  // namespace veskora
