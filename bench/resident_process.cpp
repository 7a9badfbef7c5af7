#include "resident_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "exec_image.h"

namespace veskora::bench {

ResidentProcess::ResidentProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  const testing::ExecImage image(argv, env);
  int toChild[2];
  int fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    image.Exec();
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  in_ = toChild[1];
  out_ = fromChild[0];
}

ResidentProcess::~ResidentProcess() {
  close(in_);
  close(out_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::uint64_t ResidentProcess::MainThreadCpuNs() const {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/task/%d/schedstat", static_cast<int>(pid_), static_cast<int>(pid_));
  FILE* file = std::fopen(path, "r");
  if (!file) return 0;
  unsigned long long ns = 0;
  if (std::fscanf(file, "%llu", &ns) != 1) ns = 0;
  std::fclose(file);
  return ns;
}

std::uint64_t ResidentProcess::MainThreadWakeups() const {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/task/%d/status", static_cast<int>(pid_), static_cast<int>(pid_));
  FILE* file = std::fopen(path, "r");
  if (!file) return 0;
  unsigned long long switches = 0;
  char line[256];
  while (std::fgets(line, sizeof line, file)) {
    if (std::sscanf(line, "voluntary_ctxt_switches: %llu", &switches) == 1) break;
  }
  std::fclose(file);
  return switches;
}

bool ResidentProcess::Running() {
  if (pid_ <= 0) return false;
  if (waitpid(pid_, nullptr, WNOHANG) == 0) return true;
  pid_ = -1;
  return false;
}

void ResidentProcess::SendLine(const std::string& line) const {
  const std::string text = line + "\n";
  if (write(in_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("the process has gone");
  }
}

std::string ResidentProcess::ReadLine() const {
  std::string line;
  char c = 0;
  while (read(out_, &c, 1) == 1 && c != '\n') line.push_back(c);
  return line;
}

}  // namespace veskora::bench
