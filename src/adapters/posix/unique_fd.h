#pragma once

#include <string_view>
#include <utility>

namespace veskora {

// An owned file descriptor, closed when it goes.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes it now; false when close reported an error (a write that did not
  // reach the disk, on some file systems).
  bool Reset();

 private:
  int fd_ = -1;
};

// Writes all of the bytes, through short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace veskora
