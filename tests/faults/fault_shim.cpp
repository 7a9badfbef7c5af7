// A preloaded library that makes chosen C library calls fail, stop or kill the
// process on demand, so the tests can drive the move path through every
// failure it must survive. Controlled by the environment:
//
//   VESKORA_FAULT         rules separated by ";", each  CALL:ACTION[:after=N][:times=M][:path=TEXT]
//                           CALL    renameat2 renameat rename linkat unlinkat mkdirat open tmpfile
//                                   copy_file_range pread pwrite write fsync close fchmod futimens
//                                   symlinkat lease wrlease
//                                   (tmpfile: opens with O_TMPFILE; lease: a read lease taken to ask
//                                   for writers; wrlease: the write lease held during a copy)
//                           ACTION  an errno name (EIO, ENOSPC, EPERM, ...): fail without doing anything
//                                   stop: SIGSTOP before the call (the test acts, then SIGCONT)
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
#include <sys/time.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum class Call {
  kRenameat2,
  kRenameat,
  kRename,
  kMkdirat,
  kLinkat,
  kUnlinkat,
  kOpen,
  kTmpfile,
  kCopyFileRange,
  kPread,
  kPwrite,
  kWrite,
  kFsync,
  kClose,
  kFchmod,
  kFutimens,
  kSymlinkat,
  kLease,
  kWriteLease,
};

struct CallName {
  const char* name;
  Call call;
};

constexpr CallName kCalls[] = {
    {"renameat2", Call::kRenameat2}, {"renameat", Call::kRenameat},   {"rename", Call::kRename},
    {"mkdirat", Call::kMkdirat},     {"linkat", Call::kLinkat},       {"unlinkat", Call::kUnlinkat},
    {"open", Call::kOpen},           {"tmpfile", Call::kTmpfile},     {"copy_file_range", Call::kCopyFileRange},
    {"pread", Call::kPread},         {"pwrite", Call::kPwrite},       {"write", Call::kWrite},
    {"fsync", Call::kFsync},         {"close", Call::kClose},         {"fchmod", Call::kFchmod},
    {"futimens", Call::kFutimens},   {"symlinkat", Call::kSymlinkat}, {"lease", Call::kLease},
    {"wrlease", Call::kWriteLease},
};

struct ErrnoName {
  const char* name;
  int value;
};

constexpr ErrnoName kErrnos[] = {
    {"EIO", EIO},     {"ENOSPC", ENOSPC}, {"EPERM", EPERM},   {"EACCES", EACCES},         {"EINVAL", EINVAL},
    {"EROFS", EROFS}, {"EXDEV", EXDEV},   {"ENOENT", ENOENT}, {"EOPNOTSUPP", EOPNOTSUPP}, {"EDQUOT", EDQUOT},
    {"EINTR", EINTR}, {"ENOSYS", ENOSYS}, {"EBUSY", EBUSY},   {"EAGAIN", EAGAIN},
};

enum class Action { kFail, kStop, kKill, kSlow, kBreak };

