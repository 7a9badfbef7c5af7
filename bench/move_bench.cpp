// One cycle that moves 10,000 matching files within one file system (logging
// and journaling each move, as the program does), beside a plain renameat2
// loop over the same files. Three more loops show where the
// gap comes from: the move step alone (SafeMoveFile, no log), and the bare
// rename plus, one at a time, the in-use probe (open, a read lease taken and
// released, close) and the log line (open for appending, write, close).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_desktop.h"
#include "bench_stats.h"
#include "mover/move_log.h"
#include "mover/scan_cycle.h"
#include "platform/posix/clock.h"
#include "platform/posix/posix_file_system.h"
#include "rules/rule_list_ops.h"

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

struct MoveResult {
  std::string place;
  double cycleMs = 0;
  double renameMs = 0;
  double safeMoveMs = 0;
  double probeMs = 0;
  double logMs = 0;
  bool failed = false;
};

class Folder {
 public:
  explicit Folder(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
  }
  ~Folder() { close(fd_); }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// What the in-use check costs a move: the lease is refused while another
// process writes the file; released at once.
bool ProbeInUse(int folder, const std::string& name) {
  const int fd = openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  const bool granted = fcntl(fd, F_SETLEASE, F_RDLCK) == 0;
  if (granted) fcntl(fd, F_SETLEASE, F_UNLCK);
  close(fd);
  return !granted;
}

// What the log line costs a move: the file is opened and closed around it.
void AppendLine(const std::string& path, const std::string& line) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  benchmark::DoNotOptimize(write(fd, line.data(), line.size()));
  close(fd);
}

enum class Extra { kNone, kProbe, kLogLine };

// The cycle's move step alone: the file system's move, no log.
double SafeMoveLoop(const std::string& from, const std::string& to, const std::vector<std::string>& names) {
  PosixFileSystem files;
  const double start = WallSeconds();
  for (const std::string& name : names) {
    if (files.Move(from, name, to) != MoveOutcome::kMoved) {
      throw std::runtime_error("safe move failed: " + name);
    }
  }
  return WallSeconds() - start;
}

// Moves every file from one folder to the other by name; the seconds taken.
double RenameLoop(const std::string& from, const std::string& to, const std::vector<std::string>& names, Extra extra,
                  const std::string& logPath) {
  const double start = WallSeconds();
  const Folder source(from);
  const Folder target(to);
  for (const std::string& name : names) {
    if (extra == Extra::kProbe && ProbeInUse(source.get(), name)) continue;
    if (renameat2(source.get(), name.c_str(), target.get(), name.c_str(), RENAME_NOREPLACE) != 0) {
      throw std::runtime_error("rename failed: " + name);
    }
    if (extra == Extra::kLogLine) AppendLine(logPath, "[05/01 12:00:00] " + name + " を " + to + " へ移動しました\r\n");
  }
  return WallSeconds() - start;
}

