#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veskora {

// One name in a folder listing. Only files are candidates for the rules; the
// other names are kept so that what lies beside a file (a download's marker)
// can be looked up without asking the file system again.
struct FolderEntry {
  std::string name;
  bool file = false;  // a regular file, or a link that leads to one

  friend bool operator==(const FolderEntry&, const FolderEntry&) = default;
};

// Every name of a folder that does not begin with "." (hidden), sorted by
// bytes.
using FolderListing = std::vector<FolderEntry>;

// What the size and time rules ask of a file, and which file it is and as it
// was (a link is followed).
struct FileFacts {
  std::uint64_t size = 0;
  std::int64_t mtime = 0;  // seconds since the epoch
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t ctime = 0;  // seconds since the epoch

  friend bool operator==(const FileFacts&, const FileFacts&) = default;
};

// Which file a name stands for, and as it was: enough to tell later whether
// it is still the very same file, unchanged (a link is not followed).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t mtime = 0;  // seconds since the epoch
  // The inode's change time, which a rename, a new name or new rights move
  // too. Not part of which file it is (a move itself changes it); only a
  // file put back is held to it, by Untouched.
  std::int64_t ctime = 0;

  friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.mtime == b.mtime;
  }
};

// The same file, not written, renamed or replaced since `then`.
inline bool Untouched(const FileIdentity& now, const FileIdentity& then) {
  return now == then && now.ctime == then.ctime;
}

enum class MoveOutcome {
  kMoved,          // the whole file is at the target and gone from the source
  kTargetExists,   // something already has the target name; nothing changed
  kSourceMissing,  // the source is gone or not a regular file (or link)
  kInUse,          // another process has the source open for writing
  kSourceChanged,  // the source changed during a copy; the copy was dropped
  kFailed,         // any other failure; source untouched, no temporary left
};

// The file system as a scan cycle uses it: list the folder, ask about a file,
// move a file. The real one is PosixFileSystem; tests may put in their own.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The cycle's first step, once per cycle, before it lists the folder: what
  // an ended run left half done in the folder is set right, and what moves
  // remember from cycle to cycle moves on by one.
  virtual void BeginCycle(const std::string& folder) = 0;
  // Only a question: changes nothing. std::nullopt when the folder cannot be
  // listed.
  virtual std::optional<FolderListing> List(const std::string& folder) = 0;
  // std::nullopt when the file vanished or cannot be queried.
  virtual std::optional<FileFacts> Facts(const std::string& folder, const std::string& name) = 0;
  // std::nullopt when there is no such entry.
  virtual std::optional<FileIdentity> Identity(const std::string& folder, const std::string& name) = 0;
  // Moves folder/name into the destination folder under the same name,
  // never replacing anything there, also not in a race. When it moved and
  // `arrived` is given, that is the file as it now lies in the destination.
  virtual MoveOutcome Move(const std::string& folder, const std::string& name, const std::string& destination,
                           FileIdentity* arrived) = 0;
  // What Move would answer now, changing nothing: kMoved when it would move
  // the file; kFailed when the destination is no folder; kInUse also for a
  // file whose writers cannot be told (Move waits until it has rested).
  virtual MoveOutcome Check(const std::string& folder, const std::string& name, const std::string& destination) = 0;
  // Whether a move from the folder into the destination may copy the file,
  // which takes long, rather than rename it or fail at once; true when
  // unknown.
  virtual bool MayCopy(const std::string& /*folder*/, const std::string& /*destination*/) { return true; }
};

}  // namespace veskora
