// A preloaded library that makes chosen C library calls fail, slow down or
// kill the process. VESKORA_FAULT holds rules separated by ";", each
// CALL:ACTION[:after=N][:times=M][:path=TEXT]: CALL one of kCalls (tmpfile an
// open with O_TMPFILE, lease the read lease that asks for writers, wrlease the
// write lease held during a copy); ACTION an errno name (fail without making
// the call), kill (SIGKILL first), term (SIGTERM first, as at logout), slow
// (sleep 0.1 s first), break (open the file of the last lease taken for
// writing: on a lease call, once it is taken), swap (before a rename, the file
// goes aside to ".NAME.orig" and a relative link to it takes its name) or hold
// (before a rename, another process opens the file and keeps it open while
// this one lives); let the first N matching calls through, act on at most M,
// only on calls whose paths (descriptors resolved) contain TEXT.
// VESKORA_FAULT_REPORT names a file that gets a line "CALL ACTION" for every
// fault acted on.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <list>
#include <sstream>
#include <string>

namespace {

constexpr const char* kCalls =
    " renameat2 rename mkdirat linkat unlinkat open tmpfile copy_file_range pread pwrite write fsync close fchmod"
    " futimens lease wrlease ";

struct Rule {
  std::string call, action, path;
  int error = 0;
  long after = 0, times = -1;
  std::atomic<long> seen{0};
};

thread_local bool t_inside = false;  // our own calls are never faulted
std::atomic<int> g_leased{-1};       // the descriptor of the last lease taken

template <typename F>
F Real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// A rule the shim cannot read ends the process: a fault that silently never
// happens would prove nothing.
[[noreturn]] void Refuse(const std::string& rule) {
  std::fprintf(stderr, "fault_shim: cannot read rule \"%s\"\n", rule.c_str());
  _exit(97);
}

int ErrorNamed(const std::string& name) {
  for (int error = 1; error < 134; ++error) {
    if (const char* known = strerrorname_np(error); known && name == known) return error;
  }
  return 0;
}

std::list<Rule>* Parse() {
  t_inside = true;
  auto* parsed = new std::list<Rule>;
  const char* all = std::getenv("VESKORA_FAULT");
  std::istringstream rules(all ? all : "");
  for (std::string text; std::getline(rules, text, ';');) {
    if (text.empty()) continue;
    std::istringstream parts(text);
    Rule& rule = parsed->emplace_back();
    std::getline(parts, rule.call, ':');
    std::getline(parts, rule.action, ':');
    rule.error = ErrorNamed(rule.action);
    const std::string named = " " + rule.action + " ";
    const bool action = rule.error || std::strstr(" kill term slow break swap hold ", named.c_str());
    if (!action || !std::strstr(kCalls, (" " + rule.call + " ").c_str())) Refuse(text);
    for (std::string option; std::getline(parts, option, ':');) {
      if (option.rfind("path=", 0) == 0) {
        rule.path = option.substr(5);
      } else if (std::sscanf(option.c_str(), "after=%ld", &rule.after) +
                     std::sscanf(option.c_str(), "times=%ld", &rule.times) !=
                 1) {
        Refuse(text);
      }
    }
  }
  t_inside = false;
  return parsed;
}

std::string FdPath(int fd) {
  char target[4096];
  const ssize_t length = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
  return length < 0 ? std::string() : std::string(target, static_cast<std::size_t>(length));
}

std::string AtPath(int dir_fd, const char* name) {
  if (!name) return {};
  return name[0] == '/' || dir_fd == AT_FDCWD ? std::string(name) : FdPath(dir_fd) + "/" + name;
}

// The rule that acts on this call, if any, reported; counts the call for
// every rule that matches it. `subject` gives the paths involved, asked only
// when a rule filters by path.
template <typename Subject>
Rule* Match(const char* call, Subject subject) {
  if (t_inside) return nullptr;
  static std::list<Rule>* const rules = Parse();
  t_inside = true;
  Rule* chosen = nullptr;
  std::string paths;
  for (Rule& rule : *rules) {
    if (rule.call != call) continue;
    if (!rule.path.empty()) {
      if (paths.empty()) paths = subject();
      if (paths.find(rule.path) == std::string::npos) continue;
    }
    const long n = rule.seen.fetch_add(1);
    if (!chosen && n >= rule.after && (rule.times < 0 || n < rule.after + rule.times)) chosen = &rule;
  }
  const char* report = std::getenv("VESKORA_FAULT_REPORT");
  if (FILE* out = chosen && report ? std::fopen(report, "ae") : nullptr) {
    std::fprintf(out, "%s %s\n", chosen->call.c_str(), chosen->action.c_str());
    std::fclose(out);
  }
  t_inside = false;
  return chosen;
}

// Another program opening the leased file for writing, wherever it lies now.
void BreakLease(int fd) {
  if (fd < 0) return;
  t_inside = true;
  const int writer = open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (writer >= 0) close(writer);
  t_inside = false;
}

// Another program that opens the file and holds it until this one ends.
void Hold(const std::string& path) {
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) return;
  t_inside = true;
  const pid_t parent = getpid();
  if (fork() == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int fd = getppid() == parent ? open(path.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    if (write(ready[1], "x", 1) == 1 && fd >= 0) pause();
    _exit(0);
  }
  close(ready[1]);
  char byte;
  if (read(ready[0], &byte, 1) < 0) byte = 0;
  close(ready[0]);
  t_inside = false;
}

// Acts on the rule before the call; true when the call must fail with errno
// set instead of being made.
bool Before(Rule* rule) {
  if (!rule) return false;
  if (rule->action == "kill") raise(SIGKILL);
  if (rule->action == "term") raise(SIGTERM);
  if (rule->action == "slow") usleep(100000);
  if (rule->action == "break") BreakLease(g_leased);
  errno = rule->error ? rule->error : errno;
  return rule->error != 0;
}

#define FAULTED(call, subject) Before(Match(call, [&]() -> std::string { return subject; }))

int OpenAt(int dir_fd, const char* path, int flags, mode_t mode) {
  static auto real = Real<int (*)(int, const char*, int, ...)>("openat");
  Rule* rule = (flags & O_TMPFILE) == O_TMPFILE ? Match("tmpfile", [&] { return AtPath(dir_fd, path); }) : nullptr;
  if (Before(rule ? rule : Match("open", [&] { return AtPath(dir_fd, path); }))) return -1;
  return real(dir_fd, path, flags, mode);
}

// An editor's save between a look at the file and its rename.
int RenameAt2(int fd, const char* a, int to, const char* b, unsigned flags) {
  static auto real = Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
  Rule* rule = Match("renameat2", [&] { return AtPath(fd, a) + "\n" + AtPath(to, b); });
  if (rule && rule->action == "swap") {
    t_inside = true;
    const std::string aside = "." + std::string(a) + ".orig";
    if (real(fd, a, fd, aside.c_str(), 0) == 0) symlinkat(aside.c_str(), fd, a);
    t_inside = false;
  } else if (rule && rule->action == "hold") {
    Hold(AtPath(fd, a));
  } else if (Before(rule)) {
    return -1;
  }
  return real(fd, a, to, b, flags);
}

int Fcntl(int fd, int command, void* argument) {
  static auto real = Real<int (*)(int, int, ...)>("fcntl");
  const long type = reinterpret_cast<long>(argument);
  const bool taking = command == F_SETLEASE && (type == F_RDLCK || type == F_WRLCK);
  Rule* rule = taking ? Match(type == F_RDLCK ? "lease" : "wrlease", [&] { return FdPath(fd); }) : nullptr;
  const bool breaks = rule && rule->action == "break";
  if (!breaks && Before(rule)) return -1;
  const int result = real(fd, command, argument);
  if (result == 0 && taking) g_leased = fd;
  if (result == 0 && breaks) BreakLease(fd);
  return result;
}

}  // namespace

