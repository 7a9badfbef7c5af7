#pragma once

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "exec_image.h"

namespace veskora::testing {

// A program run as a child process with extra environment entries ("NAME=value"), which the test can wait for
// and signal; killed when the object goes.
class Child {
 public:
  explicit Child(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}) {
    const ExecImage image(argv, env);
    pid_ = fork();
    if (pid_ == 0) image.Exec(), _exit(127);
  }
  ~Child() {
    if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  void Signal(int number) {
    if (pid_ > 0) kill(pid_, number);
  }
  // Waits for the end; the wait status.
  int Wait() {
    if (pid_ > 0 && waitpid(pid_, &status_, 0) == pid_) pid_ = -1;
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
};

// "exit N" or "signal N".
inline std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

// The id of a process that has ended (and is not soon given out again).
inline pid_t EndedProcessId() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

// Bytes that are the same for the same size and seed.
inline std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

}  // namespace veskora::testing
