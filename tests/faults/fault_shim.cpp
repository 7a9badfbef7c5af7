// A preloaded library that makes chosen C library calls fail, slow down or
// kill the process on demand, so the tests can drive the move path through
// every failure it must survive. Controlled by the environment:
//
//   VESKORA_FAULT         rules separated by ";", each  CALL:ACTION[:after=N][:times=M][:path=TEXT]
//                           CALL    renameat2 rename mkdirat linkat unlinkat open tmpfile copy_file_range
//                                   pread pwrite write fsync close fchmod futimens lease wrlease
//                                   (tmpfile: opens with O_TMPFILE; lease: a read lease taken to ask
//                                   for writers; wrlease: the write lease held during a copy)
//                           ACTION  an errno name (EIO, ENOSPC, EPERM, ...): fail without doing anything
//                                   kill: SIGKILL before the call
//                                   slow: sleep a tenth of a second, then make the call
//                                   break: after a lease is taken, open the file for writing as
//                                          another program would
//                           after   let the first N matching calls through (default 0)
//                           times   act on at most M calls (default: every one after that)
//                           path    only calls whose paths contain TEXT (folders of *at calls and
//                                   paths of descriptors resolved)
//   VESKORA_FAULT_REPORT  a file that gets one line "CALL ACTION" for every fault acted on
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kCalls[] = {"renameat2", "rename",          "mkdirat",  "linkat", "unlinkat", "open",
                                  "tmpfile",   "copy_file_range", "pread",    "pwrite", "write",    "fsync",
                                  "close",     "fchmod",          "futimens", "lease",  "wrlease"};

struct Rule {
  std::string call;
  std::string action;
  int error = 0;
  long after = 0;
  long times = -1;
  std::string path;
  std::atomic<long> seen{0};
};

std::vector<Rule*>* g_rules = nullptr;
std::string* g_report = nullptr;
pthread_once_t g_once = PTHREAD_ONCE_INIT;
thread_local bool t_inside = false;  // our own calls are never faulted

template <typename F>
F Real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// A rule the shim cannot read ends the process at once: a test whose fault
// silently never happens would prove nothing.
[[noreturn]] void Refuse(const std::string& rule) {
  std::fprintf(stderr, "fault_shim: cannot read rule \"%s\"\n", rule.c_str());
  _exit(97);
}

bool ParseAction(Rule& rule) {
  for (const char* action : {"kill", "slow", "break"}) {
    if (rule.action == action) return true;
  }
  for (int error = 1; error < 134; ++error) {
    const char* name = strerrorname_np(error);
    if (name && rule.action == name) {
      rule.error = error;
      return true;
    }
  }
  return false;
}

void Parse() {
  t_inside = true;
  g_rules = new std::vector<Rule*>;
  if (const char* report = std::getenv("VESKORA_FAULT_REPORT")) g_report = new std::string(report);
  const char* spec = std::getenv("VESKORA_FAULT");
  for (const std::string& text : Split(spec ? spec : "", ';')) {
    if (text.empty()) continue;
    const std::vector<std::string> parts = Split(text, ':');
    auto* rule = new Rule;
    rule->call = parts[0];
    rule->action = parts.size() > 1 ? parts[1] : "";
    bool known = false;
    for (const char* call : kCalls) known = known || rule->call == call;
    if (!known || !ParseAction(*rule)) Refuse(text);
    for (std::size_t i = 2; i < parts.size(); ++i) {
      const std::string& option = parts[i];
      if (option.rfind("after=", 0) == 0) {
        rule->after = std::atol(option.c_str() + 6);
      } else if (option.rfind("times=", 0) == 0) {
        rule->times = std::atol(option.c_str() + 6);
      } else if (option.rfind("path=", 0) == 0) {
        rule->path = option.substr(5);
      } else {
        Refuse(text);
      }
    }
    g_rules->push_back(rule);
  }
  t_inside = false;
}

std::string FdPath(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t length = readlink(link, target, sizeof target);
  return length < 0 ? std::string() : std::string(target, static_cast<std::size_t>(length));
}

std::string AtPath(int dir_fd, const char* name) {
  if (!name) return {};
  if (name[0] == '/' || dir_fd == AT_FDCWD) return name;
  return FdPath(dir_fd) + "/" + name;
}

