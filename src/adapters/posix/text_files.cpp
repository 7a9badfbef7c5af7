#include "adapters/posix/text_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "mover/paths.h"
#include "adapters/posix/unique_fd.h"

namespace veskora {

namespace {

// A regular file opened for reading, never blocking on anything else (a FIFO,
// a device); otherwise an errno value, EINVAL for what is no regular file.
UniqueFd OpenRegularFile(const std::string& path, int flags, struct stat& st, int& error) {
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | flags));
  error = !fd || fstat(fd.Get(), &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
  return error == 0 ? std::move(fd) : UniqueFd();
}

}  // namespace

ReadResult ReadWholeFile(const std::string& path) {
  ReadResult result;
  struct stat st {};
  const UniqueFd fd = OpenRegularFile(path, 0, st, result.error);
  if (!fd) return result;
  std::vector<char> buffer(1 << 16);
  while (true) {
    const ssize_t got = read(fd.Get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      result.error = errno;
      result.bytes.clear();
      return result;
    }
    if (got == 0) break;
    result.bytes.append(buffer.data(), static_cast<std::size_t>(got));
  }
  return result;
}

std::optional<FileHead> ReadFileHead(const std::string& path, std::size_t length) {
  struct stat st {};
  int error = 0;
  const UniqueFd fd = OpenRegularFile(path, O_NOFOLLOW, st, error);
  if (!fd) return std::nullopt;
  FileHead head{static_cast<std::uint64_t>(st.st_size), std::string(length, '\0')};
  ssize_t got;
  do {
    got = read(fd.Get(), head.bytes.data(), length);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return std::nullopt;
  head.bytes.resize(static_cast<std::size_t>(got));
  return head;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string folder(ParentOf(path));
  // One fixed temporary name: a save that was killed before its rename
  // leaves at most this one file, which the next save replaces.
  std::string tempName = ".";
  tempName.append(NameOf(path)).append(".tmp");
  const std::string temp = JoinPath(folder, tempName);
  unlink(temp.c_str());
  UniqueFd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd) return false;
  // Keep the permissions of the file being replaced; a new one gets the usual
  // permissions of a user's document.
  struct stat old {};
  if (stat(path.c_str(), &old) == 0) {
    fchmod(fd.Get(), old.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd.Get(), 0666 & ~mask);
  }
  const bool written = WriteAll(fd.Get(), bytes) && fsync(fd.Get()) == 0;
  if (!fd.Reset() || !written || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  if (const UniqueFd dir{open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)}) fsync(dir.Get());
  return true;
}

int KeepCopy(const std::string& from, const std::string& to) {
  if (link(from.c_str(), to.c_str()) == 0) return 0;
  if (errno == EEXIST) return EEXIST;
  const ReadResult read = ReadWholeFile(from);
  if (read.error != 0) return read.error;
  UniqueFd fd(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd) return errno;
  if (!WriteAll(fd.Get(), read.bytes) || fsync(fd.Get()) != 0 || !fd.Reset()) {
    const int err = errno;
    unlink(to.c_str());
    return err != 0 ? err : EIO;
  }
  return 0;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  // Never blocks: a FIFO that nobody reads cannot even be opened so.
  UniqueFd fd(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644));
  if (!fd) return false;
  const bool written = WriteAll(fd.Get(), bytes);
  return fd.Reset() && written;
}

}  // namespace veskora
