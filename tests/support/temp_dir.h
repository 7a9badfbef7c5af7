#pragma once

#include <string>
#include <string_view>

#include "ports/clock.h"

namespace veskora::testing {

// A fresh folder under a base (TMPDIR or /tmp by default), removed with
// everything in it when the object goes.
class TempDir {
 public:
  explicit TempDir(const std::string& base = "");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Creates a sub-folder and returns its path.
  std::string MakeDir(std::string_view name) const;

 private:
  std::string path_;
};

void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Sets a file's modification time (local time) to the second.
void SetMtime(const std::string& path, const LocalTime& when);
// Names in a folder, sorted, hidden ones included.
std::string ListNames(const std::string& folder);

}  // namespace veskora::testing
