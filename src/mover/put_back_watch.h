#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mover/judge.h"
#include "ports/data_files.h"
#include "ports/file_system.h"

namespace veskora {

// The files that undos put back, as the move journal has them, whoever
// undid them (the window, its notification or veskora-cli): read again
// whenever the journal has changed since the last look.
class PutBackWatch {
 public:
  PutBackWatch(DataFiles& data, std::string journalPath) : data_(data), path_(std::move(journalPath)) {}

  const PutBackFiles& Files(FileSystem& files);

 private:
  DataFiles& data_;
  std::string path_;
  std::optional<FileIdentity> seen_;
  PutBackFiles putBack_;
};

}  // namespace veskora
