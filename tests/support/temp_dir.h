#pragma once

#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ports/clock.h"

namespace veskora::testing {

// A fresh folder under a base (TMPDIR or /tmp by default), removed with everything in it when the object goes.
class TempDir {
 public:
  explicit TempDir(std::string base = "") {
    const char* tmp = std::getenv("TMPDIR");
    if (base.empty()) base = tmp && *tmp ? tmp : "/tmp";
    path_ = base + "/veskora-test-XXXXXX";
    if (!mkdtemp(path_.data())) throw std::runtime_error("mkdtemp failed under " + base);
  }
  ~TempDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Read-only folders left by a test must not keep their contents alive.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
    }
    chmod(path_.c_str(), 0700);
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Creates a sub-folder and returns its path.
  std::string MakeDir(std::string_view name) const {
    std::filesystem::create_directories(*this / name);
    return *this / name;
  }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

// Sets a file's modification time (local time) to the second.
inline void SetMtime(const std::string& path, const LocalTime& when) {
  std::tm tm{};
  tm.tm_year = when.year - 1900, tm.tm_mon = when.month - 1, tm.tm_mday = when.day, tm.tm_isdst = -1;
  tm.tm_hour = when.hour, tm.tm_min = when.minute, tm.tm_sec = when.second;
  const std::time_t t = std::mktime(&tm);
  struct timeval times[2] = {{t, 0}, {t, 0}};
  if (utimes(path.c_str(), times) != 0) throw std::runtime_error("cannot set mtime of " + path);
}

// Names in a folder, sorted, hidden ones included.
inline std::string ListNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const auto& name : names) joined += (joined.empty() ? "" : " ") + name;
  return joined;
}

}  // namespace veskora::testing