struct Rule {
  Call call;
  Action action;
  int error = 0;
  long after = 0;
  long times = -1;
  std::string path;
  std::string text;  // as written, for the report
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

bool ParseCall(const std::string& text, Call& call) {
  for (const CallName& entry : kCalls) {
    if (text == entry.name) {
      call = entry.call;
      return true;
    }
  }
  return false;
}

bool ParseAction(const std::string& text, Rule& rule) {
  if (text == "stop")
    rule.action = Action::kStop;
  else if (text == "kill")
    rule.action = Action::kKill;
  else if (text == "break")
    rule.action = Action::kBreak;
  else if (text == "slow")
    rule.action = Action::kSlow;
  else {
    for (const ErrnoName& entry : kErrnos) {
      if (text == entry.name) {
        rule.action = Action::kFail;
        rule.error = entry.value;
        return true;
      }
    }
    return false;
  }
  return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
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

void Parse() {
  t_inside = true;
  g_rules = new std::vector<Rule*>;
  if (const char* report = std::getenv("VESKORA_FAULT_REPORT")) g_report = new std::string(report);
  const char* spec = std::getenv("VESKORA_FAULT");
  if (spec && *spec) {
    for (const std::string& text : Split(spec, ';')) {
      if (text.empty()) continue;
      const std::vector<std::string> parts = Split(text, ':');
      auto* rule = new Rule;
      rule->text = parts[0] + " " + (parts.size() > 1 ? parts[1] : "");
      if (parts.size() < 2 || !ParseCall(parts[0], rule->call) || !ParseAction(parts[1], *rule)) Refuse(text);
      for (std::size_t i = 2; i < parts.size(); ++i) {
        const std::string& option = parts[i];
        if (option.rfind("after=", 0) == 0)
          rule->after = std::atol(option.c_str() + 6);
        else if (option.rfind("times=", 0) == 0)
          rule->times = std::atol(option.c_str() + 6);
        else if (option.rfind("path=", 0) == 0)
          rule->path = option.substr(5);
        else
          Refuse(text);
      }
      g_rules->push_back(rule);
    }
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
  const std::string line = rule.text + "\n";
  if (real_write(fd, line.data(), line.size()) < 0) {
    // Nothing to do: the test then sees the fault as not acted on.
  }
  real_close(fd);
}

// The rule that acts on this call, if any; counts the call for every rule
// that matches it. `subject` gives the paths involved, asked only when a rule
// filters by path.
template <typename Subject>
Rule* Match(Call call, Subject subject) {
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
  switch (rule->action) {
    case Action::kStop:
      raise(SIGSTOP);
      return false;
    case Action::kKill:
      raise(SIGKILL);
      return false;
    case Action::kSlow:
      usleep(100000);
      return false;
    case Action::kBreak:
      return false;
    case Action::kFail:
      errno = rule->error;
      return true;
  }
  return false;
}

#define SUBJECT(expr) [&]() -> std::string { return expr; }

}  // namespace

extern "C" {

int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned flags) {
  static auto real = Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
  if (Before(Match(Call::kRenameat2, SUBJECT(AtPath(from_dir, from) + "\n" + AtPath(to_dir, to))))) return -1;
  return real(from_dir, from, to_dir, to, flags);
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) {
  static auto real = Real<int (*)(int, const char*, int, const char*)>("renameat");
  if (Before(Match(Call::kRenameat, SUBJECT(AtPath(from_dir, from) + "\n" + AtPath(to_dir, to))))) return -1;
  return real(from_dir, from, to_dir, to);
}

int mkdirat(int dir_fd, const char* name, mode_t mode) {
  static auto real = Real<int (*)(int, const char*, mode_t)>("mkdirat");
  if (Before(Match(Call::kMkdirat, SUBJECT(AtPath(dir_fd, name))))) return -1;
  return real(dir_fd, name, mode);
}

int rename(const char* from, const char* to) {
  static auto real = Real<int (*)(const char*, const char*)>("rename");
  if (Before(Match(Call::kRename, SUBJECT(std::string(from) + "\n" + to)))) return -1;
  return real(from, to);
}

int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
  static auto real = Real<int (*)(int, const char*, int, const char*, int)>("linkat");
  if (Before(Match(Call::kLinkat, SUBJECT(AtPath(from_dir, from) + "\n" + AtPath(to_dir, to))))) return -1;
  return real(from_dir, from, to_dir, to, flags);
}

int link(const char* from, const char* to) { return linkat(AT_FDCWD, from, AT_FDCWD, to, 0); }

int unlinkat(int dir_fd, const char* name, int flags) {
  static auto real = Real<int (*)(int, const char*, int)>("unlinkat");
  if (Before(Match(Call::kUnlinkat, SUBJECT(AtPath(dir_fd, name))))) return -1;
  return real(dir_fd, name, flags);
}

int unlink(const char* path) { return unlinkat(AT_FDCWD, path, 0); }

int symlinkat(const char* text, int dir_fd, const char* name) {
  static auto real = Real<int (*)(const char*, int, const char*)>("symlinkat");
  if (Before(Match(Call::kSymlinkat, SUBJECT(AtPath(dir_fd, name))))) return -1;
  return real(text, dir_fd, name);
}

static int OpenAt(const char* real_name, int dir_fd, const char* path, int flags, mode_t mode) {
  using OpenatFn = int (*)(int, const char*, int, ...);
  static auto real_openat = Real<OpenatFn>("openat");
  static auto real_openat64 = Real<OpenatFn>("openat64");
  const bool tmpfile = (flags & O_TMPFILE) == O_TMPFILE;
  Rule* rule = Match(tmpfile ? Call::kTmpfile : Call::kOpen, SUBJECT(AtPath(dir_fd, path)));
  if (!rule && tmpfile) rule = Match(Call::kOpen, SUBJECT(AtPath(dir_fd, path)));
  if (Before(rule)) return -1;
  OpenatFn real = std::strcmp(real_name, "openat64") == 0 ? real_openat64 : real_openat;
  return real(dir_fd, path, flags, mode);
}

static mode_t ModeArg(int flags, va_list args) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArg(flags, args);
  va_end(args);
  return OpenAt("openat", AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArg(flags, args);
  va_end(args);
  return OpenAt("openat64", AT_FDCWD, path, flags, mode);
}

int openat(int dir_fd, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArg(flags, args);
  va_end(args);
  return OpenAt("openat", dir_fd, path, flags, mode);
}

int openat64(int dir_fd, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArg(flags, args);
  va_end(args);
  return OpenAt("openat64", dir_fd, path, flags, mode);
}

// The fortified forms a release build may call.
int __open_2(const char* path, int flags) { return OpenAt("openat", AT_FDCWD, path, flags, 0); }
int __openat_2(int dir_fd, const char* path, int flags) { return OpenAt("openat", dir_fd, path, flags, 0); }

ssize_t copy_file_range(int from, loff_t* from_offset, int to, loff_t* to_offset, size_t length, unsigned flags) {
  static auto real = Real<ssize_t (*)(int, loff_t*, int, loff_t*, size_t, unsigned)>("copy_file_range");
  if (Before(Match(Call::kCopyFileRange, SUBJECT(FdPath(from) + "\n" + FdPath(to))))) return -1;
  return real(from, from_offset, to, to_offset, length, flags);
}

ssize_t pread(int fd, void* buffer, size_t length, off_t offset) {
  static auto real = Real<ssize_t (*)(int, void*, size_t, off_t)>("pread");
  if (Before(Match(Call::kPread, SUBJECT(FdPath(fd))))) return -1;
  return real(fd, buffer, length, offset);
}

ssize_t pwrite(int fd, const void* buffer, size_t length, off_t offset) {
  static auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  if (Before(Match(Call::kPwrite, SUBJECT(FdPath(fd))))) return -1;
  return real(fd, buffer, length, offset);
}

ssize_t pread64(int fd, void* buffer, size_t length, off_t offset) { return pread(fd, buffer, length, offset); }
ssize_t pwrite64(int fd, const void* buffer, size_t length, off_t offset) { return pwrite(fd, buffer, length, offset); }

ssize_t write(int fd, const void* buffer, size_t length) {
  static auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
  if (Before(Match(Call::kWrite, SUBJECT(FdPath(fd))))) return -1;
  return real(fd, buffer, length);
}

int fsync(int fd) {
  static auto real = Real<int (*)(int)>("fsync");
  if (Before(Match(Call::kFsync, SUBJECT(FdPath(fd))))) return -1;
  return real(fd);
}

// As on Linux, a close that reports an error has still released the descriptor.
int close(int fd) {
  static auto real = Real<int (*)(int)>("close");
  Rule* rule = Match(Call::kClose, SUBJECT(FdPath(fd)));
  const bool fail = Before(rule);
  const int saved = errno;
  const int result = real(fd);
  if (!fail) return result;
  errno = saved;
  return -1;
}

int fchmod(int fd, mode_t mode) {
  static auto real = Real<int (*)(int, mode_t)>("fchmod");
  if (Before(Match(Call::kFchmod, SUBJECT(FdPath(fd))))) return -1;
  return real(fd, mode);
}

int futimens(int fd, const struct timespec times[2]) {
  static auto real = Real<int (*)(int, const struct timespec*)>("futimens");
  if (Before(Match(Call::kFutimens, SUBJECT(FdPath(fd))))) return -1;
  return real(fd, times);
}

static int Fcntl(const char* real_name, int fd, int command, void* argument) {
  using FcntlFn = int (*)(int, int, ...);
  static auto real_fcntl = Real<FcntlFn>("fcntl");
  static auto real_fcntl64 = Real<FcntlFn>("fcntl64");
  FcntlFn real = std::strcmp(real_name, "fcntl64") == 0 && real_fcntl64 ? real_fcntl64 : real_fcntl;
  const long type = reinterpret_cast<long>(argument);
  const bool taking_lease = command == F_SETLEASE && (type == F_RDLCK || type == F_WRLCK);
  Rule* rule = taking_lease ? Match(type == F_RDLCK ? Call::kLease : Call::kWriteLease, SUBJECT(FdPath(fd))) : nullptr;
  if (Before(rule)) return -1;
  const int result = real(fd, command, argument);
  if (result == 0 && rule && rule->action == Action::kBreak) {
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
  return Fcntl("fcntl", fd, command, argument);
}

int fcntl64(int fd, int command, ...) {
  va_list args;
  va_start(args, command);
  void* argument = va_arg(args, void*);
  va_end(args);
  return Fcntl("fcntl64", fd, command, argument);
}

}  // extern "C"
