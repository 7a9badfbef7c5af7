#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veskora {

struct ReadResult {
  std::string bytes;
  int error = 0;  // 0, or an errno value: ENOENT when there is no such file
};

// The whole content of a regular file. Anything else (a FIFO, a device, a
// folder) is not read, so nothing can make this block or read forever.
ReadResult ReadWholeFile(const std::string& path);

// The size of a regular file and its first `length` bytes (fewer when it is
// shorter); nothing for anything else, or a file that cannot be read.
struct FileHead {
  std::uint64_t size = 0;
  std::string bytes;
};
std::optional<FileHead> ReadFileHead(const std::string& path, std::size_t length);

// Writes a temporary file beside the target, syncs it and renames it over the
// target, so the target is either the old or the new content, never a part.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Keeps the file `from` also under the new name `to`, never replacing what
// has that name: a hard link where the file system allows, else a synced
// copy. 0 or an errno value, EEXIST when `to` is taken.
int KeepCopy(const std::string& from, const std::string& to);

// Appends the bytes with one write to a file opened for appending (created
// when missing) and closes it again. Nothing stays open between calls, and
// nothing waits: a FIFO that nobody reads is not written.
bool AppendToFile(const std::string& path, std::string_view bytes);

}  // namespace veskora
