#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace veskora {

// A process told apart from every other, also from one that gets its id
// later (once it has ended, or after a reboot): the boot it runs in and the
// time it started, besides its id.
struct ProcessOwner {
  std::string boot;              // the kernel's boot id; empty when unknown
  unsigned long long start = 0;  // clock ticks after boot; 0 when unknown
  pid_t pid = 0;

  friend bool operator==(const ProcessOwner&, const ProcessOwner&) = default;
};

// This process, read once.
const ProcessOwner& ThisProcess();

// One line of text, and back: nothing for text that is not such a line.
std::string OwnerText(const ProcessOwner& owner);
std::optional<ProcessOwner> ParseOwner(std::string_view text);

// Whether the process has ended: it ran before another boot, or no process
// has its id now, or the one that has it started at another time.
bool Ended(const ProcessOwner& owner);

}  // namespace veskora
