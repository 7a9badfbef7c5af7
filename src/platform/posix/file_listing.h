#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veskora {

// The names of the files lying directly in a folder, sorted by bytes: regular
// files and symbolic links that lead to a regular file. Names beginning with
// "." (hidden) and everything else (folders, devices, FIFOs, sockets, broken
// links) are left out. std::nullopt when the folder cannot be listed.
std::optional<std::vector<std::string>> ListFolderFiles(const std::string& folder);

struct FileStat {
  std::uint64_t size = 0;
  std::int64_t mtime = 0;  // seconds since the epoch
};

// Length and last-modification time of the file at a path (a link is
// followed); std::nullopt when it cannot be queried.
std::optional<FileStat> StatFile(const std::string& path);

}  // namespace veskora
