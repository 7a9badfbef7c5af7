#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/file_listing.h"

namespace veskora {

// The last path component.
std::string_view FileNameOf(std::string_view path);
// What follows the last "." of the last path component, or "" without one.
std::string_view ExtensionOf(std::string_view path);

// The size threshold in bytes of a size text: the leading number times 1024
// for "K", 1024² for "M" ("M" wins over "K"), 1024³ for "G" (only when
// neither "K" nor "M" is present). Sizes compare as doubles, which hold every
// 64-bit length a disk can have to well below a byte's error.
double SizeThreshold(std::string_view value);

// A modification time as the 14 digits YYYYMMDDhhmmss in local time.
std::string TimeStampText(std::int64_t epochSeconds);

class Candidate;

// Where listed files' length and modification time come from: the file
// system in a cycle, made-up facts in tests.
class FileFacts {
 public:
  virtual ~FileFacts() = default;
  // std::nullopt when the file vanished or cannot be queried.
  virtual std::optional<FileStat> StatOf(const Candidate& file) const = 0;
};

// One listed file as the condition tests see it. The full path is put together
// only when asked for (a stat or a move), and size and time are asked of the
// facts at most once, and only when a rule needs them. Folder, name and facts
// must outlive the candidate.
class Candidate {
 public:
  Candidate(std::string_view folder, std::string_view name, const FileFacts& facts)
      : folder_(folder), name_(name), facts_(facts) {}

  // The folder, "/", the name.
  const std::string& Path() const;
  std::string_view Name() const { return name_; }
  std::string_view Extension() const { return ExtensionOf(name_); }
  // std::nullopt when the file vanished or cannot be queried.
  const std::optional<FileStat>& Stat() const;
  // The modification time as TimeStampText gives it; nullptr without a stat.
  const std::string* TimeText() const;

 private:
  std::string_view folder_;
  std::string_view name_;
  const FileFacts& facts_;
  mutable std::string path_;
  mutable bool statted_ = false;
  mutable std::optional<FileStat> stat_;
  mutable std::optional<std::string> timeText_;
};

// Whether the file meets the condition of a rule of this kind and value. A
// kind outside 1..6, or a file that cannot be queried, never matches.
bool MeetsCondition(int kind, std::string_view value, const Candidate& file);

}  // namespace veskora
