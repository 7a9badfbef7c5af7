#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ports/file_system.h"

namespace veskora {

// A modification time as the 14 digits YYYYMMDDhhmmss in local time.
std::string TimeStampText(std::int64_t epochSeconds);

// The second at which a time row's value divides the files: an older row
// takes modification times before it, a newer row those from it on. The value
// is read as the time texts compare with it: "2024" is 2024-01-01 00:00:00,
// a time that does not exist (a 13th month, a 25th hour) is the next that does.
std::int64_t TimeBound(int kind, std::string_view value);

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
