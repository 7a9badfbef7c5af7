#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ports/file_system.h"
#include "adapters/posix/move_memory.h"
#include "adapters/posix/unique_fd.h"

namespace veskora {

// The real file system. Keeps the folder it listed last open, so that the
// questions about its files that follow are asked relative to it: one path
// step per file instead of every step of the full path. Listing changes
// nothing; BeginCycle starts a new cycle of what the moves remember (see
// move_memory.h) and gives back the files that a killed run left claimed in
// that folder; a folder files move into is cleaned up so the first time in a
// run that a move goes there.
class PosixFileSystem final : public FileSystem {
 public:
  // `stop`, when given, asks a copy in progress to give up (the program is
  // ending); the file then stays where it was.
  explicit PosixFileSystem(const std::atomic<bool>* stop = nullptr) : stop_(stop) {}

  void BeginCycle(const std::string& folder) override;
  std::optional<FolderListing> List(const std::string& folder) override;
  std::optional<FileFacts> Facts(const std::string& folder, const std::string& name) override;
  std::optional<FileIdentity> Identity(const std::string& folder, const std::string& name) override;
  MoveOutcome Move(const std::string& folder, const std::string& name, const std::string& destination,
                   FileIdentity* arrived) override;
  MoveOutcome Check(const std::string& folder, const std::string& name, const std::string& destination) override;
  bool MayCopy(const std::string& folder, const std::string& destination) override;

 private:
  // The folder descriptor for questions about `folder`: the listed one when
  // it is that folder, else AT_FDCWD (and the caller uses the full path).
  int FolderFd(const std::string& folder) const;
  // A descriptor of `folder` for a move or its check: the listed one, or one
  // opened into `opened`; -1 when the folder cannot be opened.
  int OpenFolder(const std::string& folder, UniqueFd& opened) const;

  // The destination folder of the last move, kept open within a cycle: most
  // moves of a cycle go to a few folders.
  int DestinationFd(const std::string& destination);

  const std::atomic<bool>* stop_;
  std::string listedPath_;
  UniqueFd listed_;
  std::string destinationPath_;
  UniqueFd destination_;
  // The mounts of the listed folder and of the destination, once asked.
  std::optional<std::uint64_t> listedMount_, destinationMount_;
  MoveMemory memory_;
  // Our own hidden entries that the last listing saw, and in which folder.
  std::vector<std::string> ours_;
  std::string oursFolder_;
};

}  // namespace veskora
