#include "fault_harness.h"

#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>

extern char** environ;

namespace veskora::faults {

namespace fs = std::filesystem;
using testing::Exists;
using testing::ReadFile;
using testing::WriteFile;

std::string MoveDriverPath() { return VESKORA_MOVE_DRIVER; }

std::string FaultPreload() {
  const std::string runtime = VESKORA_PRELOAD_RUNTIME;
  return runtime.empty() ? std::string(VESKORA_FAULT_SHIM) : runtime + ":" + VESKORA_FAULT_SHIM;
}

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  // Built before the fork: the child only calls execve and _exit.
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    const bool replaced =
        std::any_of(env.begin(), env.end(), [&](const std::string& extra) { return extra.rfind(name + "=", 0) == 0; });
    if (!replaced) entries.push_back(entry);
  }
  entries.insert(entries.end(), env.begin(), env.end());
  std::vector<char*> envp;
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  for (std::string& arg : args) argp.push_back(arg.data());
  argp.push_back(nullptr);

  pid_ = fork();
  if (pid_ == 0) {
    execve(argp[0], argp.data(), envp.data());
    _exit(127);
  }
}

Child::~Child() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool Child::WaitForStop() {
  if (pid_ <= 0) return false;
  if (waitpid(pid_, &status_, WUNTRACED) != pid_) return false;
  if (WIFSTOPPED(status_)) return true;
  pid_ = -1;
  return false;
}

void Child::Continue() {
  if (pid_ > 0) kill(pid_, SIGCONT);
}

void Child::Signal(int number) {
  if (pid_ > 0) kill(pid_, number);
}

int Child::Wait() {
  while (pid_ > 0) {
    if (waitpid(pid_, &status_, 0) != pid_) break;
    if (!WIFSTOPPED(status_)) pid_ = -1;
  }
  return status_;
}

std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

std::uint64_t Checksum(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TmpfsMount::TmpfsMount(const std::string& folder, const std::string& options, unsigned long flags) : path_(folder) {
  fs::create_directories(path_);
  mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", flags, options.c_str()) == 0;
  if (!mounted_) error_ = std::strerror(errno);
}

TmpfsMount::~TmpfsMount() {
  if (mounted_) umount2(path_.c_str(), MNT_DETACH);
}

bool TmpfsMount::Remount(const std::string& options, unsigned long flags) const {
  return mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | flags, options.c_str()) == 0;
}

void PrintTo(Scene::Where where, std::ostream* out) {
  *out << (where == Scene::Where::kSameFileSystem ? "same file system" : "another file system");
}

Scene::Scene(Where where)
    : there_(where == Where::kOtherFileSystem ? "/dev/shm" : ""),
      desktop_(here_.MakeDir("Desktop")),
      destination_(there_.MakeDir("Target")),
      program_(here_.MakeDir("program")),
      report_(here_ / "faults-acted-on") {
  WriteFile(RulePath(), "-1,1,," + destination_ + "\r\n");
}

bool Scene::Usable(std::string* why) const {
  struct stat a {};
  struct stat b {};
  if (stat(here_.Path().c_str(), &a) != 0 || stat(there_.Path().c_str(), &b) != 0) {
    *why = "cannot stat the test folders";
    return false;
  }
  if (here_.Path() != there_.Path() && a.st_dev == b.st_dev && there_.Path().rfind("/dev/shm", 0) == 0) {
    *why = here_.Path() + " and /dev/shm are on the same file system";
    return false;
  }
  return true;
}

void Scene::Put(const std::string& name, const std::string& bytes) {
  WriteFile(desktop_ + "/" + name, bytes);
  files_[name] = bytes;
}

std::vector<std::string> Scene::MoverCommand(long cycles) const {
  return {VESKORA_MOVE_DRIVER, RulePath(), desktop_, LogPath(), "--cycles", std::to_string(cycles)};
}

