#include "test_processes.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>

#include "exec_image.h"

namespace veskora::testing {

Holder::Holder(const std::string& path, int flags) {
  int ready[2];
  int release[2];
  if (pipe(ready) != 0 || pipe(release) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    close(ready[0]);
    close(release[1]);
    const char opened = open(path.c_str(), flags) >= 0 ? 'y' : 'n';
    if (write(ready[1], &opened, 1) != 1) _exit(1);
    char byte;
    while (read(release[0], &byte, 1) > 0) {
    }
    _exit(0);  // closes the file
  }
  close(ready[1]);
  close(release[0]);
  release_ = release[1];
  char opened = 'n';
  holding_ = read(ready[0], &opened, 1) == 1 && opened == 'y';
  close(ready[0]);
}

void Holder::Release() {
  if (release_ >= 0) close(release_);
  release_ = -1;
  if (pid_ > 0) waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, int user) {
  const ExecImage image(argv, env);
  pid_ = fork();
  if (pid_ == 0) {
    if (user >= 0 && (setgroups(0, nullptr) != 0 || setgid(static_cast<gid_t>(user)) != 0 ||
                      setuid(static_cast<uid_t>(user)) != 0)) {
      _exit(126);
    }
    image.Exec();
    _exit(127);
  }
}

Child::~Child() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void Child::Signal(int number) {
  if (pid_ > 0) kill(pid_, number);
}

int Child::Wait() {
  if (pid_ > 0 && waitpid(pid_, &status_, 0) == pid_) pid_ = -1;
  return status_;
}

std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

pid_t EndedProcessId() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

}  // namespace veskora::testing
