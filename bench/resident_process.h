#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veskora::bench {

// A program running beside the benchmark, with its standard input and output
// on pipes, ended (SIGTERM, then waited for) with the object.
class ResidentProcess {
 public:
  // argv[0] is the program's path; env entries ("NAME=value") replace or add
  // to the benchmark's own environment.
  ResidentProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env);
  ~ResidentProcess();
  ResidentProcess(const ResidentProcess&) = delete;
  ResidentProcess& operator=(const ResidentProcess&) = delete;

  // CPU time of its main thread so far (user + system), from the scheduler's
  // own account; 0 when it cannot be read (for a moment while it starts).
  // An ended process may still show its last account: ask Running.
  std::uint64_t MainThreadCpuNs() const;
  // How often its main thread went to sleep and was woken again so far.
  std::uint64_t MainThreadWakeups() const;
  // False once it has ended.
  bool Running();
  // One line to its input; one line from its output (empty at its end).
  void SendLine(const std::string& line) const;
  std::string ReadLine() const;

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
};

}  // namespace veskora::bench