std::vector<std::string> Scene::MoverEnvironment(const std::string& fault, const std::vector<std::string>& env) const {
  std::vector<std::string> all = {"LD_PRELOAD=" + FaultPreload(), "VESKORA_FAULT=" + fault,
                                  "VESKORA_FAULT_REPORT=" + report_};
  all.insert(all.end(), env.begin(), env.end());
  return all;
}

std::string Scene::Expand(std::string rule) const {
  for (const auto& [mark, path] : {std::pair<std::string, std::string>{"{desktop}", desktop_},
                                   std::pair<std::string, std::string>{"{dest}", destination_}}) {
    for (std::size_t at; (at = rule.find(mark)) != std::string::npos;) rule.replace(at, mark.size(), path);
  }
  return rule;
}

int Scene::Run(const std::string& fault, const std::vector<std::string>& env, long cycles) {
  Child mover(MoverCommand(cycles), MoverEnvironment(fault, env));
  return mover.Wait();
}

std::vector<std::string> Scene::TakeFired() {
  std::vector<std::string> lines;
  if (!Exists(report_)) return lines;
  std::istringstream in(ReadFile(report_));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  fs::remove(report_);
  return lines;
}

std::vector<std::string> Scene::LoggedNames() const {
  std::vector<std::string> names;
  if (!Exists(LogPath())) return names;
  std::istringstream in(ReadFile(LogPath()));
  for (std::string line; std::getline(in, line);) {
    // "[mm/dd hh:mm:ss] NAME を DEST へ移動しました\r"
    const std::size_t start = line.find("] ");
    const std::size_t end = line.find(" を ");
    names.push_back(start == std::string::npos || end == std::string::npos ? line
                                                                           : line.substr(start + 2, end - start - 2));
  }
  return names;
}

int Scene::OnDesktop() const { return static_cast<int>(Names(desktop_).size()); }
int Scene::AtDestination() const { return Exists(destination_) ? static_cast<int>(Names(destination_).size()) : 0; }

namespace {

bool IsTemporaryName(const std::string& name) { return name.size() == 15 && name.rfind(".veskora-", 0) == 0; }

}  // namespace

int Scene::StrayTemporaries() const {
  const std::vector<std::string> names = Names(destination_);
  return static_cast<int>(std::count_if(names.begin(), names.end(), IsTemporaryName));
}

::testing::AssertionResult Scene::Intact(unsigned allowed) const {
  const bool twice_allowed = (allowed & kTwice) != 0;
  std::ostringstream problems;
  std::map<std::string, int> copies;
  std::map<std::string, bool> at_destination;
  for (const std::string* folder : {&desktop_, &destination_}) {
    for (const std::string& name : Names(*folder)) {
      const auto expected = files_.find(name);
      if (expected == files_.end()) {
        if ((allowed & kStrayTemporaries) && folder == &destination_ && IsTemporaryName(name)) continue;
        problems << "unexpected " << *folder << "/" << name << "; ";
        continue;
      }
      const std::string bytes = ReadFile(*folder + "/" + name);
      if (bytes != expected->second) {
        problems << *folder << "/" << name << " has " << bytes.size() << " bytes, checksum " << Checksum(bytes)
                 << " instead of " << expected->second.size() << ", " << Checksum(expected->second) << "; ";
        continue;
      }
      ++copies[name];
      if (folder == &destination_) at_destination[name] = true;
    }
  }
  for (const auto& [name, bytes] : files_) {
    const int n = copies[name];
    if (n == 0) problems << name << " is lost; ";
    if (n > 1 && !twice_allowed) problems << name << " exists twice; ";
  }
  std::map<std::string, int> lines;
  for (const std::string& name : LoggedNames()) {
    if (++lines[name] > 1) problems << "the log names " << name << " more than once; ";
    if (!at_destination[name]) problems << "the log names " << name << ", which is not at the destination; ";
    if (copies[name] > 1) problems << "the log names " << name << ", which is still on the desktop; ";
  }
  if (allowed == kNothing) {
    for (const auto& [name, there] : at_destination) {
      if (there && lines[name] != 1) problems << name << " was moved without a log line; ";
    }
  }
  if (problems.str().empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << problems.str();
}

}  // namespace veskora::faults
