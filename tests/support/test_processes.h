#pragma once

#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veskora::testing {

// Another process that holds a file open (with the given open flags) until
// Release or the end of the object.
class Holder {
 public:
  Holder(const std::string& path, int flags);
  ~Holder() { Release(); }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

  bool Holding() const { return holding_; }
  void Release();

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool holding_ = false;
};

// A program run as a child process with extra environment entries
// ("NAME=value"), as another user when `user` is given (uid and gid alike;
// the test runs as root then), which the test can wait for and signal;
// killed when the object goes.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}, int user = -1);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  void Signal(int number);
  // Waits for the end; the wait status.
  int Wait();
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
};

// "exit N" or "signal N".
std::string DescribeStatus(int status);

// The id of a process that has ended (and is not soon given out again).
pid_t EndedProcessId();

// Bytes that are the same for the same size and seed.
std::string RandomBytes(std::size_t size, unsigned seed);

}  // namespace veskora::testing
