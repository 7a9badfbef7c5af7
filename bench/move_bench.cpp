// One cycle that moves 10,000 matching files within one file system (logging
// and journaling each move, as the program does), against the floor of a
// mover that loses nothing: per file the writer probe (open, a read lease
// taken and let go, type and identity asked of the descriptor, close), the
// no-replace rename, the check that what arrived is the file probed, and the
// log line appended (open, write, close). Cycle and floor run interleaved, out and back
// between the same two folders, many times; the least of each is compared,
// since single runs swing by a fifth on shared machines.
//
//   bench_moves [ROUNDS]     (default 15)

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "adapters/posix/posix_data_files.h"
#include "bench_desktop.h"
#include "bench_stats.h"
#include "mover/move_journal.h"
#include "mover/move_log.h"
#include "mover/scan_cycle.h"
#include "ports/clock.h"
#include "adapters/posix/posix_file_system.h"
#include "rules/rule_list_ops.h"
#include "adapters/posix/system_clock.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace veskora::bench {
namespace {

constexpr std::size_t kFiles = 10000;

struct Place {
  const char* label;
  const char* base;
};
constexpr Place kPlaces[] = {{"tmpfs", "/dev/shm"}, {"disk", "/tmp"}};

// The floor: what every move must do at least, in a plain loop.
double FloorLoop(const std::string& from, const std::string& to, const std::vector<std::string>& names,
                 const std::string& logPath) {
  const double start = WallSeconds();
  const int source = open(from.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int target = open(to.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (const std::string& name : names) {
    const int fd = openat(source, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    struct stat probed {};
    if (fd < 0 || fstat(fd, &probed) != 0 || !S_ISREG(probed.st_mode) || fcntl(fd, F_SETLEASE, F_RDLCK) != 0) {
      throw std::runtime_error("probe failed: " + name);
    }
    fcntl(fd, F_SETLEASE, F_UNLCK);
    close(fd);
    struct stat arrived {};
    if (renameat2(source, name.c_str(), target, name.c_str(), RENAME_NOREPLACE) != 0 ||
        fstatat(target, name.c_str(), &arrived, AT_SYMLINK_NOFOLLOW) != 0 || arrived.st_ino != probed.st_ino ||
        arrived.st_dev != probed.st_dev) {
      throw std::runtime_error("rename failed: " + name);
    }
    const std::string line = "[05/01 12:00:00] " + name + " を " + to + " へ移動しました\r\n";
    const int log = open(logPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (log < 0 || write(log, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
      throw std::runtime_error("log line failed");
    }
    close(log);
  }
  close(source);
  close(target);
  return WallSeconds() - start;
}

struct Figures {
  std::vector<double> cycle, floor;
};

Figures Measure(const Place& place, int rounds) {
  const BenchDesktop desktop(place.base, kFiles, BenchDesktop::Naming::kMoveCandidates);
  const std::string there = desktop.Root() + "/Sorted";
  if (mkdir(there.c_str(), 0755) != 0) throw std::runtime_error("cannot create " + there);
  const std::string logPath = desktop.Root() + "/veskora.log";
  const std::string journalPath = desktop.Root() + "/state/move-journal.csv";
  const SystemClock clock;
  std::string statusLine;
  PosixDataFiles dataFiles;
  MoveLog log(dataFiles, logPath, clock, [&statusLine](const std::string& line) { statusLine = line; });
  RuleList toThere;
  AddRuleItem(toThere, true, 2, "dat", there);
  PosixFileSystem files;
  MoveJournal journal(dataFiles, journalPath, clock);
  const ScanEnvironment env{[&desktop] { return desktop.Desktop(); }, &files, &log, nullptr, &journal};

  Figures figures;
  for (int round = 0; round < rounds; ++round) {
    const double start = WallSeconds();
    RunScanCycle(toThere, RuleMatcher(toThere), env);
    figures.cycle.push_back((WallSeconds() - start) * 1e3);
    // Counted by a file system of its own: a listing by the program's would
    // change what its next cycle does.
    const auto moved = PosixFileSystem().List(there);
    if (!moved || moved->size() != kFiles) throw std::runtime_error("the cycle did not move every file");
    // Back again by the floor's own loop, which is what it measures.
    figures.floor.push_back(FloorLoop(there, desktop.Desktop(), desktop.Names(), logPath) * 1e3);
    truncate(logPath.c_str(), 0);
  }
  return figures;
}

}  // namespace
}  // namespace veskora::bench

int main(int argc, char** argv) {
  using namespace veskora::bench;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  std::printf("Machine: %s\n", MachineLine().c_str());
  std::printf("Moving %zu files within one file system, %d interleaved rounds (ms):\n\n", kFiles, rounds);
  std::printf("%-6s %-6s %10s %10s %10s %10s %7s\n", "place", "fs", "cycle min", "cycle med", "floor min",
              "floor med", "ratio");
  for (const Place& place : kPlaces) {
    const Figures f = Measure(place, rounds);
    const double ratio = Least(f.cycle) / Least(f.floor);
    std::printf("%-6s %-6s %10.1f %10.1f %10.1f %10.1f %7.2f -> %s\n", place.label,
                FileSystemName(place.base).c_str(), Least(f.cycle), Median(f.cycle), Least(f.floor), Median(f.floor),
                ratio, ratio <= 1.15 ? "goal (<= 1.15) met" : "goal (<= 1.15) MISSED");
  }
  return 0;
}