void MeasureMoves(benchmark::State& state, const Place& place, MoveResult& result) {
  const BenchDesktop desktop(place.base, kFiles, BenchDesktop::Naming::kMoveCandidates);
  const std::string there = desktop.Root() + "/Sorted";
  if (mkdir(there.c_str(), 0755) != 0) throw std::runtime_error("cannot create " + there);
  const std::string logPath = desktop.Root() + "/veskora.log";
  const std::string journalPath = desktop.Root() + "/state/move-journal.csv";
  const SystemClock clock;
  std::string statusLine;
  MoveLog log(logPath, clock, [&statusLine](const std::string& line) { statusLine = line; });

  // The same rule moves the files out and back: the folder names swap sides.
  RuleList toThere;
  AddRuleItem(toThere, true, 2, "dat", there);
  std::string from = desktop.Desktop();
  PosixFileSystem files;
  MoveJournal journal(journalPath, clock);
  const ScanEnvironment env{[&from] { return from; }, &files, &log, nullptr, &journal};

  std::vector<double> cycles, renames, safeMoves, probes, logs;
  for (auto _ : state) {
    from = desktop.Desktop();
    const double start = WallSeconds();
    RunScanCycle(toThere, env);
    const double cycle = WallSeconds() - start;
    state.SetIterationTime(cycle);
    const auto moved = files.List(there);
    if (!moved || moved->size() != kFiles) {
      result.failed = true;
      state.SkipWithError("the cycle did not move every file");
      return;
    }
    cycles.push_back(cycle * 1e3);
    const std::string& here = desktop.Desktop();
    renames.push_back(RenameLoop(there, here, desktop.Names(), Extra::kNone, logPath) * 1e3);
    safeMoves.push_back(SafeMoveLoop(here, there, desktop.Names()) * 1e3);
    probes.push_back(RenameLoop(there, here, desktop.Names(), Extra::kProbe, logPath) * 1e3);
    logs.push_back(RenameLoop(here, there, desktop.Names(), Extra::kLogLine, logPath) * 1e3);
    renames.push_back(RenameLoop(there, here, desktop.Names(), Extra::kNone, logPath) * 1e3);
    truncate(logPath.c_str(), 0);
    truncate(journalPath.c_str(), 0);
  }
  result.place = place.label;
  result.cycleMs = Median(cycles);
  result.renameMs = Median(renames);
  result.safeMoveMs = Median(safeMoves);
  result.probeMs = Median(probes);
  result.logMs = Median(logs);
  state.counters["cycle_ms"] = result.cycleMs;
  state.counters["renameat2_ms"] = result.renameMs;
  state.counters["ratio"] = result.cycleMs / result.renameMs;
}

void PrintSummary(const std::vector<std::unique_ptr<MoveResult>>& results) {
  std::printf("\nMachine: %s\n", MachineLine().c_str());
  std::printf("Moving %zu files within one file system (medians, ms; per move in us):\n\n", kFiles);
  std::printf("%-6s %-6s %10s %10s %20s %20s %20s %7s\n", "place", "fs", "cycle", "renameat2", "SafeMoveFile only",
              "renameat2+probe", "renameat2+log line", "ratio");
  const double perMove = 1e3 / static_cast<double>(kFiles);
  for (const auto& r : results) {
    if (r->failed) {
      std::printf("%-6s (failed)\n", r->place.c_str());
      continue;
    }
    const char* base = r->place == "tmpfs" ? kPlaces[0].base : kPlaces[1].base;
    const double ratio = r->cycleMs / r->renameMs;
    std::printf("%-6s %-6s %10.2f %10.2f %9.2f (%+6.2f/mv) %9.2f (%+6.2f/mv) %9.2f (%+6.2f/mv) %7.2f -> %s\n",
                r->place.c_str(), FileSystemName(base).c_str(), r->cycleMs, r->renameMs, r->safeMoveMs,
                (r->safeMoveMs - r->renameMs) * perMove, r->probeMs, (r->probeMs - r->renameMs) * perMove, r->logMs,
                (r->logMs - r->renameMs) * perMove, ratio, ratio <= 1.5 ? "goal (<= 1.5) met" : "goal (<= 1.5) MISSED");
  }
}

}  // namespace
}  // namespace veskora::bench

int main(int argc, char** argv) {
  using namespace veskora::bench;
  std::vector<std::unique_ptr<MoveResult>> results;
  for (const Place& place : kPlaces) {
    results.push_back(std::make_unique<MoveResult>());
    MoveResult& slot = *results.back();
    const std::string name = std::string("MoveCycle/") + place.label + "/10000files";
    benchmark::RegisterBenchmark(name.c_str(),
                                 [&place, &slot](benchmark::State& state) { MeasureMoves(state, place, slot); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(15);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::vector<std::unique_ptr<MoveResult>> ran;
  for (auto& r : results) {
    if (r->cycleMs > 0 || r->failed) ran.push_back(std::move(r));
  }
  PrintSummary(ran);
  return 0;
}
