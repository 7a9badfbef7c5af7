#pragma once

#include <optional>
#include <string>

#include "mover/conditions.h"

namespace veskora {

// Length and time of the files of one folder, asked relative to the folder
// (statx on an open folder): one path step per file instead of every step of
// the full path, which on a large desktop cost a third of the cycle. Where
// the folder cannot be opened, the full path is used.
class FolderFacts final : public FileFacts {
 public:
  explicit FolderFacts(const std::string& folder);
  ~FolderFacts() override;
  FolderFacts(const FolderFacts&) = delete;
  FolderFacts& operator=(const FolderFacts&) = delete;

  std::optional<FileStat> StatOf(const Candidate& file) const override;

 private:
  int folderFd_ = -1;
};

}  // namespace veskora
