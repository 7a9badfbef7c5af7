#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mover/judge.h"
#include "ports/file_system.h"

namespace veskora {

// The files that undos put back, as the move journal has them, whoever
// undid them (the window, its notification or veskora-cli): read again
// whenever the journal has changed since the last look.
class PutBackWatch {
 public:
  explicit PutBackWatch(std::string journalPath) : path_(std::move(journalPath)) {}

  const PutBackFiles& Files(FileSystem& files);

 private:
  std::string path_;
  std::optional<FileIdentity> seen_;
  PutBackFiles putBack_;
};

}  // namespace veskora
