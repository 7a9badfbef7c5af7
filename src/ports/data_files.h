#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace veskora {

struct ReadResult {
  std::string bytes;
  int error = 0;  // 0, or an errno value: ENOENT when there is no such file, EINVAL when it is no regular file
  // The file belongs to this user and nobody else may write it: what it says
  // may be acted on without asking who wrote it.
  bool ownedAlone = false;
};

// An exclusive lock, held while the object lives.
class HeldLock {
 public:
  virtual ~HeldLock() = default;
};

struct LockAttempt {
  std::unique_ptr<HeldLock> held;
  int error = 0;  // EWOULDBLOCK: another process held it for the whole wait; other values: no lock to be had
};

// The program's own files: the rule file, the move log and the move journal.
// Every failure is an answer, never a wait that does not end: nothing but
// regular files is read, and a FIFO that nobody reads is not written.
class DataFiles {
 public:
  virtual ~DataFiles() = default;

  virtual ReadResult Read(const std::string& path) = 0;
  // Appends the bytes with one write, as a line of their own: when the file
  // does not end with a line break (an append cut short by a full disk), one
  // goes first. The file, and its folder, are made private to the user when
  // missing. 0 or an errno value.
  virtual int Append(const std::string& path, std::string_view bytes) = 0;
  // As Append, to the file the last Append to the path wrote, without looking
  // the path up again: for a caller whose lock has kept every other writer
  // out since. After a WriteAtomically of the path, or with nothing kept, it
  // is Append.
  virtual int AppendAgain(const std::string& path, std::string_view bytes) { return Append(path, bytes); }
  // Replaces the content as a whole (a temporary file renamed over it): the
  // file is either the old or the new content, never a part. A link is
  // written through: the file it leads to gets the new content. 0 or an
  // errno value.
  virtual int WriteAtomically(const std::string& path, std::string_view bytes) = 0;
  // Keeps the file `from` also under the name `to`, never replacing what has
  // that name. 0 or an errno value, EEXIST when `to` is taken.
  virtual int KeepCopy(const std::string& from, const std::string& to) = 0;
  // The lock file's exclusive lock, waiting for it at most `wait`.
  virtual LockAttempt Lock(const std::string& path, std::chrono::milliseconds wait) = 0;
};

}  // namespace veskora
