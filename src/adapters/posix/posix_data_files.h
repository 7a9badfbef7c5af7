#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>

#include "adapters/posix/unique_fd.h"
#include "ports/data_files.h"

namespace veskora {

// The program's own files on a POSIX system. A write that fails is also told
// on standard error, the one place left to tell it.
//
// The files appended to and the lock files are kept open between calls, so a
// cycle of many moves pays one write for each line rather than an open and a
// close. A file that is another now (replaced, deleted, grown by someone
// else) is opened afresh: a lock file's path is looked up before each use, an
// appended file's at most every `lookAgain`, since in between its own facts
// show all of that but a rename away, which still gets the lines, as with any
// logger. A lock must not outlive the object that gave it. Not for several
// threads.
class PosixDataFiles final : public DataFiles {
 public:
  static constexpr std::chrono::milliseconds kLookAgain{100};
  explicit PosixDataFiles(std::chrono::milliseconds lookAgain = kLookAgain) : lookAgain_(lookAgain) {}

  ReadResult Read(const std::string& path) override;
  int Append(const std::string& path, std::string_view bytes) override;
  int AppendAgain(const std::string& path, std::string_view bytes) override;
  int WriteAtomically(const std::string& path, std::string_view bytes) override;
  int KeepCopy(const std::string& from, const std::string& to) override;
  LockAttempt Lock(const std::string& path, std::chrono::milliseconds wait) override;

  // A file kept open, and what the path named when it was last used.
  struct Kept {
    UniqueFd fd;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;    // of a file appended to: its size after our last append,
    char last = '\n';  // and the last byte of it
    std::chrono::steady_clock::time_point looked;  // when the path last named it
  };

 private:
  std::chrono::milliseconds lookAgain_;
  std::map<std::string, Kept> appends_;
  std::map<std::string, Kept> locks_;  // those not locked at the moment
};

}  // namespace veskora
