#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mover/local_time.h"
#include "ports/file_system.h"

namespace veskora {

// One listed file as the condition tests see it. Size and time are asked of
// the file system at most once, and only when a rule needs them. Folder, name
// and file system must outlive the candidate.
class Candidate {
 public:
  Candidate(const std::string& folder, const std::string& name, FileSystem& files)
      : folder_(folder), name_(name), files_(files) {}

  const std::string& Folder() const { return folder_; }
  const std::string& Name() const { return name_; }
  std::string_view Extension() const;
  // std::nullopt when the file vanished or cannot be queried.
  const std::optional<FileFacts>& Facts() const;
  // The modification time as TimeStampText gives it, for showing; nullptr
  // without facts.
  const std::string* TimeText() const;

 private:
  const std::string& folder_;
  const std::string& name_;
  FileSystem& files_;
  mutable bool asked_ = false;
  mutable std::optional<FileFacts> facts_;
  mutable std::optional<std::string> timeText_;
};

// Whether the file meets the condition of a rule of this kind and value. A
// kind outside 1..6, or a file that cannot be queried, never matches.
bool MeetsCondition(int kind, std::string_view value, const Candidate& file);

}  // namespace veskora