void Report(const Rule& rule) {
  if (!g_report) return;
  static auto real_open = Real<int (*)(const char*, int, ...)>("open");
  static auto real_write = Real<ssize_t (*)(int, const void*, size_t)>("write");
  static auto real_close = Real<int (*)(int)>("close");
  const int fd = real_open(g_report->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const std::string line = rule.call + " " + rule.action + "\n";
  if (real_write(fd, line.data(), line.size()) < 0) {
    // Nothing to do: the test then sees the fault as not acted on.
  }
  real_close(fd);
}

// The rule that acts on this call, if any; counts the call for every rule
// that matches it. `subject` gives the paths involved, asked only when a rule
// filters by path.
template <typename Subject>
Rule* Match(const char* call, Subject subject) {
  if (t_inside) return nullptr;
  pthread_once(&g_once, Parse);
  Rule* chosen = nullptr;
  std::string paths;
  bool have_paths = false;
  t_inside = true;
  for (Rule* rule : *g_rules) {
    if (rule->call != call) continue;
    if (!rule->path.empty()) {
      if (!have_paths) {
        paths = subject();
        have_paths = true;
      }
      if (paths.find(rule->path) == std::string::npos) continue;
    }
    const long n = rule->seen.fetch_add(1);
    if (n < rule->after || (rule->times >= 0 && n >= rule->after + rule->times)) continue;
    if (!chosen) chosen = rule;
  }
  if (chosen) Report(*chosen);
  t_inside = false;
  return chosen;
}

// Acts on the rule before the call. True when the call must fail with errno
// set instead of being made.
bool Before(Rule* rule) {
  if (!rule) return false;
  if (rule->action == "kill") raise(SIGKILL);
  if (rule->action == "slow") usleep(100000);
  if (rule->error == 0) return false;
  errno = rule->error;
  return true;
}

#define SUBJECT(expr) [&]() -> std::string { return expr; }
#define FAULT(call, expr) \
  if (Before(Match(call, SUBJECT(expr)))) return -1

}  // namespace

extern "C" {

int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned flags) {
  static auto real = Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
  FAULT("renameat2", AtPath(from_dir, from) + "\n" + AtPath(to_dir, to));
  return real(from_dir, from, to_dir, to, flags);
}

int rename(const char* from, const char* to) {
  static auto real = Real<int (*)(const char*, const char*)>("rename");
  FAULT("rename", std::string(from) + "\n" + to);
  return real(from, to);
}

int mkdirat(int dir_fd, const char* name, mode_t mode) {
  static auto real = Real<int (*)(int, const char*, mode_t)>("mkdirat");
  FAULT("mkdirat", AtPath(dir_fd, name));
  return real(dir_fd, name, mode);
}

int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
  static auto real = Real<int (*)(int, const char*, int, const char*, int)>("linkat");
  FAULT("linkat", AtPath(from_dir, from) + "\n" + AtPath(to_dir, to));
  return real(from_dir, from, to_dir, to, flags);
}

int link(const char* from, const char* to) { return linkat(AT_FDCWD, from, AT_FDCWD, to, 0); }

int unlinkat(int dir_fd, const char* name, int flags) {
  static auto real = Real<int (*)(int, const char*, int)>("unlinkat");
  FAULT("unlinkat", AtPath(dir_fd, name));
  return real(dir_fd, name, flags);
}

int unlink(const char* path) { return unlinkat(AT_FDCWD, path, 0); }

static int OpenAt(int dir_fd, const char* path, int flags, mode_t mode) {
  static auto real = Real<int (*)(int, const char*, int, ...)>("openat");
  const bool tmpfile = (flags & O_TMPFILE) == O_TMPFILE;
  Rule* rule = tmpfile ? Match("tmpfile", SUBJECT(AtPath(dir_fd, path))) : nullptr;
  if (!rule) rule = Match("open", SUBJECT(AtPath(dir_fd, path)));
  if (Before(rule)) return -1;
  return real(dir_fd, path, flags, mode);
}

#define OPEN_WRAPPER(name, ...)                                                                        \
  int name(__VA_ARGS__, int flags, ...) {                                                              \
    va_list args;                                                                                      \
    va_start(args, flags);                                                                             \
    const mode_t mode = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, int) : 0; \
    va_end(args);                                                                                      \
    return OpenAt(DIR_OF, path, flags, mode);                                                          \
  }