// clang-format off
// A call that fails without being made when a rule says so; its paths for `path=`.
#define WRAP(R, name, params, args, subject) \
  R name params { static auto real = Real<R(*) params>(#name); return FAULTED(#name, subject) ? -1 : real args; }
#define OPEN(name, dir, ...) \
  int name(__VA_ARGS__, int flags, ...) { va_list args; va_start(args, flags); \
    const mode_t mode = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, int) : 0; \
    va_end(args); return OpenAt(dir, path, flags, mode); }
#define FCNTL(name) int name(int fd, int command, ...) { \
    va_list args; va_start(args, command); void* argument = va_arg(args, void*); va_end(args); \
    return Fcntl(fd, command, argument); }

extern "C" {
int renameat2(int fd, const char* a, int to, const char* b, unsigned f) { return RenameAt2(fd, a, to, b, f); }
WRAP(int, rename, (const char* a, const char* b), (a, b), std::string(a) + "\n" + b)
WRAP(int, mkdirat, (int fd, const char* a, mode_t mode), (fd, a, mode), AtPath(fd, a))
WRAP(int, linkat, (int fd, const char* a, int to, const char* b, int f), (fd, a, to, b, f), AtPath(fd, a) + "\n" + AtPath(to, b))
WRAP(int, unlinkat, (int fd, const char* a, int f), (fd, a, f), AtPath(fd, a))
WRAP(ssize_t, copy_file_range, (int fd, loff_t* at, int to, loff_t* to_at, size_t n, unsigned f), (fd, at, to, to_at, n, f), FdPath(fd) + "\n" + FdPath(to))
WRAP(ssize_t, pread, (int fd, void* b, size_t n, off_t at), (fd, b, n, at), FdPath(fd))
WRAP(ssize_t, pwrite, (int fd, const void* b, size_t n, off_t at), (fd, b, n, at), FdPath(fd))
WRAP(ssize_t, write, (int fd, const void* b, size_t n), (fd, b, n), FdPath(fd))
WRAP(int, fsync, (int fd), (fd), FdPath(fd))
WRAP(int, fchmod, (int fd, mode_t mode), (fd, mode), FdPath(fd))
WRAP(int, futimens, (int fd, const struct timespec* t), (fd, t), FdPath(fd))
OPEN(open, AT_FDCWD, const char* path)
OPEN(open64, AT_FDCWD, const char* path)
OPEN(openat, dir_fd, int dir_fd, const char* path)
OPEN(openat64, dir_fd, int dir_fd, const char* path)
FCNTL(fcntl)
FCNTL(fcntl64)
// The other names of the same calls, and the fortified opens a release build may call.
int link(const char* a, const char* b) { return linkat(AT_FDCWD, a, AT_FDCWD, b, 0); }
int unlink(const char* a) { return unlinkat(AT_FDCWD, a, 0); }
ssize_t pread64(int fd, void* b, size_t n, off_t at) { return pread(fd, b, n, at); }
ssize_t pwrite64(int fd, const void* b, size_t n, off_t at) { return pwrite(fd, b, n, at); }
int __open_2(const char* path, int flags) { return OpenAt(AT_FDCWD, path, flags, 0); }
int __openat_2(int dir_fd, const char* path, int flags) { return OpenAt(dir_fd, path, flags, 0); }
// As on Linux, a close that reports an error has still released the descriptor.
int close(int fd) {
  static auto real = Real<int (*)(int)>("close");
  const bool fail = FAULTED("close", FdPath(fd));
  const int saved = errno, result = real(fd);
  errno = fail ? saved : errno;
  return fail ? -1 : result;
}
}  // extern "C"
// clang-format on
