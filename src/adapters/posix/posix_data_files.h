#pragma once

#include "ports/data_files.h"

namespace veskora {

// The program's own files on a POSIX system. A write that fails is also told
// on standard error, the one place left to tell it.
class PosixDataFiles final : public DataFiles {
 public:
  ReadResult Read(const std::string& path) override;
  int Append(const std::string& path, std::string_view bytes) override;
  int WriteAtomically(const std::string& path, std::string_view bytes) override;
  int KeepCopy(const std::string& from, const std::string& to) override;
  LockAttempt Lock(const std::string& path, std::chrono::milliseconds wait) override;
};

}  // namespace veskora