#define DIR_OF AT_FDCWD
OPEN_WRAPPER(open, const char* path)
OPEN_WRAPPER(open64, const char* path)
#undef DIR_OF
#define DIR_OF dir_fd
OPEN_WRAPPER(openat, int dir_fd, const char* path)
OPEN_WRAPPER(openat64, int dir_fd, const char* path)
#undef DIR_OF

// The fortified forms a release build may call.
int __open_2(const char* path, int flags) { return OpenAt(AT_FDCWD, path, flags, 0); }
int __openat_2(int dir_fd, const char* path, int flags) { return OpenAt(dir_fd, path, flags, 0); }

ssize_t copy_file_range(int from, loff_t* from_offset, int to, loff_t* to_offset, size_t length, unsigned flags) {
  static auto real = Real<ssize_t (*)(int, loff_t*, int, loff_t*, size_t, unsigned)>("copy_file_range");
  FAULT("copy_file_range", FdPath(from) + "\n" + FdPath(to));
  return real(from, from_offset, to, to_offset, length, flags);
}

ssize_t pread(int fd, void* buffer, size_t length, off_t offset) {
  static auto real = Real<ssize_t (*)(int, void*, size_t, off_t)>("pread");
  FAULT("pread", FdPath(fd));
  return real(fd, buffer, length, offset);
}

ssize_t pwrite(int fd, const void* buffer, size_t length, off_t offset) {
  static auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  FAULT("pwrite", FdPath(fd));
  return real(fd, buffer, length, offset);
}

ssize_t pread64(int fd, void* buffer, size_t length, off_t offset) { return pread(fd, buffer, length, offset); }
ssize_t pwrite64(int fd, const void* buffer, size_t length, off_t offset) { return pwrite(fd, buffer, length, offset); }

ssize_t write(int fd, const void* buffer, size_t length) {
  static auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
  FAULT("write", FdPath(fd));
  return real(fd, buffer, length);
}

int fsync(int fd) {
  static auto real = Real<int (*)(int)>("fsync");
  FAULT("fsync", FdPath(fd));
  return real(fd);
}

// As on Linux, a close that reports an error has still released the descriptor.
int close(int fd) {
  static auto real = Real<int (*)(int)>("close");
  const bool fail = Before(Match("close", SUBJECT(FdPath(fd))));
  const int saved = errno;
  const int result = real(fd);
  if (!fail) return result;
  errno = saved;
  return -1;
}

int fchmod(int fd, mode_t mode) {
  static auto real = Real<int (*)(int, mode_t)>("fchmod");
  FAULT("fchmod", FdPath(fd));
  return real(fd, mode);
}

int futimens(int fd, const struct timespec times[2]) {
  static auto real = Real<int (*)(int, const struct timespec*)>("futimens");
  FAULT("futimens", FdPath(fd));
  return real(fd, times);
}

static int Fcntl(int fd, int command, void* argument) {
  static auto real = Real<int (*)(int, int, ...)>("fcntl");
  const long type = reinterpret_cast<long>(argument);
  const bool taking = command == F_SETLEASE && (type == F_RDLCK || type == F_WRLCK);
  Rule* rule = taking ? Match(type == F_RDLCK ? "lease" : "wrlease", SUBJECT(FdPath(fd))) : nullptr;
  if (Before(rule)) return -1;
  const int result = real(fd, command, argument);
  if (result == 0 && rule && rule->action == "break") {
    // Another program opening the file for writing while the lease is held.
    static auto real_open = Real<int (*)(const char*, int, ...)>("open");
    static auto real_close = Real<int (*)(int)>("close");
    t_inside = true;
    const int writer = real_open(FdPath(fd).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) real_close(writer);
    t_inside = false;
  }
  return result;
}

int fcntl(int fd, int command, ...) {
  va_list args;
  va_start(args, command);
  void* argument = va_arg(args, void*);
  va_end(args);
  return Fcntl(fd, command, argument);
}

int fcntl64(int fd, int command, ...) {
  va_list args;
  va_start(args, command);
  void* argument = va_arg(args, void*);
  va_end(args);
  return Fcntl(fd, command, argument);
}

}  // extern "C"
