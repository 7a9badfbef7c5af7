#include "adapters/posix/process_owner.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "adapters/posix/unique_fd.h"

namespace veskora {

namespace {

constexpr std::string_view kTag = "veskora-owner";

std::string ReadSmall(const std::string& path) {
  const UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  char buffer[1024];
  const ssize_t n = fd ? read(fd.Get(), buffer, sizeof buffer) : -1;
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// Takes a number off the front of `text`, and the one blank after it, if any.
template <typename N>
bool TakeNumber(std::string_view& text, N& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return true;
}

// The start time of the process with this id, from the 22nd field of its
// stat; the name in the second may hold blanks and parentheses of its own.
std::optional<unsigned long long> StartOf(pid_t pid) {
  const std::string stat = ReadSmall("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::string_view rest = std::string_view(stat).substr(close + 1);
  for (int field = 3; field < 22; ++field) {
    const std::size_t blank = rest.find(' ', 1);
    if (blank == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(blank + 1);
  }
  unsigned long long start = 0;
  return TakeNumber(rest, start) ? std::optional(start) : std::nullopt;
}

bool TakeField(std::string_view& text, std::string_view key) {
  if (text.substr(0, key.size()) != key) return false;
  text.remove_prefix(key.size());
  return true;
}

}  // namespace

const ProcessOwner& ThisProcess() {
  static const ProcessOwner self = [] {
    ProcessOwner owner;
    owner.pid = getpid();
    owner.boot = ReadSmall("/proc/sys/kernel/random/boot_id");
    while (!owner.boot.empty() && (owner.boot.back() == '\n' || owner.boot.back() == ' ')) owner.boot.pop_back();
    if (owner.boot.find_first_of(" \n") != std::string::npos) owner.boot.clear();
    owner.start = StartOf(owner.pid).value_or(0);
    return owner;
  }();
  return self;
}

std::string OwnerText(const ProcessOwner& owner) {
  return std::string(kTag) + " boot=" + (owner.boot.empty() ? "-" : owner.boot) +
         " start=" + std::to_string(owner.start) + " pid=" + std::to_string(owner.pid) + "\n";
}

std::optional<ProcessOwner> ParseOwner(std::string_view text) {
  ProcessOwner owner;
  if (!TakeField(text, kTag) || !TakeField(text, " boot=")) return std::nullopt;
  const std::size_t blank = text.find(' ');
  if (blank == 0 || blank == std::string_view::npos) return std::nullopt;
  if (text.substr(0, blank) != "-") owner.boot = std::string(text.substr(0, blank));
  text.remove_prefix(blank + 1);
  if (!TakeField(text, "start=") || !TakeNumber(text, owner.start) || !TakeField(text, "pid=") ||
      !TakeNumber(text, owner.pid) || owner.pid <= 0 || text != "\n") {
    return std::nullopt;
  }
  return owner;
}

bool Ended(const ProcessOwner& owner) {
  const ProcessOwner& self = ThisProcess();
  if (owner.boot != self.boot) return true;
  // Without /proc only the id can be asked after.
  if (self.start == 0) return kill(owner.pid, 0) != 0 && errno == ESRCH;
  const auto start = StartOf(owner.pid);
  return !start || *start != owner.start;
}

}  // namespace veskora
